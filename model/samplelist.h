// SPDX-License-Identifier: MIT

#pragma once

#include "model/samplestore.h"

#include <QAbstractListModel>

#include <cstddef>

// The sample list as a Qt model: one row per stored sample, in the order they came. A row
// is turned into its text only when a view asks for it, so a list of millions of samples
// stays small and fast.
//
// Samples stored during a run become rows at commit(), in one insert per commit, so a view
// lays them out once per repaint and not once per row.
class SampleList : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr std::size_t kDefaultCapacity = SampleStore::kDefaultCapacity;

    explicit SampleList(std::size_t capacity = kDefaultCapacity, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The samples, published as rows or not.
    SampleStore &store() { return m_store; }
    const SampleStore &store() const { return m_store; }
    std::size_t capacity() const { return m_store.capacity(); }

    // Publishes the stored samples; returns the row of the first of them.
    int commit();
    // Empties the list in one reset and gives its memory back.
    void clear();

    // The sample and the text of a published row.
    double x(int row) const { return m_store.x(static_cast<std::size_t>(row)); }
    double y(int row) const { return m_store.y(static_cast<std::size_t>(row)); }
    QString line(int row) const;

private:
    SampleStore m_store;
    int m_rows = 0;
};

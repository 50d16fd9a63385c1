#pragma once

#include <QAbstractListModel>

#include <deque>
#include <utility>

// The rows of the sample list. A row is kept as its two doubles, 16 bytes, and turned
// into its text only when a view asks for it, so a run of millions of samples stays
// small and fast. Samples appended during a run become rows at commit(), in one insert.
class SampleList : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void append(double x, double y) { m_samples.emplace_back(x, y); }
    // Publishes the appended samples; returns the row of the first of them.
    int commit();
    void clear();

    // The text of a published row.
    QString line(int row) const;

private:
    std::deque<std::pair<double, double>> m_samples; // a deque never moves what it holds
    int m_rows = 0;
};

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
    // Enough for a run from 0 to 500000, and 800 MB at most: beyond it a run would
    // exhaust the memory of an ordinary machine before it ended.
    static constexpr std::size_t kDefaultCapacity = 50'000'001;

    explicit SampleList(std::size_t capacity = kDefaultCapacity, QObject *parent = nullptr)
        : QAbstractListModel(parent), m_capacity(capacity)
    {
    }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Room for one more sample, published or not.
    bool full() const { return m_samples.size() >= m_capacity; }
    std::size_t capacity() const { return m_capacity; }
    void append(double x, double y) { m_samples.emplace_back(x, y); }
    // Publishes the appended samples; returns the row of the first of them.
    int commit();
    void clear();

    // The text of a published row.
    QString line(int row) const;

private:
    std::deque<std::pair<double, double>> m_samples; // a deque never moves what it holds
    std::size_t m_capacity;
    int m_rows = 0;
};

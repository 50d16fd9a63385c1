// SPDX-License-Identifier: MIT

#pragma once

#include <QAbstractListModel>

#include <cstdint>
#include <deque>
#include <new>
#include <vector>

// The rows of the sample list, one per sample, in the order they came. A row is turned
// into its text only when a view asks for it, so a list of millions of samples stays
// small and fast.
//
// Only y is kept per row, 8 bytes. The x of a run's samples is its grid abscissa
// (h * i) + x0, so it is recomputed from the run's x0 and the row's index in the run,
// bit for bit the double the run handed out. The values sit in a deque, whose fixed-size
// blocks never move: growing the list never copies what it already holds.
//
// Samples appended during a run become rows at commit(), in one insert per commit, so a
// view lays them out once per repaint and not once per row.
class SampleList : public QAbstractListModel
{
    Q_OBJECT

public:
    // Ten million lines, 80 MB of values: a run past it stops with a message. The table
    // tool, which keeps nothing, has no such limit.
    static constexpr std::size_t kDefaultCapacity = 10'000'000;

    explicit SampleList(std::size_t capacity = kDefaultCapacity, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Room for one more sample, published or not.
    bool full() const { return m_y.size() >= m_capacity; }
    std::size_t capacity() const { return m_capacity; }
    // Samples held, published or not.
    std::size_t size() const { return m_y.size(); }

    // The samples appended from now on are grid points 0, 1, 2, ... of a run from x0.
    void startRun(double x0);
    // The x the next appended sample stands for.
    double nextAbscissa() const;
    void append(double y) { m_y.push_back(y); }
    // Appends unless memory for it cannot be had; false then, and nothing changed.
    bool tryAppend(double y) noexcept
    {
        try {
            m_y.push_back(y);
            return true;
        } catch (const std::bad_alloc &) {
            return false; // push_back leaves the deque as it was
        }
    }
    // Publishes the appended samples; returns the row of the first of them.
    int commit();
    void clear();

    // The sample and the text of a published row.
    double x(int row) const;
    double y(int row) const { return m_y[static_cast<std::size_t>(row)]; }
    QString line(int row) const;

private:
    struct Run
    {
        std::size_t firstRow;
        double x0;
    };
    const Run &runOf(std::size_t row) const;

    std::deque<double> m_y;
    std::vector<Run> m_runs; // ordered by firstRow; one entry per run that listed a sample
    std::size_t m_capacity;
    int m_rows = 0;
};

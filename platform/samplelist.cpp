// SPDX-License-Identifier: MIT

#include "platform/samplelist.h"

#include "listing/listline.h"
#include "solver/solver.h"

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

SampleList::SampleList(std::size_t capacity, QObject *parent)
    : QAbstractListModel(parent),
      // A model row is an int.
      m_capacity(std::min<std::size_t>(capacity, std::numeric_limits<int>::max()))
{
}

int SampleList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant SampleList::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows)
        return {};
    return line(index.row());
}

void SampleList::startRun(double x0)
{
    // A run that listed nothing leaves no entry behind.
    if (!m_runs.empty() && m_runs.back().firstRow == m_y.size())
        m_runs.back().x0 = x0;
    else
        m_runs.push_back(Run{m_y.size(), x0});
}

const SampleList::Run &SampleList::runOf(std::size_t row) const
{
    // The last run that starts at or before the row.
    const auto after =
        std::upper_bound(m_runs.begin(), m_runs.end(), row,
                         [](std::size_t r, const Run &run) { return r < run.firstRow; });
    return *(after - 1);
}

double SampleList::nextAbscissa() const
{
    const Run &run = m_runs.back();
    return solver::gridAbscissa(run.x0, static_cast<std::int64_t>(m_y.size() - run.firstRow));
}

double SampleList::x(int row) const
{
    const auto r = static_cast<std::size_t>(row);
    const Run &run = runOf(r);
    return solver::gridAbscissa(run.x0, static_cast<std::int64_t>(r - run.firstRow));
}

QString SampleList::line(int row) const
{
    char buf[kMaxListLineLength];
    const char *end = writeListLine(buf, x(row), y(row));
    return QString::fromLatin1(buf, static_cast<qsizetype>(end - buf));
}

int SampleList::commit()
{
    const int first = m_rows;
    const auto total = static_cast<int>(m_y.size());
    if (total > first) {
        beginInsertRows({}, first, total - 1);
        m_rows = total;
        endInsertRows();
    }
    return first;
}

void SampleList::clear()
{
    beginResetModel();
    m_y = {}; // gives the blocks back, not only the values
    m_runs.clear();
    m_rows = 0;
    endResetModel();
#ifdef __GLIBC__
    // The blocks were small heap chunks, which the heap keeps; hand them to the system,
    // so that the memory of ten million lines is free again after Ready.
    malloc_trim(0);
#endif
}

// SPDX-License-Identifier: MIT

#include "model/samplelist.h"

#include "listing/listline.h"

#include <algorithm>
#include <limits>

SampleList::SampleList(std::size_t capacity, QObject *parent)
    : QAbstractListModel(parent),
      // A model row is an int.
      m_store(std::min<std::size_t>(capacity, std::numeric_limits<int>::max()))
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

QString SampleList::line(int row) const
{
    char buf[kMaxListLineLength];
    const char *end = writeListLine(buf, x(row), y(row));
    return QString::fromLatin1(buf, static_cast<qsizetype>(end - buf));
}

int SampleList::commit()
{
    const int first = m_rows;
    const auto total = static_cast<int>(m_store.size());
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
    m_store.clear();
    m_rows = 0;
    endResetModel();
}

#include "platform/samplelist.h"

#include "listing/listline.h"

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
    const auto &[x, y] = m_samples[static_cast<std::size_t>(row)];
    char buf[kMaxListLineLength];
    const char *end = writeListLine(buf, x, y);
    return QString::fromLatin1(buf, static_cast<qsizetype>(end - buf));
}

int SampleList::commit()
{
    const int first = m_rows;
    const auto total = static_cast<int>(m_samples.size());
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
    m_samples.clear();
    m_rows = 0;
    endResetModel();
}

// SPDX-License-Identifier: MIT

#include "window/listexport.h"

#include "model/samplelist.h"

#include <QIODevice>

#include <algorithm>

namespace listexport {

namespace {

char *writeSample(char *p, const SampleList &list, int row, RowFormat format)
{
    return writeRow(p, format, list.x(row), list.y(row));
}

// Appends rows first..last to a block that is written out and emptied between calls, so
// the worst case per row costs only one block's room.
void appendRows(QByteArray &out, const SampleList &list, int first, int last, RowFormat format)
{
    qsizetype size = out.size();
    out.resize(size + static_cast<qsizetype>(kMaxRowLength) * (last - first + 1));
    char *p = out.data() + size;
    for (int row = first; row <= last; ++row)
        p = writeSample(p, list, row, format);
    out.resize(p - out.data());
}

} // namespace

RowFormat formatFor(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? RowFormat::Csv
                                                                     : RowFormat::Lines;
}

QByteArray text(const SampleList &list, int first, int last, RowFormat format)
{
    return text(list, std::vector<RowSpan>{{first, last}}, format);
}

QByteArray text(const SampleList &list, const std::vector<RowSpan> &spans, RowFormat format)
{
    const std::string_view header = rowHeader(format);
    // Measured line by line into a scratch line, then written in place: the peak is the
    // text itself.
    auto size = static_cast<qsizetype>(header.size());
    char line[kMaxRowLength];
    for (const RowSpan &s : spans)
        for (int row = s.first; row <= s.last; ++row)
            size += writeSample(line, list, row, format) - line;

    QByteArray out(size, Qt::Uninitialized);
    char *p = std::copy(header.begin(), header.end(), out.data());
    for (const RowSpan &s : spans)
        for (int row = s.first; row <= s.last; ++row)
            p = writeSample(p, list, row, format);
    Q_ASSERT(p == out.data() + out.size());
    return out;
}

std::vector<RowSpan> inListOrder(std::vector<RowSpan> spans)
{
    std::sort(spans.begin(), spans.end(),
              [](const RowSpan &a, const RowSpan &b) { return a.first < b.first; });
    std::vector<RowSpan> ordered;
    int next = 0; // the first row not yet taken
    for (RowSpan s : spans) {
        s.first = std::max(s.first, next);
        if (s.first > s.last)
            continue;
        ordered.push_back(s);
        next = s.last + 1;
    }
    return ordered;
}

bool writeList(const SampleList &list, RowFormat format, QIODevice &device)
{
    if (const std::string_view header = rowHeader(format);
        !header.empty() && device.write(header.data(), static_cast<qint64>(header.size())) < 0)
        return false;
    constexpr int kBlock = 8192;
    QByteArray block;
    for (int first = 0; first < list.rowCount(); first += kBlock) {
        block.clear();
        appendRows(block, list, first, std::min(first + kBlock, list.rowCount()) - 1, format);
        if (device.write(block) != block.size())
            return false;
    }
    return true;
}

} // namespace listexport

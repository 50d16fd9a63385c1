// SPDX-License-Identifier: MIT

#include "window/listexport.h"

#include "listing/listline.h"
#include "model/samplelist.h"

#include <QIODevice>

#include <algorithm>

namespace listexport {

namespace {

constexpr std::size_t kMaxLine = std::max(kMaxListLineLength, kMaxCsvLineLength) + 1;

char *writeRow(char *p, const SampleList &list, int row, Format format)
{
    const double x = list.x(row), y = list.y(row);
    p = format == Format::Csv ? writeCsvLine(p, x, y) : writeListLine(p, x, y);
    *p++ = '\n';
    return p;
}

// Appends rows first..last to a block that is written out and emptied between calls, so
// the worst case per row costs only one block's room.
void appendRows(QByteArray &out, const SampleList &list, int first, int last, Format format)
{
    qsizetype size = out.size();
    out.resize(size + static_cast<qsizetype>(kMaxLine) * (last - first + 1));
    char *p = out.data() + size;
    for (int row = first; row <= last; ++row)
        p = writeRow(p, list, row, format);
    out.resize(p - out.data());
}

} // namespace

Format formatFor(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? Format::Csv : Format::Lines;
}

QByteArray text(const SampleList &list, int first, int last, Format format)
{
    return text(list, std::vector<RowSpan>{{first, last}}, format);
}

QByteArray text(const SampleList &list, const std::vector<RowSpan> &spans, Format format)
{
    const QByteArray header = format == Format::Csv ? QByteArrayLiteral("x,y\n") : QByteArray();
    // Measured line by line into a scratch line, then written in place: the peak is the
    // text itself.
    qsizetype size = header.size();
    char line[kMaxLine];
    for (const RowSpan &s : spans)
        for (int row = s.first; row <= s.last; ++row)
            size += writeRow(line, list, row, format) - line;

    QByteArray out(size, Qt::Uninitialized);
    char *p = std::copy(header.begin(), header.end(), out.data());
    for (const RowSpan &s : spans)
        for (int row = s.first; row <= s.last; ++row)
            p = writeRow(p, list, row, format);
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

bool writeList(const SampleList &list, Format format, QIODevice &device)
{
    if (format == Format::Csv && device.write("x,y\n") < 0)
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

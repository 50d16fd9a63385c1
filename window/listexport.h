// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class QIODevice;
class SampleList;

// Turning the list and the plot into text, files and clipboard contents.
namespace listexport {

enum class Format {
    Lines, // the list lines as shown
    Csv,   // "x,y", then each sample as the shortest decimals that read back exactly
};

// The format a file name asks for: CSV for a name ending in ".csv", any case.
Format formatFor(const QString &path);

// An inclusive range of rows.
struct RowSpan
{
    int first;
    int last;
};

// Rows first..last (inclusive) as text, one per line, each ended by "\n". Latin-1 and
// ASCII coincide for these characters, so the bytes are also UTF-8. The text is measured
// first, then written into an array of exactly its size: ten million lines take their
// 230 MB and not the room of the longest possible line for each.
QByteArray text(const SampleList &list, int first, int last, Format format);
// The same for several spans, in the order given.
QByteArray text(const SampleList &list, const std::vector<RowSpan> &spans, Format format);

// The spans of a selection, made in any order and possibly overlapping, in list order
// with each row once.
std::vector<RowSpan> inListOrder(std::vector<RowSpan> spans);

// Writes all rows to `device` in `format` (with the CSV header), in blocks, so that ten
// million lines never sit in memory as one text. False when a write failed.
bool writeList(const SampleList &list, Format format, QIODevice &device);

} // namespace listexport

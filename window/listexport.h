// SPDX-License-Identifier: MIT

#pragma once

#include "listing/rowwriter.h"

#include <QByteArray>
#include <QString>

#include <vector>

class QIODevice;
class SampleList;

// Turning the list and the plot into text, files and clipboard contents.
namespace listexport {

// The format a file name asks for: CSV for a name ending in ".csv", any case, otherwise
// the list lines.
RowFormat formatFor(const QString &path);

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
QByteArray text(const SampleList &list, int first, int last, RowFormat format);
// The same for several spans, in the order given.
QByteArray text(const SampleList &list, const std::vector<RowSpan> &spans, RowFormat format);

// The spans of a selection, made in any order and possibly overlapping, in list order
// with each row once.
std::vector<RowSpan> inListOrder(std::vector<RowSpan> spans);

// Writes all rows to `device` in `format` (after its header), in blocks, so that ten
// million lines never sit in memory as one text. False when a write failed.
bool writeList(const SampleList &list, RowFormat format, QIODevice &device);

} // namespace listexport

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QImage;
class SampleList;

// Turning the list and the plot into text, files and clipboard contents.
namespace listexport {

enum class Format {
    Lines, // the list lines as shown
    Csv,   // "x,y", then each sample as the shortest decimals that read back exactly
};

// The format a file name asks for: CSV for a name ending in ".csv", any case.
Format formatFor(const QString &path);

// Rows first..last (inclusive) as text, one per line, each ended by "\n". Latin-1 and
// ASCII coincide for these characters, so the bytes are also UTF-8.
QByteArray text(const SampleList &list, int first, int last, Format format);

// Writes all rows to `path` through a temporary file that is renamed into place only
// when everything was written, so a failed save leaves no half file behind and an
// existing file untouched. Returns what failed, or nothing.
std::optional<QString> saveList(const SampleList &list, const QString &path);

// Saves an image as PNG the same way.
std::optional<QString> saveImage(const QImage &image, const QString &path);

} // namespace listexport

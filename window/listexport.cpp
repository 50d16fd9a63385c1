#include "window/listexport.h"

#include "listing/listline.h"
#include "platform/samplelist.h"

#include <QCoreApplication>
#include <QImage>
#include <QSaveFile>

#include <algorithm>

namespace listexport {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("listexport", text);
}

void appendRows(QByteArray &out, const SampleList &list, int first, int last, Format format)
{
    constexpr std::size_t kMaxLine = std::max(kMaxListLineLength, kMaxCsvLineLength) + 1;
    qsizetype size = out.size();
    // Room for the longest line of each row; trimmed to what was written at the end.
    out.resize(size + static_cast<qsizetype>(kMaxLine) * (last - first + 1));
    char *p = out.data() + size;
    for (int row = first; row <= last; ++row) {
        const double x = list.x(row), y = list.y(row);
        p = format == Format::Csv ? writeCsvLine(p, x, y) : writeListLine(p, x, y);
        *p++ = '\n';
    }
    out.resize(p - out.data());
}

std::optional<QString> failure(const QString &path, const QString &why)
{
    return tr("Could not save %1:\n%2").arg(path, why);
}

} // namespace

Format formatFor(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? Format::Csv
                                                                      : Format::Lines;
}

QByteArray text(const SampleList &list, int first, int last, Format format)
{
    QByteArray out;
    if (format == Format::Csv)
        out = "x,y\n";
    if (first <= last)
        appendRows(out, list, first, last, format);
    return out;
}

std::optional<QString> saveList(const SampleList &list, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file.errorString());
    const Format format = formatFor(path);
    if (format == Format::Csv && file.write("x,y\n") < 0)
        return failure(path, file.errorString());
    // In blocks, so that ten million lines never sit in memory as one text.
    constexpr int kBlock = 65536;
    QByteArray block;
    for (int first = 0; first < list.rowCount(); first += kBlock) {
        block.clear();
        appendRows(block, list, first, std::min(first + kBlock, list.rowCount()) - 1, format);
        if (file.write(block) != block.size())
            return failure(path, file.errorString()); // QSaveFile discards the temporary file
    }
    if (!file.commit())
        return failure(path, file.errorString());
    return std::nullopt;
}

std::optional<QString> saveImage(const QImage &image, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file.errorString());
    if (!image.save(&file, "PNG"))
        return failure(path, file.errorString().isEmpty() ? tr("the image could not be written")
                                                          : file.errorString());
    if (!file.commit())
        return failure(path, file.errorString());
    return std::nullopt;
}

} // namespace listexport

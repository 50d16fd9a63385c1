// SPDX-License-Identifier: MIT

#pragma once

// Every picture the window exports, the plot and each Explore view alike, in one of four
// forms: PNG as on screen, PNG at print size, SVG and PDF. The forms stand in one table,
// and one writer, one save flow and one clipboard copy serve every picture.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

class QIODevice;
class QPainter;
class QWidget;

namespace imageexport {

enum class Format {
    ScreenPng, // the pixels on screen
    PrintPng,  // rendered at four times the side
    Svg,
    Pdf,
};

// How a form is made from its picture.
enum class Writing {
    ScreenRaster, // the image on screen, at the screen's pixel ratio
    PrintRaster,  // the image drawn at kPrintScale
    Svg,
    Pdf,
};

struct ImageFormat
{
    Format format;
    const char *filter; // the save dialog's filter, before translation
    const char *suffix; // without the dot
    Writing writing;
};

// In the order of the save dialog's filters; the first is the default.
inline constexpr ImageFormat kImageFormats[] = {
    {Format::ScreenPng, "PNG image (*.png)", "png", Writing::ScreenRaster},
    {Format::PrintPng, "PNG image at print size (*.png)", "png", Writing::PrintRaster},
    {Format::Svg, "SVG image (*.svg)", "svg", Writing::Svg},
    {Format::Pdf, "PDF document (*.pdf)", "pdf", Writing::Pdf},
};

// Four times the picture's side: print size for a PNG, and the grid the plot's vector
// forms merge its curve on.
constexpr int kPrintScale = 4;

const ImageFormat &imageFormat(Format format);
// The dialog's filter of `format`, translated.
QString filterText(Format format);

// The format a name asks for by its suffix, any case: .svg, .pdf, otherwise a PNG as on
// screen.
Format formatFor(const QString &path);
// The format a name chosen under the filter of `chosen` is saved in: the name's suffix
// outweighs the filter, "plot.svg" is an SVG, except that a name read as a PNG keeps a
// chosen PNG at print size.
Format formatFor(const QString &path, Format chosen);

// The page of a picture's vector forms.
struct VectorPage
{
    QSize size;        // in logical pixels, each a pixel of a 96 dpi screen
    int scale;         // the painter's units a logical pixel
    int svgResolution; // the dots per inch the SVG states
    QString title;
};

// A picture to export: its image on screen, its image drawn at a scale, and its painting
// on a vector device.
class ImageSource
{
public:
    virtual QImage screenImage() const = 0;
    // Drawn afresh at `scale` device pixels a logical pixel.
    virtual QImage imageAt(int scale) const = 0;
    virtual VectorPage page() const = 0;
    // Paints the picture on `painter`, page().scale units a logical pixel.
    virtual void paintVector(QPainter &painter) const = 0;

protected:
    ~ImageSource() = default;
};

// `image` as PNG on `device`. Encoded in memory first: libpng leaves a failed write by a
// jump that skips Qt's clean-up, and the device's refusal is told by the device.
bool writePng(const QImage &image, QIODevice &device);

// Writes `source` to `device` in `format`. False, with the reason, when the image could
// not be made.
bool write(const ImageSource &source, Format format, QIODevice &device, QString &why);
QByteArray svg(const ImageSource &source);

// Saves `source` to `path` in `format`, under the wait cursor; what failed, if anything.
std::optional<QString> save(const ImageSource &source, const QString &path, Format format);

struct ImageAnswer
{
    QString path;
    Format format;
};

// Asks where to save an image and in which of its forms; none when the user cancelled.
std::optional<ImageAnswer> askForImageFile(QWidget *parent, const QString &name);
// Asks, then saves `source`; what failed, if anything.
std::optional<QString> saveAs(QWidget *parent, const ImageSource &source, const QString &name);

// The image on screen on the clipboard, and the SVG beside it for editors that take
// vector pictures.
void copy(const ImageSource &source);

} // namespace imageexport

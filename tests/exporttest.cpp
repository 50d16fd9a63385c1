// SPDX-License-Identifier: MIT

// Copying and saving the list and the plot.

#include "model/plotscene.h"
#include "model/samplelist.h"
#include "plot/axes.h"
#include "plot/marks.h"
#include "plot/plotsurface.h"
#include "plot/plotwidget.h"
#include "window/form1.h"
#include "window/imageexport.h"
#include "window/probe.h"

#include "tests/formdriver.h"
#include "tests/messageboxcatcher.h"
#include "tests/plotpixels.h"
#include "tests/recordingsink.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ostream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace solver;

namespace {

using namespace plotpixels;

class Export : public testing::Test, public FormDriver
{
protected:
    Export() { QGuiApplication::clipboard()->clear(); }

    // Enter in the four fields as they stand, with `xf` in the last.
    void typicalRun(int option = 2, const char *xf = "5")
    {
        choose(option);
        for (int field : {1, 3, 4})
            enter(field);
        runTo(xf);
    }

    QString lines(int first, int last) const
    {
        QString text;
        for (int row = first; row <= last; ++row)
            text += modelOf(form).samples().line(row) + u'\n';
        return text;
    }

    QAbstractItemView *list() { return child<QAbstractItemView>("List1"); }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QRect r = list()->visualRect(modelOf(form).samples().index(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, r.center());
    }
    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }
};

TEST_F(Export, CtrlCCopiesTheSelectedLinesInListOrder)
{
    typicalRun();
    list()->setFocus();
    clickRow(2);
    clickRow(4, Qt::ShiftModifier);
    QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), lines(2, 4));

    // Ctrl-clicked rows, chosen bottom first, come out in list order.
    clickRow(5);
    clickRow(1, Qt::ControlModifier);
    clickRow(3, Qt::ControlModifier);
    QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), lines(1, 1) + lines(3, 3) + lines(5, 5));
}

TEST_F(Export, CtrlAThenCtrlCCopiesEveryLine)
{
    typicalRun();
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
    const QString text = clipboardText();
    EXPECT_EQ(text.count(u'\n'), 501);
    EXPECT_EQ(text, lines(0, 500));
    EXPECT_TRUE(text.startsWith(QStringLiteral("0   .0100\n0.01   .1795\n")));
}

TEST_F(Export, CopyAllTakesEveryLineWhateverIsSelected)
{
    typicalRun();
    typicalRun(1, "1"); // a second run appends
    clickRow(3);
    child<QAction>("copyAllAction")->trigger();
    EXPECT_EQ(clipboardText(), lines(0, 501 + 100));
}

TEST_F(Export, TheListMenuOffersCopyCopyAllAndSave)
{
    typicalRun();
    clickRow(0);
    QStringList texts;
    QTimer::singleShot(50, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *a : menu->actions())
                if (!a->isSeparator())
                    texts << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)")) +
                                 u'|' + a->shortcut().toString();
            menu->close();
        }
    });
    emit list()->customContextMenuRequested(QPoint(5, 5));
    // Each key is shown beside its entry, and Explore… comes last.
    EXPECT_EQ(texts,
              QStringList({QStringLiteral("Copy|Ctrl+C"), QStringLiteral("Copy All|"),
                           QStringLiteral("Save List As…|Ctrl+S"), QStringLiteral("Explore…|F3"),
                           QStringLiteral("Own Equation…|F4")}));
}

TEST_F(Export, KeysReachTheCommandsFromAnyControl)
{
    typicalRun();
    // From a field: Copy Image, and Explore.
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(text(1), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(449, 449));
    QTest::keyClick(text(2), Qt::Key_F3);
    auto *explore = form.findChild<QWidget *>(QStringLiteral("Explore"));
    ASSERT_TRUE(explore);
    EXPECT_TRUE(explore->isVisible());
    EXPECT_EQ(text(2)->text(), QStringLiteral("5")); // no key reached the field
    // Shift+F10 opens the focused control's menu, as the Menu key does.
    form.activateWindow();
    list()->setFocus();
    int entries = 0;
    QTimer::singleShot(50, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            entries = static_cast<int>(menu->actions().size());
            menu->close();
        }
    });
    QTest::keyClick(list(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(entries, 7); // Copy, Copy All, -, Save List As…, -, Explore…, Own Equation…
}

TEST_F(Export, ThePlotMenuOffersSaveAndCopyImage)
{
    QStringList texts;
    QTimer::singleShot(50, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *a : menu->actions())
                if (!a->isSeparator())
                    texts << a->text() + u'|' + a->shortcut().toString();
            menu->close();
        }
    });
    emit child("Picture1")->customContextMenuRequested(QPoint(100, 100));
    EXPECT_EQ(texts,
              QStringList({QStringLiteral("Save Image As…|Ctrl+Shift+S"),
                           QStringLiteral("Copy Image|Ctrl+Shift+C"), QStringLiteral("Explore…|F3"),
                           QStringLiteral("Own Equation…|F4")}));
}

TEST_F(Export, SavedTextIsTheListLines)
{
    typicalRun();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    ASSERT_TRUE(commands().saveListTo(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()), lines(0, 500));
}

TEST_F(Export, SavedCsvReadsBackToTheSameDoubles)
{
    typicalRun();
    typicalRun(4, "3"); // van der Pol: y values with all their digits
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.CSV"));
    ASSERT_TRUE(commands().saveListTo(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(file.readLine(), QByteArray("x,y\n"));
    int row = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const qsizetype comma = line.indexOf(',');
        ASSERT_GT(comma, 0) << line.toStdString();
        const std::string x = line.left(comma).toStdString(), y = line.mid(comma + 1).toStdString();
        ASSERT_EQ(std::strtod(x.c_str(), nullptr), modelOf(form).samples().x(row)) << row;
        ASSERT_EQ(std::strtod(y.c_str(), nullptr), modelOf(form).samples().y(row)) << row;
        ++row;
    }
    EXPECT_EQ(row, modelOf(form).samples().rowCount());
}

struct SaveFailure
{
    std::string name;
    std::string where; // "dir" for the temporary folder, else a fixed path
    std::string file;  // below `where`
    bool needsNonRoot = false;
    long sizeLimit = 0; // the largest file this process may write, in bytes
    QString why = {};   // the reason the message gives, where it is known
};

void PrintTo(const SaveFailure &c, std::ostream *os)
{
    *os << c.name;
}

class FailedSave : public Export, public testing::WithParamInterface<SaveFailure>
{
};

TEST_P(FailedSave, SaysWhatFailedAndLeavesNothing)
{
    const SaveFailure &c = GetParam();
    if (c.needsNonRoot && geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    typicalRun();
    QTemporaryDir tmp;
    const QString base = c.where == "dir" ? tmp.path() : QString::fromStdString(c.where);
    QDir folder(base);
    // A shared folder such as /proc changes by itself: there only what the save could
    // have left counts, the file and its temporary siblings.
    if (c.where != "dir")
        folder.setNameFilters({QString::fromStdString(c.file) + u'*'});
    if (c.needsNonRoot)
        QFile::setPermissions(base, QFile::ReadOwner | QFile::ExeOwner);
    const QStringList before =
        folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const QString path = base + u'/' + QString::fromStdString(c.file);

    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    if (c.sizeLimit > 0) {
        std::signal(SIGXFSZ, SIG_IGN); // the write fails instead
        const rlimit small{static_cast<rlim_t>(c.sizeLimit), limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
    }
    using imageexport::Format;
    for (const int what : {-1, 0, 1, 2, 3}) {
        // The list, then the plot in each format.
        MessageBoxCatcher catcher;
        EXPECT_FALSE(what < 0 ? commands().saveListTo(path)
                              : commands().saveImageTo(path, static_cast<Format>(what)));
        ASSERT_EQ(catcher.count(), 1);
        EXPECT_TRUE(catcher.text().startsWith(QStringLiteral("Could not save ") + path))
            << catcher.text().toStdString();
        if (!c.why.isEmpty()) {
            EXPECT_EQ(catcher.text(), QStringLiteral("Could not save %1:\n%2").arg(path, c.why));
        }
        EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    }
    setrlimit(RLIMIT_FSIZE, &limit);
    QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(modelOf(form).samples().rowCount(), 501); // the list itself is untouched
}

INSTANTIATE_TEST_SUITE_P(
    Places, FailedSave,
    testing::Values(SaveFailure{"ReadOnlyFileSystem", "/proc", "redurivezi-list.txt"},
                    SaveFailure{"MissingFolder", "dir", "missing/list.txt"},
                    SaveFailure{"FolderInTheWay", "dir", "."},
                    SaveFailure{"ReadOnlyFolder", "dir", "list.txt", true},
                    // As a disk that fills up: the system takes part of a write, then
                    // refuses the rest and says why.
                    SaveFailure{"FileSizeLimit", "dir", "list.txt", false, 100,
                                QStringLiteral("File too large")}),
    [](const testing::TestParamInfo<SaveFailure> &info) { return info.param.name; });

TEST_F(Export, SavedImageIsThePlotAtDeviceResolution)
{
    typicalRun();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.png"));
    ASSERT_TRUE(commands().saveImageTo(path, imageexport::formatFor(path)));
    const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
    const QImage &plot = surface().image();
    ASSERT_EQ(saved.size(), plot.size());
    EXPECT_TRUE(saved == plot.convertToFormat(QImage::Format_RGB32));
}

TEST_F(Export, SavedImageShowsTheLegendWhenItIsShown)
{
    QTest::mouseClick(child<QRadioButton>("Option5"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton); // shows the legend
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.png"));
    ASSERT_TRUE(commands().saveImageTo(path, imageexport::formatFor(path)));
    const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
    // Label4 "u ,  T" in red at twips (1920, 120)-(2775, 360) of the plot: pixels 128..185,
    // 8..24. Its text is there, where the plot itself has only background.
    int red = 0;
    for (int y = 8; y < 24; ++y)
        for (int x = 128; x < 185; ++x) {
            ASSERT_EQ(surface().image().pixel(x, y), kBackground);
            red += qRed(saved.pixel(x, y)) > 200 && qGreen(saved.pixel(x, y)) < 100;
        }
    EXPECT_GT(red, 10);
}

TEST_F(Export, CopyImagePutsThePlotOnTheClipboard)
{
    typicalRun();
    child<QAction>("copyImageAction")->trigger();
    const QImage copied =
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(copied == commands().plotImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(copied.size(), QSize(kSize, kSize));
}

// ---- The plot as a view of the runs -------------------------------------------------------

struct RunStep
{
    int option;
    RunParameters p; // typed into the fields: x0, y0, z0, xf
    double n = 0, lam = 0;
};

struct SceneCase
{
    std::string name;
    bool readyFirst; // reset axes instead of the start-up ones
    std::vector<RunStep> runs;
};

void PrintTo(const SceneCase &c, std::ostream *os)
{
    *os << c.name;
}

// Draws a run mark by mark as the window's sink does, independently of the scene.
class DrawingSink : public RecordingSink
{
public:
    DrawingSink(PlotSurface &surface, const RunParameters &p) : m_surface(surface), m_p(p) {}
    bool start(double x0, double y0) override
    {
        const MarkList m = startMarks(x0, y0);
        m_surface.draw(m);
        return m.ok();
    }
    bool sample(double x, double y) override
    {
        const MarkList m = sampleMarks(m_p, x, y);
        m_surface.draw(m);
        return m.ok();
    }

private:
    PlotSurface &m_surface;
    RunParameters m_p;
};

class SceneRendering : public Export, public testing::WithParamInterface<SceneCase>
{
protected:
    void makeRuns()
    {
        const SceneCase &c = GetParam();
        MessageBoxCatcher answer; // a failing run says so
        if (c.readyFirst)
            ready();
        for (const RunStep &r : c.runs) {
            choose(r.option);
            for (const auto &[field, value] : {std::pair{5, r.n}, std::pair{6, r.lam}})
                text(field)->setText(QString::number(value, 'g', 17));
            enter({{1, QString::number(r.p.x0, 'g', 17)},
                   {3, QString::number(r.p.y0, 'g', 17)},
                   {4, QString::number(r.p.z0, 'g', 17)},
                   {2, QString::number(r.p.xf, 'g', 17)}});
        }
    }
    // The same runs drawn incrementally on a surface of their own.
    QImage drawnAt(qreal ratio)
    {
        PlotSurface s(kSize, ratio);
        drawStartupAxes(s);
        if (GetParam().readyFirst)
            drawResetAxes(s);
        for (const RunStep &r : GetParam().runs) {
            RunParameters p = r.p;
            p.eq = static_cast<Builtin>(r.option);
            p.values[0] = p.eq == Builtin::Cosmos ? r.lam : r.n;
            DrawingSink sink(s, p);
            run(p, sink);
        }
        return s.image();
    }
};

TEST_P(SceneRendering, EqualsTheIncrementalDrawingAtAnyRatio)
{
    makeRuns();
    ASSERT_GT(modelOf(form).runs().size(), 0u);
    const QImage screen = surface().image().copy();
    EXPECT_TRUE(modelOf(form).scene().render(modelOf(form).samples(), kSize, 1.0) == screen);
    EXPECT_TRUE(drawnAt(1.0) == screen);
    // At another ratio the scene draws what the runs would have drawn there.
    const QImage sharp = modelOf(form).scene().render(modelOf(form).samples(), kSize, 2.0);
    ASSERT_EQ(sharp.size(), QSize(2 * kSize, 2 * kSize));
    EXPECT_TRUE(sharp.convertToFormat(QImage::Format_RGB32) == drawnAt(2.0));
    // And a move to a screen of that ratio redraws the plot at it.
    child<PlotWidget>("Picture1")->redrawAt(2.0);
    EXPECT_TRUE(surface().image() == drawnAt(2.0));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SceneRendering,
    testing::Values(
        SceneCase{"EmdenDots", false, {{5, {.x0 = 0.01, .y0 = 1, .xf = 20}, 1, 1}}},
        // Index 5 never reaches zero: its dots run on beyond the plot's right side.
        SceneCase{"EmdenBeyondThePlot", false, {{5, {.x0 = 0.01, .y0 = 1, .xf = 20}, 5}}},
        SceneCase{"EmdenAboveOne", false, {{5, {.x0 = -9, .y0 = 2, .z0 = 1, .xf = -3}, 2}}},
        SceneCase{"CosmosStretch", false, {{6, {.y0 = 1, .xf = 5}, 2, 1}}},
        SceneCase{"VanDerPolClipped", false, {{4, {.y0 = 3, .xf = 20}, 2, 1}}},
        // From beyond the left side, through the top and the bottom again and again, out
        // of the right side: segments dropped beyond each side, and those that come back.
        SceneCase{"OscillatorCrossesEverySide",
                  false,
                  {{1, {.x0 = -9, .y0 = 0.01, .z0 = 16.947, .xf = 25}, 2, 1}}},
        SceneCase{"DampedIntoTheAxis", false, {{3, {.y0 = 14, .z0 = -40, .xf = 20}, 2}}},
        // Fails at x = 5.35, its red dot drawn, the black one without a value.
        SceneCase{"FailedEmdenSample", false, {{5, {.x0 = 0.01, .y0 = 1, .xf = 20}, 2.5}}},
        SceneCase{"TwoRunsOverOneAnother",
                  false,
                  {{2, {.y0 = 0.01, .z0 = 16.947, .xf = 5}, 2, 1},
                   {1, {.x0 = -3, .y0 = 2, .xf = 10}, 2, 1}}},
        SceneCase{"ResetAxes", true, {{2, {.y0 = 0.01, .z0 = 16.947, .xf = 5}, 2, 1}}},
        SceneCase{"NoSampleOnlyTheStartMark", false, {{5, {.y0 = 1, .xf = 5}, 2, 1}}}),
    [](const auto &info) { return info.param.name; });

TEST_F(Export, SvgHoldsTheCurveAxesAndLegendAsVectors)
{
    choose(5);
    ready(); // the legend, and reset axes
    typicalRun(2, "5");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.svg"));
    ASSERT_TRUE(commands().saveImageTo(path, imageexport::formatFor(path)));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int shapes = 0;
    QSet<QString> strokes;
    QString text;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (name == u"path" || name == u"polyline" || name == u"line" || name == u"rect")
            ++shapes;
        for (const QXmlStreamAttribute &a : xml.attributes())
            if (a.name() == u"stroke")
                strokes.insert(a.value().toString());
        if (name == u"text")
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(strokes.contains(QStringLiteral("#ff0000"))); // the curve
    EXPECT_TRUE(strokes.contains(QStringLiteral("#0000ff"))); // the axes
    EXPECT_TRUE(text.contains(QStringLiteral("u ,  T")) && text.contains(QStringLiteral("ρ")))
        << text.toStdString();
    EXPECT_GT(shapes, 3);
    EXPECT_LT(shapes, 2000);
}

TEST_F(Export, PdfAndPrintSizePng)
{
    typicalRun();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("plot.pdf"));
    ASSERT_TRUE(commands().saveImageTo(pdf, imageexport::formatFor(pdf)));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");

    const QString png = dir.filePath(QStringLiteral("print.png"));
    ASSERT_TRUE(commands().saveImageTo(png, imageexport::Format::PrintPng));
    const QImage print(png);
    EXPECT_EQ(print.size(), QSize(4 * kSize, 4 * kSize));
    // Rendered, not scaled: the one-pixel curve stays one pixel wide at four times the side.
    EXPECT_TRUE(print.convertToFormat(QImage::Format_RGB32) ==
                modelOf(form)
                    .scene()
                    .render(modelOf(form).samples(), kSize, 4)
                    .convertToFormat(QImage::Format_RGB32));
}

// ---- The image formats ---------------------------------------------------------------------

using imageexport::Format;
using imageexport::Writing;

struct FormatCase
{
    Format format;
    QString filter;
    const char *suffix;
    Writing writing;
    std::vector<QByteArray> magic; // what the file may start with
};

void PrintTo(const FormatCase &c, std::ostream *os)
{
    *os << c.suffix << ' ' << c.filter.toStdString();
}

class ImageFormats : public Export, public testing::WithParamInterface<FormatCase>
{
};

TEST_P(ImageFormats, StandInTheDialogsOrderAndWriteTheirKindOfFile)
{
    const FormatCase &c = GetParam();
    const imageexport::ImageFormat &f = imageexport::imageFormat(c.format);
    EXPECT_EQ(f.format, c.format);
    EXPECT_EQ(imageexport::filterText(c.format), c.filter);
    EXPECT_STREQ(f.suffix, c.suffix);
    EXPECT_EQ(f.writing, c.writing);
    // The dialog lists the formats in the order of the enumeration.
    EXPECT_EQ(&f - std::begin(imageexport::kImageFormats), static_cast<int>(c.format));

    typicalRun();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.") + QLatin1String(c.suffix));
    ASSERT_TRUE(commands().saveImageTo(path, c.format));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(16);
    EXPECT_TRUE(std::any_of(c.magic.begin(), c.magic.end(), [&](const QByteArray &m) {
        return head.startsWith(m);
    })) << head.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, ImageFormats,
    testing::Values(
        FormatCase{Format::ScreenPng,
                   QStringLiteral("PNG image (*.png)"),
                   "png",
                   Writing::ScreenRaster,
                   {"\x89PNG\r\n\x1a\n"}},
        FormatCase{Format::PrintPng,
                   QStringLiteral("PNG image at print size (*.png)"),
                   "png",
                   Writing::PrintRaster,
                   {"\x89PNG\r\n\x1a\n"}},
        FormatCase{Format::Svg,
                   QStringLiteral("SVG image (*.svg)"),
                   "svg",
                   Writing::Svg,
                   {"<?xml", "<svg"}},
        FormatCase{
            Format::Pdf, QStringLiteral("PDF document (*.pdf)"), "pdf", Writing::Pdf, {"%PDF-"}}),
    [](const auto &info) { return std::to_string(info.index) + info.param.suffix; });

struct NameCase
{
    const char *path;
    Format named;  // by the name alone
    Format chosen; // the dialog's filter
    Format saved;  // what a save under that filter writes
};

void PrintTo(const NameCase &c, std::ostream *os)
{
    *os << c.path << " under " << static_cast<int>(c.chosen);
}

class FormatOfAName : public testing::TestWithParam<NameCase>
{
};

TEST_P(FormatOfAName, TheSuffixOutweighsTheFilter)
{
    const NameCase &c = GetParam();
    const QString path = QString::fromUtf8(c.path);
    EXPECT_EQ(imageexport::formatFor(path), c.named);
    EXPECT_EQ(imageexport::formatFor(path, c.chosen), c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FormatOfAName,
    testing::Values(NameCase{"plot.png", Format::ScreenPng, Format::ScreenPng, Format::ScreenPng},
                    NameCase{"/a/PLOT.PNG", Format::ScreenPng, Format::PrintPng, Format::PrintPng},
                    NameCase{"plot.svg", Format::Svg, Format::ScreenPng, Format::Svg},
                    NameCase{"plot.Svg", Format::Svg, Format::PrintPng, Format::Svg},
                    NameCase{"plot.PDF", Format::Pdf, Format::Svg, Format::Pdf},
                    NameCase{"plot.pdf", Format::Pdf, Format::Pdf, Format::Pdf},
                    // A name that is no vector picture is a PNG; a chosen one at print size
                    // stays so, a chosen vector form gives way.
                    NameCase{"plot.png", Format::ScreenPng, Format::Svg, Format::ScreenPng},
                    NameCase{"plot.png", Format::ScreenPng, Format::Pdf, Format::ScreenPng},
                    NameCase{"plot.txt", Format::ScreenPng, Format::PrintPng, Format::PrintPng},
                    NameCase{"plot.txt", Format::ScreenPng, Format::Svg, Format::ScreenPng},
                    NameCase{"plot", Format::ScreenPng, Format::Pdf, Format::ScreenPng},
                    NameCase{"svg", Format::ScreenPng, Format::Svg, Format::ScreenPng},
                    NameCase{"plot.svg.png", Format::ScreenPng, Format::ScreenPng,
                             Format::ScreenPng},
                    NameCase{"plot.png.pdf", Format::Pdf, Format::PrintPng, Format::Pdf},
                    NameCase{"dir.svg/plot", Format::ScreenPng, Format::Svg, Format::ScreenPng}));

TEST_F(Export, CopyImageOffersTheSvgToo)
{
    typicalRun();
    child<QAction>("copyImageAction")->trigger();
    const QByteArray svg =
        QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("image/svg+xml"));
    EXPECT_TRUE(svg.contains("<svg")) << svg.left(200).toStdString();
    EXPECT_TRUE(svg.contains("#ff0000"));
}

// ---- The probe ---------------------------------------------------------------------------

struct ProbeCase
{
    std::string name;
    int option;
    const char *x0, *y0, *z0, *xf;
    int row;  // of the second run
    int mark; // which of its marks is pressed
};

void PrintTo(const ProbeCase &c, std::ostream *os)
{
    *os << c.name;
}

class ProbeOnThePlot : public Export, public testing::WithParamInterface<ProbeCase>
{
protected:
    QWidget *plot() { return child("Picture1"); }
    void press(QPointF at) { QTest::mousePress(plot(), Qt::LeftButton, {}, at.toPoint()); }
    std::optional<QPointF> marker()
    {
        const auto &m = child<PlotWidget>("Picture1")->marker();
        return m ? std::optional(m->at) : std::nullopt;
    }
};

TEST_P(ProbeOnThePlot, SelectsTheSampleUnderThePointerAndMarksIt)
{
    const ProbeCase &c = GetParam();
    typicalRun(); // a first run of 501 lines, under the second
    choose(c.option);
    enter({{1, c.x0}, {3, c.y0}, {4, c.z0}, {2, c.xf}});
    const int row = 501 + c.row;
    const QImage before = commands().plotImage();

    const std::optional<QPointF> at = probe().markOf(row, c.mark);
    ASSERT_TRUE(at);
    press(*at + QPointF(0.5, 0.5));
    // The first listed sample with a mark on that pixel: several may share it.
    const int found = list()->currentIndex().row();
    EXPECT_LE(found, row);
    EXPECT_GE(found, row - 5);
    EXPECT_EQ(probe().markOf(found, c.mark), at);
    EXPECT_TRUE(list()->selectionModel()->isRowSelected(found));
    ASSERT_TRUE(marker());
    EXPECT_EQ(*marker(), *at);
    EXPECT_EQ(child<PlotWidget>("Picture1")->marker()->tag, modelOf(form).samples().line(found));
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(plot())
                    ->text(QAccessible::Description)
                    .endsWith(modelOf(form).samples().line(found)));
    // Never in the picture.
    EXPECT_TRUE(commands().plotImage() == before);

    // Down in the list moves the marker to the next sample's mark.
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(list()->currentIndex().row(), found + 1);
    EXPECT_EQ(marker(), probe().markOf(found + 1));

    // Escape in the list, then in the plot, removes it.
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(marker());
    press(*at + QPointF(0.5, 0.5));
    ASSERT_TRUE(marker());
    QTest::keyClick(plot(), Qt::Key_Escape);
    EXPECT_FALSE(marker());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ProbeOnThePlot,
    testing::Values(ProbeCase{"Sine", 1, "-3", "2", "0", "10", 250, 0},
                    // The black dot, y squared at double scale.
                    ProbeCase{"EmdenBlackDot", 5, "0.01", "1", "0", "20", 100, 1},
                    ProbeCase{"CosmosStretched", 6, "0", "1", "0", "5", 60, 0}),
    [](const auto &info) { return info.param.name; });

TEST_F(Export, TheProbeIsClearedByReadyAndTheNextRunAndIgnoresEmptyPlaces)
{
    auto *plot = child<PlotWidget>("Picture1");
    QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(300, 300)); // an empty list
    EXPECT_FALSE(plot->marker());
    typicalRun();
    QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(400, 30)); // far from the curve
    EXPECT_FALSE(plot->marker());
    EXPECT_FALSE(list()->currentIndex().isValid());

    const QPointF at = *probe().markOf(100);
    QTest::mousePress(plot, Qt::LeftButton, {}, (at + QPointF(0.5, 0.5)).toPoint());
    ASSERT_TRUE(plot->marker());
    typicalRun(2, "1"); // the next run
    EXPECT_FALSE(plot->marker());
    QTest::mousePress(plot, Qt::LeftButton, {}, (at + QPointF(0.5, 0.5)).toPoint());
    ASSERT_TRUE(plot->marker());
    ready();
    EXPECT_FALSE(plot->marker());
}

TEST_F(Export, AMarkOutsideThePlotIsShownAtItsEdge)
{
    typicalRun(2, "20"); // beyond x = 15 the curve leaves the plot on the right
    list()->setCurrentIndex(modelOf(form).samples().index(1800));
    const auto &marker = child<PlotWidget>("Picture1")->marker();
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->at.x(), kSize - 1);
    EXPECT_EQ(marker->tag,
              modelOf(form).samples().line(1800) + QStringLiteral("  (outside the plot)"));
}

} // namespace

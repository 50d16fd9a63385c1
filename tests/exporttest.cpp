// SPDX-License-Identifier: MIT

// Copying and saving the list and the plot.

#include "platform/samplelist.h"
#include "plot/plotsurface.h"
#include "window/form1.h"

#include "tests/formdriver.h"
#include "tests/messageboxcatcher.h"
#include "tests/plotpixels.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

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
            text += form.samples().line(row) + u'\n';
        return text;
    }

    QAbstractItemView *list() { return child<QAbstractItemView>("List1"); }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QRect r = list()->visualRect(form.samples().index(row));
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
                    texts << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)"));
            menu->close();
        }
    });
    emit list()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(texts, QStringList({QStringLiteral("Copy"), QStringLiteral("Copy All"),
                                  QStringLiteral("Save List As…")}));
}

TEST_F(Export, ThePlotMenuOffersSaveAndCopyImage)
{
    QStringList texts;
    QTimer::singleShot(50, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *a : menu->actions())
                texts << a->text();
            menu->close();
        }
    });
    emit child("Picture1")->customContextMenuRequested(QPoint(100, 100));
    EXPECT_EQ(texts, QStringList({QStringLiteral("Save Image As…"), QStringLiteral("Copy Image")}));
}

TEST_F(Export, SavedTextIsTheListLines)
{
    typicalRun();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    ASSERT_TRUE(form.saveListTo(path));
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
    ASSERT_TRUE(form.saveListTo(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(file.readLine(), QByteArray("x,y\n"));
    int row = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const qsizetype comma = line.indexOf(',');
        ASSERT_GT(comma, 0) << line.toStdString();
        const std::string x = line.left(comma).toStdString(), y = line.mid(comma + 1).toStdString();
        ASSERT_EQ(std::strtod(x.c_str(), nullptr), form.samples().x(row)) << row;
        ASSERT_EQ(std::strtod(y.c_str(), nullptr), form.samples().y(row)) << row;
        ++row;
    }
    EXPECT_EQ(row, form.samples().rowCount());
}

struct SaveFailure
{
    std::string name;
    std::string where; // "dir" for the temporary folder, else a fixed path
    std::string file;  // below `where`
    bool needsNonRoot = false;
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

    for (const bool image : {false, true}) {
        MessageBoxCatcher catcher;
        EXPECT_FALSE(image ? form.saveImageTo(path) : form.saveListTo(path));
        ASSERT_EQ(catcher.count(), 1);
        EXPECT_TRUE(catcher.text().startsWith(QStringLiteral("Could not save ") + path))
            << catcher.text().toStdString();
        EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    }
    QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(form.samples().rowCount(), 501); // the list itself is untouched
}

INSTANTIATE_TEST_SUITE_P(
    Places, FailedSave,
    testing::Values(SaveFailure{"ReadOnlyFileSystem", "/proc", "redurivezi-list.txt"},
                    SaveFailure{"MissingFolder", "dir", "missing/list.txt"},
                    SaveFailure{"FolderInTheWay", "dir", "."},
                    SaveFailure{"ReadOnlyFolder", "dir", "list.txt", true}),
    [](const testing::TestParamInfo<SaveFailure> &info) { return info.param.name; });

TEST_F(Export, SavedImageIsThePlotAtDeviceResolution)
{
    typicalRun();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.png"));
    ASSERT_TRUE(form.saveImageTo(path));
    const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
    const QImage &plot = form.surface().image();
    ASSERT_EQ(saved.size(), plot.size());
    EXPECT_TRUE(saved == plot.convertToFormat(QImage::Format_RGB32));
}

TEST_F(Export, SavedImageShowsTheLegendWhenItIsShown)
{
    QTest::mouseClick(child<QRadioButton>("Option5"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton); // shows the legend
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.png"));
    ASSERT_TRUE(form.saveImageTo(path));
    const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
    // Label4 "u ,  T" in red at twips (1920, 120)-(2775, 360) of the plot: pixels 128..185,
    // 8..24. Its text is there, where the plot itself has only background.
    int red = 0;
    for (int y = 8; y < 24; ++y)
        for (int x = 128; x < 185; ++x) {
            ASSERT_EQ(form.surface().image().pixel(x, y), kBackground);
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
    EXPECT_TRUE(copied == form.plotImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(copied.size(), QSize(kSize, kSize));
}

} // namespace

// SPDX-License-Identifier: MIT

#include "window/form1.h"
#include "model/samplelist.h"
#include "platform/formfont.h"
#include "plot/plotsurface.h"
#include "solver/builtins.h"

#include "tests/formdriver.h"
#include "tests/messageboxcatcher.h"
#include "tests/plotpixels.h"
#include "tests/referencedata.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <ostream>
#include <string>
#include <vector>

using namespace solver;

namespace {

using namespace plotpixels;

class Form1Test : public testing::Test, public FormDriver
{
protected:
    QRgb pixel(int x, int y) { return surface().image().pixel(x, y); }
    int count(QRgb colour)
    {
        const QImage &image = surface().image();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    bool legendVisible()
    {
        const bool shown = child<QLabel>("Label4")->isVisible();
        EXPECT_EQ(child<QLabel>("Label5")->isVisible(), shown);
        EXPECT_EQ(child<QLabel>("Label6")->isVisible(), shown);
        return shown;
    }
};

// ---- Layout ------------------------------------------------------------------------------

struct ControlCase
{
    const char *name;
    const char *parent;
    QRect geometry;
    const char *text;
    qreal pointSize;
    bool italic;
};

void PrintTo(const ControlCase &c, std::ostream *os)
{
    *os << c.name;
}

class Layout : public Form1Test, public testing::WithParamInterface<ControlCase>
{
};

QString captionOf(QWidget *w)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    return {};
}

TEST_P(Layout, PlacesEachControlAsDescribed)
{
    const ControlCase &c = GetParam();
    QWidget *w = child(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget()->objectName(), QLatin1String(c.parent));
    EXPECT_EQ(w->geometry(), c.geometry);
    EXPECT_EQ(captionOf(w), QString::fromUtf8(c.text));
    if (c.pointSize > 0) {
        EXPECT_EQ(w->font().pointSizeF(), c.pointSize);
        EXPECT_EQ(w->font().weight(), QFont::Bold);
        EXPECT_EQ(w->font().italic(), c.italic);
        EXPECT_EQ(w->font().family(), formFontFamily());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Controls, Layout,
    testing::Values(
        ControlCase{"Option1", "Form1", {456, 8, 121, 25}, "y'' + y = 0", 9.75, false},
        ControlCase{"Option2", "Form1", {456, 32, 121, 25}, "y'' + 2y = sin x", 9, false},
        ControlCase{"Option3", "Form1", {456, 56, 121, 25}, "y''+ 6y'+ 5y= 0", 9, false},
        ControlCase{"Option4", "Form1", {456, 80, 121, 33}, "y''-(1-yy)y'+y=0", 9, false},
        ControlCase{"Option5", "Form1", {456, 112, 81, 25}, "Emden", 9, false},
        ControlCase{"Text5", "Form1", {536, 112, 41, 26}, "2", 11.25, false},
        ControlCase{"Option6", "Form1", {456, 136, 81, 25}, "Cosmos", 9, false},
        ControlCase{"Text6", "Form1", {536, 136, 41, 25}, "1", 12, false},
        ControlCase{"Command1", "Form1", {464, 240, 73, 25}, "Ready", 11.25, false},
        ControlCase{"Command2", "Form1", {536, 240, 41, 25}, "End", 12, false},
        ControlCase{"Label3", "Form1", {464, 264, 113, 25}, " x      y", 11.25, true},
        ControlCase{"List1", "Form1", {464, 288, 113, 124}, "", 0, false},
        ControlCase{"Picture1", "Form1", {0, -8, 449, 449}, "", 0, false},
        ControlCase{"Label4", "Picture1", {128, 8, 57, 16}, "u ,  T", 12, true},
        ControlCase{"Label5", "Picture1", {128, 32, 18, 16}, "\u03C1", 12, true},
        ControlCase{"Label6", "Picture1", {128, 56, 12, 16}, "P", 12, true},
        ControlCase{"Label1", "Form1", {24, 448, 63, 20}, "Initial =", 12, true},
        ControlCase{"Text1", "Form1", {88, 448, 49, 24}, "0", 12, false},
        ControlCase{"Text3", "Form1", {136, 448, 49, 25}, "0.01", 11.25, false},
        ControlCase{"Text4", "Form1", {184, 448, 57, 25}, "16.947", 11.25, false},
        ControlCase{"Label2", "Form1", {312, 448, 65, 20}, "Final =", 11.25, true},
        ControlCase{"Text2", "Form1", {376, 448, 49, 22}, "5", 11.25, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Form1Test, OpensWithCaptionSizeAndNothingChosen)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("RedurIvezi"));
    EXPECT_EQ(form.size(), QSize(594, 471));
    EXPECT_EQ(form.palette().color(form.backgroundRole()), QColor(128, 128, 255));
    for (int i = 1; i <= 6; ++i)
        EXPECT_FALSE(child<QRadioButton>(("Option" + std::to_string(i)).c_str())->isChecked());
    EXPECT_EQ(child<QRadioButton>("Option3")->palette().color(QPalette::Button),
              QColor(255, 224, 192));
    EXPECT_EQ(modelOf(form).samples().rowCount(), 0);
    EXPECT_FALSE(legendVisible());
    // The legend is opaque in the plot's background, each label in its dots' colour.
    EXPECT_EQ(child("Label4")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(child("Label6")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(child("Label5")->palette().color(child("Label5")->backgroundRole()),
              QColor(128, 255, 255));
    EXPECT_TRUE(child("Label5")->autoFillBackground());
    EXPECT_EQ(stateOf(form).eq, Builtin::None);
    EXPECT_EQ(stateOf(form)[fields::Field::Y0], 0.0); // the default texts are not captured
    EXPECT_EQ(form.focusWidget(), text(1));
}

TEST_F(Form1Test, AScreenReaderNamesEveryFieldTheListAndThePlot)
{
    struct Spoken
    {
        const char *control;
        const char *name;
        const char *description; // how it begins; empty: none needed
    };
    const Spoken table[] = {
        {"Text1", "Start abscissa x0", ""},
        {"Text3", "Start value y(x0)", ""},
        {"Text4", "Start slope y'(x0)", ""},
        {"Text2", "Final abscissa", ""},
        {"Text5", "Emden index n", ""},
        {"Text6", "Cosmos coefficient lam", ""},
        {"List1", "Samples", "One line per grid point"},
        {"Picture1", "Plot", "The runs since the last Ready"},
        {"Option1", "y'' + y = 0", "y'' + y = 0 (the harmonic oscillator) — y double prime plus"},
        {"Option5", "Emden", "y'' + (2/x) y' + yⁿ = 0 (Lane–Emden, index n) — Lane-Emden"},
        {"Option6", "Cosmos", "y'' = (lam·y − 1/y²)/3 — y double prime equals, lam times y"},
    };
    QSet<QString> names;
    for (const Spoken &s : table) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(child(s.control));
        ASSERT_NE(a, nullptr) << s.control;
        EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(s.name)) << s.control;
        if (*s.description) {
            EXPECT_TRUE(
                a->text(QAccessible::Description).startsWith(QString::fromUtf8(s.description)))
                << s.control;
        }
        names.insert(a->text(QAccessible::Name));
    }
    EXPECT_EQ(names.size(), std::size(table));
    // The options' tooltips write their equations out.
    EXPECT_EQ(child("Option5")->toolTip(),
              QStringLiteral("y'' + (2/x) y' + yⁿ = 0 (Lane–Emden, index n)"));
    EXPECT_EQ(child("Option6")->toolTip(), QStringLiteral("y'' = (lam·y − 1/y²)/3"));
    // "Initial =" and "Final =" label their first fields; nothing visible changed for it.
    EXPECT_EQ(child<QLabel>("Label1")->buddy(), text(1));
    EXPECT_EQ(child<QLabel>("Label2")->buddy(), text(2));
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("Initial ="));
}

TEST_F(Form1Test, FontIsTheJapaneseGothicWhereInstalled)
{
    const QString family = formFontFamily();
    EXPECT_TRUE(family == QStringLiteral("ＭＳ Ｐゴシック") ||
                family == QStringLiteral("MS PGothic") ||
                family.startsWith(QStringLiteral("IPAPGothic")) ||
                family.startsWith(QStringLiteral("IPA P")))
        << family.toStdString();
}

TEST_F(Form1Test, FocusChainFollowsTheTabIndexes)
{
    const std::vector<std::string> order = {"Option1", "Option2", "Option3",  "Command1", "Text1",
                                            "Text2",   "Text3",   "Option4",  "List1",    "Text4",
                                            "Option5", "Text5",   "Command2", "Option6",  "Text6"};
    std::vector<std::string> chain;
    QWidget *w = child(order[0].c_str());
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            chain.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w != child(order[0].c_str()));
    EXPECT_EQ(chain, order);
}

TEST_F(Form1Test, TabKeyTreatsTheOptionGroupAsOneStop)
{
    // As with option buttons everywhere: Tab enters the group once, the arrows move in it.
    const std::vector<std::string> expected = {"Command1", "Text1", "Text2",    "Text3", "List1",
                                               "Text4",    "Text5", "Command2", "Text6", "Option1"};
    child("Option1")->setFocus();
    std::vector<std::string> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        visited.push_back(form.focusWidget()->objectName().toStdString());
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(Form1Test, OpensWithTheStartupAxes)
{
    EXPECT_EQ(pixel(300, kAxisRow), kMagentaRgb);
    EXPECT_EQ(pixel(112, 448), kBlue);
    EXPECT_EQ(pixel(300, 100), kBackground);
}

// ---- Input and commands ---------------------------------------------------------------------

TEST_F(Form1Test, TypicalUseListsTheReferenceRun)
{
    choose(2);
    EXPECT_EQ(stateOf(form).eq, Builtin::SineForced);
    enter(1);
    EXPECT_EQ(form.focusWidget(), text(3));
    enter(3);
    EXPECT_EQ(form.focusWidget(), text(4));
    enter(4);
    EXPECT_EQ(form.focusWidget(), text(2));
    enter(2);
    EXPECT_EQ(form.focusWidget(), text(2));

    EXPECT_EQ(lines(), referenceLines("sinx_default"));
    ASSERT_EQ(modelOf(form).samples().rowCount(), 501);
    EXPECT_EQ(modelOf(form).samples().line(0), QStringLiteral("0   .0100"));
    // The red polyline leaves the start point (0, 0.01) upwards.
    EXPECT_EQ(pixel(112, 335), kRed);
    EXPECT_EQ(child<QAbstractItemView>("List1")->model()->data(
                  child<QAbstractItemView>("List1")->model()->index(0, 0)),
              QStringLiteral("0   .0100"));
}

TEST_F(Form1Test, EnterOnlyInTheFinalFieldRunsWithUncapturedZeros)
{
    enter(2);
    const auto got = lines();
    ASSERT_EQ(got.size(), 501u);
    EXPECT_EQ(got[0], "0   .0000");
    EXPECT_EQ(got[1], "0.01   .0000");
    EXPECT_EQ(got[500], "5   .0000");
    // along the x axis from 0 to 5, in light red
    EXPECT_EQ(pixel(200, kAxisRow), kRed);
    EXPECT_EQ(pixel(300, kAxisRow), kMagentaRgb);
}

TEST_F(Form1Test, AFieldEditedWithoutEnterChangesNothing)
{
    enterAll();
    text(3)->setText(QStringLiteral("7"));
    text(1)->setText(QStringLiteral("3"));
    enter(2);
    EXPECT_EQ(stateOf(form)[fields::Field::Y0], 0.01);
    EXPECT_EQ(stateOf(form)[fields::Field::X0], 0.0);
    const auto got = lines();
    ASSERT_EQ(got.size(), 1002u); // a second run appends
    EXPECT_EQ(got[501], "0   .0100");
    EXPECT_EQ(got[0], got[501]);
    // The list shows the first line of the newest run at its top.
    auto *list = child<QAbstractItemView>("List1");
    EXPECT_EQ(list->indexAt(QPoint(2, 2)).row(), 501);
}

struct CaptureCase
{
    const char *text5;
    const char *text6;
    const char *text2;
    double n, lam, xf;
};

void PrintTo(const CaptureCase &c, std::ostream *os)
{
    *os << c.text5 << " " << c.text6 << " " << c.text2;
}

class Capture : public Form1Test, public testing::WithParamInterface<CaptureCase>
{
};

TEST_P(Capture, EnterInTheFinalFieldReadsIndexCoefficientAndEnd)
{
    const CaptureCase &c = GetParam();
    text(5)->setText(QString::fromLatin1(c.text5));
    text(6)->setText(QString::fromLatin1(c.text6));
    enter(2, c.text2);
    EXPECT_EQ(stateOf(form)[fields::Field::N], c.n);
    EXPECT_EQ(stateOf(form)[fields::Field::Lam], c.lam);
    EXPECT_EQ(stateOf(form)[fields::Field::Xf], c.xf);
}

INSTANTIATE_TEST_SUITE_P(Fields, Capture,
                         testing::Values(CaptureCase{"2.5", "1", "5", 2.5, 1, 5},
                                         CaptureCase{"abc", "", "0.5x", 0, 0, 0.5},
                                         CaptureCase{"1,5", "1e2", " -1", 1, 100, -1}));

TEST_F(Form1Test, EnterInTheParameterFieldsDoesNothing)
{
    enter(5, "3");
    enter(6, "4");
    EXPECT_EQ(stateOf(form)[fields::Field::N], 0.0);
    EXPECT_EQ(stateOf(form)[fields::Field::Lam], 0.0);
    EXPECT_EQ(modelOf(form).samples().rowCount(), 0);
}

TEST_F(Form1Test, ReadyClearsPlotAndListAndRedrawsTheAxes)
{
    enterAll();
    ASSERT_EQ(modelOf(form).samples().rowCount(), 501);
    EXPECT_GT(count(kRed), 100);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(modelOf(form).samples().rowCount(), 0);
    EXPECT_EQ(form.focusWidget(), text(1));
    EXPECT_EQ(pixel(300, kAxisRow), kBlue);
    EXPECT_EQ(pixel(112, 300), kBlue);
    EXPECT_EQ(count(kRed), 0); // the curve is gone
    EXPECT_FALSE(legendVisible());
    // The captured values stay.
    EXPECT_EQ(stateOf(form)[fields::Field::Z0], 16.947);
    EXPECT_EQ(text(3)->text(), QStringLiteral("0.01"));
}

TEST_F(Form1Test, LegendFollowsTheEquationOnlyAtReady)
{
    choose(5);
    EXPECT_FALSE(legendVisible()); // choosing does not touch it
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_TRUE(legendVisible());
    choose(1);
    EXPECT_TRUE(child<QRadioButton>("Option1")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("Option5")->isChecked());
    EXPECT_TRUE(legendVisible());
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_FALSE(legendVisible());
}

TEST_F(Form1Test, ArrowKeysChooseTheNextOptionToo)
{
    choose(3);
    QTest::keyClick(child("Option3"), Qt::Key_Down);
    EXPECT_TRUE(child<QRadioButton>("Option4")->isChecked());
    EXPECT_EQ(stateOf(form).eq, Builtin::VanDerPol);
    QTest::keyClick(child("Option4"), Qt::Key_Up);
    EXPECT_EQ(stateOf(form).eq, Builtin::Damped);
}

TEST_F(Form1Test, EmdenRunDrawsThreeFamiliesOfDots)
{
    choose(5);
    enter(1, "0.01");
    enter(3, "1");
    enter(4, "0");
    text(5)->setText(QStringLiteral("1"));
    enter(2, "20");
    EXPECT_EQ(lines(), referenceLines("emden_n1"));
    // At the start all three families stand at (0.02, 2): the red dot is drawn over by
    // the black and then the green one; the unscaled start dot is at (0.01, 1).
    EXPECT_EQ(pixel(112, 291), kGreenRgb);
    EXPECT_EQ(pixel(112, 314), kRed);
}

// ---- Failures ------------------------------------------------------------------------------

TEST_F(Form1Test, AFailingRunWarnsAndKeepsEverything)
{
    enterAll(); // 501 lines of the unset equation
    choose(5);
    const QImage before = surface().image().copy();
    {
        MessageBoxCatcher catcher;
        enter(2); // Emden from x0 = 0 divides by zero at once
        EXPECT_EQ(catcher.count(), 1);
        EXPECT_EQ(catcher.icon(), QMessageBox::Warning);
        EXPECT_TRUE(catcher.text().startsWith(QStringLiteral("Division by zero at x = 0.")))
            << catcher.text().toStdString();
    }
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(modelOf(form).samples().rowCount(), 501);
    // Only the start dot was added, on top of what was there.
    EXPECT_EQ(surface().image(), before);

    // The window goes on working.
    enter(1, "0.01");
    enter(3, "1");
    enter(4, "0");
    text(5)->setText(QStringLiteral("0"));
    enter(2, "20");
    EXPECT_EQ(modelOf(form).samples().rowCount(), 501 + 244);
    EXPECT_EQ(modelOf(form).samples().line(501 + 243), QStringLiteral("2.44   .0078"));
}

TEST_F(Form1Test, AFailurePartwayKeepsTheSamplesBeforeIt)
{
    choose(5);
    enter(1, "0.01");
    enter(3, "1");
    enter(4, "0");
    text(5)->setText(QStringLiteral("2.5"));
    MessageBoxCatcher catcher;
    enter(2, "20");
    EXPECT_EQ(catcher.count(), 1);
    EXPECT_TRUE(catcher.text().startsWith(
        QStringLiteral("Power of a negative number with a fractional exponent at x = 5.35.")))
        << catcher.text().toStdString();
    EXPECT_EQ(lines(), referenceLines("emden_n2_5"));
}

TEST_F(Form1Test, ANumberBeyondRangeEndsThatEnterOnly)
{
    {
        MessageBoxCatcher catcher;
        enter(1, "1e999");
        EXPECT_EQ(catcher.count(), 1);
        EXPECT_TRUE(catcher.text().contains(QStringLiteral("x0"))) << catcher.text().toStdString();
        EXPECT_TRUE(catcher.text().contains(QStringLiteral("1e999")));
    }
    EXPECT_EQ(form.focusWidget(), text(1)); // the focus does not move on
    EXPECT_EQ(stateOf(form)[fields::Field::X0], 0.0);

    text(6)->setText(QStringLiteral("-2e400"));
    {
        MessageBoxCatcher catcher;
        enter(2, "7");
        EXPECT_EQ(catcher.count(), 1);
        EXPECT_TRUE(catcher.text().contains(QStringLiteral("lam")));
    }
    // n was read before lam; xf and the run never came.
    EXPECT_EQ(stateOf(form)[fields::Field::N], 2.0);
    EXPECT_EQ(stateOf(form)[fields::Field::Xf], 0.0);
    EXPECT_EQ(modelOf(form).samples().rowCount(), 0);
}

TEST(Form1List, ARunThatWouldOverfillTheListStopsWithAMessage)
{
    Form1 form(10, Form1::kProgressInterval);
    form.show();
    auto *text2 = form.findChild<QLineEdit *>(QStringLiteral("Text2"));
    {
        MessageBoxCatcher catcher;
        QTest::keyClick(text2, Qt::Key_Return);
        EXPECT_EQ(catcher.count(), 1);
        EXPECT_TRUE(catcher.text().startsWith(QStringLiteral(
            "The list is full (10 lines). The run stopped at x = 0.1. Ready clears it.")))
            << catcher.text().toStdString();
    }
    ASSERT_EQ(modelOf(form).samples().rowCount(), 10);
    EXPECT_EQ(modelOf(form).samples().line(9), QStringLiteral("0.09   .0000"));
    // The line along the x axis ends at x = 0.09: column floor(5.09 * 22.45) = 114.
    const QImage &image =
        form.findChild<PlotWidget *>(QStringLiteral("Picture1"))->surface().image();
    EXPECT_EQ(image.pixel(114, kAxisRow), kRed);
    EXPECT_EQ(image.pixel(116, kAxisRow), kMagentaRgb);

    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    MessageBoxCatcher catcher;
    QTest::keyClick(text2, Qt::Key_Return);
    EXPECT_EQ(modelOf(form).samples().rowCount(), 10);
}

// ---- Repaint and end -------------------------------------------------------------------------

TEST_F(Form1Test, ThePlotSurvivesBeingHiddenAndShownAgain)
{
    choose(1);
    enterAll();
    form.showMinimized();
    form.hide();
    form.showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QWidget *picture = child("Picture1");
    const QImage shown = picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage &image = surface().image();
    ASSERT_EQ(shown.size(), image.size());
    // Everything but the legend area matches the backing store pixel for pixel.
    EXPECT_EQ(shown, image);
}

TEST_F(Form1Test, MaximizedStillKeepsItsSize)
{
    // What the maximize button of Qt's own title bar on Wayland does. The compositor that
    // grants it ends a client whose window stays smaller than it asks, so this test also
    // runs on Wayland (form1_test_on_wayland), where it ends there unless the window
    // answers as it must.
    form.windowHandle()->setWindowStates(Qt::WindowMaximized);
    const auto restored = [this] {
        return form.windowState() == Qt::WindowNoState && form.size() == QSize(594, 471) &&
               form.minimumSize() == form.maximumSize();
    };
    EXPECT_TRUE(QTest::qWaitFor(restored, 5000));
    // Whatever the compositor still sends has been handled; and once more.
    QTest::qWait(300);
    form.windowHandle()->setWindowStates(Qt::WindowMaximized);
    EXPECT_TRUE(QTest::qWaitFor(restored, 5000));
    QTest::qWait(300);
    EXPECT_TRUE(restored());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Form1Test, EndQuitsAtOnce)
{
    QSignalSpy quit(QCoreApplication::instance(), &QCoreApplication::aboutToQuit);
    QTimer::singleShot(
        0, [this] { QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(3); }); // a fault, not an end
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(form.isVisible());
}

} // namespace

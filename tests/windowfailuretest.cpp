// SPDX-License-Identifier: MIT

// Every failing condition and hostile text through the real window: a message, nothing
// on screen lost or corrupted, the captured values as they should be, and the window
// working on.

#include "listing/listline.h"
#include "model/samplelist.h"
#include "plot/marks.h"
#include "plot/plotsurface.h"
#include "solver/builtins.h"
#include "window/form1.h"

#include "tests/formdriver.h"
#include "tests/messageboxcatcher.h"
#include "tests/plotpixels.h"
#include "tests/recordingsink.h"
#include "tests/referencedata.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QMimeData>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

using namespace solver;

// AddressSanitizer brings its own malloc and mmap, whichever compiler builds it.
#if defined(__SANITIZE_ADDRESS__)
#define REDURIVEZI_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define REDURIVEZI_ASAN 1
#endif
#endif

// Allocation failure on demand: this program's malloc fails the allocation that the armed
// rule picks, once, as the system does when memory runs out. operator new and Qt's
// containers both allocate through it; mmap, which the list's store takes its chunks
// from, fails in the same way the mapping of the length it is armed with.
#if !defined(REDURIVEZI_ASAN)
#define REDURIVEZI_INJECT_ALLOCATION_FAILURE 1
extern "C" void *__libc_malloc(std::size_t size);

namespace {

struct AllocationFailure
{
    std::size_t minSize = SIZE_MAX; // disarmed
    std::size_t maxSize = SIZE_MAX;
    int skip = 0; // allocations of that size to let through first
    int failed = 0;
};
AllocationFailure g_allocation;

} // namespace

extern "C" void *malloc(std::size_t size)
{
    if (size >= g_allocation.minSize && size <= g_allocation.maxSize && g_allocation.skip-- <= 0) {
        g_allocation.minSize = SIZE_MAX;
        ++g_allocation.failed;
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_malloc(size);
}

namespace {

struct MappingFailure
{
    std::size_t length = 0; // disarmed
    int failed = 0;
};
MappingFailure g_mapping;

} // namespace

extern "C" void *mmap(void *addr, std::size_t length, int prot, int flags, int fd, off_t offset)
{
    if (length == g_mapping.length) {
        g_mapping.length = 0;
        ++g_mapping.failed;
        errno = ENOMEM;
        return MAP_FAILED;
    }
    return reinterpret_cast<void *>(::syscall(SYS_mmap, addr, length, prot, flags, fd, offset));
}
#endif

namespace {

using namespace plotpixels;

// Keeps the samples the window would list: those whose marks all have a value.
class ListedSink : public RecordingSink
{
public:
    bool start(double x0, double y0) override
    {
        RecordingSink::start(x0, y0);
        return startMarks(x0, y0).ok();
    }
    bool sample(double x, double y) override
    {
        return sampleMarks(p, x, y).ok() && RecordingSink::sample(x, y);
    }
    RunParameters p;
};

using Window = FormDriver;

struct FailureCase
{
    std::string name;
    int option; // 0: none chosen
    QString n = QStringLiteral("2"), lam = QStringLiteral("1");
    std::vector<std::pair<int, QString>> fields; // typed and entered in this order
    QString message;                             // how the message begins
    RunParameters run;                           // the run that was made, if any
    bool ran = true;
};

void PrintTo(const FailureCase &c, std::ostream *os)
{
    *os << c.name;
}

bool curveColour(QRgb c)
{
    return c == kRed || c == kBlackRgb || c == kGreenRgb;
}

class WindowFailure : public testing::TestWithParam<FailureCase>
{
};

TEST_P(WindowFailure, WarnsKeepsWhatIsOnScreenAndWorksOn)
{
    const FailureCase &c = GetParam();
    Window w;
    // Something on screen first: the default texts, no equation.
    w.enter({{1, QStringLiteral("0")},
             {3, QStringLiteral("0.01")},
             {4, QStringLiteral("16.947")},
             {2, QStringLiteral("5")}});
    const std::vector<std::string> before = w.lines();
    ASSERT_EQ(before.size(), 501u);
    const QImage imageBefore = w.surface().image().copy();

    if (c.option)
        w.choose(c.option);
    w.text(5)->setText(c.n);
    w.text(6)->setText(c.lam);
    {
        MessageBoxCatcher catcher;
        w.enter(c.fields);
        EXPECT_EQ(catcher.count(), 1);
        EXPECT_EQ(catcher.icon(), QMessageBox::Warning);
        EXPECT_TRUE(catcher.text().startsWith(c.message)) << catcher.text().toStdString();
    }
    EXPECT_TRUE(w.form.isVisible());

    // The list: what was there, then exactly the samples before the failure.
    std::vector<std::string> expected = before;
    if (c.ran) {
        ListedSink sink;
        sink.p = c.run;
        ::run(c.run, sink);
        for (const auto &[x, y] : sink.samples)
            expected.push_back(listLine(x, y));
    }
    EXPECT_EQ(w.lines(), expected);

    // The plot: nothing erased, nothing drawn but curve.
    const QImage &image = w.surface().image();
    int changed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != imageBefore.pixel(x, y)) {
                ++changed;
                ASSERT_TRUE(curveColour(image.pixel(x, y))) << x << "," << y;
            }
    if (!c.ran) {
        EXPECT_EQ(changed, 0);
    }

    // The state holds what was captured, and nothing of a value that failed.
    const SolverState &s = stateOf(w.form);
    EXPECT_EQ(s.eq, c.run.eq);
    EXPECT_EQ(s[fields::Field::X0], c.run.x0);
    EXPECT_EQ(s[fields::Field::Y0], c.run.y0);
    EXPECT_EQ(s[fields::Field::Z0], c.run.z0);
    EXPECT_EQ(s[fields::Field::Xf], c.run.xf);

    // And the window works on: Ready, then the typical run.
    w.ready();
    w.choose(2);
    w.text(5)->setText(QStringLiteral("2"));
    w.text(6)->setText(QStringLiteral("1"));
    w.enter({{1, QStringLiteral("0")},
             {3, QStringLiteral("0.01")},
             {4, QStringLiteral("16.947")},
             {2, QStringLiteral("5")}});
    EXPECT_EQ(w.lines(), referenceLines("sinx_default"));
}

const std::vector<std::pair<int, QString>> kFields(const char *x0, const char *y0, const char *z0,
                                                   const char *xf)
{
    return {{1, QString::fromLatin1(x0)},
            {3, QString::fromLatin1(y0)},
            {4, QString::fromLatin1(z0)},
            {2, QString::fromLatin1(xf)}};
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, WindowFailure,
    testing::Values(
        FailureCase{
            "EmdenFromZero", 5, "2", "1", kFields("0", "1", "0", "5"), "Division by zero at x = 0.",
            RunParameters{.eq = Builtin::Emden, .x0 = 0, .y0 = 1, .z0 = 0, .xf = 5, .values = {2}}},
        FailureCase{"CosmosThroughZero", 6, "2", "1", kFields("1", "0", "1", "5"),
                    "Division by zero at x = 1.",
                    RunParameters{
                        .eq = Builtin::Cosmos, .x0 = 1, .y0 = 0, .z0 = 1, .xf = 5, .values = {1}}},
        FailureCase{
            "EmdenFractionalIndexNegativeStart", 5, "2.5", "1", kFields("0.5", "-1", "0", "5"),
            "Power of a negative number with a fractional exponent at x = 0.5.",
            RunParameters{
                .eq = Builtin::Emden, .x0 = 0.5, .y0 = -1, .z0 = 0, .xf = 5, .values = {2.5}}},
        FailureCase{
            "EmdenFractionalIndexPartway", 5, "2.5", "1", kFields("0.01", "1", "0", "20"),
            "Power of a negative number with a fractional exponent at x = 5.35.",
            RunParameters{
                .eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {2.5}}},
        // Van der Pol from far out is too stiff for the step: three samples, and the step
        // from the third overflows.
        FailureCase{"VanDerPolBlowingUp", 4, "2", "1", kFields("0", "100", "0", "5"),
                    "Overflow at x = 0.02.",
                    RunParameters{.eq = Builtin::VanDerPol, .x0 = 0, .y0 = 100, .z0 = 0, .xf = 5}},
        FailureCase{
            "StartValueBeyondSingle", 1, "2", "1", kFields("0", "1e39", "0", "5"),
            "Drawing coordinate out of range at x = 0.",
            RunParameters{.eq = Builtin::Oscillator, .x0 = 0, .y0 = 1e39, .z0 = 0, .xf = 5}},
        FailureCase{
            "StartSlopeBeyondSingle", 1, "2", "1", kFields("0", "0", "-4e38", "5"),
            "Overflow of the single-precision slope at x = 0.",
            RunParameters{.eq = Builtin::Oscillator, .x0 = 0, .y0 = 0, .z0 = -4e38, .xf = 5}},
        FailureCase{"FieldBeyondDoubleRange",
                    0,
                    "2",
                    "1",
                    {{1, QStringLiteral("1e999")}},
                    "The number for the start abscissa x0 is beyond the range of a double",
                    RunParameters{.eq = Builtin::None, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 5},
                    false},
        FailureCase{
            "IndexBeyondDoubleRange",
            5,
            "-1e400",
            "1",
            {{2, QStringLiteral("7")}},
            "The number for the Emden index n is beyond the range of a double",
            RunParameters{
                .eq = Builtin::Emden, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 5, .values = {0}},
            false}),
    [](const testing::TestParamInfo<FailureCase> &info) { return info.param.name; });

// ---- Hostile text in a field -----------------------------------------------------------

struct HostileCase
{
    std::string name;
    QString typed;
    std::optional<double> captured; // none: a message, and x0 keeps its value
};

void PrintTo(const HostileCase &c, std::ostream *os)
{
    *os << c.name;
}

class HostileText : public testing::TestWithParam<HostileCase>
{
};

TEST_P(HostileText, IsReadByTheRuleOrReportedInPlainShortText)
{
    const HostileCase &c = GetParam();
    Window w;
    w.enter({{1, QStringLiteral("0.5")}});
    MessageBoxCatcher catcher;
    w.enter({{1, c.typed}});
    if (c.captured) {
        EXPECT_EQ(catcher.count(), 0);
        EXPECT_EQ(stateOf(w.form)[fields::Field::X0], *c.captured);
        EXPECT_EQ(w.form.focusWidget(), w.text(3));
    } else {
        ASSERT_EQ(catcher.count(), 1);
        EXPECT_EQ(stateOf(w.form)[fields::Field::X0], 0.5);
        EXPECT_EQ(w.form.focusWidget(), w.text(1));
        // What was typed is quoted as plain text, cut short.
        EXPECT_EQ(catcher.format(), Qt::PlainText);
        EXPECT_LT(catcher.text().size(), 200) << catcher.text().toStdString();
        EXPECT_TRUE(catcher.text().isValidUtf16()); // no character cut in half
    }
    // A run from whatever was captured goes through.
    w.enter(
        {{3, QStringLiteral("0.01")}, {4, QStringLiteral("16.947")}, {2, QStringLiteral("100")}});
    EXPECT_GT(modelOf(w.form).samples().rowCount(), 9000);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HostileText,
    testing::Values(
        // A field keeps at most 32767 characters of a paste; the rule reads what it keeps.
        HostileCase{"HundredThousandDigits", QStringLiteral("1") + QString(99'999, u'0'),
                    std::nullopt},
        HostileCase{"HundredThousandLetters", QString(100'000, u'x'), 0.0},
        HostileCase{"TinyWithThousandsOfZeros", QStringLiteral("0.") + QString(99'998, u'0') + u'1',
                    0.0},
        HostileCase{"LongExponent", QStringLiteral("2e-") + QString(50'000, u'9'), 0.0},
        HostileCase{"ControlCharacters", QStringLiteral("\x01\x02\x1b[31m5"), 0.0},
        HostileCase{"ControlCharactersAfter", QStringLiteral("5\x07\x08"), 5.0},
        HostileCase{"TabBefore", QStringLiteral("\t7"), 7.0},
        HostileCase{"FullWidthDigits", QStringLiteral("１２３"), 0.0},
        HostileCase{"ArabicDecimalSeparator", QStringLiteral("3٫5"), 3.0},
        HostileCase{"UnicodeMinus", QStringLiteral("−2"), 0.0},
        HostileCase{"EmojiAfter", QStringLiteral("4😀"), 4.0},
        HostileCase{"MarkupAround", QStringLiteral("<b>5</b>"), 0.0},
        HostileCase{"MarkupInAMessage", QStringLiteral("1e999<img src=x><b>!"), std::nullopt},
        HostileCase{"ControlsInAMessage", QStringLiteral("1e999\x01\x02"), std::nullopt},
        // The cut after 40 characters falls inside the emoji.
        HostileCase{"EmojiAtTheCut",
                    QStringLiteral("1e999") + QString(34, u'x') + QStringLiteral("😀 tail"),
                    std::nullopt}),
    [](const testing::TestParamInfo<HostileCase> &info) { return info.param.name; });

TEST(HugeSpan, TheListLimitEndsAHugeSpanInTheWindow)
{
    Window w(100'000);
    MessageBoxCatcher catcher;
    w.enter({{1, QStringLiteral("0")},
             {3, QStringLiteral("0")},
             {4, QStringLiteral("1")},
             {2, QStringLiteral("1e10")}}); // 10^12 grid points
    ASSERT_EQ(catcher.count(), 1);
    EXPECT_EQ(catcher.text(), QStringLiteral("The list is full (100,000 lines). The run stopped at "
                                             "x = 1000. Ready clears it."));
    ASSERT_EQ(modelOf(w.form).samples().rowCount(), 100'000);
    EXPECT_EQ(modelOf(w.form).samples().line(99'999), QStringLiteral("999.99   999.9900"));
}

#ifdef REDURIVEZI_INJECT_ALLOCATION_FAILURE

struct OutOfMemoryCase
{
    std::string name;
    AllocationFailure failure;
    const char *command; // the object name of the action
    QString message;     // how the message begins
};

void PrintTo(const OutOfMemoryCase &c, std::ostream *os)
{
    *os << c.name;
}

class OutOfMemory : public testing::TestWithParam<OutOfMemoryCase>
{
};

TEST_P(OutOfMemory, SaysWhatCouldNotBeDoneAndKeepsTheWindow)
{
    const OutOfMemoryCase &c = GetParam();
    Window w;
    // A first run sizes the plot's buffers, so that the armed failure hits what is tested.
    w.choose(2);
    w.enterAll();
    const std::vector<std::string> before = w.lines();
    ASSERT_EQ(before, referenceLines("sinx_default"));
    auto *list = w.child<QAbstractItemView>("List1");
    list->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const QImage plotBefore = w.commands().plotImage();

    {
        MessageBoxCatcher catcher;
        g_allocation = c.failure;
        w.child<QAction>(c.command)->trigger();
        const int failed = g_allocation.failed;
        g_allocation = {};
        ASSERT_EQ(failed, 1);
        ASSERT_EQ(catcher.count(), 1);
        EXPECT_TRUE(catcher.text().startsWith(c.message)) << catcher.text().toStdString();
    }
    // Nothing changed: the clipboard, the list, the plot.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(w.lines(), before);
    EXPECT_EQ(w.commands().plotImage(), plotBefore);
    // And the window works on, the command included.
    w.child<QAction>("copyAllAction")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().count(u'\n'),
              modelOf(w.form).samples().rowCount());
    w.ready();
    w.enterAll();
    EXPECT_EQ(w.lines(), referenceLines("sinx_default"));
}

const QString kNoMemory = QStringLiteral(": there is not enough memory.");

INSTANTIATE_TEST_SUITE_P(
    Commands, OutOfMemory,
    testing::Values(
        // The text of 501 lines is about 6 kB, more than anything else these allocate.
        OutOfMemoryCase{"CopyAll",
                        {.minSize = 5000},
                        "copyAllAction",
                        QStringLiteral("Copy All could not be done") + kNoMemory},
        OutOfMemoryCase{"CopySelection",
                        {.minSize = 5000},
                        "copyAction",
                        QStringLiteral("Copy could not be done") + kNoMemory}),
    [](const auto &info) { return info.param.name; });

TEST(RunOutOfMemory, ARunStopsWhereTheListCannotGrowAndKeepsWhatCameBefore)
{
    Window w;
    w.choose(2);
    w.enterAll();
    ASSERT_EQ(w.lines(), referenceLines("sinx_default"));
    {
        // The list's first chunk holds these 501 lines; the next run needs a second chunk
        // after the first kChunkValues rows in all, and the system has none to give.
        MessageBoxCatcher catcher;
        g_mapping = {.length = 2 * SampleStore::kChunkBytes};
        w.runTo("2700");
        EXPECT_EQ(g_mapping.failed, 1);
        g_mapping = {};
        ASSERT_EQ(catcher.count(), 1);
        EXPECT_EQ(catcher.text(),
                  QStringLiteral("There is not enough memory for more lines. The run stopped at "
                                 "x = 2616.43; the plot and the list keep what came before it. "
                                 "Ready clears them."));
    }
    const std::vector<std::string> after = w.lines();
    ASSERT_EQ(after.size(), SampleStore::kChunkValues);
    const std::vector<std::string> first = referenceLines("sinx_default");
    EXPECT_TRUE(std::equal(first.begin(), first.end(), after.begin()));
    EXPECT_EQ(after[first.size()], "0   .0100");
    EXPECT_EQ(after.back(), "2616.42   -6.0365");
    // And the window works on.
    w.ready();
    w.runTo("5");
    EXPECT_EQ(w.lines(), first);
}

#endif

} // namespace

// ---- Input during a run that ends with a message ----------------------------------------

// Input that waits in the window system's queue while a run holds the thread, as a user's
// click or keys do: handled once the event loop runs again.
void queueClick(QWidget &widget)
{
    QWindow *window = widget.window()->windowHandle();
    const QPointF at = widget.mapTo(widget.window(), widget.rect().center());
    const QPointF global = widget.mapToGlobal(widget.rect().center());
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window, at, global, type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
            Qt::LeftButton, type);
}

void queueKeys(QWidget &widget, const QString &keys)
{
    QWindow *window = widget.window()->windowHandle();
    for (const QChar c : keys)
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                window, type, Qt::Key_0 + (c.unicode() - u'0'), Qt::NoModifier, QString(c));
}

const QString kPowerFault = QStringLiteral(
    "Power of a negative number with a fractional exponent at x = 5.35.\n\nThe run stopped "
    "there; the plot and the list keep what came before it.");

struct WaitingCase
{
    std::string name;
    int option;
    QString x0, xf;
    bool ready;      // Ready clicked during the run; else x0 clicked and 42 typed
    QString message; // the run's closing message
};

void PrintTo(const WaitingCase &c, std::ostream *os)
{
    *os << c.name;
}

class InputDuringARun : public testing::TestWithParam<WaitingCase>
{
};

TEST_P(InputDuringARun, IsHandledInOrderBeforeTheRunsMessage)
{
    const WaitingCase &c = GetParam();
    FormDriver w;
    w.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form));
    w.choose(c.option);
    w.enter({{1, c.x0}, {3, QStringLiteral("1")}, {4, QStringLiteral("0")}});
    w.text(5)->setText(QStringLiteral("2.5"));
    w.text(2)->setText(c.xf);
    if (c.ready)
        queueClick(*w.form.findChild<QPushButton *>(QStringLiteral("Command1")));
    else
        queueClick(*w.text(1)), queueKeys(*w.text(1), QStringLiteral("42"));
    MessageBoxCatcher box;
    w.text(2)->setFocus();
    QTest::keyClick(w.text(2), Qt::Key_Return);
    QTest::qWait(100);
    EXPECT_EQ(box.count(), 1);
    EXPECT_EQ(box.text(), c.message);
    if (c.ready) {
        // Ready was carried out: the list is empty, and x0 has the focus Ready gives it.
        EXPECT_EQ(w.samples().rowCount(), 0);
        EXPECT_EQ(w.form.focusWidget(), w.text(1));
    } else {
        EXPECT_TRUE(w.text(1)->text().contains(QStringLiteral("42")))
            << w.text(1)->text().toStdString();
        EXPECT_GT(w.samples().rowCount(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, InputDuringARun,
    testing::Values(
        // Emden with n = 2.5 lists 535 lines, then y^n of a negative y has no value.
        WaitingCase{"ReadyAfterAFault", 5, QStringLiteral("0.01"), QStringLiteral("20"), true,
                    kPowerFault},
        WaitingCase{"TypingAfterAFault", 5, QStringLiteral("0.01"), QStringLiteral("20"), false,
                    kPowerFault}),
    [](const auto &info) { return info.param.name; });

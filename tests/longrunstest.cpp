// SPDX-License-Identifier: MIT

// Long runs in the window: progress painted while the run holds the thread, input that
// waits until the run is over, the list limit, and Ready on a huge list.

#include "model/samplelist.h"
#include "window/form1.h"

#include "tests/formdriver.h"
#include "tests/messageboxcatcher.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <vector>

namespace {

// Calls `onEvent` for every event of the given type that reaches `target`, or any
// object when target is null.
class EventWatch : public QObject
{
public:
    EventWatch(QEvent::Type type, QObject *target, std::function<void(QObject *, QEvent *)> onEvent)
        : m_type(type), m_onEvent(std::move(onEvent))
    {
        if (target)
            target->installEventFilter(this);
        else
            qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == m_type)
            m_onEvent(watched, event);
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void(QObject *, QEvent *)> m_onEvent;
};

struct Progress
{
    int rows;
    int scrollMaximum;
    bool waitCursor;
};

TEST(LongRun, PaintsItsProgressWhileItRuns)
{
    // Progress at every check, so a short run shows it many times.
    FormDriver w(SampleList::kDefaultCapacity, 0);
    Form1 &form = w.form;
    auto *list = w.child<QAbstractItemView>("List1");
    std::vector<Progress> seen;
    EventWatch paints(QEvent::Paint, w.child<QWidget>("Picture1"), [&](QObject *, QEvent *) {
        const QCursor *cursor = QApplication::overrideCursor();
        seen.push_back({modelOf(form).samples().rowCount(), list->verticalScrollBar()->maximum(),
                        cursor && cursor->shape() == Qt::WaitCursor});
    });

    w.runTo("200"); // 20 001 samples
    ASSERT_EQ(modelOf(form).samples().rowCount(), 20001);
    std::vector<Progress> during;
    for (const Progress &p : seen)
        if (p.rows < 20001)
            during.push_back(p);
    // A paint at every 1024 samples or so, each with more rows than the one before,
    // and the list's scroll range following.
    ASSERT_GE(during.size(), 10u);
    for (std::size_t i = 1; i < during.size(); ++i) {
        EXPECT_GT(during[i].rows, during[i - 1].rows);
        EXPECT_GT(during[i].scrollMaximum, during[i - 1].scrollMaximum);
        EXPECT_TRUE(during[i].waitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(LongRun, ShortRunsShowNoProgress)
{
    FormDriver w;
    Form1 &form = w.form;
    int paintsDuringRun = 0;
    EventWatch paints(QEvent::Paint, w.child<QWidget>("Picture1"), [&](QObject *, QEvent *) {
        paintsDuringRun += modelOf(form).samples().rowCount() < 501;
    });
    w.runTo("5");
    EXPECT_EQ(paintsDuringRun, 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(LongRun, InputDuringARunWaitsAndIsHandledAfterwardsInOrder)
{
    FormDriver w(SampleList::kDefaultCapacity, 0);
    Form1 &form = w.form;
    auto *text1 = w.child<QLineEdit>("Text1");
    auto *text2 = w.child<QLineEdit>("Text2");
    text2->setText(QStringLiteral("100")); // 10 001 samples, progress painted throughout

    // Ten Enters in the final field and a key in the first, all queued at once, as if
    // typed while the first run was going.
    constexpr int kEnters = 10;
    for (int i = 0; i < kEnters; ++i)
        QCoreApplication::postEvent(
            text2, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    QCoreApplication::postEvent(
        text1, new QKeyEvent(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7")));

    struct Seen
    {
        QObject *receiver;
        int rows;
    };
    std::vector<Seen> presses;
    EventWatch keys(QEvent::KeyPress, nullptr, [&](QObject *receiver, QEvent *) {
        if (receiver == text1 || receiver == text2)
            presses.push_back({receiver, modelOf(form).samples().rowCount()});
    });
    QCoreApplication::processEvents();

    // Each event came only after the run before it had ended, in the order given.
    ASSERT_EQ(presses.size(), kEnters + 1u);
    for (int i = 0; i < kEnters; ++i) {
        EXPECT_EQ(presses[i].receiver, text2);
        EXPECT_EQ(presses[i].rows, 10001 * i);
    }
    EXPECT_EQ(presses[kEnters].receiver, text1);
    EXPECT_EQ(presses[kEnters].rows, kEnters * 10001);
    EXPECT_EQ(modelOf(form).samples().rowCount(), kEnters * 10001);
    EXPECT_TRUE(text1->text().endsWith(QLatin1Char('7')));
}

TEST(LongRun, AFullListStopsTheRunAndKeepsWhatWasListed)
{
    FormDriver w(600, Form1::kProgressInterval);
    Form1 &form = w.form;
    MessageBoxCatcher answer;
    w.runTo("5");
    ASSERT_EQ(modelOf(form).samples().rowCount(), 501);
    std::vector<QString> first;
    for (int row = 0; row < 501; ++row)
        first.push_back(modelOf(form).samples().line(row));

    w.runTo("5"); // would add 501 more; 99 fit
    ASSERT_EQ(answer.count(), 1);
    EXPECT_EQ(answer.text(), QStringLiteral("The list is full (600 lines). The run stopped at "
                                            "x = 0.99. Ready clears it."));
    ASSERT_EQ(modelOf(form).samples().rowCount(), 600);
    for (int row = 0; row < 501; ++row)
        ASSERT_EQ(modelOf(form).samples().line(row), first[row]) << row;
    EXPECT_EQ(modelOf(form).samples().line(501), first[0]);
    EXPECT_EQ(modelOf(form).samples().line(599), first[98]);

    QTest::mouseClick(w.child<QPushButton>("Command1"), Qt::LeftButton);
    w.runTo("5");
    EXPECT_EQ(modelOf(form).samples().rowCount(), 501);
    EXPECT_EQ(answer.count(), 1);
}

TEST(LongRun, ReadyEmptiesAHugeListAtOnce)
{
    FormDriver w;
    Form1 &form = w.form;
    w.runTo("10000");
    ASSERT_EQ(modelOf(form).samples().rowCount(), 1'000'001);
    QCoreApplication::processEvents();
    auto *list = w.child<QAbstractItemView>("List1");
    EXPECT_GT(list->verticalScrollBar()->maximum(), 900'000);

    QSignalSpy reset(&modelOf(form).samples(), &SampleList::modelReset);
    QSignalSpy removed(&modelOf(form).samples(), &SampleList::rowsRemoved);
    QTest::mouseClick(w.child<QPushButton>("Command1"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(modelOf(form).samples().rowCount(), 0);
    EXPECT_EQ(list->verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(list->indexAt(QPoint(2, 2)).isValid());
}

} // namespace

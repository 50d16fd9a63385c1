// SPDX-License-Identifier: MIT

// The list model keeps only y and each run's x0; its lines must still be the list lines of
// the very samples a run handed out.

#include "model/samplelist.h"
#include "listing/listline.h"
#include "solver/builtins.h"
#include "solver/solver.h"

#include "tests/recordingsink.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <ostream>
#include <string>
#include <vector>

using namespace solver;

namespace {

struct ListCase
{
    std::string name;
    std::vector<RunParameters> runs; // one after another, without Ready
};

void PrintTo(const ListCase &c, std::ostream *os)
{
    *os << c.name;
}

// Feeds a run to the list the way the window's sink does.
class ListSink : public RecordingSink
{
public:
    explicit ListSink(SampleList &list) : m_list(list) {}

    bool start(double x0, double y0) override
    {
        m_list.store().startRun({.x0 = x0});
        return RecordingSink::start(x0, y0);
    }

    bool sample(double x, double y) override
    {
        const bool taken = RecordingSink::sample(x, y);
        m_list.store().tryAppend(y);
        return taken;
    }

private:
    SampleList &m_list;
};

class SampleListRuns : public testing::TestWithParam<ListCase>
{
};

TEST_P(SampleListRuns, RowsAreTheListLinesOfTheSamplesHandedOut)
{
    SampleList list;
    QSignalSpy inserted(&list, &SampleList::rowsInserted);
    std::vector<std::string> expected;
    for (const RunParameters &p : GetParam().runs) {
        ListSink sink(list);
        run(p, sink);
        list.commit();
        for (const auto &[x, y] : sink.samples)
            expected.push_back(listLine(x, y));
    }
    ASSERT_EQ(list.rowCount(), static_cast<int>(expected.size()));
    for (int row = 0; row < list.rowCount(); ++row)
        ASSERT_EQ(list.data(list.index(row)).toString().toStdString(), expected[row]) << row;
    // One insert per commit that added rows, never one per row.
    EXPECT_LE(inserted.count(), static_cast<int>(GetParam().runs.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SampleListRuns,
    testing::Values(
        ListCase{"Default",
                 {RunParameters{.eq = Builtin::None, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 5}}},
        ListCase{
            "SineFromNegativeStart",
            {RunParameters{.eq = Builtin::SineForced, .x0 = -3.7, .y0 = 1, .z0 = 0, .xf = 12}}},
        // far from 0 the grid abscissae carry rounding that the 15 digits show
        ListCase{"LargeStart",
                 {RunParameters{
                     .eq = Builtin::Oscillator, .x0 = 12345.678, .y0 = 1, .z0 = 0, .xf = 12350}}},
        ListCase{"TinyStart",
                 {RunParameters{.eq = Builtin::None, .x0 = 1e-9, .y0 = 0, .z0 = 1, .xf = 0.5}}},
        ListCase{"EmdenStop",
                 {RunParameters{
                     .eq = Builtin::Emden, .x0 = 0.01, .y0 = 1, .z0 = 0, .xf = 20, .values = {1}}}},
        // an empty run in between leaves the later x values right
        ListCase{"RunsInSuccession",
                 {RunParameters{.eq = Builtin::None, .x0 = 0, .y0 = 0.01, .z0 = 16.947, .xf = 1},
                  RunParameters{.eq = Builtin::None, .x0 = 3, .y0 = 0, .z0 = 0, .xf = 2},
                  RunParameters{.eq = Builtin::SineForced, .x0 = -1, .y0 = 0, .z0 = 1, .xf = 0.5},
                  RunParameters{.eq = Builtin::None, .x0 = 7, .y0 = 1, .z0 = 1, .xf = 7}}}),
    [](const testing::TestParamInfo<ListCase> &info) { return info.param.name; });

TEST(SampleList, IsFullAtItsCapacityAndPublishesOnlyAtCommit)
{
    SampleList list(3);
    SampleStore &store = list.store();
    store.startRun({.x0 = 0});
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(store.full());
        store.tryAppend(i);
    }
    EXPECT_TRUE(store.full());
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.commit(), 0);
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.line(2), QStringLiteral("0.02   2.0000"));
    EXPECT_EQ(store.nextAbscissa(), 0.03);
}

TEST(SampleList, ClearEmptiesEverythingInOneReset)
{
    SampleList list;
    SampleStore &store = list.store();
    store.startRun({.x0 = 0});
    // Across chunk boundaries, every value where it was put.
    for (int i = 0; i < 1'000'000; ++i)
        ASSERT_TRUE(store.tryAppend(i));
    list.commit();
    for (const int row : {0, 262'143, 262'144, 999'999})
        EXPECT_EQ(list.y(row), row);
    // A snapshot, as a view's worker holds one, still reads its samples after the clear.
    const SampleStore::Snapshot snapshot = store.snapshot();
    QSignalSpy reset(&list, &SampleList::modelReset);
    QSignalSpy removed(&list, &SampleList::rowsRemoved);
    list.clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_FALSE(store.full());
    EXPECT_EQ(snapshot.size(), 1'000'000u);
    EXPECT_EQ(snapshot.y(999'999), 999'999);

    // A run after the clear starts from its own x0.
    store.startRun({.x0 = -1});
    store.tryAppend(0.25);
    list.commit();
    EXPECT_EQ(list.line(0), QStringLiteral("-1   .2500"));
}

} // namespace

// the pieces every module shares: progress split into phases, the order workers take files in, and errors
// whose kind callers act on
#include "core/common/progress.h"
#include "core/common/work_order.h"
#include "core/project/text.h"
#include "core/restore/restore.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

using testing::ScratchFolder;

TEST(ProgressTest, PhasesMapOntoOneBarThatNeverGoesBack) {
    std::vector<double> seen;
    Progress bar([&](double fraction) { seen.push_back(fraction); });
    const Progress write = bar.Part(0.2, 0.5);
    const Progress flush = bar.Part(0.7, 0.1);
    bar.Part(0, 0.2).Report(0.5);   // half of the first phase
    write.Part(0.5, 0.5).Report(0); // a part of a part starts where its parent's half does
    write.Report(2.0);              // over-reports are held at the phase's end
    flush.Report(-1);               // a phase that starts low does not pull the bar back
    write.Report(0.1);              // nor does a late report of an earlier phase
    bar.Part(0.9, 0.5).Report(1);   // a part that overhangs the bar ends at its end
    const std::vector<double> expected{0.1, 0.45, 0.7, 0.7, 0.7, 1.0};
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_DOUBLE_EQ(seen[i], expected[i]) << "report " << i;
    Progress().Part(0.5, 0.5).Report(1); // no sink: nothing to call, nothing to crash
}

TEST(ProgressTest, ThrottlePassesNewStepsAndPacesValues) {
    using namespace std::chrono_literals;
    ProgressThrottle throttle(40ms);
    const ProgressThrottle::TimePoint start{};
    EXPECT_TRUE(throttle.shouldPost(0, 1, start));
    EXPECT_FALSE(throttle.shouldPost(0, 2, start + 10ms)); // too soon
    EXPECT_TRUE(throttle.shouldPost(1, 2, start + 11ms));  // a new step is never held back
    EXPECT_FALSE(throttle.shouldPost(1, 2, start + 90ms)); // nothing changed
    EXPECT_TRUE(throttle.shouldPost(1, 3, start + 91ms));
}

// Callers act on the kind (a cancel is no failure, a missing file can be fixed by the user), so each
// module must say the right one; a folder, a pipe and an oversize project are kinds of the input table.
// Only a file that would leave one worker alone at the end moves ahead; the rest keep their order, or the
// writer and the progress bar wait behind a reordering (the window's progress stood still for 290 ms).
TEST(WorkOrderTest, OnlyFilesThatWouldLeaveAWorkerAloneMoveAhead) {
    using Order = std::vector<std::size_t>;
    EXPECT_EQ(BigOnesFirst({10, 20, 10, 30, 200, 10, 500, 20}, 2), (Order{6, 4, 0, 1, 2, 3, 5, 7}));
    EXPECT_EQ(BigOnesFirst({5, 5, 5, 5, 5, 5, 5, 5, 5, 5}, 2), InOrder(10));
    EXPECT_EQ(BigOnesFirst({1, 1000}, 1), InOrder(2));
}

TEST(ErrorKindTest, EachFailureSaysWhatKindItIs) {
    ScratchFolder scratch;
    const std::string missing = scratch.Path("missing.vbp");
    const auto absent = ReadTextFile(missing);
    ASSERT_FALSE(absent.ok());
    EXPECT_EQ(absent.failure().kind, ErrorKind::NotFound);
    EXPECT_EQ(absent.failure().path, missing);
    EXPECT_NE(absent.failure().systemError, 0);
    EXPECT_EQ(ExtractArchive(missing + ".zip", scratch.Path("out"), {}).failure().kind, ErrorKind::NotFound);
    const auto notAnArchive = ExtractArchive(scratch.Write("a.zip", "Type=Exe\r\n"), scratch.Path("out"), {});
    EXPECT_EQ(notAnArchive.failure().kind, ErrorKind::Damaged);
}

} // namespace
} // namespace corvane

// flushing a written archive: pieces with progress in between, the closing fsync last, a stop honoured
#include "core/zip_file_sync.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

using corvane::testing::ScratchFolder;

struct SyncCase {
    const char* name;
    std::size_t bytes;
    int stopAtStep;    // the step that answers false; 0: none does
    std::size_t steps; // how many steps are heard
    bool flushed;
};

class SyncFileTest : public ::testing::TestWithParam<SyncCase> {};

TEST_P(SyncFileTest, StepsRiseToOneUnlessStopped) {
    const SyncCase& c = GetParam();
    ScratchFolder scratch;
    const std::string file = scratch.Write("a.zip.tmp", std::string(c.bytes, 'z'));
    std::vector<double> heard;
    const Status status = SyncFile(file, [&](double done) {
        heard.push_back(done);
        return static_cast<int>(heard.size()) != c.stopAtStep;
    });
    EXPECT_EQ(static_cast<bool>(status), c.flushed) << (status ? "" : status.error());
    ASSERT_EQ(heard.size(), c.steps);
    for (std::size_t i = 0; i < heard.size(); ++i)
        EXPECT_TRUE(heard[i] > (i == 0 ? 0.0 : heard[i - 1]) && heard[i] <= 1.0) << "step " << i;
    // only the closing fsync says everything is on the disk
    EXPECT_EQ(!heard.empty() && heard.back() == 1.0, c.flushed);
    EXPECT_TRUE(c.flushed || status.error().find(file) != std::string::npos);
}

constexpr std::size_t kMiB = 1 << 20;

INSTANTIATE_TEST_SUITE_P(
    Flush, SyncFileTest,
    ::testing::Values(SyncCase{"Empty", 0, 0, 1, true}, SyncCase{"UnderOnePiece", 1000, 0, 2, true},
                      SyncCase{"ThreeAndAHalfPieces", 3 * kMiB + kMiB / 2, 0, 5, true},
                      SyncCase{"ExactlyTwoPieces", 2 * kMiB, 0, 3, true},
                      SyncCase{"StoppedAtTheSecondPiece", 3 * kMiB + kMiB / 2, 2, 2, false},
                      // once the last piece is written the fsync is all that is left: a stop then is too late
                      SyncCase{"StopAfterTheLastPieceIsTooLate", 2 * kMiB, 3, 3, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane

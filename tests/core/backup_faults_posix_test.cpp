// archive runs broken on purpose, each with and without an older archive of the same name, and the flush of
// a written archive
#include <sys/resource.h>
#include <sys/stat.h>

#include "core/platform/platform.h"
#include "core/zip/zip.h"
#include "support/child_process.h"
#include "support/vb_project_fixture.h"

namespace corvane {
namespace {

using namespace corvane::testing;

constexpr auto StayAsYouAre = [] { return true; };

// A path below the scratch folder removed once progress passed `at` (0: before the run) or, with `at` below
// 0, locked with `mode`; without a path, a cancel at `at`. `enter` is what the child suffers before the run.
struct Fault {
    const char* name;
    const char* path;
    double at;
    mode_t mode;
    bool (*enter)();
    std::string stepLabel; // the project line blamed; none for a cancel
};

const Fault kFaults[] = {
    {"ReferencedFileMissing", "proj/Classes/clsLog.cls", 0, 0, StayAsYouAre,
     "Class=clsLog; Classes\\clsLog.cls"},
    // the module comes after the large resource: it is gone by the time the writer reaches it
    {"FileRemovedDuringWrite",
     "proj/modules/M\xC3\xB3"
     "dulo.bas",
     0.3, 0, StayAsYouAre,
     "Module=modAccent; Modules\\M\xF3"
     "dulo.bas"},
    {"CancelAt10", nullptr, 0.1, 0, StayAsYouAre, ""}, // among the project lines
    {"CancelAt50", nullptr, 0.5, 0, StayAsYouAre, ""}, // while compressing
    {"CancelAt90", nullptr, 0.9, 0, StayAsYouAre, ""}, // while reading the archive back
    {"UnreadableFile", "proj/Controls/ppGrid.pag", -1, 0, DropToNobody, "PropertyPage=Controls\\ppGrid.pag"},
    {"ReadOnlyDestination", "backup", -1, 0555, DropToNobody, "Writing Zip File"},
    // no file may grow past 1 MiB, as if the disk filled up in the middle of the archive
    {"DiskFull", nullptr, -1, 0,
     [] {
         std::signal(SIGXFSZ, SIG_IGN);
         const rlimit limit{1 << 20, 1 << 20};
         return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
     },
     "Writing Zip File"},
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

class FaultInjection : public ::testing::TestWithParam<std::tuple<Fault, Destination>> {};

TEST_P(FaultInjection, LeavesEveryOldFileAndNoTemporary) {
    const auto& [fault, destination] = GetParam();
    FaultScene scene;
    scene.Prepare(destination);
    const std::string path = fault.path ? scene.Scratch().Path(fault.path) : "";
    const bool locks = fault.path && fault.at < 0, removes = fault.path && fault.at >= 0;
    struct stat unlocked {};
    ASSERT_TRUE(!locks || (::stat(path.c_str(), &unlocked) == 0 && ::chmod(path.c_str(), fault.mode) == 0));
    auto before = scene.State();
    if (removes)
        before.erase(fault.path);
    if (removes && fault.at == 0)
        fs::remove(path);
    // gtest's assertions cannot leave a child process: its verdict is its exit code
    const int verdict = ExitCodeOf(StartChild([&] {
        if (!fault.enter())
            return 10;
        double fraction = 0;
        RunOptions options = scene.Options();
        options.progress = [&fraction](const RunProgress& progress) { fraction = progress.archive.fraction; };
        options.cancelRequested = [&] {
            if (removes && fraction > fault.at)
                fs::remove(path);
            return !fault.path && fault.at > 0 && fraction >= fault.at;
        };
        const RunOutcome outcome = RunSingleProject(scene.Request(), options);
        const bool cancel = fault.stepLabel.empty();
        return outcome.kind != (cancel ? RunOutcome::Kind::Cancelled : RunOutcome::Kind::ProjectFailed)
                   ? 20 + static_cast<int>(outcome.kind)
               : cancel || ArchiveFailureMessage(outcome.FirstFailure()) ==
                               "An error appears to have occurred...\r\nLine : " + fault.stepLabel
                   ? 0
                   : 30;
    }));
    if (locks)
        ::chmod(path.c_str(), unlocked.st_mode);
    EXPECT_EQ(verdict, 0) << "10: could not enter the fault, 20+: the run's kind, 30: blamed another step";
    EXPECT_EQ(scene.State(), before);
    EXPECT_EQ(scene.ArchiveKind(), destination == Destination::New ? "absent" : "old");
}

INSTANTIATE_TEST_SUITE_P(Matrix, FaultInjection,
                         ::testing::Combine(::testing::ValuesIn(kFaults),
                                            ::testing::Values(Destination::New, Destination::Existing)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    kDestinationNames[int(std::get<1>(info.param))];
                         });

class KilledArchiveWrite : public ::testing::TestWithParam<Destination> {};

// After each kill the archive's name holds the new archive whole or nothing, and an older archive of that
// name is never touched (the new one goes beside it); the next run clears the killed write's temporaries.
TEST_P(KilledArchiveWrite, FinalNameIsWholeOrAbsentAndNextRunClearsTemporaries) {
    constexpr int kKills = 6;
    const Destination destination = GetParam();
    const bool existing = destination == Destination::Existing;
    FaultScene scene;
    const SingleProjectRequest request = scene.Request();
    std::mt19937 random(std::random_device{}());
    int interrupted = 0, leftBehind = 0;
    for (int round = 0; round < kKills; ++round) {
        scene.Prepare(destination);
        const auto sourcesBefore = Snapshot(scene.Scratch().Path("proj"));
        const double threshold = std::uniform_real_distribution<double>(0.25, 0.95)(random);
        const auto jitter = std::chrono::microseconds(std::uniform_int_distribution<int>(0, 3000)(random));
        const int ended = KillDuring(
            [&](const std::function<void()>& signal) {
                RunOptions options = scene.Options();
                options.progress = [&](const RunProgress& progress) {
                    if (progress.archive.fraction >= threshold)
                        signal();
                };
                RunSingleProject(request, options);
            },
            jitter);
        const std::string kind =
            scene.ArchiveKind(existing ? scene.NumberedArchivePath() : scene.ArchivePath());
        SCOPED_TRACE("kill " + std::to_string(round) + " at " + std::to_string(threshold) + ", child ended " +
                     std::to_string(ended) + ", archive " + kind);
        EXPECT_TRUE(kind == "new" || kind == "absent");
        EXPECT_EQ(scene.ArchiveKind(), existing ? "old" : kind);
        interrupted += kind != "new";
        const std::string numbered = FileNameOfPath(scene.NumberedArchivePath());
        for (const std::string& name : FileNamesIn(scene.Scratch().Path("backup"))) {
            leftBehind += name.starts_with(".corvane-");
            EXPECT_TRUE(name == kSceneZipName || (existing && name == numbered) ||
                        name.starts_with(".corvane-"))
                << name;
        }
        EXPECT_EQ(Snapshot(scene.Scratch().Path("proj")), sourcesBefore);
        EXPECT_TRUE(FileNamesIn(scene.Scratch().Path("tmp")).empty());
    }
    EXPECT_GT(interrupted, 0) << "no kill landed before the archive took its name";
    EXPECT_GT(leftBehind, 0) << "no kill left a temporary behind: the clean-up below proves nothing";

    scene.Prepare(destination); // a round's whole archive would take the name or the number
    ASSERT_EQ(RunSingleProject(request, scene.Options()).kind, RunOutcome::Kind::Completed);
    EXPECT_EQ(FileNamesIn(scene.Scratch().Path("backup")).size(), existing ? 2u : 1u);
    EXPECT_EQ(scene.ArchiveKind(existing ? scene.NumberedArchivePath() : scene.ArchivePath()), "new");
}

INSTANTIATE_TEST_SUITE_P(Matrix, KilledArchiveWrite,
                         ::testing::Values(Destination::New, Destination::Existing),
                         [](const auto& info) { return kDestinationNames[int(info.param)]; });

// A new build takes away only the writer's own temporaries, and only those whose process is gone.
TEST(ZipTemporaries, NewBuildRemovesOnlyThoseOfEndedProcesses) {
    ScratchFolder scratch;
    const pid_t ended = StartChild([] { return 0; });
    ASSERT_EQ(ExitCodeOf(ended), 0);
    const std::string dead = std::to_string(ended), alive = "1"; // init outlives every test
    const std::string prefix = ".corvane-" + dead + "-0123456789abcde";
    const std::vector<std::string> removed = {prefix + "f.zip.tmp", prefix + "f.zip.tmp.Ab3dE9"};
    std::vector<std::string> kept = {prefix + "f.zip.tmp.toolong", prefix + "g.zip.tmp", prefix + "f.zip",
                                     ".corvane-0123456789abcdef.part", "Billing 1.0.0.20250717095823.zip"};
    for (const std::string& running : {alive, std::to_string(::getpid())})
        kept.push_back(".corvane-" + running + "-0123456789abcdef.zip.tmp");
    for (const auto& names : {removed, kept})
        for (const std::string& name : names)
            scratch.Write(name);
    kept.push_back(".corvane-" + dead + "-fedcba9876543210.zip.tmp"); // a folder, not a file
    fs::create_directories(scratch.Path(kept.back()));
    ZipComponent zip;
    ASSERT_EQ(zip.NewZip(scratch.Path("new.zip")), 1) << zip.LastError();
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(FileNamesIn(scratch.Path()), kept);
}

TEST(SyncFile, StepsRiseToOneUnlessStopped) {
    constexpr std::size_t kMiB = 1 << 20;
    const struct {
        std::size_t bytes, steps; // the file's size, how many steps are heard
        int stopAtStep;           // the step that answers false; 0: none does
        bool flushed;
    } cases[] = {{0, 1, 0, true},
                 {1000, 2, 0, true},
                 {3 * kMiB + kMiB / 2, 5, 0, true},
                 {2 * kMiB, 3, 0, true},
                 {3 * kMiB + kMiB / 2, 2, 2, false},
                 {2 * kMiB, 3, 3, true}}; // once the last piece is written only the fsync is left: too late
    ScratchFolder scratch;
    for (const auto& c : cases) {
        const std::string file = scratch.Write("a.zip.tmp", std::string(c.bytes, 'z'));
        std::vector<double> heard;
        const Status status = SyncFile(file, [&](double done) {
            heard.push_back(done);
            return static_cast<int>(heard.size()) != c.stopAtStep;
        });
        SCOPED_TRACE(std::to_string(c.bytes) + " bytes, stop at " + std::to_string(c.stopAtStep));
        EXPECT_EQ(static_cast<bool>(status), c.flushed) << (status ? "" : status.error());
        ASSERT_EQ(heard.size(), c.steps);
        for (std::size_t i = 0; i < heard.size(); ++i)
            EXPECT_TRUE(heard[i] > (i == 0 ? 0.0 : heard[i - 1]) && heard[i] <= 1.0) << "step " << i;
        // only the closing fsync says everything is on the disk
        EXPECT_EQ(!heard.empty() && heard.back() == 1.0, c.flushed);
        EXPECT_TRUE(c.flushed || status.error().find(file) != std::string::npos);
    }
}

} // namespace
} // namespace corvane

// archive runs broken on purpose inside the process: a file missing, a file vanishing mid-write, a cancel at
// 10, 50 and 90 %; each with and without an older archive of the same name
#include "fault_scene.h"

namespace corvane {
namespace {

using namespace corvane::testing;

// A file removed once the run's progress passed `at` (0: before the run), or with none a cancel there.
struct Fault {
    const char* name;
    double at;
    const char* removed; // below the scratch folder
    RunOutcome::Kind kind;
    std::string stepLabel; // the project line blamed, for a failure
};

const Fault kFaults[] = {
    {"ReferencedFileMissing", 0, "proj/Classes/clsLog.cls", RunOutcome::Kind::ProjectFailed,
     "Class=clsLog; Classes\\clsLog.cls"},
    // the module comes after the large resource: it is gone by the time the writer reaches it
    {"FileRemovedDuringWrite", 0.3,
     "proj/modules/M\xC3\xB3"
     "dulo.bas",
     RunOutcome::Kind::ProjectFailed,
     "Module=modAccent; Modules\\M\xF3"
     "dulo.bas"},
    {"CancelAt10", 0.1, nullptr, RunOutcome::Kind::Cancelled, ""}, // among the project lines
    {"CancelAt50", 0.5, nullptr, RunOutcome::Kind::Cancelled, ""}, // while compressing
    {"CancelAt90", 0.9, nullptr, RunOutcome::Kind::Cancelled, ""}, // while reading the archive back
};

class FaultInjection : public ::testing::TestWithParam<std::tuple<Fault, Destination>> {};

TEST_P(FaultInjection, LeavesEveryOldFileAndNoTemporary) {
    const auto& [fault, destination] = GetParam();
    FaultScene scene;
    scene.Prepare(destination);
    auto before = scene.State();
    const std::string removed = fault.removed ? scene.Scratch().Path(fault.removed) : "";
    double fraction = 0;
    RunOptions options = scene.Options();
    options.progress = [&fraction](const RunProgress& progress) { fraction = progress.archive.fraction; };
    options.cancelRequested = [&fraction, &fault, &removed] {
        if (fault.removed && fraction > fault.at)
            fs::remove(removed);
        return !fault.removed && fraction >= fault.at;
    };
    if (fault.removed) {
        before.erase(fault.removed);
        if (fault.at == 0)
            fs::remove(removed);
    }

    const RunOutcome outcome = RunSingleProject(scene.Request(), options);
    ASSERT_EQ(outcome.kind, fault.kind) << outcome.failure.stepLabel << ": " << outcome.failure.reason;
    if (fault.kind == RunOutcome::Kind::ProjectFailed) {
        EXPECT_EQ(ArchiveFailureMessage(outcome.failure),
                  "An error appears to have occurred...\r\nLine : " + fault.stepLabel);
    }
    EXPECT_EQ(scene.State(), before);
    EXPECT_EQ(scene.ArchiveKind(), destination == Destination::New ? "absent" : "old");
    scene.ExpectCleanSettings();
}

INSTANTIATE_TEST_SUITE_P(Matrix, FaultInjection,
                         ::testing::Combine(::testing::ValuesIn(kFaults),
                                            ::testing::Values(Destination::New, Destination::Existing)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    DestinationName(std::get<1>(info.param));
                         });

} // namespace
} // namespace corvane

// archive runs broken on purpose inside the process: a file missing, a file vanishing mid-write, a cancel at
// 10, 50 and 90 %; each with and without an older archive of the same name
#include <functional>

#include "fault_scene.h"

namespace corvane {
namespace {

using namespace corvane::testing;

// One fault: how it is armed before the run, and what the run must then report.
struct Fault {
    const char* name;
    std::function<void(FaultScene&, RunOptions&, double& fraction)> arm;
    RunOutcome::Kind kind;
    std::string stepLabel; // the project line blamed, for a failure
    std::string removed;   // the file the fault itself deletes, below the scratch folder
};

void PrintTo(const Fault& fault, std::ostream* os) {
    *os << fault.name;
}

Fault CancelAt(const char* name, double threshold) {
    return {name,
            [threshold](FaultScene&, RunOptions& options, double& fraction) {
                options.cancelRequested = [&fraction, threshold] { return fraction >= threshold; };
            },
            RunOutcome::Kind::Cancelled, "", ""};
}

const Fault kFaults[] = {
    {"ReferencedFileMissing",
     [](FaultScene& scene, RunOptions&, double&) {
         fs::remove(scene.Scratch().Path("proj/Classes/clsLog.cls"));
     },
     RunOutcome::Kind::ProjectFailed, "Class=clsLog; Classes\\clsLog.cls", ""},
    // the module comes after the large resource: it is gone by the time the writer reaches it
    {"FileRemovedDuringWrite",
     [](FaultScene& scene, RunOptions& options, double& fraction) {
         const std::string module = scene.Scratch().Path("proj/modules/M\xC3\xB3"
                                                         "dulo.bas");
         options.cancelRequested = [&fraction, module] {
             if (fraction > 0.3)
                 fs::remove(module);
             return false;
         };
     },
     RunOutcome::Kind::ProjectFailed,
     "Module=modAccent; Modules\\M\xF3"
     "dulo.bas",
     "proj/modules/M\xC3\xB3"
     "dulo.bas"},
    CancelAt("CancelAt10", 0.1), // among the project lines
    CancelAt("CancelAt50", 0.5), // while compressing
    CancelAt("CancelAt90", 0.9), // while reading the archive back
};

class FaultInjection : public ::testing::TestWithParam<std::tuple<Fault, Destination>> {};

TEST_P(FaultInjection, LeavesEveryOldFileAndNoTemporary) {
    const auto& [fault, destination] = GetParam();
    FaultScene scene;
    scene.Prepare(destination);
    double fraction = 0;
    RunOptions options = scene.Options();
    options.progress = [&fraction](const RunProgress& progress) { fraction = progress.archive.fraction; };
    fault.arm(scene, options, fraction);
    auto before = scene.State();

    const RunOutcome outcome = RunSingleProject(scene.Request(), options);
    ASSERT_EQ(outcome.kind, fault.kind) << outcome.failure.stepLabel << ": " << outcome.failure.reason;
    if (fault.kind == RunOutcome::Kind::ProjectFailed) {
        EXPECT_EQ(outcome.failure.stepLabel, fault.stepLabel);
        EXPECT_EQ(ArchiveFailureMessage(outcome.failure),
                  "An error appears to have occurred...\r\nLine : " + fault.stepLabel);
    }
    if (!fault.removed.empty())
        before.erase(fault.removed);
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

// warnings of an archive run are heard as they arise, before the archive is built, and kept in its outcome
#include "core/archive_run.h"
#include "core/settings_store.h"
#include "vb_project_fixture.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class RunWarningTest : public ::testing::TestWithParam<bool> {};

TEST_P(RunWarningTest, AStoreThatRefusesIsHeardBeforeAnyProgress) {
    const bool group = GetParam();
    ScratchFolder scratch;
    scratch.Write("p/mod.bas", "x");
    const std::string project = scratch.Write("p/P.vbp", CrLf({"Module=mod; mod.bas", "Name=\"P\""}));
    // a settings file below a plain file can never be written, whoever runs the test
    SettingsStore store(
        SettingsLocation{scratch.Write("blocked") + "/machine.settings", scratch.Path("user.settings")});
    RunOptions options;
    options.settings = &store;
    options.clock = [] { return BackupMoment(); };
    int progressReports = 0;
    std::vector<std::string> heard;
    std::vector<int> progressWhenHeard;
    options.progress = [&](const RunProgress&) { ++progressReports; };
    options.warning = [&](const std::string& warning) {
        heard.push_back(warning);
        progressWhenHeard.push_back(progressReports);
    };

    RunOutcome outcome;
    if (group) {
        outcome = RunGroup({{project}, scratch.Path("out"), "Suite", ""}, options);
    } else {
        Result<ProjectSelection> selection = SelectSingleProject(project, [] { return BackupMoment(); });
        ASSERT_TRUE(selection.ok());
        outcome = RunSingleProject({project, selection->state, scratch.Path("out/"), ""}, options);
    }

    ASSERT_EQ(outcome.kind, RunOutcome::Kind::Completed) << outcome.failure.reason;
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard, outcome.warnings);
    EXPECT_EQ(heard.front().rfind("The last backup folder could not be remembered: ", 0), 0u)
        << heard.front();
    EXPECT_EQ(progressWhenHeard, std::vector<int>{0});
    EXPECT_GT(progressReports, 0);
}

INSTANTIATE_TEST_SUITE_P(Runs, RunWarningTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Group" : "SingleProject"; });

} // namespace
} // namespace corvane

// archive runs: where archives go, when the last backup folder is remembered, and how a group stops
#include "core/archive_run.h"
#include "core/settings_store.h"
#include "vb_project_fixture.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class ArchiveRunTest : public ::testing::Test {
protected:
    ArchiveRunTest()
        : m_settings(SettingsLocation{m_scratch.Path("settings/machine.settings"),
                                      m_scratch.Path("settings/user.settings")}) {
        fs::create_directories(m_scratch.Path("settings"));
        m_options.settings = &m_settings;
        m_options.clock = [] { return BackupMoment(); };
    }

    std::string LastDir() {
        SettingsResult read = m_settings.RegGetSetting("Corvane", "Files", "LastDir", "<none>", true);
        return read.ok() ? read.value() : "<error>";
    }
    // A project of one module, named by its file.
    std::string SmallProject(const std::string& relative, const std::string& name) {
        m_scratch.Write(fs::path(relative).parent_path().string() + "/mod.bas", "x");
        return m_scratch.Write(relative, CrLf({"Module=mod; mod.bas", "Name=\"" + name + "\""}));
    }
    SingleProjectRequest Single(const std::string& project, const std::string& destination) {
        Result<ProjectSelection> selection = SelectSingleProject(project, [] { return BackupMoment(); });
        EXPECT_TRUE(selection.ok());
        return {project, selection.ok() ? selection->state : JobState{}, destination, ""};
    }

    ScratchFolder m_scratch;
    BillingProject m_project{m_scratch};
    SettingsStore m_settings;
    RunOptions m_options;
};

TEST_F(ArchiveRunTest, SingleProjectGoesIntoTheDestinationAsGivenAndIsRemembered) {
    m_options.archive.driveMap.Set("D", m_project.driveD);
    const std::string destination = m_scratch.Path("out/Sources.Backup/");
    const RunOutcome outcome = RunSingleProject(Single(m_project.path, destination), m_options);
    ASSERT_EQ(outcome.kind, RunOutcome::Kind::Completed) << outcome.failure.reason;
    EXPECT_EQ(outcome.archives, std::vector<std::string>{destination + "Billing 2.1.0.20250717095823.zip"});
    EXPECT_TRUE(fs::exists(outcome.archives.front()));
    EXPECT_EQ(outcome.backupFolder, destination);
    EXPECT_EQ(LastDir(), destination);
    EXPECT_TRUE(outcome.warnings.empty());
}

TEST_F(ArchiveRunTest, NothingSelectedOrNoGroupDestinationIsRefusedWithoutSideEffects) {
    EXPECT_EQ(RunSingleProject(SingleProjectRequest{}, m_options).kind, RunOutcome::Kind::Refused);
    GroupRequest group{{m_project.path}, "", "Suite", ""};
    EXPECT_EQ(RunGroup(group, m_options).kind, RunOutcome::Kind::Refused);
    EXPECT_EQ(LastDir(), "<none>");
}

// Projects of the same name keep every archive, numbered, each with a warning.
TEST_F(ArchiveRunTest, GroupWritesOneTimeStampedFolderNamedAfterFullPathsKeepingEveryArchive) {
    const std::string first = SmallProject("a/App.vbp", "Alpha");
    const std::string unnamed = m_scratch.Write("b/Tool.vbp", CrLf({"Type=Exe"}));
    std::vector<RunProgress> seen;
    m_options.progress = [&](const RunProgress& progress) { seen.push_back(progress); };
    const RunOutcome outcome =
        RunGroup({{first, unnamed, SmallProject("one/App.vbp", "App"), SmallProject("two/App.vbp", "App"),
                   SmallProject("three/App.vbp", "App")},
                  m_scratch.Path("dest"),
                  "Suite",
                  ""},
                 m_options);
    ASSERT_EQ(outcome.kind, RunOutcome::Kind::Completed) << outcome.failure.reason;
    const std::string folder = m_scratch.Path("dest/Suite/20250717095823/");
    EXPECT_EQ(outcome.backupFolder, folder);
    EXPECT_EQ(LastDir(), folder);
    // without "Name=" a group project is named after its full path, every separator made "_"
    std::string pathName = m_scratch.Path("b/Tool");
    std::ranges::replace(pathName, '/', '_');
    const std::string stamp = " 0.0.0.20250717095823";
    EXPECT_EQ(outcome.archives,
              (std::vector<std::string>{folder + "Alpha" + stamp + ".zip", folder + pathName + stamp + ".zip",
                                        folder + "App" + stamp + ".zip", folder + "App" + stamp + " (2).zip",
                                        folder + "App" + stamp + " (3).zip"}));
    EXPECT_EQ(FileNamesIn(folder).size(), 5u);
    ASSERT_EQ(outcome.warnings.size(), 2u);
    EXPECT_NE(outcome.warnings[1].find("(3).zip"), std::string::npos) << outcome.warnings[1];
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().projectPath, first);
    EXPECT_EQ(seen.back().projectsDone, 5);
    EXPECT_TRUE(std::ranges::is_sorted(seen, {}, &RunProgress::projectIndex));
}

TEST_F(ArchiveRunTest, EmptyGroupStillCreatesItsFolderAndCompletes) {
    const RunOutcome outcome = RunGroup({{}, m_scratch.Path("dest/"), "Suite", ""}, m_options);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::Completed);
    EXPECT_TRUE(fs::is_directory(m_scratch.Path("dest/Suite/20250717095823")));
    EXPECT_EQ(LastDir(), m_scratch.Path("dest/Suite/20250717095823/"));
}

// A store that cannot be written is heard as a warning before any progress, and the run goes on.
TEST_F(ArchiveRunTest, AStoreThatRefusesIsHeardBeforeAnyProgress) {
    const std::string project = SmallProject("p/P.vbp", "P");
    // a settings file below a plain file can never be written, whoever runs the test
    SettingsStore blocked(
        SettingsLocation{m_scratch.Write("blocked") + "/machine.settings", m_scratch.Path("u.settings")});
    m_options.settings = &blocked;
    for (const bool group : {false, true}) {
        int progressReports = 0;
        std::vector<std::string> heard;
        std::vector<int> progressWhenHeard;
        m_options.progress = [&](const RunProgress&) { ++progressReports; };
        m_options.warning = [&](const std::string& warning) {
            heard.push_back(warning);
            progressWhenHeard.push_back(progressReports);
        };
        const RunOutcome outcome = group
                                       ? RunGroup({{project}, m_scratch.Path("out"), "Suite", ""}, m_options)
                                       : RunSingleProject(Single(project, m_scratch.Path("out/")), m_options);
        ASSERT_EQ(outcome.kind, RunOutcome::Kind::Completed) << outcome.failure.reason;
        ASSERT_EQ(heard.size(), 1u) << group;
        EXPECT_EQ(heard, outcome.warnings);
        EXPECT_TRUE(heard.front().starts_with("The last backup folder could not be remembered: "))
            << heard.front();
        EXPECT_EQ(progressWhenHeard, std::vector<int>{0});
        EXPECT_GT(progressReports, 0);
    }
}

// The second of three projects fails: the first archive stays, the third is never built.
struct GroupFailureCase {
    const char* label;
    std::string secondProject; // below the scratch folder; written by the test when `bytes` is set
    std::string bytes;
    const char* stepPart;
    const char* reasonPart;
};

class GroupFailureTest : public ArchiveRunTest, public ::testing::WithParamInterface<GroupFailureCase> {};

TEST_P(GroupFailureTest, StopsAtTheFailingProject) {
    const GroupFailureCase& c = GetParam();
    const std::string first = SmallProject("one/One.vbp", "One");
    const std::string third = SmallProject("three/Three.vbp", "Three");
    const std::string second =
        c.bytes.empty() ? m_scratch.Path(c.secondProject) : m_scratch.Write(c.secondProject, c.bytes);
    const RunOutcome outcome =
        RunGroup({{first, second, third}, m_scratch.Path("dest/"), "Suite", ""}, m_options);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::ProjectFailed);
    EXPECT_EQ(outcome.projectsDone, 1);
    const std::string folder = m_scratch.Path("dest/Suite/20250717095823/");
    EXPECT_EQ(outcome.archives, std::vector<std::string>{folder + "One 0.0.0.20250717095823.zip"});
    EXPECT_EQ(FileNamesIn(folder), std::vector<std::string>{"One 0.0.0.20250717095823.zip"});
    EXPECT_NE(outcome.failure.stepLabel.find(c.stepPart), std::string::npos) << outcome.failure.stepLabel;
    EXPECT_NE(outcome.failure.reason.find(c.reasonPart), std::string::npos) << outcome.failure.reason;
}

INSTANTIATE_TEST_SUITE_P(Second, GroupFailureTest,
                         ::testing::Values(GroupFailureCase{"MissingFile", "two/Two.vbp",
                                                            CrLf({"Form=frmGone.frm"}), "Form=frmGone.frm",
                                                            "frmGone.frm"},
                                           GroupFailureCase{"UnreadableProject", "two/Absent.vbp", "",
                                                            "Absent.vbp", "Absent.vbp"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ArchiveRunTest, CancelBetweenProjectsKeepsWhatWasWritten) {
    const std::string first = SmallProject("one/One.vbp", "One");
    const std::string second = SmallProject("two/Two.vbp", "Two");
    int started = 0;
    m_options.progress = [&](const RunProgress& progress) {
        started = std::max(started, progress.projectIndex + 1);
    };
    m_options.cancelRequested = [&] { return started >= 2; };
    const RunOutcome outcome = RunGroup({{first, second}, m_scratch.Path("dest/"), "Suite", ""}, m_options);
    EXPECT_EQ(outcome.kind, RunOutcome::Kind::Cancelled);
    EXPECT_EQ(FileNamesIn(m_scratch.Path("dest/Suite/20250717095823")),
              std::vector<std::string>{"One 0.0.0.20250717095823.zip"});
}

} // namespace
} // namespace corvane

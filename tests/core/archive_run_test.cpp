// archive runs: where archives go, when the last backup folder is remembered, and how a group stops
#include "vb_project_fixture.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class ArchiveRunTest : public ::testing::Test {
protected:
    std::string LastDir() {
        SettingsResult read = m_scene.Settings().RegGetSetting("Corvane", "Files", "LastDir", "<none>", true);
        return read.ok() ? read.value() : "<error>";
    }
    // A project of one module and a name.
    std::string SmallProject(const std::string& relative, const std::string& name) {
        m_scratch.Write(fs::path(relative).parent_path().string() + "/mod.bas", "x");
        return m_scratch.Write(relative, CrLf({"Module=mod; mod.bas", "Name=\"" + name + "\""}));
    }

    FaultScene m_scene;
    const ScratchFolder& m_scratch = m_scene.Scratch();
    RunOptions m_options = m_scene.Options();
};

// Nothing selected, or a group without a destination, is refused before anything is remembered; a run
// remembers the folder it wrote into, even an empty group's.
TEST_F(ArchiveRunTest, RunsRememberTheFolderTheyWroteInto) {
    const std::string project = SmallProject("p/P.vbp", "P");
    EXPECT_EQ(RunSingleProject(SingleProjectRequest{}, m_options).kind, RunOutcome::Kind::Refused);
    EXPECT_EQ(RunGroup({{project}, "", "Suite", ""}, m_options).kind, RunOutcome::Kind::Refused);
    EXPECT_EQ(LastDir(), "<none>");
    const std::string destination = m_scratch.Path("out/Sources.Backup/");
    const RunOutcome single = RunSingleProject(m_scene.Request(project, destination), m_options);
    EXPECT_EQ(single.archives, std::vector<std::string>{destination + "P 0.0.0.20250717095823.zip"});
    EXPECT_TRUE(fs::exists(single.archives.front()));
    EXPECT_EQ(LastDir(), destination);
    EXPECT_EQ(RunGroup({{}, m_scratch.Path("dest/"), "Suite", ""}, m_options).kind,
              RunOutcome::Kind::Completed);
    EXPECT_TRUE(fs::is_directory(m_scratch.Path("dest/Suite/20250717095823")));
    EXPECT_EQ(LastDir(), m_scratch.Path("dest/Suite/20250717095823/"));
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

// A store that cannot be written is heard as a warning before any progress, and the run goes on.
TEST_F(ArchiveRunTest, AStoreThatRefusesIsHeardBeforeAnyProgress) {
    const std::string project = SmallProject("p/P.vbp", "P");
    // a settings file below a plain file can never be written, whoever runs the test
    SettingsStore blocked(
        SettingsLocation{m_scratch.Write("blocked") + "/machine.settings", m_scratch.Path("u.settings")});
    RunOptions options = m_options;
    options.settings = &blocked;
    for (const bool group : {false, true}) {
        int progressReports = 0;
        std::vector<std::string> heard;
        std::vector<int> progressWhenHeard;
        options.progress = [&](const RunProgress&) { ++progressReports; };
        options.warning = [&](const std::string& warning) {
            heard.push_back(warning);
            progressWhenHeard.push_back(progressReports);
        };
        const RunOutcome outcome =
            group ? RunGroup({{project}, m_scratch.Path("out"), "Suite", ""}, options)
                  : RunSingleProject(m_scene.Request(project, m_scratch.Path("out/")), options);
        ASSERT_EQ(outcome.kind, RunOutcome::Kind::Completed) << outcome.failure.reason;
        ASSERT_EQ(heard.size(), 1u) << group;
        EXPECT_EQ(heard, outcome.warnings);
        EXPECT_TRUE(heard.front().starts_with("The last backup folder could not be remembered: "))
            << heard.front();
        EXPECT_EQ(progressWhenHeard, std::vector<int>{0});
        EXPECT_GT(progressReports, 0);
    }
}

// The second of three projects fails (a file missing, the project unreadable) or is cancelled: the first
// archive stays, the third is never built, and a failure names the second's line or file.
TEST_F(ArchiveRunTest, GroupStopsAtTheFailingOrCancelledProject) {
    const std::string first = SmallProject("one/One.vbp", "One");
    const std::string third = SmallProject("three/Three.vbp", "Three");
    const struct {
        std::string second, step, reason; // no step: cancelled once the second project started
    } cases[] = {
        {m_scratch.Write("two/Two.vbp", CrLf({"Form=frmGone.frm"})), "Form=frmGone.frm", "frmGone.frm"},
        {m_scratch.Path("two/Absent.vbp"), "Absent.vbp", "Absent.vbp"},
        {SmallProject("ok/Two.vbp", "Two"), "", ""}};
    int started = 0;
    m_options.progress = [&](const RunProgress& progress) {
        started = std::max(started, progress.projectIndex + 1);
    };
    for (const auto& c : cases) {
        fs::remove_all(m_scratch.Path("dest"));
        started = 0;
        m_options.cancelRequested = [&] { return c.step.empty() && started >= 2; };
        const RunOutcome outcome =
            RunGroup({{first, c.second, third}, m_scratch.Path("dest/"), "Suite", ""}, m_options);
        EXPECT_EQ(outcome.kind,
                  c.step.empty() ? RunOutcome::Kind::Cancelled : RunOutcome::Kind::ProjectFailed);
        EXPECT_EQ(outcome.projectsDone, 1);
        const std::string folder = m_scratch.Path("dest/Suite/20250717095823/");
        EXPECT_EQ(outcome.archives, std::vector<std::string>{folder + "One 0.0.0.20250717095823.zip"});
        EXPECT_EQ(FileNamesIn(folder), std::vector<std::string>{"One 0.0.0.20250717095823.zip"});
        EXPECT_NE(outcome.failure.stepLabel.find(c.step), std::string::npos) << outcome.failure.stepLabel;
        EXPECT_NE(outcome.failure.reason.find(c.reason), std::string::npos) << outcome.failure.reason;
    }
}

} // namespace
} // namespace corvane

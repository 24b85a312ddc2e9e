// one project into one archive, and archive runs: where archives go, when the last backup folder is
// remembered, how a group stops
#include <numeric>

#include "core/backup/archive_builder.h"
#include "core/backup/retention.h"
#include "core/backup/unchanged.h"
#include "support/vb_project_fixture.h"

namespace corvane {
namespace {

using namespace corvane::testing;

constexpr const char* kVbpName = "Billing 2.1.0.20250717095823.vbp";

class ArchiveBuilderTest : public ::testing::Test {
protected:
    ArchiveOutcome Archive(const std::string& projectPath, const std::string& backupFolder) {
        JobState job = m_job;
        job.gBackupFolder = backupFolder;
        return ArchiveProject(projectPath, job, m_options);
    }
    ArchiveOutcome Archive() { return Archive(m_scene.Project().path, m_scene.Destination()); }
    std::string Entry(const std::string& name) {
        return Shell("unzip -p " + Quoted(m_scene.ArchivePath()) + " " + Quoted(name)).output;
    }
    void WriteProject(const std::string& text) { WriteFile(m_scene.Project().path, text); }

    FaultScene m_scene;
    JobState m_job = m_scene.Request().job; // as selected, before a test rewrites the project file
    ArchiveOptions m_options = m_scene.Options().archive;
};

// The rewritten project file ends every line with CR LF whatever the original used.
TEST_F(ArchiveBuilderTest, StoresEveryFileInLineOrderWithRewrittenProjectLast) {
    std::vector<ArchiveProgress> seen;
    m_options.progress = [&](const ArchiveProgress& progress) { seen.push_back(progress); };
    for (const bool lf : {false, true}) {
        std::string lines = BillingProject::Lines();
        WriteProject(lf ? (std::erase(lines, '\r'), lines) : lines);
        m_scene.Prepare(Destination::New); // the first round's archive would number the second's
        seen.clear();
        const ArchiveOutcome outcome = Archive();
        ASSERT_EQ(outcome.kind, ArchiveOutcome::Kind::Written)
            << outcome.stepLabel << ": " << outcome.error.message;
        EXPECT_EQ(outcome.archivePath, m_scene.ArchivePath());
        EXPECT_EQ(m_scene.ArchiveKind(), "new") << "tested whole, holding every file in line order";
        EXPECT_EQ(Entry(kVbpName), BillingProject::Rewritten()) << lf;
    }
    // progress covers every line and only grows, to 1; the write reports too
    std::vector<int> lines, expected(18);
    for (const auto& progress : seen) {
        if (progress.phase == ArchiveProgress::Phase::Lines)
            lines.push_back(progress.line);
        EXPECT_EQ(progress.lineCount, 18);
    }
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(std::ranges::is_sorted(seen, {}, &ArchiveProgress::fraction));
    EXPECT_DOUBLE_EQ(seen.back().fraction, 1.0);
    EXPECT_GT(seen.size(), lines.size() + 2);
    // companions found whatever their case on disk, stored under the name their file implies
    EXPECT_EQ(Entry("Controls/ucGrid.ctx"), ReadFile(m_scene.Scratch().Path("proj/Controls/ucGrid.CTX")));
    EXPECT_EQ(Entry("FileNotInRootPath/Disk_D_/Lib/modTools.bas"),
              ReadFile(m_scene.Project().driveD + "/Lib/modTools.bas"));
    EXPECT_TRUE(FileNamesIn(m_scene.Scratch().Path("tmp")).empty());
}

// name, UTF-8 flag (bit 11 of the general purpose flags) and bytes of every central record, in order
std::vector<std::pair<std::string, bool>> CentralRecords(const std::string& archive) {
    std::vector<std::pair<std::string, bool>> records;
    for (std::size_t at = archive.find("PK\x01\x02"); at != std::string::npos;
         at = archive.find("PK\x01\x02", at + 4))
        records.emplace_back(archive.substr(at + 46, ReadLittle(archive, at + 28, 2)),
                             (ReadLittle(archive, at + 8, 2) & 0x0800) != 0);
    return records;
}

// Projects written on Central European, Russian and Japanese machines: the name and the entries read in
// the machine's code page and stored as flagged UTF-8, the project file's own bytes kept. "表" (95 5C) and
// "ソ" (83 5C) end in the byte of "\".
TEST(ArchiveCodePages, ProjectsFromWindowsMachinesOfOtherCodePages) {
    const struct {
        int codePage;
        std::string name, folder, file; // in the code page
        std::string nameUtf8, folderUtf8, fileUtf8;
    } cases[] = {
        {1250, "\xDA\xE8" "et", "\xDA\xE8ty", "P\xF8" "ehled", "\xC3\x9A\xC4\x8D" "et", "\xC3\x9A\xC4\x8Dty",
         "P\xC5\x99" "ehled"},
        {1251, "\xD3\xF7\xB8\xF2", "\xD4\xEE\xF0\xEC\xFB", "\xC3\xEB\xE0\xE2\xED\xE0\xFF",
         "\xD0\xA3\xD1\x87\xD1\x91\xD1\x82", "\xD0\xA4\xD0\xBE\xD1\x80\xD0\xBC\xD1\x8B",
         "\xD0\x93\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xBD\xD0\xB0\xD1\x8F"},
        {932, "\x89\xEF\x8C\x76", "\x95\x5C", "\x83\x5C\x83\x74\x83\x67", "\xE4\xBC\x9A\xE8\xA8\x88",
         "\xE8\xA1\xA8", "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"},
    };
    for (const auto& c : cases) {
        ScratchFolder scratch;
        const std::string form = "proj/" + c.folderUtf8 + "/" + c.fileUtf8;
        scratch.Write(form + ".frm", "form");
        scratch.Write(form + ".frx", "binary");
        scratch.Write("Shared/" + c.fileUtf8 + ".bas", "module");
        const std::string project =
            CrLf({"Type=Exe", "Form=" + c.folder + "\\" + c.file + ".frm",
                  "Module=m; ..\\Shared\\" + c.file + ".bas", "Name=\"" + c.name + "\""});
        const std::string path = scratch.Write("proj/P.vbp", project);
        const Result<ProjectSelection> selection = SelectSingleProject(path, BackupMoment);
        ASSERT_TRUE(selection) << selection.error();
        JobState job = selection->state;
        job.gBackupFolder = scratch.Path("out");
        fs::create_directories(job.gBackupFolder);
        ArchiveOptions options;
        options.codePage = CodePage::FromNumber(c.codePage).value();

        const ArchiveOutcome outcome = ArchiveProject(path, job, options);
        ASSERT_EQ(outcome.kind, ArchiveOutcome::Kind::Written) << c.codePage << ": " << outcome.error.message;
        const std::string base = c.nameUtf8 + " 0.0.0.20250717095823";
        EXPECT_EQ(outcome.archivePath, scratch.Path("out/" + base + ".zip"));
        const std::vector<std::pair<std::string, bool>> expected = {
            {c.folderUtf8 + "/" + c.fileUtf8 + ".frm", true},
            {c.folderUtf8 + "/" + c.fileUtf8 + ".frx", true},
            {"FileNotInRootPath/--/Shared/" + c.fileUtf8 + ".bas", true},
            {base + ".vbp", true}};
        EXPECT_EQ(CentralRecords(ReadFile(outcome.archivePath)), expected) << c.codePage;
        std::string rewritten = project;
        rewritten.replace(rewritten.find(".."), 2, "FileNotInRootPath\\--");
        EXPECT_EQ(Shell("unzip -p " + Quoted(outcome.archivePath) + " " + Quoted(base + ".vbp")).output,
                  rewritten)
            << c.codePage;
    }
}

// method 99 in every central record, the rewritten project file's included; 7-Zip reading AES back is
// checked beside the writer
TEST_F(ArchiveBuilderTest, PasswordEncryptsEveryEntryWithAes) {
    m_options.password = "s3cret pw";
    ASSERT_EQ(Archive().kind, ArchiveOutcome::Kind::Written);
    const std::string bytes = ReadFile(m_scene.ArchivePath());
    int records = 0;
    for (std::size_t at = bytes.find("PK\1\2"); at != std::string::npos;
         at = bytes.find("PK\1\2", at + 4), ++records)
        EXPECT_EQ(ReadLittle(bytes, at + 10, 2), 99u) << "central record " << records;
    EXPECT_EQ(records, 15);
}

TEST_F(ArchiveBuilderTest, SameFileNamedTwiceIsStoredOnceAndBothLinesPointAtIt) {
    const std::string lines =
        CrLf({"Module=modA; Shared.bas", "Module=modB; shared.BAS", "Module=modC; Shared.bas"});
    WriteProject(lines);
    WriteFile(m_scene.Project().folder + "/Shared.bas", "x");
    ASSERT_EQ(Archive().kind, ArchiveOutcome::Kind::Written);
    EXPECT_EQ(Shell("unzip -Z1 " + Quoted(m_scene.ArchivePath())).output,
              "Shared.bas\n" + std::string(kVbpName) + "\n");
    EXPECT_EQ(Entry(kVbpName), lines);
}

// Every failure stops at its project line, or at the destination, and leaves an older archive of the same
// name as it was.
TEST_F(ArchiveBuilderTest, FailsAtTheLineOrTheDestinationAndLeavesNothing) {
    // the line of the sample project beginning with `from` replaced
    for (const auto& [from, to, reasonPart] :
         {std::tuple("Module=modUtil", "Module=m; ..\\Else\\u.bas", "..\\Else\\u.bas"),
          {"Module=modTools", "Module=m; Q:\\t.bas", "CORVANE_DRIVE_MAP"},
          {"Module=modMain", "Module=modMain", "names no file"},
          {"Class=clsLog", "Class=clsLog; Classes", "it is a folder, not a file"},
          {"Class=clsLog", "Class=clsLog; Gone.cls", "No such file"}}) {
        std::string text = BillingProject::Lines();
        const std::size_t at = text.find(from);
        WriteProject(text.replace(at, text.find('\r', at) - at, to));
        m_scene.Prepare(Destination::Existing);
        const auto before = m_scene.State();
        const ArchiveOutcome outcome = Archive();
        EXPECT_EQ(outcome.kind, ArchiveOutcome::Kind::Failed);
        EXPECT_NE(outcome.error.message.find(reasonPart), std::string::npos) << outcome.error.message;
        EXPECT_EQ(ArchiveFailureMessage(outcome),
                  std::string("An error appears to have occurred...\r\nLine : ") + to);
        EXPECT_EQ(m_scene.State(), before);
    }
    // a destination that is not a folder fails before the project file is even read, is not made, and the
    // message says what is wrong with it
    const std::string file = m_scene.Scratch().Write("plainfile");
    for (const auto& [folder, says] : {std::pair{m_scene.Scratch().Path("absent/"), "does not exist"},
                                       {file, "is a file, not a folder"},
                                       {file + "/sub/", "a part of the path is not a folder"},
                                       {std::string(), "does not exist"}}) {
        const ArchiveOutcome outcome = Archive(m_scene.Scratch().Path("no-such.vbp"), folder);
        EXPECT_EQ(outcome.kind, ArchiveOutcome::Kind::Failed) << folder;
        EXPECT_EQ(outcome.stepLabel, "Writing Zip File") << folder;
        EXPECT_NE(outcome.error.message.find(says), std::string::npos) << outcome.error.message;
    }
    EXPECT_FALSE(fs::exists(m_scene.Scratch().Path("absent")));
}

class ArchiveRunTest : public ::testing::Test {
protected:
    std::string LastDir() {
        SettingsResult read = m_scene.Settings().RegGetSetting("Corvane", "Files", "LastDir", "<none>", true);
        return read.ok() ? read.value() : "<error>";
    }
    std::string SmallProject(const std::string& relative, const std::string& name) {
        m_scratch.Write(fs::path(relative).parent_path().string() + "/mod.bas", "x");
        return m_scratch.Write(relative, CrLf({"Module=mod; mod.bas", "Name=\"" + name + "\""}));
    }

    FaultScene m_scene;
    const ScratchFolder& m_scratch = m_scene.Scratch();
    RunOptions m_options = m_scene.Options();
};

// Refusals (a group name from a file written by hand that would lead out of the save path among them) make
// and remember nothing; a group run that archives nothing leaves no empty folder, and remembers none; a run
// remembers the folder it wrote into, even an empty group's (a single project's is heard through the store
// that refuses it and through the command line's bare names).
TEST_F(ArchiveRunTest, RunsRememberTheFolderTheyWroteInto) {
    const std::string project = SmallProject("p/P.vbp", "P");
    const std::string gone = m_scratch.Write("g/Gone.vbp", CrLf({"Form=frmGone.frm"}));
    EXPECT_EQ(RunSingleProject(SingleProjectRequest{}, m_options).kind, RunOutcome::Kind::Refused);
    EXPECT_EQ(RunGroup({{project}, "", "Suite", ""}, m_options).kind, RunOutcome::Kind::Refused);
    for (const std::string name : {"../up", "a/b", ".hidden", "", "two\nlines"}) {
        const RunOutcome outcome = RunGroup({{project}, m_scratch.Path("out/"), name, ""}, m_options);
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::Refused) << name;
        EXPECT_NE(outcome.error.message.find("cannot be a folder name"), std::string::npos) << name;
    }
    EXPECT_FALSE(fs::exists(m_scratch.Path("out")) || fs::exists(m_scratch.Path("up"))) << "a folder was made";
    for (const bool keepGoing : {false, true}) {
        const RunOutcome outcome =
            RunGroup({{gone, gone}, m_scratch.Path("dest/"), "Suite", "", keepGoing}, m_options);
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::ProjectFailed);
        EXPECT_EQ(outcome.failures.size(), keepGoing ? 2u : 1u);
        EXPECT_TRUE(fs::is_empty(m_scratch.Path("dest"))) << "a folder was left";
    }
    EXPECT_EQ(LastDir(), "<none>");
    EXPECT_EQ(RunGroup({{project}, m_scratch.Path("dest/"), "Suite", ""}, m_options).kind,
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
    const std::vector<std::string> projects = {first, unnamed, SmallProject("one/App.vbp", "App"),
                                               SmallProject("two/App.vbp", "App"),
                                               SmallProject("three/App.vbp", "App")};
    const RunOutcome outcome = RunGroup({projects, m_scratch.Path("dest"), "Suite", ""}, m_options);
    ASSERT_EQ(outcome.kind, RunOutcome::Kind::Completed) << outcome.FirstFailure().error.message;
    const std::string folder = m_scratch.Path("dest/Suite/20250717095823/");
    EXPECT_EQ(outcome.backupFolder, folder);
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
    EXPECT_NE(outcome.warnings[1].text.find("(3).zip"), std::string::npos) << outcome.warnings[1].text;
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().projectPath, first);
    EXPECT_EQ(seen.back().projectsDone, 5);
    EXPECT_TRUE(std::ranges::is_sorted(seen, {}, &RunProgress::projectIndex));
}

// A store that cannot be written is heard as a warning naming its file and the reason, and the run goes
// on: for a project before any progress, for a group once its folder holds a backup.
TEST_F(ArchiveRunTest, AStoreThatRefusesIsHeardAndTheRunGoesOn) {
    const std::string project = SmallProject("p/P.vbp", "P");
    // a settings file below a plain file can never be written, whoever runs the test
    const std::string store = m_scratch.Write("blocked") + "/machine.settings";
    SettingsStore blocked(SettingsLocation{store, m_scratch.Path("u.settings")});
    RunOptions options = m_options; // not the fixture's: it outlives `blocked`
    options.settings = &blocked;
    for (const bool group : {false, true}) {
        int progressReports = 0;
        std::vector<std::string> heard; // each warning after the count of progress reports before it
        options.progress = [&](const RunProgress&) { ++progressReports; };
        options.warning = [&](const RunWarning& w) {
            heard.push_back(std::to_string(progressReports) + " " + w.text);
        };
        const RunOutcome outcome =
            group ? RunGroup({{project}, m_scratch.Path("out"), "Suite", ""}, options)
                  : RunSingleProject(m_scene.Request(project, m_scratch.Path("out/")), options);
        ASSERT_EQ(outcome.kind, RunOutcome::Kind::Completed) << outcome.FirstFailure().error.message;
        ASSERT_EQ(outcome.warnings.size(), 1u) << group;
        ASSERT_EQ(heard.size(), 1u);
        EXPECT_EQ(heard[0].starts_with("0 "), !group) << heard[0];
        EXPECT_EQ(heard[0].substr(heard[0].find(' ') + 1),
                  "The last backup folder could not be remembered: the settings file " + store +
                      " cannot be written (a part of the path is not a folder).");
        EXPECT_EQ(outcome.warnings[0].systemError, ENOTDIR);
        EXPECT_GT(progressReports, 0);
    }
}

// A backup folder that could not be made is not remembered: "open the last backup folder" would
// lead nowhere.
TEST_F(ArchiveRunTest, AFolderThatCouldNotBeMadeIsNotRemembered) {
    const std::string project = SmallProject("p/P.vbp", "P");
    ASSERT_EQ(RunSingleProject(m_scene.Request(project, m_scratch.Path("good/")), m_options).kind,
              RunOutcome::Kind::Completed);
    const std::string below = m_scratch.Write("plain") + "/sub/";
    EXPECT_EQ(RunSingleProject(m_scene.Request(project, below), m_options).kind, RunOutcome::Kind::ProjectFailed);
    EXPECT_EQ(RunGroup({{project}, below, "Suite", ""}, m_options).kind, RunOutcome::Kind::ProjectFailed);
    // a Windows path nothing mapped makes no folder named "C:" or "Dev\bk"
    const std::string windows = m_scratch.Path("C:\\Dev\\bk\\");
    const RunOutcome refused = RunSingleProject(m_scene.Request(project, windows), m_options);
    EXPECT_EQ(refused.kind, RunOutcome::Kind::ProjectFailed);
    EXPECT_NE(refused.FirstFailure().error.message.find("written the Windows way"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_scratch.Path("C:\\")));
    EXPECT_EQ(ReadLastBackupFolder(*m_options.settings).value(), m_scratch.Path("good/"));
}

// The second of three projects fails or is cancelled: the first archive stays, the third is never built.
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
        ASSERT_EQ(outcome.failures.size(), c.step.empty() ? 0u : 1u);
        if (c.step.empty())
            continue;
        EXPECT_EQ(outcome.FirstFailure().stepLabel.find(c.step) != std::string::npos, true)
            << outcome.FirstFailure().stepLabel;
        EXPECT_NE(outcome.FirstFailure().error.message.find(c.reason), std::string::npos)
            << outcome.FirstFailure().error.message;
        // told to keep going, the run archives the third project all the same and still fails
        fs::remove_all(m_scratch.Path("dest"));
        const RunOutcome going =
            RunGroup({{first, c.second, third}, m_scratch.Path("dest/"), "Suite", "", true}, m_options);
        EXPECT_EQ(going.kind, RunOutcome::Kind::ProjectFailed);
        EXPECT_EQ(going.archives.size(), 2u);
        ASSERT_EQ(going.failures.size(), 1u);
        EXPECT_EQ(going.failures[0].projectPath, c.second);
    }
}

// A run asked to skip unchanged projects compares with the newest backup of the project: a file only
// touched, or the same password, is no change; one byte, another password state or a project file
// that rewrites differently is, and so is an archive a hand has changed.
TEST_F(ArchiveRunTest, AProjectIsSkippedOnlyWhenItsNewestBackupHoldsTheSame) {
    const BillingProject& project = m_scene.Project();
    m_options.skipUnchanged = true;
    const auto run = [&](const std::string& password) {
        SingleProjectRequest request = m_scene.Request();
        request.password = password;
        return RunSingleProject(request, m_options);
    };
    const RunOutcome first = run("");
    ASSERT_EQ(first.archives.size(), 1u) << "nothing to compare with: written";
    const auto skipped = [&](const std::string& password) {
        const RunOutcome outcome = run(password);
        EXPECT_EQ(outcome.kind, RunOutcome::Kind::Completed);
        if (outcome.unchanged.empty())
            return false;
        EXPECT_TRUE(outcome.archives.empty());
        EXPECT_EQ(outcome.unchanged.at(0).archive, ProjectArchives(m_scene.Destination(), "Billing ").front());
        return true;
    };
    EXPECT_TRUE(skipped(""));
    const std::string module = project.folder + "/Classes/clsLog.cls";
    fs::last_write_time(module, fs::last_write_time(module) + std::chrono::hours(1));
    EXPECT_TRUE(skipped("")) << "touched only";
    EXPECT_FALSE(skipped("pw")) << "the newest is not encrypted";
    EXPECT_TRUE(skipped("pw")) << "the same password: the content is decrypted for its CRC";
    EXPECT_FALSE(skipped("other")) << "a password that does not open the newest";
    EXPECT_FALSE(skipped("")) << "the newest is encrypted";
    std::string bytes = ReadFile(module);
    bytes[7] ^= 1;
    WriteFile(module, bytes);
    EXPECT_FALSE(skipped("")) << "one byte changed";
    WriteFile(project.path, BillingProject::Lines() + "Title=\"Billing\"\r\n");
    EXPECT_FALSE(skipped("")) << "the project file rewrites differently";
    EXPECT_TRUE(skipped(""));
    WriteFile(project.folder + "/Forms/frmAbout.frx", "new companion");
    EXPECT_FALSE(skipped("")) << "a companion that appeared";
}

// The newest backup as a hand or another program may have left it: anything but the same entries
// means a new backup.
TEST_F(ArchiveRunTest, AnArchiveWithOtherEntriesIsNotTheSame) {
    const std::string project = SmallProject("p/P.vbp", "P");
    JobState job = m_scene.Request(project, "").job;
    const Result<ArchivePlan> plan = PlanArchive(project, job, m_options.archive);
    ASSERT_TRUE(plan.ok()) << plan.error();
    const RawEntry::Kind file = RawEntry::Kind::File;
    const std::string rewritten = plan->rewritten;
    const struct {
        const char* label;
        std::vector<RawEntry> entries;
        bool same;
    } cases[] = {
        {"the same", {{"mod.bas", "x"}, {"P 0.0.0.20200101000000.vbp", rewritten}}, true},
        {"a file more", {{"mod.bas", "x"}, {"extra.bas", "x"}, {"P 0.0.0.1.vbp", rewritten}}, false},
        {"no project file", {{"mod.bas", "x"}, {"other.txt", rewritten}}, false},
        {"the project file in a folder", {{"mod.bas", "x"}, {"sub/P.vbp", rewritten}}, false},
        {"another project file", {{"mod.bas", "x"}, {"P.vbp", rewritten + "X"}}, false},
        {"a file stored in another case", {{"MOD.bas", "x"}, {"P.vbp", rewritten}}, false},
        {"another content, same size", {{"mod.bas", "y"}, {"P.vbp", rewritten}}, false},
        {"one entry encrypted", {{"mod.bas", "x", file, "pw"}, {"P.vbp", rewritten}}, false},
    };
    for (const auto& c : cases) {
        const std::string archive = m_scratch.Path("cases.zip");
        MakeArchive(archive, c.entries);
        const Result<bool> same = HoldsSameEntries(archive, *plan, "");
        ASSERT_TRUE(same.ok()) << c.label << ": " << same.error();
        EXPECT_EQ(*same, c.same) << c.label;
    }
    WriteFile(m_scratch.Path("cases.zip"), "not a zip");
    EXPECT_FALSE(HoldsSameEntries(m_scratch.Path("cases.zip"), *plan, "").ok());
}

// Each project of a group is decided alone, against its newest earlier run; a run where none changed
// makes no folder.
TEST_F(ArchiveRunTest, AGroupSkipsEachUnchangedProjectAndMakesNoFolderWhenAllAre) {
    const std::string alpha = SmallProject("a/A.vbp", "Alpha"), beta = SmallProject("b/B.vbp", "Beta");
    int second = 0;
    m_options.clock = [&second] { return LocalMoment(2025, 7, 17, 9, 58, second++); };
    m_options.skipUnchanged = true;
    const GroupRequest request{{alpha, beta}, m_scratch.Path("dest/"), "Suite", ""};
    ASSERT_EQ(RunGroup(request, m_options).archives.size(), 2u);
    const RunOutcome unchanged = RunGroup(request, m_options);
    EXPECT_TRUE(unchanged.archives.empty());
    EXPECT_EQ(unchanged.unchanged.size(), 2u);
    EXPECT_EQ(FileNamesIn(m_scratch.Path("dest/Suite")), std::vector<std::string>{"20250717095800"});
    WriteFile(m_scratch.Path("b/mod.bas"), "changed");
    const RunOutcome changed = RunGroup(request, m_options);
    ASSERT_EQ(changed.archives.size(), 1u);
    EXPECT_TRUE(changed.archives[0].starts_with(m_scratch.Path("dest/Suite/20250717095802/Beta "))) << changed.archives[0];
    ASSERT_EQ(changed.unchanged.size(), 1u);
    EXPECT_EQ(changed.unchanged[0].projectPath, alpha);
    // keeping the newest run keeps the first as well: Alpha's only backup is there
    EXPECT_TRUE(PruneGroupRuns(changed.backupFolder, 1, {changed.unchanged[0].archive}).removed.empty());
    EXPECT_TRUE(fs::exists(changed.unchanged[0].archive));
    // Beta's newest backup is now in the newest run, Alpha's still in the first
    EXPECT_EQ(RunGroup(request, m_options).unchanged.size(), 2u);
}

} // namespace
} // namespace corvane

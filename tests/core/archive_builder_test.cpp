// one project into one archive, checked with Info-ZIP and 7-Zip: order, bytes, encryption, failures, progress
#include <numeric>

#include "core/archive_builder.h"
#include "vb_project_fixture.h"

namespace corvane {
namespace {

using namespace corvane::testing;

constexpr const char* kVbpName = "Billing 2.1.0.20250717095823.vbp";

class ArchiveBuilderTest : public ::testing::Test {
protected:
    ArchiveBuilderTest() { m_options.driveMap.Set("D", m_scene.Project().driveD); }

    ArchiveOutcome Archive(const std::string& projectPath, const std::string& backupFolder) {
        JobState job = m_job;
        job.gBackupFolder = backupFolder;
        return ArchiveProject(projectPath, job, m_options);
    }
    ArchiveOutcome Archive() { return Archive(m_scene.Project().path, m_scene.Destination()); }
    std::string Unzip(const std::string& args) { return Shell("unzip " + args).output; }
    std::string Listing() { return Unzip("-Z1 " + Quoted(m_scene.ArchivePath())); }
    std::string Entry(const std::string& name) {
        return Unzip("-p " + Quoted(m_scene.ArchivePath()) + " " + Quoted(name));
    }
    void WriteProject(const std::string& text) { WriteFile(m_scene.Project().path, text); }

    FaultScene m_scene;
    JobState m_job = m_scene.Request().job; // as selected, before a test rewrites the project file
    ArchiveOptions m_options;
};

// The rewritten project file ends every line with CR LF whatever the original used.
TEST_F(ArchiveBuilderTest, StoresEveryFileInLineOrderWithRewrittenProjectLast) {
    for (const bool lf : {false, true}) {
        std::string lines = BillingProject::Lines();
        WriteProject(lf ? (std::erase(lines, '\r'), lines) : lines);
        const ArchiveOutcome outcome = Archive();
        ASSERT_EQ(outcome.kind, ArchiveOutcome::Kind::Written) << outcome.stepLabel << ": " << outcome.reason;
        EXPECT_EQ(outcome.archivePath, m_scene.ArchivePath());
        EXPECT_EQ(m_scene.ArchiveKind(), "new") << "tested whole, holding every file in line order";
        EXPECT_EQ(Entry(kVbpName), BillingProject::Rewritten()) << lf;
    }
    // companions found whatever their case on disk, stored under the name their file implies
    EXPECT_EQ(Entry("Controls/ucGrid.ctx"), ReadFile(m_scene.Scratch().Path("proj/Controls/ucGrid.CTX")));
    EXPECT_EQ(Entry("FileNotInRootPath/Disk_D_/Lib/modTools.bas"),
              ReadFile(m_scene.Project().driveD + "/Lib/modTools.bas"));
    EXPECT_TRUE(FileNamesIn(m_scene.Scratch().Path("tmp")).empty());
}

TEST_F(ArchiveBuilderTest, PasswordEncryptsEveryEntryWithAes) {
    m_options.password = "s3cret pw";
    ASSERT_EQ(Archive().kind, ArchiveOutcome::Kind::Written);
    const CommandResult right = Shell("7zz t -p's3cret pw' " + Quoted(m_scene.ArchivePath()));
    EXPECT_EQ(right.exitCode, 0) << right.output;
    EXPECT_NE(Shell("7zz t -pwrong " + Quoted(m_scene.ArchivePath())).exitCode, 0);
    const std::string bytes = ReadFile(m_scene.ArchivePath());
    int records = 0;
    for (std::size_t at = bytes.find("PK\1\2"); at != std::string::npos;
         at = bytes.find("PK\1\2", at + 4), ++records)
        EXPECT_TRUE(ReadLittle(bytes, at + 8, 2) & 1) << "central record " << records << " is not encrypted";
    EXPECT_EQ(records, 15);
}

TEST_F(ArchiveBuilderTest, SameFileNamedTwiceIsStoredOnceAndBothLinesPointAtIt) {
    const std::string lines =
        CrLf({"Module=modA; Shared.bas", "Module=modB; shared.BAS", "Module=modC; Shared.bas"});
    WriteProject(lines);
    WriteFile(m_scene.Project().folder + "/Shared.bas", "x");
    ASSERT_EQ(Archive().kind, ArchiveOutcome::Kind::Written);
    EXPECT_EQ(Listing(), "Shared.bas\n" + std::string(kVbpName) + "\n");
    EXPECT_EQ(Entry(kVbpName), lines);
}

// Every failure stops at its project line and leaves neither an archive nor a temporary file, and an older
// archive of the same name as it was.
TEST_F(ArchiveBuilderTest, FailsAtTheLineAndLeavesNothing) {
    const struct {
        const char *from, *to, *reasonPart; // the line of the sample project beginning with `from` replaced
    } cases[] = {{"Module=modUtil", "Module=m; ..\\Else\\u.bas", "..\\Else\\u.bas"},
                 {"Module=modTools", "Module=m; Q:\\t.bas", "CORVANE_DRIVE_MAP"},
                 {"Module=modMain", "Module=modMain", "names no file"},
                 {"Class=clsLog", "Class=clsLog; Classes", "No such file"}};
    for (const auto& c : cases) {
        std::string text = BillingProject::Lines();
        const std::size_t at = text.find(c.from);
        WriteProject(text.replace(at, text.find('\r', at) - at, c.to));
        m_scene.Prepare(Destination::Existing);
        const auto before = m_scene.State();
        const ArchiveOutcome outcome = Archive();
        EXPECT_EQ(outcome.kind, ArchiveOutcome::Kind::Failed);
        EXPECT_NE(outcome.reason.find(c.reasonPart), std::string::npos) << outcome.reason;
        EXPECT_EQ(ArchiveFailureMessage(outcome),
                  std::string("An error appears to have occurred...\r\nLine : ") + c.to);
        EXPECT_EQ(m_scene.State(), before);
    }
}

// A destination that is not a folder fails before the project file is even read.
TEST_F(ArchiveBuilderTest, MissingOrImpossibleDestinationFailsAsWritingZipFile) {
    const std::string plainFile = m_scene.Scratch().Write("plainfile");
    for (const std::string& folder :
         {m_scene.Scratch().Path("absent/"), plainFile + "/sub/", std::string()}) {
        const ArchiveOutcome outcome = Archive(m_scene.Scratch().Path("no-such.vbp"), folder);
        EXPECT_EQ(outcome.kind, ArchiveOutcome::Kind::Failed) << folder;
        EXPECT_EQ(outcome.stepLabel, "Writing Zip File") << folder;
        EXPECT_NE(outcome.reason.find("does not exist"), std::string::npos) << outcome.reason;
    }
    EXPECT_FALSE(fs::exists(m_scene.Scratch().Path("absent")));
}

TEST_F(ArchiveBuilderTest, ProgressCoversEveryLineAndOnlyGrowsToOne) {
    std::vector<ArchiveProgress> seen;
    m_options.progress = [&](const ArchiveProgress& progress) { seen.push_back(progress); };
    ASSERT_EQ(Archive().kind, ArchiveOutcome::Kind::Written);
    std::vector<int> lines, expected(18);
    for (const auto& progress : seen) {
        if (progress.phase == ArchiveProgress::Phase::Lines)
            lines.push_back(progress.line);
        EXPECT_EQ(progress.lineCount, 18);
    }
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(
        std::is_sorted(seen.begin(), seen.end(), [](auto& a, auto& b) { return a.fraction < b.fraction; }));
    EXPECT_DOUBLE_EQ(seen.back().fraction, 1.0);
    EXPECT_GT(seen.size(), lines.size() + 2) << "the write reports progress too";
}

} // namespace
} // namespace corvane

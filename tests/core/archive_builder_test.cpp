// one project into one archive, checked with Info-ZIP and 7-Zip: order, bytes, encryption, failures, cancel
#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "core/archive_builder.h"
#include "core/backup_naming.h"
#include "vb_project_fixture.h"

namespace corvane {
namespace {

using namespace corvane::testing;

constexpr const char* kZipName = "Billing 2.1.0.20250717095823.zip";
constexpr const char* kVbpName = "Billing 2.1.0.20250717095823.vbp";

class ArchiveBuilderTest : public ::testing::Test {
protected:
    ArchiveBuilderTest() : m_project(m_scratch) {
        fs::create_directories(m_scratch.Path("backup"));
        fs::create_directories(m_scratch.Path("tmp"));
        m_options.driveMap.Set("D", m_project.driveD);
        const char* tmp = std::getenv("TMPDIR");
        m_oldTmp = tmp != nullptr ? std::optional<std::string>(tmp) : std::nullopt;
        ::setenv("TMPDIR", m_scratch.Path("tmp").c_str(), 1);
    }
    ~ArchiveBuilderTest() override {
        if (m_oldTmp)
            ::setenv("TMPDIR", m_oldTmp->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

    JobState Job(const std::string& projectPath) const {
        JobState job;
        job.gProjectFolder = FolderOfPathOf(projectPath);
        job.gProjectName = "Billing";
        job.gMajorVer = "2";
        job.gMinorVer = "1";
        job.gTimeStamp = "20250717095823";
        job.gBackupFolder = m_scratch.Path("backup") + "/";
        job.gLineCount = 18;
        ApplyBackupNames(job);
        return job;
    }
    static std::string FolderOfPathOf(const std::string& path) {
        return fs::path(path).parent_path().string();
    }

    ArchiveOutcome Archive(const std::string& projectPath) {
        return ArchiveProject(projectPath, Job(projectPath), m_options);
    }
    ArchiveOutcome Archive() { return Archive(m_project.path); }
    std::string ArchivePath() const { return m_scratch.Path("backup/") + kZipName; }
    // nothing but what the test put there: no archive, no temporary file of any build
    std::map<std::string, std::string> Leftovers() const {
        auto backup = Snapshot(m_scratch.Path("backup"));
        for (const auto& [name, state] : Snapshot(m_scratch.Path("tmp")))
            backup["tmp/" + name] = state;
        return backup;
    }
    // Replaces one line of the project file.
    void ReplaceLine(const std::string& from, const std::string& to) {
        std::string text = BillingProject::Lines();
        text.replace(text.find(from), from.size(), to);
        WriteFile(m_project.path, text);
    }

    ScratchFolder m_scratch;
    BillingProject m_project;
    ArchiveOptions m_options;
    std::optional<std::string> m_oldTmp;
};

class LineEndingTest : public ArchiveBuilderTest, public ::testing::WithParamInterface<bool> {};

// The rewritten project file ends every line with CR LF whatever the original used.
TEST_P(LineEndingTest, StoresEveryFileInLineOrderWithRewrittenProjectLast) {
    if (GetParam()) {
        std::string lf = BillingProject::Lines();
        lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
        WriteFile(m_project.path, lf);
    }
    const ArchiveOutcome outcome = Archive();
    ASSERT_EQ(outcome.kind, ArchiveOutcome::Kind::Written) << outcome.stepLabel << ": " << outcome.reason;
    EXPECT_EQ(outcome.archivePath, ArchivePath());
    EXPECT_EQ(Shell("unzip -Z1 " + Quoted(ArchivePath())).output, BillingProject::Listing(kVbpName));
    const CommandResult tested = Shell("unzip -t " + Quoted(ArchivePath()));
    EXPECT_EQ(tested.exitCode, 0) << tested.output;
    EXPECT_EQ(Shell("unzip -p " + Quoted(ArchivePath()) + " " + Quoted(kVbpName)).output,
              BillingProject::Rewritten());
    // companions found whatever their case on disk, stored under the name their file implies
    EXPECT_EQ(Shell("unzip -p " + Quoted(ArchivePath()) + " Controls/ucGrid.ctx").output,
              ReadFile(m_scratch.Path("proj/Controls/ucGrid.CTX")));
    EXPECT_EQ(
        Shell("unzip -p " + Quoted(ArchivePath()) + " FileNotInRootPath/Disk_D_/Lib/modTools.bas").output,
        ReadFile(m_project.driveD + "/Lib/modTools.bas"));
    EXPECT_EQ(Snapshot(m_scratch.Path("tmp")).size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Endings, LineEndingTest, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Lf" : "CrLf"); });

TEST_F(ArchiveBuilderTest, PasswordEncryptsEveryEntryWithAes) {
    m_options.password = "s3cret pw";
    ASSERT_EQ(Archive().kind, ArchiveOutcome::Kind::Written);
    const CommandResult right = Shell("7zz t -p's3cret pw' " + Quoted(ArchivePath()));
    EXPECT_EQ(right.exitCode, 0) << right.output;
    EXPECT_NE(Shell("7zz t -pwrong " + Quoted(ArchivePath())).exitCode, 0);
    const std::string bytes = ReadFile(ArchivePath());
    const auto records = CentralDirectory(bytes);
    ASSERT_EQ(records.size(), 15u);
    for (const auto& record : records)
        EXPECT_TRUE(record.flags & 1) << record.name << " is not encrypted";
}

TEST_F(ArchiveBuilderTest, SameFileNamedTwiceIsStoredOnceAndBothLinesPointAtIt) {
    WriteFile(m_project.path,
              CrLf({"Module=modA; Shared.bas", "Module=modB; shared.BAS", "Module=modC; Shared.bas"}));
    WriteFile(m_project.folder + "/Shared.bas", "x");
    ASSERT_EQ(Archive().kind, ArchiveOutcome::Kind::Written);
    EXPECT_EQ(Shell("unzip -Z1 " + Quoted(ArchivePath())).output,
              "Shared.bas\n" + std::string(kVbpName) + "\n");
    EXPECT_EQ(Shell("unzip -p " + Quoted(ArchivePath()) + " " + Quoted(kVbpName)).output,
              CrLf({"Module=modA; Shared.bas", "Module=modB; shared.BAS", "Module=modC; Shared.bas"}));
}

// Every failure stops at its project line, and leaves neither an archive nor a temporary file, and an
// older archive of the same name as it was.
struct LineFailureCase {
    const char* label;
    const char* from; // the line of the sample project replaced
    const char* to;
    const char* reasonPart;
};

class LineFailureTest : public ArchiveBuilderTest, public ::testing::WithParamInterface<LineFailureCase> {};

TEST_P(LineFailureTest, FailsAtTheLineAndLeavesNothing) {
    const LineFailureCase& c = GetParam();
    ReplaceLine(c.from, c.to);
    WriteFile(ArchivePath(), "the previous backup");
    const auto before = Leftovers();
    const ArchiveOutcome outcome = Archive();
    EXPECT_EQ(outcome.kind, ArchiveOutcome::Kind::Failed);
    EXPECT_EQ(outcome.stepLabel, c.to);
    EXPECT_NE(outcome.reason.find(c.reasonPart), std::string::npos) << outcome.reason;
    EXPECT_EQ(ArchiveFailureMessage(outcome),
              std::string("An error appears to have occurred...\r\nLine : ") + c.to);
    EXPECT_EQ(Leftovers(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineFailureTest,
    ::testing::Values(LineFailureCase{"MissingModule", "Module=modMain; Modules\\modMain.bas",
                                      "Module=modGone; Modules\\modGone.bas", "Modules\\modGone.bas"},
                      LineFailureCase{"MissingForm", "Form=frmMain.frm", "Form=frmGone.frm", "No such file"},
                      LineFailureCase{"MissingOutsideFile", "Module=modUtil; ..\\Shared\\modUtil.bas",
                                      "Module=modUtil; ..\\Elsewhere\\modUtil.bas",
                                      "..\\Elsewhere\\modUtil.bas"},
                      LineFailureCase{"UnmappedDrive", "Module=modTools; D:\\Lib\\modTools.bas",
                                      "Module=modTools; Q:\\modTools.bas", "CORVANE_DRIVE_MAP"},
                      LineFailureCase{"ModuleWithoutSeparator", "Module=modMain; Modules\\modMain.bas",
                                      "Module=modMain", "names no file"},
                      LineFailureCase{"EmptyReference", "Form=frmMain.frm", "Form=", "names no file"},
                      LineFailureCase{"FolderInsteadOfFile", "Class=clsLog; Classes\\clsLog.cls",
                                      "Class=clsLog; Classes", "No such file"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ArchiveBuilderTest, FileVanishingBeforeTheWriteIsBlamedOnItsLine) {
    // the last line's progress comes after every file was appended, before anything is written
    m_options.progress = [&](const ArchiveProgress& progress) {
        if (progress.phase == ArchiveProgress::Phase::Lines && progress.line == 18)
            fs::remove(m_scratch.Path("proj/Controls/ucGrid.CTX"));
    };
    WriteFile(ArchivePath(), "the previous backup");
    const auto before = Leftovers();
    const ArchiveOutcome outcome = Archive();
    EXPECT_EQ(outcome.kind, ArchiveOutcome::Kind::Failed);
    EXPECT_EQ(outcome.stepLabel, "UserControl=Controls\\ucGrid.ctl");
    EXPECT_NE(outcome.reason.find("ucGrid.CTX"), std::string::npos) << outcome.reason;
    EXPECT_EQ(Leftovers(), before);
}

// A destination that is not a folder fails before the project file is even read.
TEST_F(ArchiveBuilderTest, MissingOrImpossibleDestinationFailsAsWritingZipFile) {
    WriteFile(m_scratch.Path("plainfile"), "x");
    for (const std::string& folder :
         {m_scratch.Path("absent/"), m_scratch.Path("plainfile/sub/"), std::string()}) {
        JobState job = Job(m_project.path);
        job.gBackupFolder = folder;
        const ArchiveOutcome outcome = ArchiveProject(m_scratch.Path("no-such.vbp"), job, m_options);
        EXPECT_EQ(outcome.kind, ArchiveOutcome::Kind::Failed) << folder;
        EXPECT_EQ(outcome.stepLabel, "Writing Zip File") << folder;
        EXPECT_NE(outcome.reason.find("does not exist"), std::string::npos) << outcome.reason;
    }
    EXPECT_FALSE(fs::exists(m_scratch.Path("absent")));
}

struct CancelCase {
    const char* label;
    ArchiveProgress::Phase phase; // cancel once progress of this phase was seen
};

class CancelTest : public ArchiveBuilderTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, LeavesNothingAndKeepsTheOlderArchive) {
    WriteFile(m_scratch.Path("proj/Res/Billing.res"), RandomBytes(4 << 20, 9));
    WriteFile(ArchivePath(), "the previous backup");
    const auto before = Leftovers();
    bool seen = false;
    int polls = 0;
    m_options.progress = [&](const ArchiveProgress& progress) {
        seen = seen || progress.phase == GetParam().phase;
    };
    m_options.cancelRequested = [&] { return seen && ++polls > 1; };
    const ArchiveOutcome outcome = Archive();
    EXPECT_EQ(outcome.kind, ArchiveOutcome::Kind::Cancelled) << outcome.stepLabel << outcome.reason;
    EXPECT_EQ(Leftovers(), before);
}

INSTANTIATE_TEST_SUITE_P(Phases, CancelTest,
                         ::testing::Values(CancelCase{"BetweenLines", ArchiveProgress::Phase::Lines},
                                           CancelCase{"DuringWrite", ArchiveProgress::Phase::Write}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ArchiveBuilderTest, ProgressCoversEveryLineAndOnlyGrowsToOne) {
    WriteFile(m_scratch.Path("proj/Res/Billing.res"), RandomBytes(2 << 20, 9));
    std::vector<ArchiveProgress> seen;
    m_options.progress = [&](const ArchiveProgress& progress) { seen.push_back(progress); };
    ASSERT_EQ(Archive().kind, ArchiveOutcome::Kind::Written);
    std::vector<int> lines;
    for (const auto& progress : seen) {
        if (progress.phase == ArchiveProgress::Phase::Lines)
            lines.push_back(progress.line);
        EXPECT_EQ(progress.lineCount, 18);
    }
    std::vector<int> expected(18);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end(),
                               [](const auto& a, const auto& b) { return a.fraction < b.fraction; }));
    EXPECT_DOUBLE_EQ(seen.back().fraction, 1.0);
    EXPECT_GT(seen.size(), lines.size() + 2) << "the write reports progress too";
}

} // namespace
} // namespace corvane

// the archive writer: entry names, times, encryption, and what is left on disk when a write fails
#include <chrono>
#include <ctime>
#include <set>

#include <sys/resource.h>

#include "core/zip_component.h"
#include "zip_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

void SetModificationTime(const std::string& path, std::time_t time) {
    auto system = std::chrono::system_clock::from_time_t(time);
    fs::last_write_time(path, std::chrono::file_clock::from_sys(system));
}

class ZipComponentTest : public ::testing::Test {
protected:
    // the folder's listing, to prove a failed write left nothing of its own behind
    std::set<std::string> Listing() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_scratch.Path()))
            names.insert(entry.path().filename().string());
        return names;
    }
    std::string ArchivePath() const { return m_scratch.Path("Billing 1.0.0.20250717095823.zip"); }

    ScratchFolder m_scratch;
    ZipComponent m_zip;
};

TEST_F(ZipComponentTest, StoresFilesUnderPrefixWithTimesAndUtf8Names) {
    std::string form = m_scratch.Write("src/frmMain.frm", "VERSION 5.00\r\n");
    std::string module = m_scratch.Write("src/Ünïcode.bas", "Attribute VB_Name\r\n");
    SetModificationTime(form, LocalTime(2021, 3, 4, 5, 6, 8));
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.AppendOneFile(form), 1) << m_zip.LastError();
    m_zip.SetPathPrefix("FileNotInRootPath\\--\\Shared");
    ASSERT_EQ(m_zip.AppendOneFile(module), 1) << m_zip.LastError();
    ASSERT_EQ(m_zip.AppendBuffer("Billing.vbp", "Type=Exe\r\n"), 1);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();

    auto listing = Shell("unzip -Z1 " + Quoted(ArchivePath()));
    EXPECT_EQ(listing.output, "frmMain.frm\nFileNotInRootPath/--/Shared/Ünïcode.bas\nBilling.vbp\n");
    EXPECT_EQ(Shell("unzip -tq " + Quoted(ArchivePath())).exitCode, 0);
    EXPECT_NE(Shell("unzip -Z -T " + Quoted(ArchivePath()) + " frmMain.frm").output.find("20210304.050608"),
              std::string::npos);
    // the language-encoding flag only where the name needs it
    auto records = CentralDirectory(ReadFile(ArchivePath()));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].flags & 0x800, 0);
    EXPECT_EQ(records[1].flags & 0x800, 0x800);
    EXPECT_EQ(Listing(), (std::set<std::string>{"src", fs::path(ArchivePath()).filename().string()}));
}

TEST_F(ZipComponentTest, PasswordGivesAesArchiveThatOthersCanOpenOnlyWithIt) {
    std::string file = m_scratch.Write("a.bas", RandomBytes(50000) + std::string(50000, 'a'));
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    m_zip.SetPassword("s3cret pass");
    m_zip.SetEncryption(ZipComponent::kEncryptionAes256);
    ASSERT_EQ(m_zip.AppendOneFile(file), 1);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();

    EXPECT_EQ(Shell("7zz t '-ps3cret pass' " + Quoted(ArchivePath())).exitCode, 0);
    EXPECT_NE(Shell("7zz t -pwrong " + Quoted(ArchivePath())).exitCode, 0);
    EXPECT_NE(Shell("7zz l -slt '-ps3cret pass' " + Quoted(ArchivePath())).output.find("AES-256"),
              std::string::npos);

    ZipComponent reader;
    reader.SetPassword("s3cret pass");
    ASSERT_EQ(reader.OpenZip(ArchivePath()), 1);
    ASSERT_EQ(reader.ExtractAll(m_scratch.Path("out")), 1) << reader.LastError();
    EXPECT_EQ(ReadFile(m_scratch.Path("out/a.bas")), ReadFile(file));
}

TEST_F(ZipComponentTest, RefusesAtAppendWhatCannotBeStored) {
    std::string present = m_scratch.Write("a.frm");
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    EXPECT_NE(m_zip.AppendOneFile(m_scratch.Path("gone.frm")), 1);
    EXPECT_NE(m_zip.LastError().find("gone.frm"), std::string::npos);
    EXPECT_NE(m_zip.AppendOneFile(m_scratch.Path()), 1); // a folder is not a file
    ASSERT_EQ(m_zip.AppendOneFile(present), 1);
    EXPECT_NE(m_zip.AppendOneFileAs(present, "A.FRM"), 1); // our unzip would refuse the pair
    EXPECT_NE(m_zip.AppendOneFileAs(present, "a.frm/x"), 1);
    EXPECT_NE(m_zip.AppendBuffer("..\\evil.vbp", "x"), 1);
    EXPECT_NE(m_zip.LastError().find("evil.vbp"), std::string::npos);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();
    EXPECT_EQ(Shell("unzip -Z1 " + Quoted(ArchivePath())).output, "a.frm\n");
}

TEST_F(ZipComponentTest, FileRemovedBeforeWriteFailsNamingItAndLeavesOldArchive) {
    WriteFile(ArchivePath(), "the previous backup");
    std::string kept = m_scratch.Write("kept.bas");
    std::string vanishing = m_scratch.Write("vanishing.bas", "soon gone");
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.AppendOneFile(kept), 1);
    ASSERT_EQ(m_zip.AppendOneFile(vanishing), 1);
    auto before = Listing();
    fs::remove(vanishing);
    before.erase("vanishing.bas");

    EXPECT_NE(m_zip.WriteZipAndClose(), 1);
    EXPECT_EQ(m_zip.FailedFile(), vanishing);
    EXPECT_NE(m_zip.LastError().find(vanishing), std::string::npos);
    EXPECT_FALSE(m_zip.WasCancelled());
    EXPECT_EQ(Listing(), before);
    EXPECT_EQ(ReadFile(ArchivePath()), "the previous backup");
}

TEST_F(ZipComponentTest, SuccessfulWriteReplacesArchiveOfSameName) {
    WriteFile(ArchivePath(), "the previous backup");
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.AppendBuffer("p.vbp", "new"), 1);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();
    EXPECT_EQ(Shell("unzip -p " + Quoted(ArchivePath()) + " p.vbp").output, "new");
    EXPECT_EQ(Listing().size(), 1u);
}

TEST_F(ZipComponentTest, CancelDuringWriteLeavesNothing) {
    std::string big = m_scratch.Write("big.res", RandomBytes(3 << 20));
    std::vector<double> fractions;
    m_zip.SetProgressCallback([&](double fraction) { fractions.push_back(fraction); });
    m_zip.SetCancelRequested([&] { return fractions.size() >= 2; });
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.AppendOneFile(big), 1);
    auto before = Listing();
    EXPECT_NE(m_zip.WriteZipAndClose(), 1);
    EXPECT_TRUE(m_zip.WasCancelled()) << m_zip.LastError();
    EXPECT_EQ(Listing(), before);
}

TEST_F(ZipComponentTest, ProgressRisesToOneThroughWriteAndVerify) {
    std::string big = m_scratch.Write("big.res", RandomBytes(2 << 20));
    std::vector<double> fractions;
    m_zip.SetProgressCallback([&](double fraction) { fractions.push_back(fraction); });
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.AppendOneFile(big), 1);
    ASSERT_EQ(m_zip.AppendBuffer("p.vbp", "x"), 1);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1);
    ASSERT_GT(fractions.size(), 3u);
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
}

TEST_F(ZipComponentTest, FileSizeLimitIsAnErrorNotACrash) {
    std::string big = m_scratch.Write("big.res", RandomBytes(1 << 20));
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.AppendOneFile(big), 1);
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    rlimit limited = original;
    limited.rlim_cur = 256 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    int written = m_zip.WriteZipAndClose();
    setrlimit(RLIMIT_FSIZE, &original);
    EXPECT_NE(written, 1);
    EXPECT_EQ(Listing(), std::set<std::string>{"big.res"});
}

TEST_F(ZipComponentTest, MissingDestinationFolderFailsAtFirstAppend) {
    EXPECT_NE(m_zip.NewZip(m_scratch.Path("nowhere/x.zip")), 1);
    EXPECT_NE(m_zip.AppendBuffer("p.vbp", "x"), 1);
    EXPECT_NE(m_zip.LastError().find("nowhere"), std::string::npos);
    EXPECT_NE(m_zip.WriteZipAndClose(), 1);
}

TEST_F(ZipComponentTest, EmptyArchiveIsStillWritten) {
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();
    int error = 0;
    zip_t* archive = zip_open(ArchivePath().c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(zip_get_num_entries(archive, 0), 0);
    zip_discard(archive);
}

// The check after writing must catch an archive that does not hold what was planned.
struct VerifyCase {
    const char* label;
    std::vector<std::string> expected;
    std::string password;
    bool lieAboutCrc;
    const char* reasonPart; // empty: the archive passes
};

class VerifyArchiveTest : public ::testing::TestWithParam<VerifyCase> {};

TEST_P(VerifyArchiveTest, ComparesNamesAndReadsEveryEntry) {
    const VerifyCase& row = GetParam();
    ScratchFolder scratch;
    fs::path archive = scratch.Path("v.zip");
    MakeArchive(archive, {{"a.bas", std::string(3000, 'a')}, {"b.frm", "b"}});
    if (row.lieAboutCrc)
        PatchBothHeaders(archive, 0, kLocalCrc, kCentralCrc, 0x12345678);
    ZipComponent zip;
    Status verified = zip.VerifyArchive(archive.string(), row.expected, row.password);
    EXPECT_EQ(verified.ok(), std::string(row.reasonPart).empty()) << verified.error();
    EXPECT_NE(verified.error().find(row.reasonPart), std::string::npos) << verified.error();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VerifyArchiveTest,
    ::testing::Values(VerifyCase{"matching", {"a.bas", "b.frm"}, "", false, ""},
                      VerifyCase{"entry_missing", {"a.bas"}, "", false, "2 entries"},
                      VerifyCase{"other_order", {"b.frm", "a.bas"}, "", false, "b.frm"},
                      VerifyCase{"crc_lie", {"a.bas", "b.frm"}, "", true, "a.bas"},
                      VerifyCase{"not_encrypted", {"a.bas", "b.frm"}, "pw", false, "not encrypted"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace corvane

// the archive writer: entry names, times, encryption, and what is left on disk when a write fails
#include <chrono>
#include <ctime>

#include "core/zip_component.h"
#include "zip_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class ZipComponentTest : public ::testing::Test {
protected:
    std::string ArchivePath() const { return m_scratch.Path("Billing 1.0.0.20250717095823.zip"); }
    std::string ArchiveName() const { return fs::path(ArchivePath()).filename().string(); }

    ScratchFolder m_scratch;
    ZipComponent m_zip;
};

TEST_F(ZipComponentTest, StoresFilesUnderPrefixWithTimesAndUtf8Names) {
    std::string form = m_scratch.Write("src/frmMain.frm", "VERSION 5.00\r\n");
    std::string module = m_scratch.Write("src/Ünïcode.bas", "Attribute VB_Name\r\n");
    const std::time_t time = 1614834368; // an even second: zip times count in steps of two
    fs::last_write_time(form,
                        std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(time)));
    char local[32];
    std::strftime(local, sizeof local, "%Y%m%d.%H%M%S", std::localtime(&time));
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.AppendOneFile(form), 1) << m_zip.LastError();
    m_zip.SetPathPrefix("FileNotInRootPath\\--\\Shared");
    ASSERT_EQ(m_zip.AppendOneFile(module), 1) << m_zip.LastError();
    ASSERT_EQ(m_zip.AppendBuffer("Billing.vbp", "Type=Exe\r\n"), 1);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();

    auto listing = Shell("unzip -Z1 " + Quoted(ArchivePath()));
    EXPECT_EQ(listing.output, "frmMain.frm\nFileNotInRootPath/--/Shared/Ünïcode.bas\nBilling.vbp\n");
    EXPECT_EQ(Shell("unzip -tq " + Quoted(ArchivePath())).exitCode, 0);
    EXPECT_NE(Shell("unzip -Z -T " + Quoted(ArchivePath()) + " frmMain.frm").output.find(local),
              std::string::npos);
    // the language-encoding flag only where the name needs it
    auto records = CentralDirectory(ReadFile(ArchivePath()));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].flags & 0x800, 0);
    EXPECT_EQ(records[1].flags & 0x800, 0x800);
    EXPECT_EQ(FileNamesIn(m_scratch.Path()), (std::vector<std::string>{ArchiveName(), "src"}));
}

// others see AES-256; our reader needs the password and restores the file's time
TEST_F(ZipComponentTest, PasswordGivesAesArchiveThatOurReaderRestores) {
    std::string file = m_scratch.Write("a.bas", RandomBytes(50000) + std::string(50000, 'a'));
    const auto stamp = std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(1600000000));
    fs::last_write_time(file, stamp);
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    m_zip.SetPassword("s3cret pass");
    m_zip.SetEncryption(ZipComponent::kEncryptionAes256);
    m_zip.SetPathPrefix("Modules");
    ASSERT_EQ(m_zip.AppendOneFile(file), 1);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();
    EXPECT_NE(Shell("7zz l -slt '-ps3cret pass' " + Quoted(ArchivePath())).output.find("AES-256"),
              std::string::npos);

    ZipComponent reader;
    ASSERT_EQ(reader.OpenZip(ArchivePath()), 1);
    EXPECT_NE(reader.ExtractAll(m_scratch.Path("out")), 1);
    reader.SetPassword("s3cret pass");
    ASSERT_EQ(reader.ExtractAll(m_scratch.Path("out")), 1) << reader.LastError();
    EXPECT_EQ(ReadFile(m_scratch.Path("out/Modules/a.bas")), ReadFile(file));
    const auto restored = fs::last_write_time(m_scratch.Path("out/Modules/a.bas"));
    EXPECT_LE(std::chrono::abs(restored - stamp), std::chrono::seconds(2));
    EXPECT_NE(reader.OpenZip(file), 1); // not an archive
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

TEST_F(ZipComponentTest, EmptyArchiveIsWrittenOverThePreviousOne) {
    WriteFile(ArchivePath(), "the previous backup");
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();
    int error = 0;
    zip_t* archive = zip_open(ArchivePath().c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(zip_get_num_entries(archive, 0), 0);
    zip_discard(archive);
    EXPECT_EQ(FileNamesIn(m_scratch.Path()), std::vector<std::string>{ArchiveName()});
}

TEST_F(ZipComponentTest, MissingDestinationFolderFailsAtFirstAppend) {
    EXPECT_NE(m_zip.NewZip(m_scratch.Path("nowhere/x.zip")), 1);
    EXPECT_NE(m_zip.AppendBuffer("p.vbp", "x"), 1);
    EXPECT_NE(m_zip.LastError().find("nowhere"), std::string::npos);
    EXPECT_NE(m_zip.WriteZipAndClose(), 1);
}

// The check after writing must catch an archive that does not hold what was planned.
TEST(VerifyArchiveTest, ComparesNamesAndReadsEveryEntry) {
    const struct {
        std::vector<std::string> expected;
        std::string password;
        bool lieAboutCrc;
        std::string reasonPart; // empty: the archive passes
    } cases[] = {{{"a.bas", "b.frm"}, "", false, ""},
                 {{"a.bas"}, "", false, "2 entries"},
                 {{"b.frm", "a.bas"}, "", false, "b.frm"},
                 {{"a.bas", "b.frm"}, "", true, "a.bas"},
                 {{"a.bas", "b.frm"}, "pw", false, "not encrypted"}};
    for (const auto& row : cases) {
        ScratchFolder scratch;
        const std::string archive = scratch.Path("v.zip");
        MakeArchive(archive, {{"a.bas", std::string(3000, 'a')}, {"b.frm", "b"}});
        if (row.lieAboutCrc)
            PatchBothHeaders(archive, 0, kLocalCrc, kCentralCrc, 0x12345678);
        Status verified = ZipComponent().VerifyArchive(archive, row.expected, row.password);
        EXPECT_EQ(verified.ok(), row.reasonPart.empty()) << verified.error();
        EXPECT_NE(verified.error().find(row.reasonPart), std::string::npos) << verified.error();
    }
}

} // namespace
} // namespace corvane

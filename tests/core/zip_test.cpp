// the archive writer: entry names and times, what it refuses, archives of the same name, and the check of
// the written archive
#include <ctime>
#include <set>
#include <thread>

#include <zlib.h>

#include "core/restore/restore.h"
#include "core/zip/file_deflater.h"
#include "core/zip/zip.h"
#include "support/zip_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class ZipComponentTest : public ::testing::Test {
protected:
    std::string ArchivePath() const { return m_scratch.Path("Billing 1.0.0.20250717095823.zip"); }

    ScratchFolder m_scratch;
    ZipComponent m_zip;
};

// a "\" separated UTF-8 name stored with "/", and the file's time as Info-ZIP sees it and our unzip restores
// it
TEST_F(ZipComponentTest, StoresUtf8NamesWithSlashesAndTheFileTime) {
    const std::string form = m_scratch.Write("src/frmMain.frm", RandomBytes(5000) + std::string(5000, 'x'));
    const std::time_t time = 1614834368; // an even second: zip times count in steps of two
    const auto stamp = std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(time));
    fs::last_write_time(form, stamp);
    char local[32];
    std::strftime(local, sizeof local, "%Y%m%d.%H%M%S", std::localtime(&time));
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    ASSERT_EQ(m_zip.AppendOneFileAs(form, "FileNotInRootPath\\--\\Ünïcode.frm"), 1) << m_zip.LastError();
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();
    EXPECT_EQ(Shell("unzip -Z1 " + Quoted(ArchivePath())).output, "FileNotInRootPath/--/Ünïcode.frm\n");
    EXPECT_NE(Shell("unzip -Z -T " + Quoted(ArchivePath())).output.find(local), std::string::npos);
    ASSERT_TRUE(ExtractArchive(ArchivePath(), m_scratch.Path("out"), {}).ok());
    const std::string out = m_scratch.Path("out/FileNotInRootPath/--/Ünïcode.frm");
    EXPECT_EQ(ReadFile(out), ReadFile(form));
    EXPECT_LE(std::chrono::abs(fs::last_write_time(out) - stamp), std::chrono::seconds(2));
}

// Two runs in the same second name their archives alike; neither may replace the other's backup, and
// each must say where its own went. Several writers finishing at once included.
TEST_F(ZipComponentTest, NeverReplacesAnArchiveOfTheSameName) {
    const std::string base = ArchivePath().substr(0, ArchivePath().size() - 4);
    const auto write = [this](const std::string& text) {
        ZipComponent zip;
        EXPECT_EQ(zip.NewZip(ArchivePath()), 1);
        zip.AppendBuffer("P.vbp", text);
        EXPECT_EQ(zip.WriteZipAndClose(), 1) << zip.LastError();
        return zip.WrittenPath();
    };
    EXPECT_EQ(write("first"), ArchivePath());
    EXPECT_EQ(write("second"), base + " (2).zip");
    std::vector<std::string> together(6);
    std::vector<std::thread> writers;
    for (std::size_t i = 0; i < together.size(); ++i)
        writers.emplace_back([&, i] { together[i] = write("run " + std::to_string(i)); });
    for (std::thread& writer : writers)
        writer.join();
    std::set<std::string> names(together.begin(), together.end());
    EXPECT_EQ(names.size(), together.size());
    std::set<std::string> contents;
    for (const std::string& path : names)
        contents.insert(Shell("unzip -p " + Quoted(path)).output);
    EXPECT_EQ(contents.size(), together.size()); // each writer's own archive, none overwritten
    EXPECT_EQ(Shell("unzip -p " + Quoted(ArchivePath())).output, "first");
}

TEST_F(ZipComponentTest, RefusesAtAppendWhatCannotBeStored) {
    const std::string present = m_scratch.Write("a.frm");
    ASSERT_EQ(m_zip.NewZip(ArchivePath()), 1);
    EXPECT_NE(m_zip.AppendOneFileAs(m_scratch.Path("gone.frm"), "b.frm"), 1);
    EXPECT_NE(m_zip.LastError().find("gone.frm"), std::string::npos); // the disk file, not the entry
    EXPECT_NE(m_zip.AppendOneFileAs(m_scratch.Path(), "c.frm"), 1);   // a folder is not a file
    ASSERT_EQ(m_zip.AppendOneFileAs(present, "a.frm"), 1);
    EXPECT_NE(m_zip.AppendOneFileAs(present, "A.FRM"), 1); // our unzip would refuse the pair
    EXPECT_NE(m_zip.AppendOneFileAs(present, "a.frm/x"), 1);
    EXPECT_NE(m_zip.AppendBuffer("..\\evil.vbp", "x"), 1);
    EXPECT_NE(m_zip.LastError().find("evil.vbp"), std::string::npos);
    ASSERT_EQ(m_zip.WriteZipAndClose(), 1) << m_zip.LastError();
    EXPECT_EQ(Shell("unzip -Z1 " + Quoted(ArchivePath())).output, "a.frm\n");
    // a missing folder fails the build from its first call on, naming the folder
    ZipComponent nowhere;
    EXPECT_NE(nowhere.NewZip(m_scratch.Path("nowhere/x.zip")), 1);
    EXPECT_NE(nowhere.AppendBuffer("p.vbp", "x"), 1);
    EXPECT_NE(nowhere.LastError().find("nowhere"), std::string::npos);
    EXPECT_NE(nowhere.WriteZipAndClose(), 1);
}

// every entry is read back from the disk, decrypted and inflated, and must give back the bytes added
TEST(VerifyArchiveTest, CatchesAnArchiveThatDoesNotHoldWhatWasWritten) {
    const std::vector<std::string> all = {"a.bas", "b.frm", "p.vbp"};
    const struct {
        const char* name;
        const char *password, *checkPassword; // the archive's, the check's
        std::vector<std::string> expected;
        int damage; // -1: none; 0 to 2: a byte of that entry's stored data; 3: a.bas's CRC in both headers
        const char* reasonPart; // empty: the archive passes
    } cases[] = {{"Intact", "", "", all, -1, ""},
                 {"IntactAes", "pw", "pw", all, -1, ""},
                 {"ChangedByte", "", "", all, 1, "\"b.frm\""},
                 {"ChangedByteAes", "pw", "pw", all, 0, "\"a.bas\""},
                 {"ChangedByteInflated", "", "", all, 2, "\"p.vbp\""},
                 {"HeaderCrc", "", "", all, 3, "\"a.bas\": its headers"},
                 {"Missing", "", "", {"a.bas", "b.frm"}, -1, "3 entries instead of 2"},
                 {"Extra", "", "", {"a.bas", "b.frm", "p.vbp", "q.bas"}, -1, "instead of 4"},
                 {"Renamed", "", "", {"a.bas", "c.frm", "p.vbp"}, -1, "stored as \"b.frm\""},
                 {"WrongPassword", "pw", "pX", all, -1, "\"a.bas\""},
                 {"NotEncrypted", "", "pw", all, -1, "not encrypted"}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        ScratchFolder scratch;
        const std::string archive = scratch.Path("v.zip");
        std::map<std::string, std::optional<EntryDigest>> digests;
        ZipComponent zip;
        zip.SetVerify(false);
        ASSERT_EQ(zip.NewZip(archive), 1);
        zip.SetPassword(row.password);
        for (const auto& [name, size] : {std::pair{"a.bas", 30000}, {"b.frm", 2000}}) {
            const std::string content = RandomBytes(size / 2) + std::string(size / 2, 'x');
            ASSERT_EQ(zip.AppendOneFileAs(scratch.Write(name, content), name), 1);
            digests[name] = EntryDigest{content.size(), static_cast<std::uint32_t>(crc32(
                                                            0, reinterpret_cast<const Bytef*>(content.data()),
                                                            static_cast<uInt>(content.size())))};
        }
        ASSERT_EQ(zip.AppendBuffer("p.vbp", RandomBytes(2000) + std::string(3000, 'y')), 1);
        ASSERT_EQ(zip.WriteZipAndClose(), 1) << zip.LastError();
        if (row.damage == 3) {
            PatchBothHeaders(archive, 0, kLocalCrc, kCentralCrc, 0x12345678);
        } else if (row.damage >= 0) { // a byte in the middle of the entry's stored data
            std::string bytes = ReadFile(archive);
            std::size_t at = bytes.find("PK\3\4");
            for (int skip = 0; skip < row.damage; ++skip)
                at = bytes.find("PK\3\4", at + 4);
            bytes[at + 30 + ReadLittle(bytes, at + 26, 2) + ReadLittle(bytes, at + 28, 2) +
                  ReadLittle(bytes, at + kLocalPackedSize, 4) / 2] ^= 0x10;
            WriteFile(archive, bytes);
        }
        std::vector<ZipComponent::ExpectedEntry> expected;
        for (const std::string& name : row.expected)
            expected.push_back({name, digests[name], std::nullopt});
        Status verified = ZipComponent().VerifyArchive(archive, expected, row.checkPassword);
        EXPECT_EQ(verified.ok(), !*row.reasonPart) << verified.error();
        EXPECT_NE(verified.error().find(row.reasonPart), std::string::npos) << verified.error();
    }
}

} // namespace
} // namespace corvane

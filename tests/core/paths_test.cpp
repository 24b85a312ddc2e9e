// the path helpers on Windows-form and "/" paths, the archive mapping and its hardened form
#include <filesystem>

#include <gtest/gtest.h>

#include "core/paths.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

struct Case {
    std::string input;
    std::string expected;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << '"' << c.input << '"';
}

class AddBackslashTest : public ::testing::TestWithParam<Case> {};
TEST_P(AddBackslashTest, Appends) {
    EXPECT_EQ(AddBackslash(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, AddBackslashTest,
                         ::testing::Values(Case{"C:", "C:\\"}, Case{"C:\\Work\\", "C:\\Work\\"},
                                           Case{"  C:\\Work  ", "C:\\Work\\"}, Case{"", "\\"},
                                           Case{"   ", "\\"}, Case{"/home/u/Dev", "/home/u/Dev/"},
                                           Case{"/home/u/Dev/", "/home/u/Dev/"}, Case{"Dev", "Dev\\"},
                                           Case{"C:\\mixed/x", "C:\\mixed/x\\"}));

class FolderOfPathTest : public ::testing::TestWithParam<Case> {};
TEST_P(FolderOfPathTest, CutsAtLastSeparator) {
    EXPECT_EQ(FolderOfPath(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, FolderOfPathTest,
                         ::testing::Values(Case{"C:\\Proj\\App.vbp", "C:\\Proj"}, Case{"C:\\App.vbp", "C:"},
                                           Case{"App.vbp", ""}, Case{"C:\\Proj\\", "C:\\Proj"}, Case{"", ""},
                                           Case{"/home/u/Dev/Billing/Billing.vbp", "/home/u/Dev/Billing"},
                                           Case{"C:\\a/b\\c.vbp", "C:\\a/b"},
                                           Case{"C:\\a\\b/c.vbp", "C:\\a\\b"}));

class FileNameOfPathTest : public ::testing::TestWithParam<Case> {};
TEST_P(FileNameOfPathTest, KeepsAfterLastSeparator) {
    EXPECT_EQ(FileNameOfPath(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, FileNameOfPathTest,
                         ::testing::Values(Case{"C:\\Proj\\App.vbp", "App.vbp"}, Case{"App.vbp", "App.vbp"},
                                           Case{"C:\\Proj\\", ""}, Case{"", ""},
                                           Case{"/home/u/Billing.vbp", "Billing.vbp"}, Case{"a\\b/c", "c"}));

class SanitizeFileNameTest : public ::testing::TestWithParam<Case> {};
TEST_P(SanitizeFileNameTest, ReplacesForbidden) {
    EXPECT_EQ(SanitizeFileName(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Paths, SanitizeFileNameTest,
    ::testing::Values(Case{"Tom's a/b:c*d?e<f>g|h\\i", "Tom_s a_b_c_d_e_f_g_h_i"},
                      Case{"say \"hi\"", "say _hi_"},
                      Case{"Billing 2.1.7.20250717095823", "Billing 2.1.7.20250717095823"},
                      Case{"C:\\Proj\\App", "C__Proj_App"}, Case{"\xE9t\xE9", "\xE9t\xE9"}));

class MakeAbsolutePathTest : public ::testing::TestWithParam<Case> {};
TEST_P(MakeAbsolutePathTest, ResolvesAgainstProjectFolder) {
    EXPECT_EQ(MakeAbsolutePath(GetParam().input, "C:\\Proj"), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Paths, MakeAbsolutePathTest,
    ::testing::Values(Case{"frmMain.frm", "C:\\Proj\\frmMain.frm"},
                      Case{"..\\Shared\\modUtil.bas", "C:\\Proj\\..\\Shared\\modUtil.bas"},
                      Case{"D:\\Lib\\modTools.bas", "D:\\Lib\\modTools.bas"},
                      Case{"\\\\srv\\share\\clsLog.cls", "\\\\srv\\share\\clsLog.cls"},
                      Case{"\\root.bas", "C:\\Proj\\\\root.bas"}, Case{"a:b:c.bas", "a:b:c.bas"},
                      Case{"ab:c.bas", "C:\\Proj\\ab:c.bas"}));

// references that every project writes: both mappings must agree on them
const Case kOrdinaryReferences[] = {
    {"frmMain.frm", "frmMain.frm"},
    {"Forms\\frmAbout.frm", "Forms\\frmAbout.frm"},
    {"Sub\\..\\modX.bas", "Sub\\--\\modX.bas"},
    {"..\\Shared\\modUtil.bas", "FileNotInRootPath\\--\\Shared\\modUtil.bas"},
    {"..\\..\\Common\\modA.bas", "FileNotInRootPath\\--\\--\\Common\\modA.bas"},
    {"D:\\Lib\\modTools.bas", "FileNotInRootPath\\Disk_D_\\Lib\\modTools.bas"},
    {"C:\\Proj\\frmA.frm", "FileNotInRootPath\\Disk_C_\\Proj\\frmA.frm"},
    {"\\\\srv\\share\\clsLog.cls", "FileNotInRootPath\\~srv\\share\\clsLog.cls"},
    {"Res\\App.res", "Res\\App.res"},
};

class MapToArchivePathTest : public ::testing::TestWithParam<Case> {};
TEST_P(MapToArchivePathTest, Maps) {
    EXPECT_EQ(MapToArchivePath(GetParam().input), GetParam().expected);
}
TEST_P(MapToArchivePathTest, SafeFormAgrees) {
    EXPECT_EQ(SafeArchivePath(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Ordinary, MapToArchivePathTest, ::testing::ValuesIn(kOrdinaryReferences));
// the mapping itself leaves these alone; only the hardened form changes them
class MapOnlyTest : public ::testing::TestWithParam<Case> {};
TEST_P(MapOnlyTest, Maps) {
    EXPECT_EQ(MapToArchivePath(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Literal, MapOnlyTest,
                         ::testing::Values(Case{"C:x.frm", "C:x.frm"},
                                           Case{"D:\\a\\..\\b", "FileNotInRootPath\\Disk_D_\\a\\..\\b"},
                                           Case{"a...b\\c", "a--.b\\c"}));

class SafeArchivePathTest : public ::testing::TestWithParam<Case> {};
TEST_P(SafeArchivePathTest, Hardens) {
    EXPECT_EQ(SafeArchivePath(GetParam().input), GetParam().expected);
}
TEST_P(SafeArchivePathTest, NeverEscapes) {
    const std::string path = SafeArchivePath(GetParam().input);
    if (path.empty()) {
        return;
    }
    EXPECT_NE(path.front(), '\\');
    EXPECT_EQ(path.find('/'), std::string::npos);
    EXPECT_EQ(path.find(':'), std::string::npos);
    EXPECT_EQ(path.find("\\\\"), std::string::npos);
    for (char c : path) {
        EXPECT_GE(static_cast<unsigned char>(c), 0x20);
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        end = end == std::string::npos ? path.size() : end;
        const std::string part = path.substr(start, end - start);
        EXPECT_NE(part, "..");
        EXPECT_NE(part, ".");
        EXPECT_FALSE(part.empty());
        start = end + 1;
    }
}
INSTANTIATE_TEST_SUITE_P(
    Hostile, SafeArchivePathTest,
    ::testing::Values(
        Case{"..\\..\\x", "FileNotInRootPath\\--\\--\\x"}, Case{"C:x", "C_x"},
        Case{"D:\\a\\..\\b", "FileNotInRootPath\\Disk_D_\\a\\--\\b"},
        Case{"\\\\srv\\s\\..\\..\\x", "FileNotInRootPath\\~srv\\s\\--\\--\\x"}, Case{"/abs", "_\\abs"},
        Case{"\\abs\\x.bas", "_\\abs\\x.bas"}, Case{"a\\\\b", "a\\_\\b"},
        Case{"../../etc/passwd", "FileNotInRootPath\\--\\--\\etc\\passwd"}, Case{"a/./b", "a\\-\\b"},
        Case{".", "-"}, Case{"..", "--"}, Case{"\\\\srv\\s\\.\\x", "FileNotInRootPath\\~srv\\s\\-\\x"},
        Case{"a\\b:c\\d", "a\\b_c\\d"}, Case{std::string("a\\b\0c", 5), "a\\b_c"},
        Case{"a\\\x1b[31m\\b", "a\\_[31m\\b"}, Case{"a\\\x7f", "a\\_"},
        Case{"\\\\\\x", "FileNotInRootPath\\~\\x"}, Case{"\\\\?\\C:\\x", "FileNotInRootPath\\~?\\C_\\x"},
        Case{"", ""}, Case{"Forms\\", ""}, Case{"Forms/", ""}, Case{"\\\\srv\\s\\", ""}));

class FileHelpersTest : public ::testing::Test {
protected:
    testing::ScratchFolder m_scratch;
};

TEST_F(FileHelpersTest, FileExistsOnlyForFiles) {
    EXPECT_TRUE(FileExists(m_scratch.Write("a.frm")));
    EXPECT_FALSE(FileExists(m_scratch.Path("missing.frm")));
    EXPECT_FALSE(FileExists(m_scratch.Path()));
    EXPECT_FALSE(FileExists(""));
}

TEST_F(FileHelpersTest, DeleteFileReportsErrorNumbers) {
    const std::string file = m_scratch.Write("a.tmp");
    EXPECT_EQ(DeleteFile(file), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(DeleteFile(file), ENOENT);
    std::filesystem::create_directory(m_scratch.Path("folder"));
    EXPECT_NE(DeleteFile(m_scratch.Path("folder")), 0);
    EXPECT_TRUE(std::filesystem::is_directory(m_scratch.Path("folder")));
}

struct FolderCase {
    std::string relative;   // appended to the scratch folder with "/"
    std::string created;    // deepest folder expected afterwards
    std::string notCreated; // a folder that must not appear; empty for none
};

class CreateFolderPathTest : public ::testing::TestWithParam<FolderCase> {
protected:
    testing::ScratchFolder m_scratch;
};

TEST_P(CreateFolderPathTest, CreatesUpToLastSeparator) {
    const Status status = CreateFolderPath(m_scratch.Path() + "/" + GetParam().relative);
    EXPECT_TRUE(status.ok()) << status.error();
    EXPECT_TRUE(std::filesystem::is_directory(m_scratch.Path(GetParam().created)));
    if (!GetParam().notCreated.empty()) {
        EXPECT_FALSE(std::filesystem::exists(m_scratch.Path(GetParam().notCreated)));
    }
}
INSTANTIATE_TEST_SUITE_P(
    Folders, CreateFolderPathTest,
    ::testing::Values(FolderCase{"Backups/Proj/Sources.Backup/", "Backups/Proj/Sources.Backup", ""},
                      FolderCase{"Backups/new", "Backups", "Backups/new"}, FolderCase{"a//b/", "a/b", ""}));

TEST_F(FileHelpersTest, CreateFolderPathTellsWhyNot) {
    const std::string blocker = m_scratch.Write("file");
    const Status status = CreateFolderPath(blocker + "/sub/");
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().find(blocker + "/sub/"), std::string::npos) << status.error();
    EXPECT_FALSE(CreateFolderPath("").ok());
}

TEST_F(FileHelpersTest, CreateFolderPathWithoutSeparatorIsOneFolder) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(m_scratch.Path());
    const Status status = CreateFolderPath("Lone");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(status.ok()) << status.error();
    EXPECT_TRUE(std::filesystem::is_directory(m_scratch.Path("Lone")));
}

} // namespace
} // namespace corvane

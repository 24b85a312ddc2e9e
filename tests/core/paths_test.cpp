// the path helpers on Windows-form and "/" paths, the archive mapping and its hardened form, and backup
// names from a fixed clock

#include "core/backup_naming.h"
#include "core/paths.h"
#include "vb_project_fixture.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::pair<std::string, std::string>>;

void ExpectEach(std::string (*operation)(const std::string&), const Rows& rows) {
    for (const auto& [input, expected] : rows)
        EXPECT_EQ(operation(input), expected) << '"' << input << '"';
}

TEST(Paths, StringHelpers) {
    ExpectEach(AddBackslash, {{"  C:\\Work  ", "C:\\Work\\"},
                              {"", "\\"},
                              {"/home/u/Dev", "/home/u/Dev/"},
                              {"/home/u/Dev/", "/home/u/Dev/"},
                              {"C:\\mixed/x", "C:\\mixed/x\\"}});
    ExpectEach(FolderOfPath, {{"C:\\Proj\\App.vbp", "C:\\Proj"},
                              {"App.vbp", ""},
                              {"C:\\a/b\\c.vbp", "C:\\a/b"},
                              {"C:\\a\\b/c.vbp", "C:\\a\\b"}});
    ExpectEach(FileNameOfPath, {{"C:\\Proj\\", ""}, {"a\\b/c", "c"}});
    ExpectEach(SanitizeFileName, {{"Tom's a/b:c*d?e<f>g|h\\i\"j\xE9.1", "Tom_s a_b_c_d_e_f_g_h_i_j\xE9.1"}});
    ExpectEach([](const std::string& reference) { return MakeAbsolutePath(reference, "C:\\Proj"); },
               {{"..\\Shared\\modUtil.bas", "C:\\Proj\\..\\Shared\\modUtil.bas"},
                {"D:\\Lib\\modTools.bas", "D:\\Lib\\modTools.bas"},
                {"\\\\srv\\share\\clsLog.cls", "\\\\srv\\share\\clsLog.cls"},
                {"\\root.bas", "C:\\Proj\\\\root.bas"},
                {"a:b:c.bas", "a:b:c.bas"},
                {"ab:c.bas", "C:\\Proj\\ab:c.bas"}});
}

TEST(Paths, ArchivePaths) {
    // references every project writes: both forms agree on them
    const Rows ordinary = {
        {"Forms\\frmAbout.frm", "Forms\\frmAbout.frm"},
        {"Sub\\..\\modX.bas", "Sub\\--\\modX.bas"},
        {"..\\Shared\\modUtil.bas", "FileNotInRootPath\\--\\Shared\\modUtil.bas"},
        {"D:\\Lib\\modTools.bas", "FileNotInRootPath\\Disk_D_\\Lib\\modTools.bas"},
        {"\\\\srv\\share\\clsLog.cls", "FileNotInRootPath\\~srv\\share\\clsLog.cls"},
    };
    ExpectEach(MapToArchivePath, ordinary);
    ExpectEach(SafeArchivePath, ordinary);
    // the mapping itself leaves these alone; only the hardened form changes them
    ExpectEach(MapToArchivePath, {{"C:x.frm", "C:x.frm"},
                                  {"D:\\a\\..\\b", "FileNotInRootPath\\Disk_D_\\a\\..\\b"},
                                  {"a...b\\c", "a--.b\\c"}});
    ExpectEach(SafeArchivePath, {{"C:x", "C_x"},
                                 {"D:\\a\\..\\b", "FileNotInRootPath\\Disk_D_\\a\\--\\b"},
                                 {"/abs", "_\\abs"},
                                 {"a\\\\b", "a\\_\\b"},
                                 {"../../etc/passwd", "FileNotInRootPath\\--\\--\\etc\\passwd"},
                                 {"a/./b", "a\\-\\b"},
                                 {"a\\b:c\\d", "a\\b_c\\d"},
                                 {std::string("a\\b\0c", 5), "a\\b_c"},
                                 {"a\\\x7f", "a\\_"},
                                 {"\\\\\\x", "FileNotInRootPath\\~\\x"},
                                 {"\\\\?\\C:\\x", "FileNotInRootPath\\~?\\C_\\x"},
                                 {"", ""},
                                 {"Forms/", ""}});
}

TEST(Paths, FileHelpers) {
    testing::ScratchFolder scratch;
    EXPECT_NE(DeleteFile(scratch.Path()), 0); // a folder is not deleted
    // the part after the last separator is a file's name, not a folder to make
    for (const char* relative : {"/Backups/new", "/a//b/"})
        EXPECT_TRUE(CreateFolderPath(scratch.Path() + relative).ok()) << relative;
    EXPECT_TRUE(fs::is_directory(scratch.Path("a/b")) && fs::is_directory(scratch.Path("Backups")));
    EXPECT_FALSE(fs::exists(scratch.Path("Backups/new")));
    const std::string blocker = scratch.Write("file") + "/sub/";
    const Status status = CreateFolderPath(blocker);
    EXPECT_TRUE(!status.ok() && status.error().find(blocker) != std::string::npos) << status.error();
    EXPECT_FALSE(CreateFolderPath("").ok());
}

TEST(BackupNaming, DefaultNames) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Dev\\App\\App.vbp", "App"},           {"C:\\Dev\\App\\App.VBP", "App.VBP"},
        {"C:\\Dev\\my.vbproject\\App.vbp", "App"},  {"a.vbpx.vbp", "ax"},
        {"/home/u/Billing/Billing.vbp", "Billing"}, {"x.v.vbpbp", "x.vbp"}, // one pass, not repeated
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(DefaultProjectName(path), name) << path;
}

// the stamp is local time, padded; the names are sanitised, the base name is not
TEST(BackupNaming, NamesAreStampedAndSanitised) {
    JobState state;
    state.gProjectName = "What? A: Tool", state.gMajorVer = "2", state.gMinorVer = "1";
    state.gRevisionVer = "7", state.gTimeStamp = FormatTimeStamp(testing::LocalMoment(2001, 1, 2, 23, 0, 0));
    EXPECT_EQ(BackupBaseName(state), "What? A: Tool 2.1.7.20010102230000");
    ApplyBackupNames(state);
    EXPECT_EQ(state.gZipName, "What_ A_ Tool 2.1.7.20010102230000.zip");
    EXPECT_EQ(state.gNewVbpName, "What_ A_ Tool 2.1.7.20010102230000.vbp");
}

TEST(BackupNaming, SelectingAProject) {
    testing::ScratchFolder scratch;
    const Result<ProjectSelection> selection =
        SelectSingleProject(scratch.Write("App/App.vbp", "Type=Exe\r\nMinorVer=4\r\nForm=frmMain.frm\r\n"),
                            testing::BackupMoment);
    ASSERT_TRUE(selection.ok()) << selection.error();
    EXPECT_EQ(selection->state.gNewVbpName, "App 0.4.0.20250717095823.vbp");
    EXPECT_EQ(selection->state.gLineCount, 3);
    EXPECT_FALSE(selection->state.gIsGroup);
    EXPECT_EQ(selection->savePath, scratch.Path("App") + "/Sources.Backup/");
}

} // namespace
} // namespace corvane

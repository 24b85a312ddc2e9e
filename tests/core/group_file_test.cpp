// group files: the exact bytes written, both readings of them, and Visual Basic's own ".vbg"
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/group_file.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

class GroupFileFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("corvane_group_") + info->test_suite_name() + "_" + info->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        m_folder = fs::temp_directory_path() / name;
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_folder, ec);
    }
    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }
    std::string Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
        return PathOf(name);
    }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::size_t EntriesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()));
    }

    fs::path m_folder;
};

GroupEditorFields AccountingSuite() {
    return {"Accounting suite",
            "C:\\Dev\\Acc\\Acc.vbp",
            "C:\\Dev\\Acc\\Sources.Backup\\",
            {"C:\\Dev\\Lib\\Lib.vbp", "C:\\Dev\\Ui\\Ui.vbp"}};
}

// --- writing -------------------------------------------------------------------------------------

TEST_F(GroupFileFolder, WritesFiveCrLfLinesWithTheMarkerOnLineThree) {
    const auto path = PathOf("acc.vbpgroup");
    ASSERT_TRUE(WriteGroupFile(path, AccountingSuite()));
    EXPECT_EQ(Bytes(path), "Accounting suite\r\n"
                           "C:\\Dev\\Acc\\Acc.vbp\r\n"
                           "[PATH]C:\\Dev\\Acc\\Sources.Backup\\\r\n"
                           "C:\\Dev\\Lib\\Lib.vbp\r\n"
                           "C:\\Dev\\Ui\\Ui.vbp\r\n");

    const auto selection = ReadGroupForMainWindow(path);
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(selection->projects, (std::vector<std::string>{"C:\\Dev\\Acc\\Acc.vbp", "C:\\Dev\\Lib\\Lib.vbp",
                                                             "C:\\Dev\\Ui\\Ui.vbp"}));
}

TEST_F(GroupFileFolder, OverwritingLeavesNoTailOfTheLongerOldFileAndNoTemporaryFile) {
    const auto path = Put("g.vbpgroup", std::string(5000, 'x'));
    GroupEditorFields small{"n", "m.vbp", "f\\", {"l.vbp"}};
    ASSERT_TRUE(WriteGroupFile(path, small));
    EXPECT_EQ(Bytes(path), "n\r\nm.vbp\r\n[PATH]f\\\r\nl.vbp\r\n");
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(GroupFileFolder, RefusesAReadOnlyFileAndKeepsItsText) {
    const auto path = Put("locked.vbpgroup", "old\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    const Status status = WriteGroupFile(path, AccountingSuite());
    EXPECT_FALSE(status);
    EXPECT_NE(status.error().find(path), std::string::npos) << status.error();
    EXPECT_NE(status.error().find("read-only"), std::string::npos) << status.error();
    EXPECT_EQ(Bytes(path), "old\r\n");
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(GroupFileFolder, FailureNamesTheFileAndLeavesNothingBehind) {
    for (const std::string& path : {PathOf("missing/sub/g.vbpgroup"), m_folder.string()}) {
        const Status status = WriteGroupFile(path, AccountingSuite());
        EXPECT_FALSE(status) << path;
        EXPECT_NE(status.error().find("\"" + path + "\""), std::string::npos) << status.error();
    }
    EXPECT_EQ(EntriesInFolder(), 0u);
}

// --- write, read back, write again -----------------------------------------------------------------

class GroupRoundTrip : public GroupFileFolder, public ::testing::WithParamInterface<GroupEditorFields> {};

TEST_P(GroupRoundTrip, EditorReadingGivesBackTheFieldsAndTheSameBytes) {
    const auto path = PathOf("first.vbpgroup");
    const auto& fields = GetParam();
    ASSERT_TRUE(WriteGroupFile(path, fields));

    const auto read = ReadGroupForEditor(path);
    ASSERT_FALSE(read.stoppedEarly) << read.error;
    EXPECT_EQ(read.fields.groupName, fields.groupName);
    EXPECT_EQ(read.fields.mainProject, fields.mainProject);
    EXPECT_EQ(read.fields.backupFolder, fields.backupFolder);
    EXPECT_EQ(read.fields.linkedProjects, fields.linkedProjects);

    const auto again = PathOf("again.vbpgroup");
    ASSERT_TRUE(WriteGroupFile(again, read.fields));
    EXPECT_EQ(Bytes(again), Bytes(path));
}

TEST_P(GroupRoundTrip, MainWindowSeesTheMainProjectFirst) {
    const auto path = PathOf("g.vbpgroup");
    const auto& fields = GetParam();
    ASSERT_TRUE(WriteGroupFile(path, fields));
    const auto selection = ReadGroupForMainWindow(path);
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(selection->subfolderName, fields.groupName);
    EXPECT_EQ(selection->savePath, fields.backupFolder);
    std::vector<std::string> expected{fields.mainProject};
    expected.insert(expected.end(), fields.linkedProjects.begin(), fields.linkedProjects.end());
    EXPECT_EQ(selection->projects, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, GroupRoundTrip,
    ::testing::Values(AccountingSuite(),
                      // a name of spaces is kept as typed; the main project may be listed again
                      GroupEditorFields{"   ", "C:\\A\\A.vbp", "D:\\Backups\\", {"C:\\A\\A.vbp"}},
                      // an empty list entry, also as the very last line
                      GroupEditorFields{"g", "/home/u/a/a.vbp", "/srv/b/", {"/home/u/l.vbp", "", ""}},
                      // ANSI bytes pass untouched
                      GroupEditorFields{
                          "Compta \xE9t\xE9", "C:\\D\xE9v\\A.vbp", "C:\\D\xE9v\\", {"C:\\B.vbp"}}));

// --- reading hand-made files ----------------------------------------------------------------------

struct ReadingCase {
    const char* name;
    std::string bytes;
    // the editor's reading
    bool stoppedEarly;
    GroupEditorFields editor;
    // the main window's reading
    GroupSelection window;
};

class GroupReading : public GroupFileFolder, public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(GroupReading, BothReadersAgreeWithTheFormat) {
    const auto& c = GetParam();
    const auto path = Put("g.vbpgroup", c.bytes);

    const auto read = ReadGroupForEditor(path);
    EXPECT_EQ(read.stoppedEarly, c.stoppedEarly);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.fields.groupName, c.editor.groupName);
    EXPECT_EQ(read.fields.mainProject, c.editor.mainProject);
    EXPECT_EQ(read.fields.backupFolder, c.editor.backupFolder);
    EXPECT_EQ(read.fields.linkedProjects, c.editor.linkedProjects);

    const auto selection = ReadGroupForMainWindow(path);
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(selection->subfolderName, c.window.subfolderName);
    EXPECT_EQ(selection->projects, c.window.projects);
    EXPECT_EQ(selection->savePath, c.window.savePath);
}

using V = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(
    Files, GroupReading,
    ::testing::Values(
        ReadingCase{"PathLineAfterTheProjects",
                    "G\r\nC:\\A\\A.vbp\r\nC:\\L\\L.vbp\r\n[PATH]D:\\B\\\r\n",
                    false,
                    {"G", "C:\\A\\A.vbp", "D:\\B\\", V{"C:\\L\\L.vbp"}},
                    {"G", V{"C:\\A\\A.vbp", "C:\\L\\L.vbp"}, "D:\\B\\"}},
        ReadingCase{"LastOfTwoPathLinesWins",
                    "G\r\nA.vbp\r\n[PATH]D:\\One\\\r\nL.vbp\r\n[PATH]E:\\Two\\\r\n",
                    false,
                    {"G", "A.vbp", "E:\\Two\\", V{"L.vbp"}},
                    {"G", V{"A.vbp", "L.vbp"}, "E:\\Two\\"}},
        ReadingCase{"LowerCaseMarkerIsAProject",
                    "G\r\nC:\\A\\A.vbp\r\n[path]D:\\B\\\r\n",
                    false,
                    {"G", "C:\\A\\A.vbp", "C:\\A\\Sources.Backup\\", V{"[path]D:\\B\\"}},
                    {"G", V{"C:\\A\\A.vbp", "[path]D:\\B\\"}, "C:\\A\\Sources.Backup\\"}},
        ReadingCase{"EveryMarkerIsRemoved",
                    "G\r\nA.vbp\r\n[PATH]D:\\[PATH]B[PATH]\\\r\n",
                    false,
                    {"G", "A.vbp", "D:\\B\\", V{}},
                    {"G", V{"A.vbp"}, "D:\\B\\"}},
        ReadingCase{"EmptyLineIsKept",
                    "G\r\nA.vbp\r\n[PATH]F\\\r\nL.vbp\r\n\r\nM.vbp\r\n",
                    false,
                    {"G", "A.vbp", "F\\", V{"L.vbp", "", "M.vbp"}},
                    {"G", V{"A.vbp", "L.vbp", "", "M.vbp"}, "F\\"}},
        ReadingCase{"LineTwoStartingWithTheMarker",
                    "G\r\n[PATH]D:\\B\\\r\nC:\\L\\L.vbp\r\n",
                    false,
                    {"G", "[PATH]D:\\B\\", "[PATH]D:\\B\\Sources.Backup\\", V{"C:\\L\\L.vbp"}},
                    {"G", V{"C:\\L\\L.vbp"}, "D:\\B\\"}},
        ReadingCase{
            "OneLineFile", "Only a name\r\n", true, {"Only a name", "", "", V{}}, {"Only a name", V{}, ""}},
        ReadingCase{"OneLineWithoutLineEnd",
                    "Only a name",
                    true,
                    {"Only a name", "", "", V{}},
                    {"Only a name", V{}, ""}},
        ReadingCase{"DefaultFolderBesideABackslashProject",
                    "G\r\nC:\\Dev\\Acc\\Acc.vbp\r\nC:\\L.vbp\r\n",
                    false,
                    {"G", "C:\\Dev\\Acc\\Acc.vbp", "C:\\Dev\\Acc\\Sources.Backup\\", V{"C:\\L.vbp"}},
                    {"G", V{"C:\\Dev\\Acc\\Acc.vbp", "C:\\L.vbp"}, "C:\\Dev\\Acc\\Sources.Backup\\"}},
        ReadingCase{"DefaultFolderBesideASlashProject",
                    "G\n/home/u/acc/Acc.vbp\n",
                    false,
                    {"G", "/home/u/acc/Acc.vbp", "/home/u/acc/Sources.Backup/", V{}},
                    {"G", V{"/home/u/acc/Acc.vbp"}, "/home/u/acc/Sources.Backup/"}},
        ReadingCase{"DefaultFolderForAProjectWithoutFolder",
                    "G\r\nAcc.vbp\r\n",
                    false,
                    {"G", "Acc.vbp", "\\Sources.Backup\\", V{}},
                    {"G", V{"Acc.vbp"}, "\\Sources.Backup\\"}},
        ReadingCase{"EmptyPathLineGetsTheDefault",
                    "G\r\nC:\\A\\A.vbp\r\n[PATH]\r\n",
                    false,
                    {"G", "C:\\A\\A.vbp", "C:\\A\\Sources.Backup\\", V{}},
                    {"G", V{"C:\\A\\A.vbp"}, "C:\\A\\Sources.Backup\\"}},
        ReadingCase{"LoneCrAndLoneLfEndLines",
                    "G\rA.vbp\n[PATH]F\\\r\nL.vbp",
                    false,
                    {"G", "A.vbp", "F\\", V{"L.vbp"}},
                    {"G", V{"A.vbp", "L.vbp"}, "F\\"}},
        ReadingCase{"SpacesAreNotTrimmed",
                    " G \r\n A.vbp \r\n[PATH] F \r\n",
                    false,
                    {" G ", " A.vbp ", " F ", V{}},
                    {" G ", V{" A.vbp "}, " F "}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GroupFileFolder, EmptyFileStopsTheEditorAndFailsTheMainWindow) {
    const auto path = Put("empty.vbpgroup", "");
    const auto read = ReadGroupForEditor(path);
    EXPECT_TRUE(read.stoppedEarly);
    EXPECT_EQ(read.fields.groupName, "");
    EXPECT_EQ(read.fields.backupFolder, "");

    const auto selection = ReadGroupForMainWindow(path);
    ASSERT_FALSE(selection);
    EXPECT_NE(selection.error().find(path), std::string::npos) << selection.error();
}

TEST_F(GroupFileFolder, UnreadablePathsGiveAMessageNamingThem) {
    for (const std::string& path : {PathOf("absent.vbpgroup"), m_folder.string(), PathOf("absent.vbg")}) {
        const auto read = ReadGroupForEditor(path);
        EXPECT_TRUE(read.stoppedEarly) << path;
        EXPECT_NE(read.error.find(path), std::string::npos) << read.error;

        const auto selection = ReadAnyGroup(path);
        ASSERT_FALSE(selection) << path;
        EXPECT_NE(selection.error().find(path), std::string::npos) << selection.error();
    }
}

} // namespace
} // namespace corvane

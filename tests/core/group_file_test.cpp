// group files: the exact bytes written and both readings of them
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/group_file.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

class GroupFileFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        m_folder = fs::temp_directory_path() / ("corvane_group_" + name);
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }
    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }
    std::string Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
        return PathOf(name);
    }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::ptrdiff_t Entries() const { return std::distance(fs::directory_iterator(m_folder), {}); }

    fs::path m_folder;
};

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i > 0 ? "," : "") + items[i];
    return text;
}
// "name|main|folder|linked,linked", marked "stopped:" when the reading ended early
std::string Shown(const GroupEditorRead& read) {
    const auto& f = read.fields;
    return (read.stoppedEarly ? "stopped:" : "") + f.groupName + "|" + f.mainProject + "|" + f.backupFolder +
           "|" + Joined(f.linkedProjects);
}
// "subfolder|project,project|save path"
std::string Shown(const GroupSelection& s) {
    return s.subfolderName + "|" + Joined(s.projects) + "|" + s.savePath;
}

const GroupEditorFields kAccounting{"Accounting suite",
                                    "C:\\Dev\\Acc\\Acc.vbp",
                                    "C:\\Dev\\Acc\\Sources.Backup\\",
                                    {"C:\\Dev\\Lib\\Lib.vbp", "C:\\Dev\\Ui\\Ui.vbp"}};

TEST_F(GroupFileFolder, WritesFiveCrLfLinesThatTheMainWindowListsInOrder) {
    const auto path = PathOf("acc.vbpgroup");
    ASSERT_TRUE(WriteGroupFile(path, kAccounting));
    EXPECT_EQ(Bytes(path),
              "Accounting suite\r\nC:\\Dev\\Acc\\Acc.vbp\r\n[PATH]C:\\Dev\\Acc\\Sources.Backup\\\r\n"
              "C:\\Dev\\Lib\\Lib.vbp\r\nC:\\Dev\\Ui\\Ui.vbp\r\n");
    const auto selection = ReadGroupForMainWindow(path);
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(Shown(*selection),
              "Accounting suite|C:\\Dev\\Acc\\Acc.vbp,C:\\Dev\\Lib\\Lib.vbp,C:\\Dev\\Ui\\Ui.vbp|"
              "C:\\Dev\\Acc\\Sources.Backup\\");
}

TEST_F(GroupFileFolder, ReplacesALongerFileWholeAndLeavesNoTemporaryFile) {
    const auto path = Put("g.vbpgroup", std::string(5000, 'x'));
    ASSERT_TRUE(WriteGroupFile(path, {"n", "m.vbp", "f\\", {"l.vbp"}}));
    EXPECT_EQ(Bytes(path), "n\r\nm.vbp\r\n[PATH]f\\\r\nl.vbp\r\n");
    EXPECT_EQ(Entries(), 1);
}

TEST_F(GroupFileFolder, WriteFailuresNameTheFileAndChangeNothing) {
    const auto locked = Put("locked.vbpgroup", "old\r\n");
    fs::permissions(locked, fs::perms::owner_read);
    for (const std::string& path : {locked, PathOf("missing/g.vbpgroup"), m_folder.string()}) {
        const Status status = WriteGroupFile(path, kAccounting);
        ASSERT_FALSE(status) << path;
        EXPECT_NE(status.error().find("\"" + path + "\""), std::string::npos) << status.error();
    }
    EXPECT_EQ(Bytes(locked), "old\r\n");
    EXPECT_EQ(Entries(), 1);
}

class GroupRoundTrip : public GroupFileFolder, public ::testing::WithParamInterface<GroupEditorFields> {};

TEST_P(GroupRoundTrip, ReadingBackGivesTheFieldsAndWritingAgainTheSameBytes) {
    const auto& fields = GetParam();
    const auto first = PathOf("first.vbpgroup");
    ASSERT_TRUE(WriteGroupFile(first, fields));
    const auto read = ReadGroupForEditor(first);
    EXPECT_EQ(Shown(read), Shown(GroupEditorRead{fields, false, ""}));
    const auto again = PathOf("again.vbpgroup");
    ASSERT_TRUE(WriteGroupFile(again, read.fields));
    EXPECT_EQ(Bytes(again), Bytes(first));

    auto projects = fields.linkedProjects;
    projects.insert(projects.begin(), fields.mainProject);
    const auto selection = ReadGroupForMainWindow(first);
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(Shown(*selection), Shown(GroupSelection{fields.groupName, projects, fields.backupFolder}));
}

INSTANTIATE_TEST_SUITE_P(
    Groups, GroupRoundTrip,
    ::testing::Values(kAccounting,
                      // a name of spaces is kept; the main project may be listed again
                      GroupEditorFields{"   ", "C:\\A\\A.vbp", "D:\\Backups\\", {"C:\\A\\A.vbp"}},
                      // empty list entries, the last one too
                      GroupEditorFields{"g", "/home/u/a/a.vbp", "/srv/b/", {"/home/u/l.vbp", "", ""}},
                      // ANSI bytes pass untouched
                      GroupEditorFields{
                          "Compta \xE9t\xE9", "C:\\D\xE9v\\A.vbp", "C:\\D\xE9v\\", {"C:\\B.vbp"}}));

struct ReadingCase {
    const char* name;
    std::string bytes;
    std::string editor; // as Shown() renders it
    std::string window;
};

class GroupReading : public GroupFileFolder, public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(GroupReading, BothReadersFollowTheFormat) {
    const auto path = Put("g.vbpgroup", GetParam().bytes);
    const auto read = ReadGroupForEditor(path);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(Shown(read), GetParam().editor);
    const auto selection = ReadGroupForMainWindow(path);
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(Shown(*selection), GetParam().window);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GroupReading,
    ::testing::Values(
        ReadingCase{"PathLineAfterTheProjects", "G\r\nC:\\A\\A.vbp\r\nL.vbp\r\n[PATH]D:\\B\\\r\n",
                    "G|C:\\A\\A.vbp|D:\\B\\|L.vbp", "G|C:\\A\\A.vbp,L.vbp|D:\\B\\"},
        ReadingCase{"LastOfTwoPathLinesWins", "G\r\nA.vbp\r\n[PATH]D:\\One\\\r\nL.vbp\r\n[PATH]E:\\Two\\\r\n",
                    "G|A.vbp|E:\\Two\\|L.vbp", "G|A.vbp,L.vbp|E:\\Two\\"},
        ReadingCase{"LowerCaseMarkerIsAProject", "G\r\nC:\\A\\A.vbp\r\n[path]D:\\B\\\r\n",
                    "G|C:\\A\\A.vbp|C:\\A\\Sources.Backup\\|[path]D:\\B\\",
                    "G|C:\\A\\A.vbp,[path]D:\\B\\|C:\\A\\Sources.Backup\\"},
        ReadingCase{"EveryMarkerIsRemoved", "G\r\nA.vbp\r\n[PATH]D:\\[PATH]B[PATH]\\\r\n", "G|A.vbp|D:\\B\\|",
                    "G|A.vbp|D:\\B\\"},
        ReadingCase{"EmptyLineIsKept", "G\r\nA.vbp\r\n[PATH]F\\\r\nL.vbp\r\n\r\nM.vbp\r\n",
                    "G|A.vbp|F\\|L.vbp,,M.vbp", "G|A.vbp,L.vbp,,M.vbp|F\\"},
        ReadingCase{"LineTwoStartingWithTheMarker", "G\r\n[PATH]D:\\B\\\r\nL.vbp\r\n",
                    "G|[PATH]D:\\B\\|[PATH]D:\\B\\Sources.Backup\\|L.vbp", "G|L.vbp|D:\\B\\"},
        ReadingCase{"OneLineFile", "Only a name\r\n", "stopped:Only a name|||", "Only a name||"},
        ReadingCase{"DefaultBesideABackslashPath", "G\r\nC:\\Dev\\Acc\\Acc.vbp\r\n",
                    "G|C:\\Dev\\Acc\\Acc.vbp|C:\\Dev\\Acc\\Sources.Backup\\|",
                    "G|C:\\Dev\\Acc\\Acc.vbp|C:\\Dev\\Acc\\Sources.Backup\\"},
        ReadingCase{"DefaultBesideASlashPath", "G\n/home/u/Acc.vbp\n[PATH]\n",
                    "G|/home/u/Acc.vbp|/home/u/Sources.Backup/|",
                    "G|/home/u/Acc.vbp|/home/u/Sources.Backup/"},
        ReadingCase{"DefaultForAProjectWithoutFolder", "G\rAcc.vbp", "G|Acc.vbp|\\Sources.Backup\\|",
                    "G|Acc.vbp|\\Sources.Backup\\"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GroupFileFolder, EmptyOrUnreadableFilesStopTheEditorAndFailTheMainWindow) {
    const auto empty = Put("empty.vbpgroup", "");
    EXPECT_EQ(Shown(ReadGroupForEditor(empty)), "stopped:|||");
    for (const std::string& path :
         {empty, PathOf("absent.vbpgroup"), m_folder.string(), PathOf("absent.vbg")}) {
        const auto selection = ReadAnyGroup(path);
        ASSERT_FALSE(selection) << path;
        EXPECT_NE(selection.error().find(path), std::string::npos) << selection.error();
        if (path == empty)
            continue;
        const auto read = ReadGroupForEditor(path);
        EXPECT_TRUE(read.stoppedEarly);
        EXPECT_NE(read.error.find(path), std::string::npos) << read.error;
    }
}

} // namespace
} // namespace corvane

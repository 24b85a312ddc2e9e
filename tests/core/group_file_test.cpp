// group files: the exact bytes written and both readings of them
#include <gtest/gtest.h>

#include <filesystem>

#include "core/group_file.h"
#include "core/text_lines.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

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
std::string Shown(const Result<GroupSelection>& s) {
    return s ? s->subfolderName + "|" + Joined(s->projects) + "|" + s->savePath : "failed: " + s.error();
}
std::string Bytes(const std::string& path) {
    return ReadTextFile(path).value();
}

class GroupFileTest : public ::testing::Test {
protected:
    std::ptrdiff_t Entries() const { return std::distance(fs::directory_iterator(m_scratch.Path()), {}); }
    testing::ScratchFolder m_scratch;
};

const GroupEditorFields kAccounting{"Accounting suite",
                                    "C:\\Dev\\Acc\\Acc.vbp",
                                    "C:\\Dev\\Acc\\Sources.Backup\\",
                                    {"C:\\Dev\\Lib\\Lib.vbp", "C:\\Dev\\Ui\\Ui.vbp"}};

TEST_F(GroupFileTest, WritesCrLfLinesReplacingTheOldFileWhole) {
    const auto path = m_scratch.Write("g.vbpgroup", std::string(5000, 'x'));
    ASSERT_TRUE(WriteGroupFile(path, kAccounting));
    EXPECT_EQ(Bytes(path),
              "Accounting suite\r\nC:\\Dev\\Acc\\Acc.vbp\r\n[PATH]C:\\Dev\\Acc\\Sources.Backup\\\r\n"
              "C:\\Dev\\Lib\\Lib.vbp\r\nC:\\Dev\\Ui\\Ui.vbp\r\n");
    EXPECT_EQ(Entries(), 1); // no temporary file left
}

TEST_F(GroupFileTest, WriteFailuresNameTheFileAndChangeNothing) {
    const auto locked = m_scratch.Write("locked.vbpgroup", "old\r\n");
    fs::permissions(locked, fs::perms::owner_read);
    for (const std::string& path : {locked, m_scratch.Path("missing/g.vbpgroup"), m_scratch.Path()}) {
        const Status status = WriteGroupFile(path, kAccounting);
        ASSERT_FALSE(status) << path;
        EXPECT_NE(status.error().find("\"" + path + "\""), std::string::npos) << status.error();
    }
    EXPECT_EQ(Bytes(locked), "old\r\n");
    EXPECT_EQ(Entries(), 1);
}

TEST_F(GroupFileTest, ReadingBackGivesTheFieldsAndWritingAgainTheSameBytes) {
    const GroupEditorFields cases[] = {
        kAccounting,
        // a name of spaces is kept; the main project may be listed again
        {"   ", "C:\\A\\A.vbp", "D:\\Backups\\", {"C:\\A\\A.vbp"}},
        {"g", "/home/u/a/a.vbp", "/srv/b/", {"/home/u/l.vbp", "", ""}}, // empty entries, the last one too
        {"Compta \xE9t\xE9", "C:\\D\xE9v\\A.vbp", "C:\\D\xE9v\\", {"C:\\B.vbp"}}, // ANSI bytes untouched
    };
    for (const auto& fields : cases) {
        const auto first = m_scratch.Path("first.vbpgroup");
        ASSERT_TRUE(WriteGroupFile(first, fields));
        const auto read = ReadGroupForEditor(first);
        EXPECT_EQ(Shown(read), Shown(GroupEditorRead{fields, false, ""}));
        const auto again = m_scratch.Path("again.vbpgroup");
        ASSERT_TRUE(WriteGroupFile(again, read.fields));
        EXPECT_EQ(Bytes(again), Bytes(first));
        auto projects = fields.linkedProjects;
        projects.insert(projects.begin(), fields.mainProject);
        EXPECT_EQ(Shown(ReadGroupForMainWindow(first)),
                  Shown(GroupSelection{fields.groupName, projects, fields.backupFolder}));
    }
}

TEST_F(GroupFileTest, BothReadersFollowTheFormat) {
    const struct {
        std::string bytes, editor, window;
    } cases[] = {
        {"G\r\nA.vbp\r\n[PATH]D:\\One\\\r\nL.vbp\r\n[PATH]E:\\Two\\\r\n", "G|A.vbp|E:\\Two\\|L.vbp",
         "G|A.vbp,L.vbp|E:\\Two\\"},
        {"G\r\nC:\\A\\A.vbp\r\n[path]D:\\B\\\r\n", "G|C:\\A\\A.vbp|C:\\A\\Sources.Backup\\|[path]D:\\B\\",
         "G|C:\\A\\A.vbp,[path]D:\\B\\|C:\\A\\Sources.Backup\\"},
        {"G\r\nA.vbp\r\n[PATH]D:\\[PATH]B[PATH]\\\r\n", "G|A.vbp|D:\\B\\|", "G|A.vbp|D:\\B\\"},
        {"G\r\nA.vbp\r\n[PATH]F\\\r\nL.vbp\r\n\r\nM.vbp\r\n", "G|A.vbp|F\\|L.vbp,,M.vbp",
         "G|A.vbp,L.vbp,,M.vbp|F\\"},
        {"G\r\n[PATH]D:\\B\\\r\nL.vbp\r\n", "G|[PATH]D:\\B\\|[PATH]D:\\B\\Sources.Backup\\|L.vbp",
         "G|L.vbp|D:\\B\\"},
        {"Only a name\r\n", "stopped:Only a name|||", "Only a name||"},
        {"G\n/home/u/Acc.vbp\n[PATH]\n", "G|/home/u/Acc.vbp|/home/u/Sources.Backup/|",
         "G|/home/u/Acc.vbp|/home/u/Sources.Backup/"},
        {"G\rAcc.vbp", "G|Acc.vbp|\\Sources.Backup\\|", "G|Acc.vbp|\\Sources.Backup\\"},
    };
    for (const auto& c : cases) {
        const auto path = m_scratch.Write("g.vbpgroup", c.bytes);
        const auto read = ReadGroupForEditor(path);
        EXPECT_EQ(read.error, "");
        EXPECT_EQ(Shown(read), c.editor);
        EXPECT_EQ(Shown(ReadGroupForMainWindow(path)), c.window);
    }
}

TEST_F(GroupFileTest, EmptyOrUnreadableFilesStopTheEditorAndFailTheMainWindow) {
    const auto empty = m_scratch.Write("empty.vbpgroup", "");
    EXPECT_EQ(Shown(ReadGroupForEditor(empty)), "stopped:|||");
    for (const std::string& path :
         {empty, m_scratch.Path("absent.vbpgroup"), m_scratch.Path(), m_scratch.Path("absent.vbg")}) {
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

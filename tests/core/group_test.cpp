// group files: the exact bytes written and both readings of them, and Visual Basic's own ".vbg" files
#include <tuple>

#include "core/group/group.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

using namespace corvane::testing;

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

const GroupEditorFields kAccounting{
    "Acc suite", "C:\\Acc\\A.vbp", "C:\\Acc\\Sources.Backup\\", {"C:\\L.vbp", "U.vbp"}};

TEST(GroupFile, WriteFailuresNameTheCauseAndChangeNothing) {
    ScratchFolder scratch;
    const auto old = scratch.Write("old.vbpgroup", "old\r\n");
    const auto project = scratch.Write("A.vbp", "Type=Exe\r\n");
    const auto locked = scratch.Write("locked.vbpgroup", "old\r\n");
    fs::permissions(locked, fs::perms::owner_read);
    const struct {
        std::string path;
        GroupEditorFields fields;
        std::string named;
    } cases[] = {
        {locked, kAccounting, locked},
        {scratch.Path("missing/g.vbpgroup"), kAccounting, scratch.Path("missing/g.vbpgroup")},
        {scratch.Path(), kAccounting, scratch.Path()},
        {old, {"g", "/a/A.vbp", "/b/x[PATH]y/", {"/l.vbp"}}, "/b/x[PATH]y/"}, // read back as /b/xy/
        {old, {"g", "/a/A.vbp", "/b/", {"/l.vbp", "[PATH]/c/C.vbp"}}, "[PATH]/c/C.vbp"},
        {old, {"g", "[PATH]/a.vbp", "/b/", {"/l.vbp"}}, "[PATH]/a.vbp"},
        {project, kAccounting, project}, // a project file is never replaced by a group
        {old, {"g\r\nx", "/a/A.vbp", "/b/", {"/l.vbp"}}, "g\r\nx"},
        {old, {"g", "/a/\xE6\x97\xA5.vbp", "/b/", {"/l.vbp"}}, "/a/\xE6\x97\xA5.vbp"}}; // not in 1252
    for (const auto& c : cases) {
        const Status status = WriteGroupFile(c.path, c.fields);
        ASSERT_FALSE(status) << c.path;
        EXPECT_NE(status.error().find("\"" + c.named + "\""), std::string::npos) << status.error();
    }
    EXPECT_EQ(ReadFile(locked) + ReadFile(old) + ReadFile(project), "old\r\nold\r\nType=Exe\r\n");
    EXPECT_EQ(FileNamesIn(scratch.Path()),
              (std::vector<std::string>{"A.vbp", "locked.vbpgroup", "old.vbpgroup"}));
}

TEST(GroupFile, ReadingBackGivesTheFieldsAndWritingAgainTheSameBytes) {
    ScratchFolder scratch;
    const GroupEditorFields cases[] = {
        kAccounting,
        {"   ", "C:\\A\\A.vbp", "D:\\Backups\\", {"C:\\A\\A.vbp"}}, // the main project may be listed again
        {"g", "/home/u/a/a.vbp", "/srv/b/", {"/home/u/l.vbp", "", ""}},
        {"Compta \xC3\xA9t\xC3\xA9 \xE2\x82\xAC", "C:\\D\xC3\xA9v\\A.vbp", "C:\\D\xC3\xA9v\\", {"C:\\B.vbp"}},
        {"[PATH]g", "/x[PATH]y/A.vbp", "/b/", {"/l/[PATH]/L.vbp"}}, // the marker where it is not read
    };
    const auto first = scratch.Write("first.vbpgroup", std::string(5000, 'x'));
    ASSERT_TRUE(WriteGroupFile(first, kAccounting)); // the longer old file replaced whole
    EXPECT_EQ(ReadFile(first),
              "Acc suite\r\nC:\\Acc\\A.vbp\r\n[PATH]C:\\Acc\\Sources.Backup\\\r\nC:\\L.vbp\r\nU.vbp\r\n");
    // the file is ANSI text, like every file a Visual Basic user has
    ASSERT_TRUE(WriteGroupFile(first, cases[3]));
    EXPECT_EQ(ReadFile(first),
              "Compta \xE9t\xE9 \x80\r\nC:\\D\xE9v\\A.vbp\r\n[PATH]C:\\D\xE9v\\\r\nC:\\B.vbp\r\n");
    ASSERT_TRUE(WriteGroupFile(first, cases[3], CodePage::Utf8));
    EXPECT_EQ(ReadGroupForEditor(first, CodePage::Utf8).fields, cases[3]);
    for (const auto& fields : cases) {
        ASSERT_TRUE(WriteGroupFile(first, fields));
        const auto read = ReadGroupForEditor(first);
        EXPECT_EQ(Shown(read), Shown(GroupEditorRead{fields, false, ""}));
        const auto again = scratch.Path("again.vbpgroup");
        ASSERT_TRUE(WriteGroupFile(again, read.fields));
        EXPECT_EQ(ReadFile(again), ReadFile(first));
    }
    EXPECT_EQ(FileNamesIn(scratch.Path()), (std::vector<std::string>{"again.vbpgroup", "first.vbpgroup"}));
}

TEST(GroupFile, BothReadersFollowTheFormat) {
    ScratchFolder scratch;
    const struct {
        std::string bytes, editor, window;
    } cases[] = {
        {"G\r\nA.vbp\r\n[PATH]D:\\1\\\r\nL.vbp\r\n[PATH]E:\\\r\n", "G|A.vbp|E:\\|L.vbp",
         "G|A.vbp,L.vbp|E:\\"},
        {"G\r\n/u/A.vbp\r\n[path]B\r\n", "G|/u/A.vbp|/u/Sources.Backup/|[path]B",
         "G|/u/A.vbp,[path]B|/u/Sources.Backup/"},
        {"G\r\nA.vbp\r\n[PATH]D:\\[PATH]B[PATH]\\\r\n", "G|A.vbp|D:\\B\\|", "G|A.vbp|D:\\B\\"},
        {"G\r\nA.vbp\r\n[PATH]F\\\r\nL\r\n\r\nM\r\n", "G|A.vbp|F\\|L,,M", "G|A.vbp,L,,M|F\\"},
        {"G\r\n[PATH]B\\\r\nL.vbp\r\n", "G|[PATH]B\\|[PATH]B\\Sources.Backup\\|L.vbp", "G|L.vbp|B\\"},
        {"Only a name\r\n", "stopped:Only a name|||", "Only a name||"},
        {"", "stopped:|||", "failed: The group file \"" + scratch.Path("g.vbpgroup") + "\" is empty."},
        {"G\n/u/A.vbp\n[PATH]\n", "G|/u/A.vbp|/u/Sources.Backup/|", "G|/u/A.vbp|/u/Sources.Backup/"},
        {"G\rAcc.vbp", "G|Acc.vbp|\\Sources.Backup\\|", "G|Acc.vbp|\\Sources.Backup\\"},
        // written on Windows in code page 1252: read as this machine names files
        {"\xE9\r\n/D\xE9v/A.vbp\r\n[PATH]/b/\x80/\r\n/L\x81.vbp\r\n",
         "\xC3\xA9|/D\xC3\xA9v/A.vbp|/b/\xE2\x82\xAC/|/L\xC2\x81.vbp",
         "\xC3\xA9|/D\xC3\xA9v/A.vbp,/L\xC2\x81.vbp|/b/\xE2\x82\xAC/"},
    };
    for (const auto& c : cases) {
        const auto path = scratch.Write("g.vbpgroup", c.bytes);
        const auto read = ReadGroupForEditor(path);
        EXPECT_EQ(read.error, "");
        EXPECT_EQ(Shown(read), c.editor);
        EXPECT_EQ(Shown(ReadGroupForMainWindow(path)), c.window);
    }
    // read under UTF-8, a byte that is not UTF-8 becomes U+FFFD, whose bytes must not replace it
    const auto read = ReadGroupForEditor(scratch.Write("g.vbpgroup", "G\r\n/D\xE9v/A.vbp\r\n[PATH]/b/\r\n"),
                                         CodePage::Utf8);
    EXPECT_EQ(UnstorableText(read.fields, CodePage::Utf8), "/D\xEF\xBF\xBDv/A.vbp");
    // a file that cannot be read stops the editor and fails the main window, both naming it
    for (const std::string& path : {scratch.Path("absent.vbpgroup"), scratch.Path()}) {
        const auto read = ReadGroupForEditor(path);
        EXPECT_TRUE(read.stoppedEarly && read.error.find(path) != std::string::npos) << read.error;
        EXPECT_NE(Shown(ReadGroupForMainWindow(path)).find(path), std::string::npos);
    }
}

TEST(VbgGroup, ProjectPathsAreMadeAbsoluteBesideTheGroup) {
    for (const auto& [reference, groupPath, expected] :
         {std::tuple(".\\a\\..\\..\\S\\S.vbp", "/home/u/dev/All.vbg", "/home/u/S/S.vbp"),
          {"..\\..\\..\\x.vbp", "/home/All.vbg", "/x.vbp"},
          {"Lib\\Lib.vbp", "All.vbg", "Lib/Lib.vbp"},
          {"..\\Lib.vbp", "../g/All.vbg", "../Lib.vbp"},
          // a group path in Windows form keeps its projects in that form
          {"..\\Lib/Lib.vbp", "C:\\Dev\\App\\All.vbg", "C:\\Dev\\Lib\\Lib.vbp"},
          {"\\Top\\T.vbp", "C:\\Dev\\All.vbg", "C:\\Top\\T.vbp"},
          {"..\\N.vbp", "\\\\srv\\share\\All.vbg", "\\\\srv\\share\\N.vbp"}})
        EXPECT_EQ(ResolveVbgProject(reference, groupPath), expected) << reference << " in " << groupPath;
}

// the startup project first and once, whatever the case of the keys or of the extension; on this machine
// names differing in case are different files; only ".vbg" picks this reader
TEST(VbgGroup, StartupProjectComesFirstAndIsNotRepeated) {
    ScratchFolder scratch;
    EXPECT_EQ(
        Shown(ReadAnyGroup(scratch.Write(
            "Billing.Suite.VbG", "VBGROUP 5.0\r\nProject=Lib\\Lib.vbp\r\nstartupproject=App\\App.vbp\r\n"
                                 "PROJECT=app\\APP.vbp\r\nIconForm=\"x\"\r\nProject=App\\App.vbp\r\n"
                                 "Project=..\\Ui.vbp\r\n"))),
        "Billing.Suite|" + scratch.Path("App/App.vbp") + "," + scratch.Path("Lib/Lib.vbp") + "," +
            scratch.Path("app/APP.vbp") + "," + (fs::path(scratch.Path()).parent_path() / "Ui.vbp").string() +
            "|" + scratch.Path("App/Sources.Backup/"));
    for (const std::string text : {"", "VBGROUP 5.0\r\n", "VBGROUP 5.0\r\nProject=\r\nStartupProject=\r\n"}) {
        const auto none = ReadVbgGroup(scratch.Write("none.vbg", text));
        ASSERT_FALSE(none) << text;
        EXPECT_NE(none.error().find(scratch.Path("none.vbg")), std::string::npos) << none.error();
    }
    EXPECT_EQ(Shown(ReadAnyGroup(scratch.Write("d.vbg.bak", "Name\r\nA.vbp\r\n"))),
              "Name|" + scratch.Path("A.vbp") + "|" + scratch.Path("Sources.Backup/"));
    EXPECT_EQ(Shown(ReadAnyGroup(scratch.Write("e.vbg", "StartupProject=D\xE9v\\A.vbp\r\n"))),
              "e|" + scratch.Path("D\xC3\xA9v/A.vbp") + "|" + scratch.Path("D\xC3\xA9v/Sources.Backup/"));
}

// Group files as the Windows tools write them: drive paths, shares, relative paths, any case; every
// path found through the drive map, and one that nothing maps named with its line, nothing made of it.
TEST(GroupPaths, WindowsPathsAreFoundThroughTheDriveMap) {
    ScratchFolder scratch;
    for (const char* file : {"c/Dev/Billing/Billing.vbp", "c/Dev/sub/App.vbp", "share/Lib/Lib.vbp", "g/Near.vbp"})
        scratch.Write(file);
    fs::create_directories(scratch.Path("c/Bk"));
    DriveMap drives;
    drives.Set("C", scratch.Path("c"));
    drives.Set("\\\\srv\\vb", scratch.Path("share"));
    const std::string found = "|" + scratch.Path("c/Dev/Billing/Billing.vbp") + "," +
                              scratch.Path("share/Lib/Lib.vbp") + "," + scratch.Path("g/Near.vbp") + "|";
    const struct {
        std::string name, text, shown;
    } cases[] = {
        {"g/Suite.vbpgroup",
         "Suite\r\nC:\\Dev\\Billing\\Billing.vbp\r\n[PATH]c:\\bk\\\r\n\\\\SRV\\vb\\lib\\LIB.vbp\r\nnear.VBP\r\n",
         "Suite" + found + scratch.Path("c/Bk/")},
        {"g/Suite.vbg",
         "VBGROUP 5.0\r\nStartupProject=C:\\DEV\\billing\\Billing.vbp\r\nProject=\\\\srv\\VB\\Lib\\Lib.vbp\r\n"
         "Project=Near.vbp\r\n",
         "Suite" + found + scratch.Path("c/Dev/Billing/Sources.Backup/")},
        {"g/Sub.vbg", "VBGROUP 5.0\r\nStartupProject=..\\c\\dev\\SUB\\app.vbp\r\n",
         "Sub|" + scratch.Path("c/Dev/sub/App.vbp") + "|" + scratch.Path("c/Dev/sub/Sources.Backup/")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Shown(ReadAnyGroup(scratch.Write(c.name, c.text), CodePage::Windows1252, drives)), c.shown)
            << c.name;
    const std::string unmapped = scratch.Write("g/E.vbpgroup", "E\r\nnear.vbp\r\n[PATH]E:\\Bk\\\r\n");
    const auto refused = ReadAnyGroup(unmapped, CodePage::Windows1252, drives);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), "The group file " + unmapped + ", line 3, names \"E:\\Bk\\\", whose drive or share no "
                                                               "folder of this machine stands for (see CORVANE_DRIVE_MAP).");
}

// the name is one line and a folder below the save path
TEST(GroupName, LosesControlCharactersAndMustBeAFolderName) {
    for (const auto& [typed, kept] : {std::pair("Compta\r\n2024\t", "Compta2024"),
                                      {"a\xC2\x85"
                                       "b\xE2\x80\xA8"
                                       "c\x7F",
                                       "abc"}, // NEL, line separator, DEL
                                      {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"}})
        EXPECT_EQ(WithoutControlCharacters(typed), kept) << typed;
    for (const std::string name : {"Compta \xC3\xA9t\xC3\xA9", "a.b", "   ", "a..b"})
        EXPECT_TRUE(IsGroupFolderName(name)) << name;
    for (const std::string name :
         {"a/b", "a\\b", "..", ".x", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\nb"})
        EXPECT_FALSE(IsGroupFolderName(name)) << name;
}

// one project however its path is written; on this machine names differing only in case are two
// projects when both are there, as the resolver finds them
TEST(GroupProjects, AreComparedAsTheResolverFindsThem) {
    ScratchFolder scratch;
    const std::string a = scratch.Write("A.vbp", ""), both = scratch.Write("App.vbp", "");
    scratch.Write("app.vbp", "");
    for (const auto& [left, right, same] :
         {std::tuple(a, scratch.Path("./a.vbp"), true),
          {a, scratch.Path("x/../A.vbp"), true},
          {std::string("C:\\Dev\\A.vbp"), std::string("c:\\DEV\\a.VBP"), true},
          {a, scratch.Path("B.vbp"), false},
          {both, scratch.Path("app.vbp"), false},
          {std::string("/nowhere/A.vbp"), std::string("/nowhere/a.vbp"), false}})
        EXPECT_EQ(SameProject(left, right), same) << left << " " << right;
}

} // namespace
} // namespace corvane

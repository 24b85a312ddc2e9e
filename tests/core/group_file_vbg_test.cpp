// Visual Basic's own ".vbg" group files and the choice between the two group formats
#include <gtest/gtest.h>

#include "core/group_file.h"
#include "scratch_folder.h"
#include <filesystem>

namespace corvane {
namespace {

TEST(VbgGroup, ProjectPathsAreMadeAbsoluteBesideTheGroup) {
    const struct {
        std::string reference, groupPath, expected;
    } cases[] = {
        {".\\a\\..\\..\\S\\S.vbp", "/home/u/dev/All.vbg", "/home/u/S/S.vbp"},
        {"..\\..\\..\\x.vbp", "/home/All.vbg", "/x.vbp"},
        {"Lib\\Lib.vbp", "All.vbg", "Lib/Lib.vbp"},
        {"..\\Lib.vbp", "../g/All.vbg", "../Lib.vbp"},
        // a group path in Windows form keeps its projects in that form
        {"..\\Lib/Lib.vbp", "C:\\Dev\\App\\All.vbg", "C:\\Dev\\Lib\\Lib.vbp"},
        {"\\Top\\T.vbp", "C:\\Dev\\All.vbg", "C:\\Top\\T.vbp"},
        {"..\\N.vbp", "\\\\srv\\share\\All.vbg", "\\\\srv\\share\\N.vbp"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveVbgProject(c.reference, c.groupPath), c.expected)
            << c.reference << " in " << c.groupPath;
}

TEST(VbgGroup, StartupProjectComesFirstAndIsNotRepeated) {
    testing::ScratchFolder scratch;
    const auto selection = ReadVbgGroup(scratch.Write(
        "Billing Suite.vbg", "VBGROUP 5.0\r\nProject=Lib\\Lib.vbp\r\nstartupproject=App\\App.vbp\r\n"
                             "PROJECT=app\\APP.vbp\r\nProject=App\\App.vbp\r\nProject=..\\Ui.vbp\r\n"));
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(selection->subfolderName, "Billing Suite");
    // on this machine names differing in case are different files
    EXPECT_EQ(selection->projects,
              (std::vector<std::string>{
                  scratch.Path("App/App.vbp"), scratch.Path("Lib/Lib.vbp"), scratch.Path("app/APP.vbp"),
                  (std::filesystem::path(scratch.Path()).parent_path() / "Ui.vbp").string()}));
    EXPECT_EQ(selection->savePath, scratch.Path("App/Sources.Backup/"));

    for (const std::string text : {"", "VBGROUP 5.0\r\n", "VBGROUP 5.0\r\nProject=\r\nStartupProject=\r\n"}) {
        const auto none = ReadVbgGroup(scratch.Write("none.vbg", text));
        ASSERT_FALSE(none) << text;
        EXPECT_NE(none.error().find(scratch.Path("none.vbg")), std::string::npos) << none.error();
    }
}

TEST(VbgGroup, OnlyTheVbgExtensionPicksTheVisualBasicReader) {
    testing::ScratchFolder scratch;
    const std::string vbg = "VBGROUP 5.0\nProject=B.vbp\nIconForm=\"x\"\nProject=A.vbp\n";
    const std::vector<std::string> vbgProjects{scratch.Path("B.vbp"), scratch.Path("A.vbp")};
    const struct {
        std::string file, text, subfolder;
        std::vector<std::string> projects;
    } cases[] = {{"b.x.VbG", vbg, "b.x", vbgProjects}, {"d.vbg.bak", "Name\r\nA.vbp\r\n", "Name", {"A.vbp"}}};
    for (const auto& c : cases) {
        const auto selection = ReadAnyGroup(scratch.Write(c.file, c.text));
        ASSERT_TRUE(selection) << c.file << ": " << selection.error();
        EXPECT_EQ(selection->subfolderName, c.subfolder) << c.file;
        EXPECT_EQ(selection->projects, c.projects) << c.file;
    }
}

} // namespace
} // namespace corvane

// Visual Basic's own ".vbg" group files and the choice between the two group formats
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/group_file.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

struct ResolveCase {
    std::string reference;
    std::string groupPath;
    std::string expected;
};

class VbgProjectPath : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(VbgProjectPath, IsMadeAbsoluteBesideTheGroup) {
    EXPECT_EQ(ResolveVbgProject(GetParam().reference, GetParam().groupPath), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, VbgProjectPath,
    ::testing::Values(ResolveCase{"Lib\\Lib.vbp", "/home/u/dev/All.vbg", "/home/u/dev/Lib/Lib.vbp"},
                      ResolveCase{".\\a\\..\\..\\S\\S.vbp", "/home/u/dev/All.vbg", "/home/u/S/S.vbp"},
                      ResolveCase{"..\\..\\..\\x.vbp", "/home/All.vbg", "/x.vbp"},
                      ResolveCase{"/opt/p/P.vbp", "/home/u/All.vbg", "/opt/p/P.vbp"},
                      ResolveCase{"Lib\\Lib.vbp", "All.vbg", "Lib/Lib.vbp"},
                      ResolveCase{"..\\Lib.vbp", "../g/All.vbg", "../Lib.vbp"},
                      // a group path in Windows form keeps its projects in that form
                      ResolveCase{"..\\Lib/Lib.vbp", "C:\\Dev\\App\\All.vbg", "C:\\Dev\\Lib\\Lib.vbp"},
                      ResolveCase{"..\\..\\Lib.vbp", "C:\\All.vbg", "C:\\Lib.vbp"},
                      ResolveCase{"D:\\Other\\O.vbp", "C:\\Dev\\All.vbg", "D:\\Other\\O.vbp"},
                      ResolveCase{"\\Top\\T.vbp", "C:\\Dev\\All.vbg", "C:\\Top\\T.vbp"},
                      ResolveCase{"..\\N.vbp", "\\\\srv\\share\\All.vbg", "\\\\srv\\share\\N.vbp"}));

class VbgFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder =
            fs::temp_directory_path() /
            (std::string("corvane_vbg_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }
    std::string Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(In(name), std::ios::binary) << bytes;
        return In(name);
    }
    std::string In(const std::string& relative) const { return (m_folder / relative).string(); }

    fs::path m_folder;
};

TEST_F(VbgFile, StartupProjectComesFirstAndIsNotRepeated) {
    const auto path =
        Put("Billing Suite.vbg", "VBGROUP 5.0\r\nProject=Lib\\Lib.vbp\r\nstartupproject=App\\App.vbp\r\n"
                                 "PROJECT=app\\APP.vbp\r\nProject=App\\App.vbp\r\nProject=..\\Ui.vbp\r\n");
    const auto selection = ReadVbgGroup(path);
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(selection->subfolderName, "Billing Suite");
    // on this machine names differing in case are different files
    EXPECT_EQ(selection->projects,
              (std::vector<std::string>{In("App/App.vbp"), In("Lib/Lib.vbp"), In("app/APP.vbp"),
                                        (m_folder.parent_path() / "Ui.vbp").string()}));
    EXPECT_EQ(selection->savePath, In("App/Sources.Backup/"));
}

TEST_F(VbgFile, AGroupNamingNoProjectIsRefused) {
    for (const std::string text : {"", "VBGROUP 5.0\r\n", "VBGROUP 5.0\r\nProject=\r\nStartupProject=\r\n"}) {
        const auto selection = ReadVbgGroup(Put("none.vbg", text));
        ASSERT_FALSE(selection) << text;
        EXPECT_NE(selection.error().find(In("none.vbg")), std::string::npos) << selection.error();
    }
}

TEST_F(VbgFile, OnlyTheVbgExtensionPicksTheVisualBasicReader) {
    const std::string vbg = "VBGROUP 5.0\nProject=B.vbp\nIconForm=\"x\"\nProject=A.vbp\n";
    const std::string own = "Name\r\nA.vbp\r\n";
    const std::vector<std::string> vbgProjects{In("B.vbp"), In("A.vbp")};
    struct Case {
        std::string file, text, subfolder;
        std::vector<std::string> projects;
    };
    for (const auto& c :
         {Case{"a.vbg", vbg, "a", vbgProjects}, Case{"b.x.VbG", vbg, "b.x", vbgProjects},
          Case{"c.vbpgroup", own, "Name", {"A.vbp"}}, Case{"d.vbg.bak", own, "Name", {"A.vbp"}}}) {
        const auto selection = ReadAnyGroup(Put(c.file, c.text));
        ASSERT_TRUE(selection) << c.file << ": " << selection.error();
        EXPECT_EQ(selection->subfolderName, c.subfolder) << c.file;
        EXPECT_EQ(selection->projects, c.projects) << c.file;
    }
}

} // namespace
} // namespace corvane

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
    ::testing::Values(
        // this machine's form: "\" in the file becomes "/"
        ResolveCase{"App.vbp", "/home/u/dev/All.vbg", "/home/u/dev/App.vbp"},
        ResolveCase{"Lib\\Lib.vbp", "/home/u/dev/All.vbg", "/home/u/dev/Lib/Lib.vbp"},
        ResolveCase{"..\\Shared\\S.vbp", "/home/u/dev/All.vbg", "/home/u/Shared/S.vbp"},
        ResolveCase{".\\a\\..\\b\\B.vbp", "/home/u/dev/All.vbg", "/home/u/dev/b/B.vbp"},
        ResolveCase{"..\\..\\..\\..\\x.vbp", "/home/All.vbg", "/x.vbp"},
        ResolveCase{"/opt/p/P.vbp", "/home/u/All.vbg", "/opt/p/P.vbp"},
        ResolveCase{"Lib\\Lib.vbp", "All.vbg", "Lib/Lib.vbp"},
        ResolveCase{"..\\Lib.vbp", "../g/All.vbg", "../Lib.vbp"},
        // Windows form stays Windows form
        ResolveCase{"Lib\\Lib.vbp", "C:\\Dev\\All.vbg", "C:\\Dev\\Lib\\Lib.vbp"},
        ResolveCase{"..\\Lib/Lib.vbp", "C:\\Dev\\App\\All.vbg", "C:\\Dev\\Lib\\Lib.vbp"},
        ResolveCase{"..\\..\\Lib.vbp", "C:\\All.vbg", "C:\\Lib.vbp"},
        ResolveCase{"D:\\Other\\O.vbp", "C:\\Dev\\All.vbg", "D:\\Other\\O.vbp"},
        ResolveCase{"\\Top\\T.vbp", "C:\\Dev\\All.vbg", "C:\\Top\\T.vbp"},
        ResolveCase{"\\\\srv\\share\\..\\N.vbp", "C:\\Dev\\All.vbg", "\\\\srv\\share\\N.vbp"},
        ResolveCase{"Lib.vbp", "\\\\srv\\share\\g\\All.vbg", "\\\\srv\\share\\g\\Lib.vbp"}));

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
        const auto path = (m_folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string In(const std::string& relative) const { return (m_folder / relative).string(); }

    fs::path m_folder;
};

TEST_F(VbgFile, StartupProjectComesFirstAndIsNotRepeated) {
    const auto path = Put("Billing Suite.vbg", "VBGROUP 5.0\r\n"
                                               "Project=Lib\\Lib.vbp\r\n"
                                               "startupproject=App\\App.vbp\r\n"
                                               "PROJECT=app\\APP.vbp\r\n"
                                               "Project=App\\App.vbp\r\n"
                                               "Project=..\\Ui.vbp\r\n");
    const auto selection = ReadVbgGroup(path);
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(selection->subfolderName, "Billing Suite");
    // on this machine names differing in case are different files
    EXPECT_EQ(selection->projects,
              (std::vector<std::string>{In("App/App.vbp"), In("Lib/Lib.vbp"), In("app/APP.vbp"),
                                        (m_folder.parent_path() / "Ui.vbp").string()}));
    EXPECT_EQ(selection->savePath, In("App/Sources.Backup/"));
}

TEST_F(VbgFile, WithoutStartupProjectTheFileOrderStands) {
    const auto path = Put("g.x.VBG", "VBGROUP 5.0\nProject=B.vbp\nIconForm=\"x\"\nProject=A.vbp\n");
    const auto selection = ReadAnyGroup(path);
    ASSERT_TRUE(selection) << selection.error();
    EXPECT_EQ(selection->subfolderName, "g.x");
    EXPECT_EQ(selection->projects, (std::vector<std::string>{In("B.vbp"), In("A.vbp")}));
    EXPECT_EQ(selection->savePath, In("Sources.Backup/"));
}

TEST_F(VbgFile, AGroupNamingNoProjectIsRefused) {
    for (const std::string text : {"", "VBGROUP 5.0\r\n", "VBGROUP 5.0\r\nProject=\r\nStartupProject=\r\n"}) {
        const auto path = Put("none.vbg", text);
        const auto selection = ReadVbgGroup(path);
        ASSERT_FALSE(selection) << text;
        EXPECT_NE(selection.error().find(path), std::string::npos) << selection.error();
    }
}

TEST_F(VbgFile, OnlyTheVbgExtensionPicksTheVisualBasicReader) {
    const std::string vbgText = "VBGROUP 5.0\r\nStartupProject=A.vbp\r\n";
    const std::string ownText = "Name\r\nA.vbp\r\n";
    struct Case {
        std::string name;
        std::string text;
        std::string expectedSubfolder;
    };
    for (const auto& c :
         {Case{"a.vbg", vbgText, "a"}, Case{"b.VbG", vbgText, "b"}, Case{"c.vbpgroup", ownText, "Name"},
          Case{"d.vbg.bak", ownText, "Name"}, Case{"vbg", ownText, "Name"}}) {
        const auto selection = ReadAnyGroup(Put(c.name, c.text));
        ASSERT_TRUE(selection) << c.name << ": " << selection.error();
        EXPECT_EQ(selection->subfolderName, c.expectedSubfolder) << c.name;
        EXPECT_EQ(selection->projects,
                  std::vector<std::string>{c.expectedSubfolder == "Name" ? "A.vbp" : In("A.vbp")})
            << c.name;
    }
}

} // namespace
} // namespace corvane

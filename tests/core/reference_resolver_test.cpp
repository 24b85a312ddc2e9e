// finding referenced files: exact and case-blind names, "..", drives, shares and missing files
#include <filesystem>

#include <gtest/gtest.h>

#include "core/reference_resolver.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

class ReferenceResolverTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file :
             {"Proj/Forms/frmMain.frm", "Proj/modMain.bas", "Shared/MODUTIL.BAS",
              "Proj/\xC3\x89t\xC3\xA9/c\xC5\x93ur.bas", "Lib/Tools/modTools.bas", "Share/clsLog.cls"})
            m_scratch.Write(file);
        m_drives.Set("D", m_scratch.Path("Lib"));
        m_drives.Set("\\\\srv\\share", m_scratch.Path("Share"));
    }
    ResolvedReference Resolve(const std::string& reference, CodePage codePage = CodePage::Windows1252) const {
        return ReferenceResolver(m_scratch.Path("Proj"), m_drives, codePage).Resolve(reference);
    }

    testing::ScratchFolder m_scratch;
    DriveMap m_drives;
};

TEST_F(ReferenceResolverTest, FindsFilesWhateverTheirCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"MODMAIN.BAS", "Proj/modMain.bas"},
        {"forms\\FRMMAIN.frm", "Proj/Forms/frmMain.frm"},
        {".\\Forms\\.\\frmMain.frm", "Proj/Forms/frmMain.frm"},
        {"..\\Shared\\modUtil.bas", "Shared/MODUTIL.BAS"},
        {"Nowhere\\..\\modMain.bas", "Proj/modMain.bas"}, // ".." applies before names are looked up
        {"\xC9T\xC9\\C\x8CUR.BAS", "Proj/\xC3\x89t\xC3\xA9/c\xC5\x93ur.bas"}, // 1252 bytes, other case
        {"D:\\Tools\\MODTOOLS.bas", "Lib/Tools/modTools.bas"},
        {"d:\\..\\..\\Tools\\modTools.bas", "Lib/Tools/modTools.bas"}, // cannot climb above a drive
        {"D:Tools\\modTools.bas", "Lib/Tools/modTools.bas"},
        {"\\\\SRV\\Share\\clslog.cls", "Share/clsLog.cls"},
    };
    for (const auto& [reference, found] : cases) { // found: below the scratch folder
        const ResolvedReference resolved = Resolve(reference);
        EXPECT_TRUE(resolved.exists && fs::equivalent(resolved.diskPath, m_scratch.Path(found))) << reference;
        EXPECT_EQ(resolved.diskPath, fs::path(resolved.diskPath).lexically_normal().string()) << reference;
    }
}

TEST_F(ReferenceResolverTest, MissingFilesStayMissing) {
    const std::pair<std::string, bool> cases[] = {
        // reference, whether a disk path is given
        {"frmGone.frm", true},       {"Forms\\frmMain.frx", true}, {"Forms", true}, // a folder is no file
        {"Gone\\frmMain.frm", true}, {"E:\\x.bas", false},         {"\\\\other\\share\\x.cls", false},
        {"\\\\srv", false},          {"D:\\Tools\\", true},
    };
    for (const auto& [reference, hasPath] : cases) {
        const ResolvedReference resolved = Resolve(reference);
        EXPECT_FALSE(resolved.exists) << reference;
        EXPECT_EQ(!resolved.diskPath.empty(), hasPath) << reference;
    }
    EXPECT_EQ(Resolve("frmGone.frm").diskPath, m_scratch.Path("Proj/frmGone.frm"));
}

TEST_F(ReferenceResolverTest, LocateNamesTheReferenceAsWritten) {
    const ReferenceResolver resolver(m_scratch.Path("Proj"), m_drives);
    const Result<std::string> missing = resolver.Locate("Forms\\frmGon\xE9.frm");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error(), "Referenced file not found: Forms\\frmGon\xC3\xA9.frm");
    const Result<std::string> found = resolver.Locate("MODMAIN.bas");
    ASSERT_TRUE(found.ok()) << found.error();
    EXPECT_EQ(*found, m_scratch.Path("Proj/modMain.bas"));
    // the code page decides how a reference's bytes are read
    EXPECT_TRUE(Resolve("\xC3\x89t\xC3\xA9\\c\xC5\x93ur.bas", CodePage::Utf8).exists);
    EXPECT_FALSE(Resolve("\xC3\x89t\xC3\xA9\\c\xC5\x93ur.bas", CodePage::Windows1252).exists);
}

TEST_F(ReferenceResolverTest, ExactNameWinsOverCaseBlindOne) {
    m_scratch.Write("Proj/MODMAIN.BAS", "upper");
    EXPECT_EQ(Resolve("MODMAIN.BAS").diskPath, m_scratch.Path("Proj/MODMAIN.BAS"));
    EXPECT_EQ(Resolve("modMain.bas").diskPath, m_scratch.Path("Proj/modMain.bas"));
    // neither spelled as written: the first in name order, whatever the folder's listing order
    EXPECT_EQ(Resolve("ModMain.Bas").diskPath, m_scratch.Path("Proj/MODMAIN.BAS"));
}

TEST(DriveMap, DefaultsToWinePrefixAndIsOverridden) {
    const auto environment = [](std::map<std::string, std::string> values) -> EnvLookup {
        return [values](const std::string& name) {
            return values.count(name) ? std::optional(values.at(name)) : std::nullopt;
        };
    };
    EXPECT_EQ(DriveMap::FromEnvironment(environment({{"HOME", "/home/u"}})).Find("D"),
              "/home/u/.wine/dosdevices/d:");
    const DriveMap map = DriveMap::FromEnvironment(
        environment({{"HOME", "/home/u"},
                     {"WINEPREFIX", "/opt/wp"},
                     {"CORVANE_DRIVE_MAP", "c=/mnt/c;bad;=x;D:=/srv/lib;\\\\Srv\\Share\\=/mnt/s"}}));
    EXPECT_EQ(map.Find("C:"), "/mnt/c");
    EXPECT_EQ(map.Find("d"), "/srv/lib");
    EXPECT_EQ(map.Find("E"), "/opt/wp/dosdevices/e:");
    EXPECT_EQ(map.Find("\\\\srv\\share"), "/mnt/s");
    EXPECT_EQ(map.Find("//SRV/SHARE"), "/mnt/s");
    EXPECT_EQ(DriveMap::FromEnvironment(environment({})).Find("C"), std::nullopt);
}

} // namespace
} // namespace corvane

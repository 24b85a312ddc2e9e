// finding referenced files, their names read in the project's code page

#include "core/project/references.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

class ReferenceResolverTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file :
             {"Proj/Forms/frmMain.frm", "Proj/modMain.bas", "Proj/MODMAIN.BAS", "Shared/MODUTIL.BAS",
              "Proj/\xC3\x89t\xC3\xA9/c\xC5\x93ur.bas", "Lib/Tools/modTools.bas", "Share/clsLog.cls",
              "Proj/Old/M\xF3" "dulo.bas"}) // a Latin-1 name, as copied from an old Windows share
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

// an exact name wins over a case-blind one; with neither spelled as written, the first in name order wins
TEST_F(ReferenceResolverTest, FindsFilesWhateverTheirCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"modMain.bas", "Proj/modMain.bas"},
        {"MODMAIN.BAS", "Proj/MODMAIN.BAS"},
        {"ModMain.Bas", "Proj/MODMAIN.BAS"},
        {"forms\\FRMMAIN.frm", "Proj/Forms/frmMain.frm"},
        {".\\Forms\\.\\frmMain.frm", "Proj/Forms/frmMain.frm"},
        {"..\\Shared\\modUtil.bas", "Shared/MODUTIL.BAS"},
        {"Nowhere\\..\\modMain.bas", "Proj/modMain.bas"}, // ".." applies before names are looked up
        {"\xC9T\xC9\\C\x8CUR.BAS", "Proj/\xC3\x89t\xC3\xA9/c\xC5\x93ur.bas"}, // 1252 bytes, other case
        {"D:\\Tools\\MODTOOLS.bas", "Lib/Tools/modTools.bas"},
        {"d:\\..\\..\\Tools\\modTools.bas", "Lib/Tools/modTools.bas"}, // cannot climb above a drive
        {"D:Tools\\modTools.bas", "Lib/Tools/modTools.bas"},
        {"\\\\SRV\\Share\\clslog.cls", "Share/clsLog.cls"},
        {"\\modMain.bas", "Proj/modMain.bas"}, // rooted: inside the project folder, not the machine's root
        {"\\Forms\\frmMain.frm", "Proj/Forms/frmMain.frm"},
        {"Old\\M\xF3" "dulo.bas", "Proj/Old/M\xF3" "dulo.bas"}, // the same bytes on disk
        {"old\\M\xD3" "DULO.BAS", "Proj/Old/M\xF3" "dulo.bas"}, // those bytes read in the project's code page
    };
    for (const auto& [reference, found] : cases) { // found: below the scratch folder, the path as given
        const ResolvedReference resolved = Resolve(reference);
        EXPECT_TRUE(resolved.exists) << reference;
        EXPECT_EQ(resolved.diskPath, m_scratch.Path(found)) << reference;
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

// A project can never reach beyond its folder by a rooted path, and ".." climbs the folders as the path
// to the project names them, even when one of them is a link to somewhere else.
// a POSIX machine's root and a shell's $PWD through a symbolic link; Windows has neither
#ifndef _WIN32
TEST_F(ReferenceResolverTest, RootedPathsAndLinkedFolders) {
    EXPECT_FALSE(Resolve("\\etc\\hostname").exists);
    EXPECT_EQ(Resolve("\\etc\\hostname").diskPath, m_scratch.Path("Proj/etc/hostname"));
    EXPECT_TRUE(ReferenceResolver("", DriveMap(), CodePage::Utf8, RootedPaths::FromMachineRoot)
                    .Resolve("/etc/hostname")
                    .exists);
    m_scratch.Write("Far/Shared/MODUTIL.BAS", "far");
    fs::create_directories(m_scratch.Path("Far/Deep"));
    fs::create_directory_symlink(m_scratch.Path("Far/Deep"), m_scratch.Path("Linked"));
    // the project typed as a path through the link, and as "." from inside it, as a shell's cd leaves it
    const fs::path before = fs::current_path();
    const char* pwd = std::getenv("PWD");
    const std::string oldPwd = pwd ? pwd : "";
    fs::current_path(m_scratch.Path("Linked"));
    ::setenv("PWD", m_scratch.Path("Linked").c_str(), 1);
    for (const std::string& folder : {m_scratch.Path("Linked"), std::string("."), std::string()}) {
        const ResolvedReference resolved = ReferenceResolver(folder, m_drives).Resolve("..\\Shared\\modUtil.bas");
        EXPECT_EQ(resolved.diskPath, m_scratch.Path("Shared/MODUTIL.BAS")) << folder; // not Far/Shared
    }
    fs::current_path(before);
    ::setenv("PWD", oldPwd.c_str(), 1);
}
#endif

TEST_F(ReferenceResolverTest, LocateNamesTheReferenceAsWritten) {
    const Result<std::string> missing =
        ReferenceResolver(m_scratch.Path("Proj"), m_drives).Locate("Forms\\frmGon\xE9.frm");
    EXPECT_EQ(missing.ok() ? "" : missing.error(), "Referenced file not found: Forms\\frmGon\xC3\xA9.frm");
    // the code page decides how a reference's bytes are read
    EXPECT_TRUE(Resolve("\xC3\x89t\xC3\xA9\\c\xC5\x93ur.bas", CodePage::Utf8).exists);
    EXPECT_FALSE(Resolve("\xC3\x89t\xC3\xA9\\c\xC5\x93ur.bas", CodePage::Windows1252).exists);
}

} // namespace
} // namespace corvane

// finding referenced files and the code pages their names are read in

#include "core/project/references.h"
#include "core/project/text.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

class ReferenceResolverTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file :
             {"Proj/Forms/frmMain.frm", "Proj/modMain.bas", "Proj/MODMAIN.BAS", "Shared/MODUTIL.BAS",
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

TEST_F(ReferenceResolverTest, LocateNamesTheReferenceAsWritten) {
    const Result<std::string> missing =
        ReferenceResolver(m_scratch.Path("Proj"), m_drives).Locate("Forms\\frmGon\xE9.frm");
    EXPECT_EQ(missing.ok() ? "" : missing.error(), "Referenced file not found: Forms\\frmGon\xC3\xA9.frm");
    // the code page decides how a reference's bytes are read
    EXPECT_TRUE(Resolve("\xC3\x89t\xC3\xA9\\c\xC5\x93ur.bas", CodePage::Utf8).exists);
    EXPECT_FALSE(Resolve("\xC3\x89t\xC3\xA9\\c\xC5\x93ur.bas", CodePage::Windows1252).exists);
}

using CP = CodePage;

TEST(AnsiText, ConvertsBothWays) {
    const struct {
        CodePage codePage;
        std::string ansi, utf8;
    } cases[] = {
        {CP::Windows1252, "\x80 \x8A\x9F\x93", "\xE2\x82\xAC \xC5\xA0\xC5\xB8\xE2\x80\x9C"},
        {CP::Windows1252, "\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}, // the holes
        {CP::Latin1, "\x80\xFF", "\xC2\x80\xC3\xBF"},
        {CP::Utf8, "\xC3\xA9\xE2\x82\xAC", "\xC3\xA9\xE2\x82\xAC"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiToUtf8(c.ansi, c.codePage), c.utf8) << c.ansi;
        EXPECT_EQ(Utf8ToAnsi(c.utf8, c.codePage), c.ansi) << c.ansi;
    }
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    for (CodePage codePage : {CP::Windows1252, CP::Latin1})
        EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all, codePage), codePage), all);
    // what a code page cannot hold, and what is not UTF-8, become marks
    const std::string bad = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf8ToAnsi("a\xE2\x82\xAC!", CP::Latin1), "a?!");       // euro sign is not Latin-1
    EXPECT_EQ(Utf8ToAnsi("a\xFF!", CP::Windows1252), "a?!");          // not UTF-8
    EXPECT_EQ(AnsiToUtf8("a\xC3", CP::Utf8), "a" + bad);              // cut sequence
    EXPECT_EQ(AnsiToUtf8("\xC0\xAF", CP::Utf8), bad + bad);           // overlong "/"
    EXPECT_EQ(AnsiToUtf8("\xED\xA0\x80", CP::Utf8), bad + bad + bad); // surrogate
}

} // namespace
} // namespace corvane

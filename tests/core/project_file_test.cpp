// reading project files: line endings, key recognition, values, rewritten lines and the line limit
#include <gtest/gtest.h>

#include "core/project_file.h"
#include "core/text_lines.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

struct SplitCase {
    std::string bytes;
    std::vector<std::string> lines;
};

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};
TEST_P(SplitLinesTest, Splits) {
    EXPECT_EQ(SplitLines(GetParam().bytes), GetParam().lines);
}
INSTANTIATE_TEST_SUITE_P(
    Endings, SplitLinesTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a\r\nb\r\n", {"a", "b"}}, SplitCase{"a\nb", {"a", "b"}},
                      SplitCase{"a\rb\r", {"a", "b"}}, SplitCase{"a\r\n\r\nb", {"a", "", "b"}},
                      SplitCase{"\n\r\r\n", {"", "", ""}}, SplitCase{"a\n\rb", {"a", "", "b"}},
                      SplitCase{std::string("\xE9\x00z\r\n", 5), {std::string("\xE9\x00z", 3)}}));

struct ClassifyCase {
    std::string line;
    std::optional<ReferenceKey> key;
    std::string name;
    std::string reference;
    bool malformed = false;
};
void PrintTo(const ClassifyCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class ClassifyTest : public ::testing::TestWithParam<ClassifyCase> {};
TEST_P(ClassifyTest, Classifies) {
    const std::optional<ReferenceLine> line = ClassifyReferenceLine(GetParam().line);
    ASSERT_EQ(line.has_value(), GetParam().key.has_value());
    if (!line) {
        return;
    }
    EXPECT_EQ(line->key, *GetParam().key);
    EXPECT_EQ(line->name, GetParam().name);
    EXPECT_EQ(line->reference, GetParam().reference);
    EXPECT_EQ(line->malformed, GetParam().malformed);
}
INSTANTIATE_TEST_SUITE_P(
    Lines, ClassifyTest,
    ::testing::Values(
        ClassifyCase{"Module=modMain; Modules\\modMain.bas", ReferenceKey::Module, "modMain",
                     "Modules\\modMain.bas", false},
        ClassifyCase{"Class=clsLog; \"..\\Shared\\clsLog.cls\"", ReferenceKey::Class, "clsLog",
                     "..\\Shared\\clsLog.cls", false},
        ClassifyCase{"Module= \"odd\" ; x.bas ", ReferenceKey::Module, " \"odd\" ", "x.bas", false},
        ClassifyCase{"Module=a; b.bas; c", ReferenceKey::Module, "a", "b.bas", false},
        ClassifyCase{"Form=frmMain.frm", ReferenceKey::Form, "", "frmMain.frm", false},
        ClassifyCase{"UserControl=Ctl\\ucGrid.ctl", ReferenceKey::UserControl, "", "Ctl\\ucGrid.ctl", false},
        ClassifyCase{"PropertyPage=Pages\\ppGeneral.pag", ReferenceKey::PropertyPage, "",
                     "Pages\\ppGeneral.pag", false},
        ClassifyCase{"ResFile32=\"Res\\App.res\"", ReferenceKey::ResFile32, "", "Res\\App.res", false},
        ClassifyCase{"UserDocument=docA.dob", ReferenceKey::UserDocument, "", "docA.dob", false},
        ClassifyCase{"Designer=dsr\\Report.Dsr", ReferenceKey::Designer, "", "dsr\\Report.Dsr", false},
        ClassifyCase{"Form=a=b.frm", ReferenceKey::Form, "", "a", false},
        ClassifyCase{"Form=\xC9t\xE9.frm", ReferenceKey::Form, "", "\xC9t\xE9.frm", false},
        ClassifyCase{"Module=modMain", ReferenceKey::Module, "", "", true},
        ClassifyCase{"Class=c;x.cls", ReferenceKey::Class, "", "", true},
        ClassifyCase{"Module=m; ", ReferenceKey::Module, "m", "", true},
        ClassifyCase{"Form=", ReferenceKey::Form, "", "", true},
        ClassifyCase{"ResFile32=\"\"", ReferenceKey::ResFile32, "", "", true},
        ClassifyCase{"form=a.frm", std::nullopt, "", ""}, ClassifyCase{" Form=a.frm", std::nullopt, "", ""},
        ClassifyCase{"Reference=*\\G{00020430}#2.0#0#stdole2.tlb", std::nullopt, "", ""},
        ClassifyCase{"Object={831FDD16}#2.0#0; mscomctl.ocx", std::nullopt, "", ""},
        ClassifyCase{"RelatedDoc=readme.txt", std::nullopt, "", ""}, ClassifyCase{"", std::nullopt, "", ""}));

TEST(ProjectFile, KeyTextsInOrder) {
    const std::vector<std::string> texts = {"Module=",       "Class=",     "Form=",         "UserControl=",
                                            "PropertyPage=", "ResFile32=", "UserDocument=", "Designer="};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(KeyText(static_cast<ReferenceKey>(i)), texts[i]);
    }
}

TEST(ProjectFile, Companions) {
    const auto companion = [](const std::string& line) {
        return CompanionReference(*ClassifyReferenceLine(line));
    };
    EXPECT_EQ(companion("Form=..\\Old\\frmX.frm"), "..\\Old\\frmX.frx");
    EXPECT_EQ(companion("UserControl=Ctl\\ucGrid.ctl"), "Ctl\\ucGrid.ctx");
    EXPECT_EQ(companion("PropertyPage=Pages\\ppGeneral.pag"), "Pages\\ppGeneral.pgx");
    EXPECT_EQ(companion("Form=my.forms\\frmMain"), "my.frx"); // the last "." of the whole reference
    EXPECT_EQ(companion("Form=frmMain"), std::nullopt);
    EXPECT_EQ(companion("Module=m; m.bas"), std::nullopt);
    EXPECT_EQ(companion("ResFile32=\"a.res\""), std::nullopt);
}

TEST(ProjectFile, RewrittenLines) {
    const auto rewrite = [](const std::string& line, const std::string& path) {
        return RewriteReferenceLine(*ClassifyReferenceLine(line), path);
    };
    EXPECT_EQ(rewrite("Module= modA ; ..\\a.bas", "FileNotInRootPath\\--\\a.bas"),
              "Module= modA ; FileNotInRootPath\\--\\a.bas");
    EXPECT_EQ(rewrite("Class=clsLog; x.cls", "x.cls"), "Class=clsLog; x.cls");
    EXPECT_EQ(rewrite("Form=D:\\f.frm", "FileNotInRootPath\\Disk_D_\\f.frm"),
              "Form=FileNotInRootPath\\Disk_D_\\f.frm");
    EXPECT_EQ(rewrite("ResFile32=\"Res\\App.res\"", "Res\\App.res"), "ResFile32=\"Res\\App.res\"");
    EXPECT_EQ(rewrite("Designer=d.Dsr", "d.Dsr"), "Designer=d.Dsr");
}

class ProjectInfoTest : public ::testing::Test {
protected:
    JobState Read(const std::string& bytes, std::int16_t expectedLines) {
        JobState state;
        state.gProjectName = "Default";
        const Result<std::int16_t> lines = ReadProjectInfo(m_scratch.Write("p.vbp", bytes), state);
        EXPECT_TRUE(lines.ok()) << lines.error();
        if (lines) {
            EXPECT_EQ(*lines, expectedLines);
        }
        return state;
    }
    testing::ScratchFolder m_scratch;
};

TEST_F(ProjectInfoTest, NameAndVersion) {
    const JobState state =
        Read("Type=Exe\r\nName=\"My App\"\r\nMajorVer=2\r\nMinorVer=1\r\nRevisionVer=7\r\n", 5);
    EXPECT_EQ(state.gProjectName, "My App");
    EXPECT_EQ(state.gMajorVer + "." + state.gMinorVer + "." + state.gRevisionVer, "2.1.7");
}

TEST_F(ProjectInfoTest, DefaultsLaterValuesAndCutValues) {
    const JobState state =
        Read("Name=\"\"\nMajorVer=2\nMajorVer=\nMajorVer=3\nname=low\nRevisionVer=\"A=B\"\n", 6);
    EXPECT_EQ(state.gProjectName, "Default");
    EXPECT_EQ(state.gMajorVer, "3");
    EXPECT_EQ(state.gMinorVer, "0");
    EXPECT_EQ(state.gRevisionVer, "A");
}

TEST_F(ProjectInfoTest, CountsEveryLineOfEveryEnding) {
    EXPECT_EQ(Read("", 0).gProjectName, "Default");
    Read("a\r\n\r\nb\rc\n", 4);
    Read(std::string(120, '\n'), 120);
    EXPECT_EQ(Read("Name=\xC9t\xE9\r\n", 1).gProjectName, "\xC9t\xE9"); // bytes, not converted
}

TEST_F(ProjectInfoTest, LineLimit) {
    std::string lines;
    for (int i = 0; i < 32767; ++i) {
        lines += "Form=f.frm\r\n";
    }
    Read(lines, 32767);
    JobState state;
    const Result<std::int16_t> tooMany = ReadProjectInfo(m_scratch.Write("big.vbp", lines + "x"), state);
    ASSERT_FALSE(tooMany.ok());
    EXPECT_NE(tooMany.error().find("big.vbp"), std::string::npos);
    EXPECT_NE(tooMany.error().find("32,767"), std::string::npos);
}

TEST_F(ProjectInfoTest, UnreadableFileNamesIt) {
    JobState state;
    const Result<std::int16_t> missing = ReadProjectInfo(m_scratch.Path("gone.vbp"), state);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("gone.vbp"), std::string::npos);
    const Result<ProjectFile> folder = ReadProjectFile(m_scratch.Path());
    ASSERT_FALSE(folder.ok());
    EXPECT_NE(folder.error().find(m_scratch.Path()), std::string::npos);
}

TEST_F(ProjectInfoTest, WrittenLinesEndWithCrLf) {
    const std::string path = m_scratch.Path("out.vbp");
    ASSERT_TRUE(WriteTextLines(path, {"Form=a.frm", "", "\xE9"}).ok());
    EXPECT_EQ(*ReadTextFile(path), "Form=a.frm\r\n\r\n\xE9\r\n");
    EXPECT_FALSE(WriteTextLines(m_scratch.Path("no/such/folder.vbp"), {"x"}).ok());
}

} // namespace
} // namespace corvane

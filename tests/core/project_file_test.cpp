// reading project files: line endings, key recognition, values, rewritten lines and the line limit

#include "core/project_file.h"
#include "core/text_lines.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

using Lines = std::vector<std::string>;

TEST(ProjectFile, SplitLinesOnEveryEnding) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"\n\r\r\n", {"", "", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {std::string("\xE9\x00z\r\n", 5), {std::string("\xE9\x00z", 3)}},
    };
    for (const auto& [bytes, lines] : cases)
        EXPECT_EQ(SplitLines(bytes), lines) << '"' << bytes << '"';
}

TEST(ProjectFile, ClassifiesReferenceLines) {
    using K = ReferenceKey;
    const struct {
        std::string line;
        std::optional<ReferenceKey> key;
        std::string name, reference;
        bool malformed;
    } cases[] = {
        {"Module=modMain; Modules\\modMain.bas", K::Module, "modMain", "Modules\\modMain.bas", false},
        {"Class=clsLog; \"..\\Shared\\clsLog.cls\"", K::Class, "clsLog", "..\\Shared\\clsLog.cls", false},
        {"Module= \"odd\" ; x.bas ", K::Module, " \"odd\" ", "x.bas", false},
        {"Module=a; b.bas; c", K::Module, "a", "b.bas", false},
        {"Form=frmMain.frm", K::Form, "", "frmMain.frm", false},
        {"Form=a=b.frm", K::Form, "", "a", false},
        {"Form=\xC9t\xE9.frm", K::Form, "", "\xC9t\xE9.frm", false},
        {"Module=modMain", K::Module, "", "", true},
        {"Class=c;x.cls", K::Class, "", "", true},
        {"Module=m; ", K::Module, "m", "", true},
        {"ResFile32=\"\"", K::ResFile32, "", "", true},
        {"form=a.frm", std::nullopt, "", "", false},
        {" Form=a.frm", std::nullopt, "", "", false},
    };
    for (const auto& c : cases) {
        const std::optional<ReferenceLine> line = ClassifyReferenceLine(c.line);
        ASSERT_EQ(line.has_value(), c.key.has_value()) << c.line;
        EXPECT_TRUE(!line || (line->key == *c.key && line->name == c.name && line->reference == c.reference &&
                              line->malformed == c.malformed))
            << c.line << " gave " << line->name << "|" << line->reference << "|" << line->malformed;
    }
}

TEST(ProjectFile, CompanionsAndRewrittenLines) {
    const auto companion = [](const std::string& line) {
        return CompanionReference(*ClassifyReferenceLine(line));
    };
    EXPECT_EQ(companion("Form=..\\Old\\frmX.frm"), "..\\Old\\frmX.frx");
    EXPECT_EQ(companion("Form=my.forms\\frmMain"), "my.frx"); // the last "." of the whole reference
    EXPECT_EQ(companion("Form=frmMain"), std::nullopt);
    EXPECT_EQ(companion("ResFile32=\"a.res\""), std::nullopt);

    const auto rewrite = [](const std::string& line, const std::string& path) {
        return RewriteReferenceLine(*ClassifyReferenceLine(line), path);
    };
    EXPECT_EQ(rewrite("Module= modA ; ..\\a.bas", "FileNotInRootPath\\--\\a.bas"),
              "Module= modA ; FileNotInRootPath\\--\\a.bas");
    EXPECT_EQ(rewrite("ResFile32=\"Res\\App.res\"", "Res\\App.res"), "ResFile32=\"Res\\App.res\"");
}

// empty values keep the default, later ones win, the value ends at the next "=", bytes are not converted
TEST(ProjectFile, NameVersionAndLineCount) {
    testing::ScratchFolder scratch;
    const std::string limit = [] {
        std::string lines;
        for (int i = 0; i < 32767; ++i)
            lines += "Form=f.frm\r\n";
        return lines;
    }();
    const struct {
        std::string bytes, expected;
    } cases[] = {
        {"Type=Exe\r\nName=\"My App\"\r\nMajorVer=2\r\nMinorVer=1\r\nRevisionVer=7\r\n", "5 My App 2.1.7"},
        {"Name=\"\"\nMajorVer=2\nMajorVer=\nMajorVer=3\nname=low\nRevisionVer=\"A=B\"\n", "6 Default 3.0.A"},
        {"Name=\xC9t\xE9\r\n", "1 \xC9t\xE9 0.0.0"},
        {"", "0 Default 0.0.0"},
        {limit, "32767 Default 0.0.0"},
        {limit + "x", "failed"}};
    for (const auto& c : cases) {
        JobState state;
        state.gProjectName = "Default";
        const Result<std::int16_t> lines = ReadProjectInfo(scratch.Write("p.vbp", c.bytes), state);
        EXPECT_EQ(lines ? std::to_string(*lines) + " " + state.gProjectName + " " + state.gMajorVer + "." +
                              state.gMinorVer + "." + state.gRevisionVer
                        : "failed",
                  c.expected);
    }
    const Result<ProjectFile> folder = ReadProjectFile(scratch.Path());
    EXPECT_NE(folder.ok() ? std::string::npos : folder.error().find(scratch.Path()), std::string::npos);
}

} // namespace
} // namespace corvane

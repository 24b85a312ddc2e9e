// the INI reader against the quirks of the Windows profile functions the language files rely on
#include <string>

#include <gtest/gtest.h>

#include "core/ini_file.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

struct IniCase {
    const char* name;
    std::string bytes;
    std::string section;
    std::string key;
    std::string defaultValue;
    std::string expected;
};
void PrintTo(const IniCase& c, std::ostream* os) {
    *os << c.name;
}

class IniFileRules : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniFileRules, Get) {
    const IniCase& c = GetParam();
    EXPECT_EQ(IniFile::Parse(c.bytes).Get(c.section, c.key, c.defaultValue), c.expected);
}

const std::string k300(300, 'a');

INSTANTIATE_TEST_SUITE_P(
    IniFile, IniFileRules,
    ::testing::Values(
        IniCase{"names_without_case", "[Strings]\r\nString1=Hello\r\n", "STRINGS", "string1", "-", "Hello"},
        IniCase{"blanks_trimmed", "  [ Strings ]  \n \tString1  =   Hello world \t\n", "Strings", " String1 ",
                "-", "Hello world"},
        IniCase{"one_pair_of_quotes", "[S]\nA=\"\"quoted\"\"\n", "S", "A", "-", "\"quoted\""},
        IniCase{"quotes_keep_inner_blanks", "[S]\nA=  \"  padded  \"  \n", "S", "A", "-", "  padded  "},
        IniCase{"unbalanced_quote_kept", "[S]\nA=\"open\n", "S", "A", "-", "\"open"},
        IniCase{"single_quotes_kept", "[S]\nA='x'\n", "S", "A", "-", "'x'"},
        IniCase{"cut_to_254", "[S]\nA=" + k300 + "\n", "S", "A", "-", std::string(254, 'a')},
        IniCase{"unquoted_before_cut", "[S]\nA=\"" + std::string(254, 'c') + "\"\n", "S", "A", "-",
                std::string(254, 'c')},
        IniCase{"default_cut_too", "", "S", "A", k300, std::string(254, 'a')},
        IniCase{"default_trailing_spaces_dropped", "", "S", "A", "eng  ", "eng"},
        IniCase{"empty_value_is_not_default", "[S]\nA=\n", "S", "A", "eng", ""},
        IniCase{"first_occurrence_wins", "[S]\nA=first\nA=second\n", "S", "A", "-", "first"},
        IniCase{"section_twice_first_key_wins", "[S]\nA=1\n[T]\nB=2\n[s]\nA=3\n", "S", "A", "-", "1"},
        IniCase{"cr_only_lines", "[S]\rA=1\rB=2\r", "S", "B", "-", "2"},
        IniCase{"mixed_line_ends", "[S]\r\nA=1\nB=2\rC=3", "S", "C", "-", "3"},
        IniCase{"comment_ignored", "[S]\n;A=1\n  ;B=1\nA=2\n", "S", "A", "-", "2"},
        IniCase{"missing_section", "[S]\nA=1\n", "T", "A", "dflt", "dflt"},
        IniCase{"missing_key", "[S]\nA=1\n", "S", "B", "dflt", "dflt"},
        IniCase{"key_before_any_section", "A=1\n[S]\nB=2\n", "S", "A", "dflt", "dflt"},
        IniCase{"bare_key_reads_default", "[S]\nA\nA=2\n", "S", "A", "dflt", "dflt"},
        IniCase{"equals_in_value", "[S]\nA=b=c\n", "S", "A", "-", "b=c"},
        IniCase{"byte_order_mark_skipped", "\xEF\xBB\xBF[S]\nA=1\n", "S", "A", "-", "1"},
        IniCase{"bytes_untouched", "[S]\nA=caf\xE9 \xC3\xA9\n", "S", "A", "-", "caf\xE9 \xC3\xA9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFile, SectionsMergeAndListFirstOccurrences) {
    const IniFile file = IniFile::Parse("[S]\nB=2\nA=1\nbare\nb=again\n[T]\nX=9\n[s]\nC=\"3\"\n");
    const std::vector<std::pair<std::string, std::string>> expected = {{"B", "2"}, {"A", "1"}, {"C", "3"}};
    EXPECT_EQ(file.Section("S"), expected);
    EXPECT_EQ(file.Get("s", "c", "-"), "3");
    EXPECT_TRUE(file.Section("missing").empty());
}

TEST(IniFile, ReadIniStringFromFile) {
    testing::ScratchFolder folder;
    const std::string path = folder.Write("Lng/fra.lng", "[Setup]\r\nlng=fr\r\n");
    EXPECT_EQ(ReadIniString("setup", "LNG", "en", path), "fr");
    EXPECT_EQ(ReadIniString("Setup", "other", "en", path), "en");
    EXPECT_EQ(ReadIniString("Setup", "lng", "en", folder.Path("Lng/none.lng")), "en");
    // a folder where a file is expected reads like a missing file
    EXPECT_EQ(ReadIniString("Setup", "lng", "en", folder.Path("Lng")), "en");
}

} // namespace
} // namespace corvane

// the INI reader against the quirks of the Windows profile functions the language files rely on
#include <string>

#include <gtest/gtest.h>

#include "core/ini_file.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

TEST(IniFile, GetFollowsTheProfileFunctions) {
    const std::string a300(300, 'a'), a254(254, 'a'), c254(254, 'c');
    const struct {
        std::string bytes, section, key, defaultValue, expected;
    } cases[] = {
        {"[Strings]\r\nString1=Hello\r\n", "STRINGS", "string1", "d", "Hello"},
        {"  [ Strings ]  \n \tString1  =   Hello world \t\n", "Strings", " String1 ", "d", "Hello world"},
        {"[S]\nA=\"\"quoted\"\"\n", "S", "A", "d", "\"quoted\""}, // one pair of quotes only
        {"[S]\nA=  \"  padded  \"  \n", "S", "A", "d", "  padded  "},
        {"[S]\nA=\"open\n", "S", "A", "d", "\"open"},
        {"[S]\nA=" + a300 + "\n", "S", "A", "d", a254},
        {"[S]\nA=\"" + c254 + "\"\n", "S", "A", "d", c254}, // quotes go before the cut
        {"", "S", "A", a300, a254},
        {"[S]\nA=\n", "S", "A", "eng", ""},
        {"[S]\nA=first\nA=second\n", "S", "A", "d", "first"},
        {"[S]\nA=1\n[T]\nB=2\n[s]\nA=3\n", "S", "A", "d", "1"},
        {"[S]\r\nA=1\nB=2\rC=3", "S", "C", "d", "3"},
        {"[S]\n;A=1\n  ;B=1\nA=2\n", "S", "A", "d", "2"},
        {"A=1\n[S]\nB=2\n", "S", "A", "d", "d"},
        {"[S]\nA\nA=2\n", "S", "A", "d", "d"}, // a bare key hides the later one
        {"\xEF\xBB\xBF[S]\nA=1\n", "S", "A", "d", "1"},
        {"[S]\nA=caf\xE9 \xC3\xA9\n", "S", "A", "d", "caf\xE9 \xC3\xA9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniFile::Parse(c.bytes).Get(c.section, c.key, c.defaultValue), c.expected) << c.bytes;
}

TEST(IniFile, SectionsMergeAndListFirstOccurrences) {
    const IniFile file = IniFile::Parse("[S]\nB=2\nA=1\nbare\nb=again\n[T]\nX=9\n[s]\nC=\"3\"\n");
    const std::vector<std::pair<std::string, std::string>> expected = {{"B", "2"}, {"A", "1"}, {"C", "3"}};
    EXPECT_EQ(file.Section("S"), expected);
}

TEST(IniFile, ReadIniStringFromFile) {
    testing::ScratchFolder folder;
    const std::string path = folder.Write("Lng/fra.lng", "[Setup]\r\nlng=fr\r\n");
    EXPECT_EQ(ReadIniString("setup", "LNG", "en", path), "fr");
    EXPECT_EQ(ReadIniString("Setup", "lng", "en", folder.Path("Lng/none.lng")), "en");
    EXPECT_EQ(ReadIniString("Setup", "lng", "en", folder.Path("Lng")), "en"); // a folder reads as missing
}

} // namespace
} // namespace corvane

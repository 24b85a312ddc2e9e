// the INI reader against the quirks of the Windows profile functions the language files rely on, and the
// message table read from them

#include "core/ini_file.h"
#include "core/string_table.h"
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

// "[Strings]" with String1, String2... holding the values in order
std::string Messages(std::initializer_list<std::string> values) {
    std::string text = "[Strings]\r\n";
    for (int n = 1; const std::string& value : values)
        text += "String" + std::to_string(n++) + "=" + value + "\r\n";
    return text;
}

// an empty or missing value does not end the table, a quoted marker does (read as the profile functions do)
TEST(StringTable, EndsAtTheMarkerOrHoldsEveryIndex) {
    const std::pair<std::string, std::size_t> cases[] = {
        {Messages({"###END###", "a"}), 0},
        {Messages({"a", "", "c", "###END###"}), 5},
        {"[Strings]\nString1=a\nString3=c\nString4=###END###\n", 5},
        {Messages({"a", "\"###END###\""}), 3},
        {Messages({"a", "###end###"}), 32002}};
    for (const auto& [text, size] : cases)
        EXPECT_EQ(StringTable::FromIniFile(IniFile::Parse(text)).size(), size) << text;
}

TEST(StringTable, GetStringFromTheLanguageFile) {
    testing::ScratchFolder folder;
    folder.Write("Lng/fra.lng", Messages({"Erreur", "", "a||b", "###END###", "after the end"}));
    const StringTable table = StringTable::LoadStringTable("fra", folder.Path());
    EXPECT_EQ(table.GetString(1, "Input error"), "Erreur");
    EXPECT_EQ(table.GetString(2, "Input|error"), "Input\r\nerror");
    EXPECT_EQ(table.GetString(3, ""), "a\r\n\r\nb");
    for (int n : {0, -1, 4, 5, 32001})
        EXPECT_EQ(table.GetString(n, "English"), "English") << n;
    EXPECT_EQ(StringTable::LoadStringTable("deu", folder.Path()).GetString(18, "A|B"), "A\r\nB");
}

} // namespace
} // namespace corvane

// the message table's bounds and the message lookup with its English fallback
#include <string>

#include <gtest/gtest.h>

#include "core/string_table.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

// "[Strings]" with String1, String2... holding the values in order
std::string Messages(std::initializer_list<std::string> values) {
    std::string text = "[Strings]\r\n";
    int n = 1;
    for (const std::string& value : values)
        text += "String" + std::to_string(n++) + "=" + value + "\r\n";
    return text;
}

class StringTableBounds : public ::testing::TestWithParam<std::pair<std::string, std::size_t>> {};

TEST_P(StringTableBounds, Size) {
    EXPECT_EQ(StringTable::FromIniFile(IniFile::Parse(GetParam().first)).size(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    StringTable, StringTableBounds,
    ::testing::Values(std::pair{Messages({"a", "b", "###END###"}), 4},
                      std::pair{Messages({"###END###", "a"}), 0},
                      std::pair{Messages({"a", "", "c", "###END###"}), 5}, // an empty value does not end it
                      std::pair{"[Strings]\nString1=a\nString3=c\nString4=###END###\n", 5},
                      std::pair{Messages({"a", "\"###END###\""}), 3}, // read as the profile functions do
                      std::pair{Messages({"a", "###end###"}), 32002}, std::pair{Messages({"a"}), 32002},
                      std::pair{"", 32002}));

TEST(StringTable, GetString) {
    // messages 1..5, then the marker at 6: indexes 0..6
    const StringTable table = StringTable::FromIniFile(IniFile::Parse(Messages(
        {"Erreur", "Deux|phrases", "", "a||b", std::string(300, 'm'), "###END###", "after the end"})));
    EXPECT_EQ(table.GetString(1, "Input error"), "Erreur");
    EXPECT_EQ(table.GetString(2, "Two|phrases"), "Deux\r\nphrases");
    EXPECT_EQ(table.GetString(3, "Input|error"), "Input\r\nerror");
    EXPECT_EQ(table.GetString(4, ""), "a\r\n\r\nb");
    EXPECT_EQ(table.GetString(5, ""), std::string(254, 'm'));
    for (int n : {0, -1, 6, 7, 32001})
        EXPECT_EQ(table.GetString(n, "English"), "English") << n;
    EXPECT_EQ(StringTable().GetString(18, "A|B"), "A\r\nB");
}

TEST(StringTable, LoadsLanguageFileOfProgramFolder) {
    testing::ScratchFolder folder;
    folder.Write("Lng/fra.lng", "[Strings]\r\nString1=Nom du sous-dossier :\r\nstring2=###END###\r\n");
    const StringTable french = StringTable::LoadStringTable("fra", folder.Path());
    EXPECT_EQ(french.size(), 3u);
    EXPECT_EQ(french.GetString(1, "Backup Subfolder Name :"), "Nom du sous-dossier :");
    EXPECT_EQ(StringTable::LoadStringTable("deu", folder.Path()).size(), 32002u);
}

} // namespace
} // namespace corvane

// the message table's bounds and the message lookup with its English fallback
#include <gtest/gtest.h>

#include "core/string_table.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

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

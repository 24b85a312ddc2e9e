// the message table's bounds and the message lookup with its English fallback
#include <string>

#include <gtest/gtest.h>

#include "core/string_table.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

std::string Messages(std::initializer_list<std::string> values)
{
    std::string text = "[Strings]\r\n";
    int n = 1;
    for (const std::string& value : values)
        text += "String" + std::to_string(n++) + "=" + value + "\r\n";
    return text;
}

struct BoundsCase {
    const char* name;
    std::string bytes;
    std::size_t expectedSize;
};
void PrintTo(const BoundsCase& c, std::ostream* os) { *os << c.name; }

class StringTableBounds : public ::testing::TestWithParam<BoundsCase> {};

TEST_P(StringTableBounds, Size)
{
    EXPECT_EQ(StringTable::FromIniFile(IniFile::Parse(GetParam().bytes)).size(), GetParam().expectedSize);
}

INSTANTIATE_TEST_SUITE_P(
    StringTable, StringTableBounds,
    ::testing::Values(BoundsCase{"marker_after_two", Messages({"a", "b", "###END###"}), 4},
                      BoundsCase{"marker_first", Messages({"###END###", "a"}), 0},
                      BoundsCase{"empty_value_does_not_end", Messages({"a", "", "c", "###END###"}), 5},
                      BoundsCase{"missing_key_does_not_end", "[Strings]\nString1=a\nString3=c\nString4=###END###\n", 5},
                      BoundsCase{"marker_with_case_is_text", Messages({"a", "###end###"}), 32002},
                      BoundsCase{"marker_in_quotes", Messages({"a", "\"###END###\""}), 3},
                      BoundsCase{"marker_with_blanks", Messages({"a", "  ###END###  "}), 3},
                      BoundsCase{"no_marker", Messages({"a", "b"}), 32002},
                      BoundsCase{"no_section", "[Other]\nString1=###END###\n", 32002},
                      BoundsCase{"empty_file", "", 32002},
                      BoundsCase{"twenty_messages",
                                 Messages({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13",
                                           "14", "15", "16", "17", "18", "19", "20", "###END###"}),
                                 22}),
    [](const auto& info) { return std::string(info.param.name); });

struct LookupCase {
    const char* name;
    int n;
    std::string english;
    std::string expected;
};
void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class StringTableLookup : public ::testing::TestWithParam<LookupCase> {};

// messages 1..5 loaded, 6 is the marker: indexes 0..6
TEST_P(StringTableLookup, GetString)
{
    const StringTable table = StringTable::FromIniFile(IniFile::Parse(
        Messages({"Erreur", "Deux|phrases", "", "a||b", "x", "###END###"}) + "String7=after the end\r\n"));
    const LookupCase& c = GetParam();
    EXPECT_EQ(table.GetString(c.n, c.english), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    StringTable, StringTableLookup,
    ::testing::Values(LookupCase{"translated", 1, "Input error", "Erreur"},
                      LookupCase{"bar_becomes_crlf", 2, "Two|phrases", "Deux\r\nphrases"},
                      LookupCase{"every_bar_replaced", 4, "", "a\r\n\r\nb"},
                      LookupCase{"empty_entry_gives_english", 3, "Input|error", "Input\r\nerror"},
                      LookupCase{"zero", 0, "Zero", "Zero"}, LookupCase{"negative", -1, "Minus", "Minus"},
                      LookupCase{"last_index_is_empty", 6, "Six", "Six"},
                      LookupCase{"after_marker_not_loaded", 7, "Seven", "Seven"},
                      LookupCase{"far_beyond", 32001, "Far", "Far"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringTable, EmptyTableGivesEnglish)
{
    const StringTable table;
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.GetString(1, "Backup File Name :"), "Backup File Name :");
    EXPECT_EQ(table.GetString(18, "A|B"), "A\r\nB");
}

TEST(StringTable, LoadsLanguageFileOfProgramFolder)
{
    testing::ScratchFolder folder;
    folder.Write("Lng/fra.lng", "[Strings]\r\nString1=Nom du sous-dossier :\r\nstring2=###END###\r\n");
    const StringTable french = StringTable::LoadStringTable("fra", folder.Path());
    EXPECT_EQ(french.size(), 3u);
    EXPECT_EQ(french.GetString(1, "Backup Subfolder Name :"), "Nom du sous-dossier :");

    const StringTable missing = StringTable::LoadStringTable("deu", folder.Path());
    EXPECT_EQ(missing.size(), 32002u);
    EXPECT_EQ(missing.GetString(1, "Backup Subfolder Name :"), "Backup Subfolder Name :");
}

TEST(StringTable, LongMessageCut)
{
    const StringTable table = StringTable::FromIniFile(IniFile::Parse(Messages({std::string(300, 'm')})));
    EXPECT_EQ(table.GetString(1, "x"), std::string(254, 'm'));
}

} // namespace
} // namespace corvane

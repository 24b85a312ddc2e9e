// the locale map written on first start, and the language chosen from it
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/locale_map.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// written out independently of the program's table, as users know the file
const char* const kExpectedMap =
    "[LocaleID]\r\n1036=fra\r\n2060=fra\r\n3084=fra\r\n5132=fra\r\n4108=fra\r\n1031=deu\r\n3079=deu\r\n"
    "5127=deu\r\n2055=deu\r\n1040=ita\r\n2064=ita\r\n1034=spa\r\n11274=spa\r\n16394=spa\r\n13322=spa\r\n"
    "9226=spa\r\n5130=spa\r\n7178=spa\r\n12298=spa\r\n4106=spa\r\n18442=spa\r\n2058=spa\r\n19466=spa\r\n"
    "6154=spa\r\n10250=spa\r\n20490=spa\r\n15370=spa\r\n17418=spa\r\n14346=spa\r\n8202=spa\r\n2070=por\r\n"
    "1046=por\r\n1043=nld\r\n2067=nld\r\nForce=\r\n//case else =eng\r\n";

TEST(LocaleMap, FirstStartWritesTheExactMap)
{
    testing::ScratchFolder folder;
    ASSERT_TRUE(EnsureLocaleMap(folder.Path()));
    const std::string written = ReadBytes(folder.Path("Lng/Local.ini"));
    EXPECT_EQ(written, kExpectedMap);
    EXPECT_EQ(DefaultLocaleMapText(), kExpectedMap);

    std::map<std::string, int> perLanguage;
    int lines = 0;
    for (std::size_t pos = 0, end; (end = written.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        ++lines;
        const std::string line = written.substr(pos, end - pos);
        EXPECT_EQ(line.find('\r'), std::string::npos);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        if (std::isdigit(static_cast<unsigned char>(line[0])) && line[line.size() - 4] == '=')
            ++perLanguage[line.substr(line.size() - 3)];
    }
    EXPECT_EQ(lines, 37);
    EXPECT_EQ(perLanguage, (std::map<std::string, int>{
                               {"fra", 5}, {"deu", 4}, {"ita", 2}, {"spa", 19}, {"por", 2}, {"nld", 2}}));
    // nothing else left behind in the new folder
    EXPECT_EQ(NamesIn(folder.Path("Lng")), std::vector<std::string>{"Local.ini"});
}

TEST(LocaleMap, ExistingMapNeverRewritten)
{
    testing::ScratchFolder folder;
    const std::string mine = "[LocaleID]\n1036=deu\n";
    folder.Write("Lng/Local.ini", mine);
    ASSERT_TRUE(EnsureLocaleMap(folder.Path()));
    EXPECT_EQ(ChooseLanguage(2057, folder.Path()), "eng");
    EXPECT_EQ(ReadBytes(folder.Path("Lng/Local.ini")), mine);
    // even an empty map counts as existing
    folder.Write("Lng/Local.ini", "");
    ASSERT_TRUE(EnsureLocaleMap(folder.Path()));
    EXPECT_EQ(ReadBytes(folder.Path("Lng/Local.ini")), "");
}

TEST(LocaleMap, UnwritableFolderFailsAndChoosesEnglish)
{
    testing::ScratchFolder folder;
    // a file where the program folder should be: no folder can be made below it, whoever runs this
    const std::string notAFolder = folder.Write("program", "x");
    folder.Write("Lng/fra.lng", "[Strings]\r\n"); // present elsewhere, must not matter
    const Status status = EnsureLocaleMap(notAFolder);
    EXPECT_FALSE(status);
    EXPECT_NE(status.error().find("Local.ini"), std::string::npos);
    EXPECT_EQ(ChooseLanguage(1036, notAFolder), "eng");
}

TEST(LocaleMap, FolderNamedLikeTheMapIsNotAMap)
{
    testing::ScratchFolder folder;
    fs::create_directories(folder.Path("Lng/Local.ini"));
    EXPECT_FALSE(EnsureLocaleMap(folder.Path()));
    EXPECT_EQ(NamesIn(folder.Path("Lng")), std::vector<std::string>{"Local.ini"});
}

struct ChoiceCase {
    const char* name;
    std::string map; // empty: the default map is written on first start
    std::vector<std::string> languageFiles;
    std::int32_t lcid;
    std::string expected;
};
void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class ChooseLanguageCases : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseLanguageCases, Chooses)
{
    const ChoiceCase& c = GetParam();
    testing::ScratchFolder folder;
    if (!c.map.empty())
        folder.Write("Lng/Local.ini", c.map);
    for (const std::string& code : c.languageFiles)
        folder.Write("Lng/" + code + ".lng", "[Strings]\r\nString1=###END###\r\n");
    EXPECT_EQ(ChooseLanguage(c.lcid, folder.Path()), c.expected);
    if (!c.map.empty()) {
        EXPECT_EQ(ReadBytes(folder.Path("Lng/Local.ini")), c.map);
    }
}

INSTANTIATE_TEST_SUITE_P(
    LocaleMap, ChooseLanguageCases,
    ::testing::Values(
        ChoiceCase{"first_start_no_files", "", {}, 1036, "eng"},
        ChoiceCase{"french_with_file", "", {"fra"}, 1036, "fra"},
        ChoiceCase{"canadian_french", "", {"fra"}, 3084, "fra"},
        ChoiceCase{"french_without_file", "", {"deu"}, 1036, "eng"},
        ChoiceCase{"spain_modern_not_mapped", "", {"spa"}, 3082, "eng"},
        ChoiceCase{"spain_traditional", "", {"spa"}, 1034, "spa"},
        ChoiceCase{"argentina", "", {"spa"}, 11274, "spa"},
        ChoiceCase{"brazil", "", {"por"}, 1046, "por"},
        ChoiceCase{"belgian_dutch", "", {"nld"}, 2067, "nld"},
        ChoiceCase{"unknown_identifier", "", {"fra"}, 9999, "eng"},
        ChoiceCase{"force_wins", "[LocaleID]\r\n1036=fra\r\nForce=deu\r\n", {"fra", "deu"}, 1036, "deu"},
        ChoiceCase{"force_without_file", "[LocaleID]\r\n1036=fra\r\nForce=ita\r\n", {"fra"}, 1036, "eng"},
        ChoiceCase{"force_trimmed_any_case", "[localeid]\r\nFORCE =  deu \r\n", {"deu"}, 1033, "deu"},
        ChoiceCase{"empty_value", "[LocaleID]\r\n1036=\r\n", {"fra"}, 1036, "eng"},
        ChoiceCase{"user_added_identifier", "[LocaleID]\r\n3082=spa\r\n", {"spa"}, 3082, "spa"},
        ChoiceCase{"english_needs_no_file", "[LocaleID]\r\n2057=eng\r\n", {}, 2057, "eng"},
        ChoiceCase{"map_without_user_identifier", "[LocaleID]\r\n1031=deu\r\n", {"deu", "fra"}, 1036, "eng"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane

// what the environment decides: the user's locale and language, where the program keeps its files, the
// drives' folders, and the help page's address
#include <map>

#include "core/common/environment.h"
#include "core/locale/locale.h"
#include "core/project/references.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

using namespace corvane::testing;

EnvLookup Environment(std::map<std::string, std::string> values) {
    return [values](const std::string& name) {
        return values.contains(name) ? std::optional(values.at(name)) : std::nullopt;
    };
}

// codesets and modifiers ignored, Spain's modern identifier, a language alone, other spellings, the unknown
TEST(UserLocale, LcidOfLocaleName) {
    const std::pair<std::string, std::int32_t> cases[] = {
        {"fr_FR.UTF-8", 1036}, {"es_AR", 11274}, {"pt_BR@x", 1046}, {"es_ES.UTF-8", 3082},
        {"es", 1034},          {"fr_XX", 1036},  {"FR_fr", 1036},   {"de-AT", 3079},
        {"C", 1033},           {"xx_YY", 1033},  {"_FR", 1033},     {"nl_BE.UTF-8@euro", 2067}};
    for (const auto& [name, lcid] : cases)
        EXPECT_EQ(LcidOfLocaleName(name), lcid) << '"' << name << '"';
    EXPECT_EQ(
        UserDefaultLCID(Environment({{"LC_ALL", "de_AT"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "it_IT"}})),
        3079);
    EXPECT_EQ(UserDefaultLCID(Environment({{"LC_MESSAGES", "fr_CA"}, {"LANG", "it_IT"}})), 3084);
    // empty means unset
    EXPECT_EQ(UserDefaultLCID(Environment({{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "nl_BE"}})), 2067);
    EXPECT_EQ(UserDefaultLCID(Environment({})), 1033);
}

// written out apart from the program's own table: 37 lines, CR LF each
const char* const kExpectedMap =
    "[LocaleID]\r\n1036=fra\r\n2060=fra\r\n3084=fra\r\n5132=fra\r\n4108=fra\r\n1031=deu\r\n3079=deu\r\n"
    "5127=deu\r\n2055=deu\r\n1040=ita\r\n2064=ita\r\n1034=spa\r\n11274=spa\r\n16394=spa\r\n13322=spa\r\n"
    "9226=spa\r\n5130=spa\r\n7178=spa\r\n12298=spa\r\n4106=spa\r\n18442=spa\r\n2058=spa\r\n19466=spa\r\n"
    "6154=spa\r\n10250=spa\r\n20490=spa\r\n15370=spa\r\n17418=spa\r\n14346=spa\r\n8202=spa\r\n2070=por\r\n"
    "1046=por\r\n1043=nld\r\n2067=nld\r\nForce=\r\n//case else =eng\r\n";

TEST(LocaleMap, FirstStartWritesTheExactMapOnceOrFails) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(EnsureLocaleMap(folder.Path()));
    EXPECT_EQ(ReadFile(folder.Path("Lng/Local.ini")), kExpectedMap);
    EXPECT_EQ(FileNamesIn(folder.Path("Lng")), std::vector<std::string>{"Local.ini"});
    // an existing map, even an empty one, is never rewritten
    for (const std::string mine : {"[LocaleID]\n1036=deu\n", ""}) {
        folder.Write("Lng/Local.ini", mine);
        ASSERT_TRUE(EnsureLocaleMap(folder.Path()));
        EXPECT_EQ(ReadFile(folder.Path("Lng/Local.ini")), mine);
    }
    // a file where the program folder should be: nothing can be made below it, whoever runs this
    const std::string notAFolder = folder.Write("program", "x");
    EXPECT_NE(EnsureLocaleMap(notAFolder).error().find("Local.ini"), std::string::npos);
    EXPECT_EQ(ChooseLanguage(1036, notAFolder), "eng");
}

// an empty map stands for the default one, written on first start
TEST(LocaleMap, ChooseLanguageNeedsTheLanguageFile) {
    const struct {
        std::string map;
        std::vector<std::string> languageFiles;
        std::int32_t lcid;
        std::string expected;
    } cases[] = {{"", {"fra"}, 3084, "fra"},
                 {"", {"deu"}, 1036, "eng"},
                 {"[LocaleID]\r\n1036=fra\r\nForce=deu\r\n", {"fra", "deu"}, 1036, "deu"},
                 {"[LocaleID]\r\n1036=fra\r\nForce=ita\r\n", {"fra"}, 1036, "eng"},
                 {"[localeid]\r\nFORCE =  deu \r\n", {"deu"}, 1033, "deu"}};
    for (const auto& c : cases) {
        testing::ScratchFolder folder;
        if (!c.map.empty())
            folder.Write("Lng/Local.ini", c.map);
        for (const std::string& code : c.languageFiles)
            folder.Write("Lng/" + code + ".lng", "[Strings]\r\n");
        EXPECT_EQ(ChooseLanguage(c.lcid, folder.Path()), c.expected) << c.map << c.lcid;
        EXPECT_EQ(ReadFile(folder.Path("Lng/Local.ini")), c.map.empty() ? kExpectedMap : c.map);
    }
}

TEST(ProgramFolder, ProgramDataAndConfigFolders) {
    EXPECT_EQ(ProgramFolder(Environment({{"CORVANE_HOME", "/opt/corvane/"}})), "/opt/corvane");
    EXPECT_EQ(ProgramFolder(Environment({{"CORVANE_HOME", ""}})),
              std::filesystem::canonical("/proc/self/exe").parent_path().string());
    EXPECT_EQ(ChooseDataFolder("/opt/c", true, Environment({{"CORVANE_HOME", "/srv/c/"}})), "/srv/c");
    EXPECT_EQ(ChooseDataFolder("/opt/c", true, Environment({{"HOME", "/home/a"}})), "/opt/c");
    EXPECT_EQ(ChooseDataFolder("/opt/c", false, Environment({{"XDG_DATA_HOME", "/d"}, {"HOME", "/h"}})),
              "/d/corvane");
    // a relative base folder is ignored, as the base directory rules require
    EXPECT_EQ(ChooseDataFolder("/opt/c", false, Environment({{"XDG_DATA_HOME", "d"}, {"HOME", "/h"}})),
              "/h/.local/share/corvane");
    EXPECT_EQ(UserConfigFolder(Environment({{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}})),
              "/h/.config/corvane");
}

// Wine's drives count only where Wine has them: a folder made below an invented one would hide a backup
TEST(DriveMap, DefaultsToWinePrefixAndIsOverridden) {
    testing::ScratchFolder home;
    std::filesystem::create_directories(home.Path(".wine/dosdevices/d:"));
    std::filesystem::create_directories(home.Path("wp/dosdevices/e:"));
    const DriveMap wine = DriveMap::FromEnvironment(Environment({{"HOME", home.Path()}}));
    EXPECT_EQ(wine.Find("D"), home.Path(".wine/dosdevices/d:"));
    EXPECT_EQ(wine.Find("E"), std::nullopt);
    const DriveMap map = DriveMap::FromEnvironment(
        Environment({{"HOME", "/home/u"},
                     {"WINEPREFIX", home.Path("wp")},
                     {"CORVANE_DRIVE_MAP", "c=/mnt/c;bad;=x;D:=/srv/lib;\\\\Srv\\Share\\=/mnt/s"}}));
    EXPECT_EQ(map.Find("C:"), "/mnt/c");
    EXPECT_EQ(map.Find("d"), "/srv/lib");
    EXPECT_EQ(map.Find("E"), home.Path("wp/dosdevices/e:"));
    EXPECT_EQ(map.Find("\\\\srv\\share"), "/mnt/s");
    EXPECT_EQ(map.Find("//SRV/SHARE"), "/mnt/s");
    EXPECT_EQ(DriveMap::FromEnvironment(Environment({})).Find("C"), std::nullopt);
}

TEST(HelpUrl, ProxyAddressKeepsThePathAndNamesTheLanguage) {
    const std::pair<std::string, std::string> cases[] = {
        {"https://a.b.c/Help/Corvane/", "https://a-b-c.translate.goog/Help/Corvane/"},
        {"https://a.b", "https://a-b.translate.goog"},
        {"http://My-Site.Example/x", "https://My-Site-Example.translate.goog/x"},
        {"https://a.b/a.b/x", "https://a-b.translate.goog//x"}, // every occurrence of the host goes
        {"a.b/Help/", "https://a-b.translate.goog/Help/"}};
    for (const auto& [address, expected] : cases)
        EXPECT_EQ(TranslatePageUrl(address, "fr"),
                  expected + "?_x_tr_sl=auto&_x_tr_tl=fr&_x_tr_hl=fr&_x_tr_pto=wapp");
    for (const char* url : {"https:///corvane.dev/x", "https:\\\\corvane.dev\\Help"})
        EXPECT_EQ(HostOfUrl(url), "corvane.dev") << url;
    EXPECT_EQ(HostOfUrl("https://"), "");
}

} // namespace
} // namespace corvane

// what the environment decides: the user's locale and language, where the program keeps its files, the
// drives' folders, and the help page's address
#include "core/common/environment.h"
#include "core/locale/locale.h"
#include "core/platform/platform.h"
#include "core/project/references.h"
#include "core/settings/settings.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

using namespace corvane::testing;

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
    ASSERT_TRUE(EnsureLocaleMap(folder.Path("Lng")));
    EXPECT_EQ(ReadFile(folder.Path("Lng/Local.ini")), kExpectedMap);
    EXPECT_EQ(FileNamesIn(folder.Path("Lng")), std::vector<std::string>{"Local.ini"});
    // an existing map, even an empty one, is never rewritten
    for (const std::string mine : {"[LocaleID]\n1036=deu\n", ""}) {
        folder.Write("Lng/Local.ini", mine);
        ASSERT_TRUE(EnsureLocaleMap(folder.Path("Lng")));
        EXPECT_EQ(ReadFile(folder.Path("Lng/Local.ini")), mine);
    }
    // a file where the folder should be: nothing can be made below it, whoever runs this
    const std::string notAFolder = folder.Write("program", "x");
    EXPECT_NE(EnsureLocaleMap(notAFolder + "/Lng").error().find("Local.ini"), std::string::npos);
    EXPECT_EQ(ChooseLanguage(1036, {notAFolder + "/Lng", true}), "eng");
}

// an empty map stands for the default one: written on first start beside a portable copy, read from
// memory in an installed folder, which is never written to
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
    for (const bool portable : {true, false}) {
        for (const auto& c : cases) {
            testing::ScratchFolder folder;
            if (!c.map.empty())
                folder.Write("lng/Local.ini", c.map);
            for (const std::string& code : c.languageFiles)
                folder.Write("lng/" + code + ".lng", "[Strings]\r\n");
            EXPECT_EQ(ChooseLanguage(c.lcid, {folder.Path("lng"), portable}), c.expected) << c.map << c.lcid;
            if (portable || !c.map.empty())
                EXPECT_EQ(ReadFile(folder.Path("lng/Local.ini")), c.map.empty() ? kExpectedMap : c.map);
            else
                EXPECT_EQ(FileNamesIn(folder.Path("lng")).size(), c.languageFiles.size());
        }
    }
    EXPECT_EQ(ChooseLanguage(1036, {}), "eng");
}

// the portable "Lng" beside the program wins over the installed share folder, found from the program's
// own folder whatever it is called; the settings go where CORVANE_HOME says, else to the configuration folder
TEST(ProgramFolders, LanguageFilesThenSettings) {
    testing::ScratchFolder folder;
    std::filesystem::create_directories(folder.Path("usr/bin"));
    EXPECT_EQ(FindLanguageFiles(folder.Path("usr/bin")).folder, "");
    folder.Write("usr/share/corvane/lng/fra.lng", "");
    const LanguageFiles installed = FindLanguageFiles(folder.Path("usr/bin"));
    EXPECT_EQ(installed.folder, folder.Path("usr/share/corvane/lng"));
    EXPECT_FALSE(installed.mapWritable);
    folder.Write("usr/bin/Lng/fra.lng", "");
    const LanguageFiles portable = FindLanguageFiles(folder.Path("usr/bin"));
    EXPECT_EQ(portable.folder, folder.Path("usr/bin/Lng"));
    EXPECT_TRUE(portable.mapWritable);
    // the settings: CORVANE_HOME, then the configuration folder
    EXPECT_EQ(ProgramFolder(), std::filesystem::canonical("/proc/self/exe").parent_path().string());
    EXPECT_EQ(SettingsFolder(Environment({{"CORVANE_HOME", "/srv/c/"}, {"XDG_CONFIG_HOME", "/x"}})),
              "/srv/c");
    EXPECT_EQ(SettingsFolder(Environment({{"CORVANE_HOME", ""}, {"XDG_CONFIG_HOME", "/x/"}})), "/x/corvane");
    // a relative base folder is ignored, as the base directory rules require
    EXPECT_EQ(SettingsFolder(Environment({{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h/"}})),
              "/h/.config/corvane");
    const std::optional<std::string> home = UserHomeFolder();
    ASSERT_TRUE(home);
    EXPECT_EQ(SettingsFolder(Environment({})), JoinPath(*home, ".config/corvane"));
    const SettingsLocation location = DefaultSettingsLocation(Environment({{"HOME", "/h"}}));
    EXPECT_EQ(location.localMachineFile, "/h/.config/corvane/machine.settings");
    EXPECT_EQ(location.currentUserFile, "/h/.config/corvane/user.settings");
}

// Wine's drives count only where Wine has them: a folder made below an invented one would hide a backup
#ifndef _WIN32 // Windows resolves its drives itself
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
#endif

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

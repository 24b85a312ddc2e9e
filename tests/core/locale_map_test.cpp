// the locale map written on first start, and the language chosen from it
#include <gtest/gtest.h>

#include "core/locale_map.h"
#include "file_snapshot.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

using testing::FileBytes;
using testing::FileNamesIn;

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
    EXPECT_EQ(FileBytes(folder.Path("Lng/Local.ini")), kExpectedMap);
    EXPECT_EQ(FileNamesIn(folder.Path("Lng")), std::vector<std::string>{"Local.ini"});

    // an existing map, even an empty one, is never rewritten
    for (const std::string mine : {"[LocaleID]\n1036=deu\n", ""}) {
        folder.Write("Lng/Local.ini", mine);
        ASSERT_TRUE(EnsureLocaleMap(folder.Path()));
        EXPECT_EQ(FileBytes(folder.Path("Lng/Local.ini")), mine);
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
        EXPECT_EQ(FileBytes(folder.Path("Lng/Local.ini")), c.map.empty() ? kExpectedMap : c.map);
    }
}

} // namespace
} // namespace corvane

// the ANSI code pages: their characters, double-byte text cut only between characters, their names, and the
// one a user's files are read in
#include "core/locale/locale.h"
#include "core/project/paths.h"
#include "core/project/text.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

using testing::Environment;

CodePage Page(int number) {
    return CodePage::FromNumber(number).value();
}

// a letter or two each code page is used for, both ways
TEST(CodePages, EveryWindowsCodePageConvertsItsLetters) {
    const struct {
        int codePage;
        std::string ansi, utf8;
    } cases[] = {
        {1250, "\x8A\xB9\xF8", "\xC5\xA0\xC4\x85\xC5\x99"},                                     // Š ą ř
        {1251, "\xCF\xF0\xE8\xE2\xE5\xF2", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"}, // Привет
        {1252, "\x80\x8A", "\xE2\x82\xAC\xC5\xA0"},                                             // € Š
        {1253, "\xC1\xF9", "\xCE\x91\xCF\x89"},                                                 // Α ω
        {1254, "\xD0\xFD", "\xC4\x9E\xC4\xB1"},                                                 // Ğ ı
        {1255, "\xE0\xFA", "\xD7\x90\xD7\xAA"},                                                 // א ת
        {1256, "\xC7\xE1", "\xD8\xA7\xD9\x84"},                                                 // ا ل
        {1257, "\xC0\xFE", "\xC4\x84\xC5\xBE"},                                                 // Ą ž
        {1258, "\xD0\xF5", "\xC4\x90\xC6\xA1"},                                                 // Đ ơ
        {874, "\xA1\xD2", "\xE0\xB8\x81\xE0\xB8\xB2"},                                          // ก า
        {932, "\x93\xFA\x96\x7B\xB1", "\xE6\x97\xA5\xE6\x9C\xAC\xEF\xBD\xB1"},                  // 日本 ｱ
        {936, "\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},                                  // 中文
        {949, "\xC7\xD1\xB1\xDB", "\xED\x95\x9C\xEA\xB8\x80"},                                  // 한글
        {950, "\xA4\xA4\xA5\x5C", "\xE4\xB8\xAD\xE5\x8A\x9F"},                                  // 中功
        {1252, "\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}, // the holes: C1 controls
        {28591, "\x80\xFF", "\xC2\x80\xC3\xBF"},
        {65001, "\xC3\xA9\xE2\x82\xAC", "\xC3\xA9\xE2\x82\xAC"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiToUtf8("a" + c.ansi, Page(c.codePage)), "a" + c.utf8) << c.codePage;
        EXPECT_EQ(Utf8ToAnsi("a" + c.utf8, Page(c.codePage)), "a" + c.ansi) << c.codePage;
    }
    // every byte of a single-byte code page comes back, the ones Windows leaves undefined as well
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    for (int number : KnownCodePageNumbers()) {
        if (!Page(number).IsDoubleByte() && number != 65001) {
            EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all, Page(number)), Page(number)), all) << number;
        }
    }
    // what a code page cannot hold, and what is not UTF-8, become marks
    const std::string bad = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf8ToAnsi("\xD0\x96", CodePage::Windows1252), "?");   // Ж has no place in 1252
    EXPECT_EQ(Utf8ToAnsi("a\xE2\x82\xAC!", CodePage::Latin1), "a?!"); // nor the euro sign in Latin-1
    EXPECT_EQ(Utf8ToAnsi("a\xFF!", CodePage::Windows1252), "a?!");     // not UTF-8
    EXPECT_EQ(AnsiToUtf8("a\xC3", CodePage::Utf8), "a" + bad);         // cut sequence
    EXPECT_EQ(AnsiToUtf8("\xC0\xAF", CodePage::Utf8), bad + bad);      // overlong "/"
    EXPECT_EQ(AnsiToUtf8("\xED\xA0\x80", CodePage::Utf8), bad + bad + bad); // surrogate
}

// "表" and "ソ" end in 0x5C, the byte of "\", in 932; "功" in 950
TEST(CodePages, DoubleByteTextIsCutOnlyBetweenCharacters) {
    const CodePage japanese = Page(932);
    const std::string table = "\x95\x5C", so = "\x83\x5C";
    EXPECT_EQ(AnsiToUtf8(table + "\\" + so, japanese), "\xE8\xA1\xA8\\\xE3\x82\xBD");
    EXPECT_EQ(FindCharacter(table + "\\x", '\\', japanese), 2u);
    EXPECT_EQ(FindCharacter(table + so, '\\', japanese), std::string::npos);
    EXPECT_EQ(FindCharacter("\x95\x5C\\", '\\', CodePage::Windows1252), 1u);
    EXPECT_EQ(CharacterLengthAt(table, 0, japanese), 2u);
    // a lead byte without its trail byte is one unknown character, and the next byte stays itself
    EXPECT_EQ(AnsiToUtf8("\x95", japanese), "\xEF\xBF\xBD");
    EXPECT_EQ(AnsiToUtf8("\x95\n", japanese), "\xEF\xBF\xBD\n");

    // in the archive the reference keeps its bytes and its folders; a name ending in 0x5C still names a file
    const struct {
        std::string reference, archivePath;
    } cases[] = {
        {"Forms\\" + table + ".frm", "Forms\\" + table + ".frm"},
        {so + "\\a.bas", so + "\\a.bas"},
        {"Forms\\" + table, "Forms\\" + table},
        {"..\\" + so + "\\m.bas", "FileNotInRootPath\\--\\" + so + "\\m.bas"},
        {"D:\\" + table + "\\m.bas", "FileNotInRootPath\\Disk_D_\\" + table + "\\m.bas"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SafeArchivePath(c.reference, japanese), c.archivePath) << AnsiToUtf8(c.reference, japanese);
    EXPECT_EQ(SafeArchivePath("\xA5\x5C.bas", Page(950)), "\xA5\x5C.bas");
    // read as 1252, the same bytes hold a separator
    EXPECT_EQ(SafeArchivePath(so + "\\a.bas"), "\x83\\_\\a.bas");
}

TEST(CodePages, NamesAndTheirRefusal) {
    const std::pair<const char*, int> accepted[] = {
        {"1251", 1251},   {"cp932", 932},        {"Windows-1250", 1250}, {"WINDOWS_874", 874},
        {"28591", 28591}, {"ISO-8859-1", 28591}, {"latin1", 28591},      {"utf-8", 65001},
        {"UTF8", 65001},  {"65001", 65001},      {" cp 950 ", 950}};
    for (const auto& [name, number] : accepted) {
        const Result<CodePage> codePage = CodePageFromName(name);
        EXPECT_EQ(codePage ? codePage->number() : 0, number) << name;
    }
    for (const char* name : {"koi8-r", "437", "1259", "", "cp", "utf-16", "99999999999"}) {
        const Result<CodePage> codePage = CodePageFromName(name);
        ASSERT_FALSE(codePage) << name;
        EXPECT_NE(codePage.error().find("1250, 1251"), std::string::npos) << codePage.error();
        EXPECT_NE(codePage.error().find("65001"), std::string::npos) << codePage.error();
    }
}

TEST(CodePages, ALocalesCodePageIsTheOneWindowsGivesIt) {
    const std::pair<std::int32_t, int> cases[] = {
        {1045, 1250}, {1029, 1250}, {2074, 1250}, {1049, 1251}, {1058, 1251}, {3098, 1251}, {1032, 1253},
        {1055, 1254}, {1037, 1255}, {1025, 1256}, {3073, 1256}, {1061, 1257}, {1063, 1257}, {1066, 1258},
        {1054, 874},  {1041, 932},  {2052, 936},  {4100, 936},  {1028, 950},  {3076, 950},  {1042, 949},
        {1036, 1252}, {1033, 1252}, {3082, 1252}, {1081, 1252}};
    for (const auto& [lcid, number] : cases)
        EXPECT_EQ(AnsiCodePageOfLcid(lcid).number(), number) << lcid;
}

// the variable wins when set; the locale decides otherwise, whatever codeset the locale's name gives
TEST(CodePages, TheUsersCodePageIsChosenOnce) {
    const std::pair<std::map<std::string, std::string>, int> cases[] = {
        {{{"CORVANE_ANSI_CODEPAGE", "cp1251"}, {"LANG", "ja_JP.UTF-8"}}, 1251},
        {{{"LANG", "ja_JP.UTF-8"}}, 932},
        {{{"CORVANE_ANSI_CODEPAGE", ""}, {"LANG", "pl_PL"}}, 1250},
        {{{"LC_ALL", "zh_TW.UTF-8"}}, 950},
        {{{"LANG", "sr_RS.UTF-8"}}, 1251},
        {{{"LANG", "fa_IR"}}, 1256},
        {{}, 1252}};
    for (const auto& [environment, number] : cases) {
        const Result<CodePage> codePage = ChooseAnsiCodePage(Environment(environment));
        EXPECT_EQ(codePage ? codePage->number() : 0, number) << number;
    }
    const Result<CodePage> unknown =
        ChooseAnsiCodePage(Environment({{"CORVANE_ANSI_CODEPAGE", "koi8-r"}, {"LANG", "ru_RU"}}));
    ASSERT_FALSE(unknown);
    EXPECT_EQ(unknown.failure().kind, ErrorKind::Refused);
    EXPECT_EQ(unknown.error().rfind("CORVANE_ANSI_CODEPAGE: \"koi8-r\" is not a code page", 0), 0u)
        << unknown.error();
}

} // namespace
} // namespace corvane

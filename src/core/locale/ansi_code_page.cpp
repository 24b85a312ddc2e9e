// the ANSI code page of a locale, and the one the user's files are read in
#include "core/locale/locale.h"

#include "core/platform/system_locale.h"
#include "core/project/text.h"

namespace corvane {

namespace {

struct LanguageAnsi {
    std::int32_t primary; // the low ten bits of a locale identifier
    int codePage;
};

// as Windows sets each locale's default ANSI code page; Serbian, Azeri and Uzbek (below) and Chinese
// depend on the sublanguage as well
constexpr LanguageAnsi kLanguageCodePages[] = {
    {0x05, 1250}, {0x0E, 1250}, {0x15, 1250}, {0x18, 1250}, {0x1A, 1250}, {0x1B, 1250}, {0x1C, 1250},
    {0x24, 1250}, {0x02, 1251}, {0x19, 1251}, {0x22, 1251}, {0x23, 1251}, {0x2F, 1251}, {0x3F, 1251},
    {0x40, 1251}, {0x44, 1251}, {0x50, 1251}, {0x08, 1253}, {0x1F, 1254}, {0x2C, 1254}, {0x43, 1254},
    {0x0D, 1255}, {0x01, 1256}, {0x20, 1256}, {0x29, 1256}, {0x25, 1257}, {0x26, 1257}, {0x27, 1257},
    {0x2A, 1258}, {0x1E, 874},  {0x11, 932},  {0x12, 949},
};

// Cyrillic forms of languages whose primary form is Latin
constexpr std::int32_t kCyrillicLcids[] = {0x0C1A, 0x1C1A, 0x281A, 0x082C, 0x0843};

constexpr std::int32_t kChinese = 0x04;
// Taiwan, Hong Kong and Macao write traditional characters
constexpr std::int32_t kTraditionalChinese[] = {0x0404, 0x0C04, 0x1404};

} // namespace

CodePage AnsiCodePageOfLcid(std::int32_t lcid) {
    const std::int32_t language = lcid & 0x3FF;
    int number = 1252;
    for (std::int32_t cyrillic : kCyrillicLcids) {
        if (lcid == cyrillic)
            return *CodePage::FromNumber(1251);
    }
    if (language == kChinese) {
        number = 936;
        for (std::int32_t traditional : kTraditionalChinese) {
            if (lcid == traditional)
                number = 950;
        }
    }
    for (const LanguageAnsi& entry : kLanguageCodePages) {
        if (entry.primary == language)
            number = entry.codePage;
    }
    return CodePage::FromNumber(number).value_or(CodePage::Windows1252);
}

Result<CodePage> ChooseAnsiCodePage(const EnvLookup& env) {
    const std::optional<std::string> named = NonEmptyVariable(env, "CORVANE_ANSI_CODEPAGE");
    Result<CodePage> codePage = named ? CodePageFromName(*named) : AnsiCodePageOfLcid(UserDefaultLCID(env));
    // Windows says its ANSI code page itself; a locale named in the environment still decides, as above
    const bool localeNamed = NonEmptyVariable(env, "LC_ALL") || NonEmptyVariable(env, "LC_MESSAGES") ||
                             NonEmptyVariable(env, "LANG");
    if (!named && !localeNamed) {
        if (const std::optional<int> system = SystemAnsiCodePage()) {
            if (std::optional<CodePage> known = CodePage::FromNumber(*system))
                codePage = *known;
        }
    }
    if (!codePage)
        return fail(ErrorKind::Refused, "CORVANE_ANSI_CODEPAGE: " + codePage.error());
    // without its converter every name would be read wrongly, and silently
    if (!CanConvert(*codePage))
        return fail(ErrorKind::Refused, "This system cannot convert code page " +
                                            std::to_string(codePage->number()) +
                                            ": the C library's converter for it (gconv) is not installed.");
    return codePage;
}

} // namespace corvane

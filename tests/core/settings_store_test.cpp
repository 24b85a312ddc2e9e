// the settings store: its errors, addressing, typed values, text round trips and damaged files
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings_format.h"
#include "core/settings_store.h"
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
    std::sort(names.begin(), names.end());
    return names;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    std::string MachineFile() const { return m_folder.Path("data/machine.settings"); }
    std::string UserFile() const { return m_folder.Path("config/user.settings"); }
    SettingsStore Store() const { return SettingsStore(SettingsLocation{MachineFile(), UserFile()}); }

    testing::ScratchFolder m_folder;
};

constexpr std::int32_t kAppNameError = -2147220504; // 0x800403E8
constexpr std::int32_t kAccessDenied = -2147219499; // 0x800407D5

struct ValidationCase {
    const char* name;
    std::string appName, section, key;
    bool read;
    std::int32_t number;
    std::string description;
};
void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.name; }

class SettingsStoreValidation : public SettingsStoreTest, public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(SettingsStoreValidation, FirstFailureWins)
{
    const ValidationCase& c = GetParam();
    SettingsStore store = Store();
    SettingsError error{};
    if (c.read) {
        SettingsResult result = store.RegGetSetting(c.appName, c.section, c.key, "d", true);
        ASSERT_FALSE(result.ok());
        error = result.error();
    } else {
        std::optional<SettingsError> result = store.RegSaveSetting(c.appName, c.section, c.key, "v", true);
        ASSERT_TRUE(result);
        error = *result;
    }
    EXPECT_EQ(error.number, c.number);
    EXPECT_EQ(error.description, c.description);
    EXPECT_FALSE(fs::exists(MachineFile()));
}

INSTANTIATE_TEST_SUITE_P(
    SettingsStore, SettingsStoreValidation,
    ::testing::Values(
        ValidationCase{"app_first_on_write", "  ", "", "", false, kAppNameError, "AppName doit être renseigné"},
        ValidationCase{"app_first_on_read", "", " ", " ", true, kAppNameError, "AppName doit être renseigné"},
        ValidationCase{"section_on_write", "Corvane", "   ", "", false, -2147220503, "Section doit être renseigné"},
        ValidationCase{"section_on_read", "Corvane", "", "LastDir", true, -2147220503,
                       "Section doit être renseigné"},
        ValidationCase{"key_on_write", "Corvane", "Files", " ", false, -2147220502, "Key doit être renseigné"},
        ValidationCase{"key_on_read_two_spaces", "Corvane", "Files", "", true, -2147220502,
                       "Key  doit être renseigné"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsStoreTest, DefaultsWhenNothingStored)
{
    SettingsStore store = Store();
    SettingsResult nothing = store.RegGetSetting("Corvane", "Files", "LastDir", "none", true);
    ASSERT_TRUE(nothing.ok());
    EXPECT_EQ(nothing.value(), "none");

    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "Other", "x", true));
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "none", true).value(), "none");
    EXPECT_EQ(store.RegGetSetting("Corvane", "Paths", "Other", "none", true).value(), "none");
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "Other", "none", false).value(), "none");
    EXPECT_FALSE(fs::exists(UserFile()));
    EXPECT_FALSE(store.TakeNotice());
}

TEST_F(SettingsStoreTest, AddressingTrimsNamesButNotTheKey)
{
    SettingsStore store = Store();
    ASSERT_FALSE(store.RegSaveSetting("  Corvane  ", " Files", "LastDir", "/b/", true));
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "", true).value(), "/b/");
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", " LastDir", "none", true).value(), "none");
    // names compare without case, as in the registry
    EXPECT_EQ(store.RegGetSetting("CORVANE", "files", "lastdir", "", true).value(), "/b/");

    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", " LastDir", "spaced", true));
    ASSERT_FALSE(store.RegSaveSetting("corvane", "FILES", "LASTDIR", "/c/", true));
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "", true).value(), "/c/");
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", " LastDir", "", true).value(), "spaced");

    Result<SettingsDocument> document = SettingsDocument::Parse(ReadBytes(MachineFile()));
    ASSERT_TRUE(document) << document.error();
    ASSERT_EQ(document->keys().size(), 1u);
    EXPECT_EQ(document->keys()[0].path, "SOFTWARE\\Corvane\\Settings\\Files");
    EXPECT_EQ(document->keys()[0].values.size(), 2u);
}

TEST_F(SettingsStoreTest, RootsAreSeparateFiles)
{
    SettingsStore store = Store();
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", "machine", true));
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", "user", false));
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "", true).value(), "machine");
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "", false).value(), "user");
    // a second store over the same files sees the same values
    EXPECT_EQ(Store().RegGetSetting("Corvane", "Files", "LastDir", "", false).value(), "user");
}

class SettingsStoreRoundTrip : public SettingsStoreTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(SettingsStoreRoundTrip, ValueComesBackUnchanged)
{
    const std::string& text = GetParam();
    SettingsStore store = Store();
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", "first", true));
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", text, true));
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", text.empty() ? "k" : text, text, true));
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "default", true).value(), text);
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", text.empty() ? "k" : text, "default", true).value(), text);

    // one line per key and value, none of them carrying raw control bytes
    const std::string file = ReadBytes(MachineFile());
    for (char c : file) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(c == '\n' || (byte >= 0x20 && byte != 0x7F)) << "byte " << int(byte);
    }
    EXPECT_TRUE(SettingsDocument::Parse(file));
}

INSTANTIATE_TEST_SUITE_P(SettingsStore, SettingsStoreRoundTrip,
                         ::testing::Values(std::string(), std::string("C:\\Backups\\"),
                                           std::string("/home/ann/Billing/Sources.Backup/"),
                                           std::string("two\nlines\r\nand\rmore"),
                                           std::string("quote \" and \\\" and \\x41"),
                                           std::string("caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80"),
                                           std::string("not utf-8: \xE9\xFF\xC3"), std::string("\x01\x7F\t", 3),
                                           std::string("nul\0inside", 10), std::string("[\"SOFTWARE\"]"),
                                           std::string("\"v\"=1:\"x\""), std::string("; comment"),
                                           std::string(5000, 'z'), std::string("  padded  ")));

TEST_F(SettingsStoreTest, ValuesOfOtherTypesAreErrors)
{
    m_folder.Write("data/machine.settings", "[\"SOFTWARE\\\\Corvane\\\\Settings\\\\Files\"]\n"
                                            "\"LastDir\"=4:\"*\\x00\\x00\\x00\"\n"
                                            "\"Expand\"=2:\"%HOME%\"\n"
                                            "\"Odd\"=77:\"\\xFF\"\n");
    SettingsStore store = Store();
    const std::string typeText = "Les données de la clef de registre ne sont pas une chaine de caractères";
    struct {
        const char* key;
        std::int32_t number;
    } cases[] = {{"LastDir", -2147219500 /* 0x800407D4 */},
                 {"Expand", -2147219502 /* 0x800407D2 */},
                 {"Odd", -2147219427 /* 0x800407D0 + 77 */}};
    for (const auto& c : cases) {
        SettingsResult result = store.RegGetSetting("Corvane", "Files", c.key, "", true);
        ASSERT_FALSE(result.ok()) << c.key;
        EXPECT_EQ(result.error().number, c.number) << c.key;
        EXPECT_EQ(result.error().description, typeText);
    }

    // writing another value keeps the typed ones as they were
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "New", "n", true));
    const std::string file = ReadBytes(MachineFile());
    EXPECT_NE(file.find("\"LastDir\"=4:\"*\\x00\\x00\\x00\"\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\"Odd\"=77:\"\\xFF\"\n"), std::string::npos) << file;
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "Odd", "", true).error().number, -2147219427);

    // writing text over a typed value makes it text
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", "/x/", true));
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "", true).value(), "/x/");
}

TEST_F(SettingsStoreTest, DamagedFileSetAsideOnRead)
{
    const std::string damaged = "[\"SOFTWARE\\\\Corvane\\\\Settings\\\\Files\"]\n\"LastDir\"=1:\"/cut";
    m_folder.Write("data/machine.settings", damaged);
    SettingsStore store = Store();
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "dflt", true).value(), "dflt");
    std::optional<std::string> notice = store.TakeNotice();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->find("machine.settings.corrupt-"), std::string::npos) << *notice;
    EXPECT_FALSE(store.TakeNotice());

    std::vector<std::string> names = NamesIn(m_folder.Path("data"));
    ASSERT_EQ(names.size(), 2u); // the set-aside file and the lock file
    EXPECT_EQ(names[0].rfind("machine.settings.corrupt-", 0), 0u);
    EXPECT_EQ(names[0].size(), std::string("machine.settings.corrupt-").size() + 14);
    EXPECT_EQ(names[1], "machine.settings.lock");
    EXPECT_EQ(ReadBytes(m_folder.Path("data/" + names[0])), damaged);

    // the store starts again empty and works
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", "/new/", true));
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "", true).value(), "/new/");
    EXPECT_FALSE(store.TakeNotice());
}

TEST_F(SettingsStoreTest, DamagedFileSetAsideOnWrite)
{
    SettingsStore store = Store();
    for (int round = 0; round < 2; ++round) {
        m_folder.Write("data/machine.settings", "garbage " + std::to_string(round));
        ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", "/w/", true));
        ASSERT_TRUE(store.TakeNotice());
    }
    EXPECT_EQ(store.RegGetSetting("Corvane", "Files", "LastDir", "", true).value(), "/w/");
    // two set-aside files in the same second get distinct names
    EXPECT_EQ(NamesIn(m_folder.Path("data")).size(), 4u);
}

TEST_F(SettingsStoreTest, UnusableFilesGiveStatusFive)
{
    // a regular file where the store's folder should be: nothing can be created, whoever runs this
    m_folder.Write("data", "not a folder");
    SettingsStore store = Store();
    std::optional<SettingsError> error = store.RegSaveSetting("Corvane", "Files", "LastDir", "/x/", true);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, kAccessDenied);
    EXPECT_EQ(error->description, "Impossible d'ouvrir ou de créer la clef de registre");
    EXPECT_EQ(ReadBytes(m_folder.Path("data")), "not a folder");

    // a folder where the file should be cannot be read
    fs::create_directories(UserFile());
    SettingsResult read = store.RegGetSetting("Corvane", "Files", "LastDir", "", false);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().number, kAccessDenied);
    EXPECT_EQ(read.error().description, "Impossible d'ouvrir cette clef de registre");
}

struct DamageCase {
    const char* name;
    std::string text;
};
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class SettingsFormatDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(SettingsFormatDamage, Rejected)
{
    Result<SettingsDocument> parsed = SettingsDocument::Parse(GetParam().text);
    ASSERT_FALSE(parsed);
    EXPECT_EQ(parsed.error().rfind("line ", 0), 0u) << parsed.error();
}

const std::string kKey = "[\"K\"]\n";

INSTANTIATE_TEST_SUITE_P(
    SettingsStore, SettingsFormatDamage,
    ::testing::Values(DamageCase{"key_unclosed", "[\"K\"\n"}, DamageCase{"key_unquoted", "[K]\n"},
                      DamageCase{"key_trailing", "[\"K\"] x\n"}, DamageCase{"value_first", "\"v\"=1:\"x\"\n"},
                      DamageCase{"type_missing", kKey + "\"v\"=:\"x\"\n"},
                      DamageCase{"type_letters", kKey + "\"v\"=sz:\"x\"\n"},
                      DamageCase{"type_too_big", kKey + "\"v\"=4294967296:\"x\"\n"},
                      DamageCase{"data_unterminated", kKey + "\"v\"=1:\"x\n"},
                      DamageCase{"data_bad_escape", kKey + "\"v\"=1:\"\\q\"\n"},
                      DamageCase{"data_short_hex", kKey + "\"v\"=1:\"\\x4\"\n"},
                      DamageCase{"data_trailing", kKey + "\"v\"=1:\"x\" \n"},
                      DamageCase{"key_twice", kKey + "[\"k\"]\n"},
                      DamageCase{"value_twice", kKey + "\"v\"=1:\"x\"\n\"V\"=1:\"y\"\n"},
                      DamageCase{"stray_line", kKey + "hello\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct QuoteCase {
    std::string bytes;
    std::string quoted;
};
void PrintTo(const QuoteCase& c, std::ostream* os) { *os << c.quoted; }

class SettingsFormatQuote : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(SettingsFormatQuote, EscapesAllButValidUtf8)
{
    EXPECT_EQ(QuoteSettingsText(GetParam().bytes), GetParam().quoted);
    Result<SettingsDocument> back = SettingsDocument::Parse("[\"K\"]\n\"v\"=1:" + GetParam().quoted + "\n");
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->FindValue("K", "v")->data, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsStore, SettingsFormatQuote,
    ::testing::Values(QuoteCase{"plain / text", "\"plain / text\""},
                      QuoteCase{"\\ \" \n\r\t", "\"\\\\ \\\" \\n\\r\\t\""},
                      QuoteCase{std::string("\0\x1F\x7F", 3), "\"\\x00\\x1F\\x7F\""},
                      QuoteCase{"\xC3\xA9\xE2\x82\xAC\xF4\x8F\xBF\xBF", "\"\xC3\xA9\xE2\x82\xAC\xF4\x8F\xBF\xBF\""},
                      QuoteCase{"\xC0\x80", "\"\\xC0\\x80\""},                 // overlong
                      QuoteCase{"\xE0\x80\x80", "\"\\xE0\\x80\\x80\""},      // overlong
                      QuoteCase{"\xED\xA0\x80", "\"\\xED\\xA0\\x80\""},      // surrogate
                      QuoteCase{"\xF4\x90\x80\x80", "\"\\xF4\\x90\\x80\\x80\""}, // beyond U+10FFFF
                      QuoteCase{"\xF5\x80", "\"\\xF5\\x80\""},
                      QuoteCase{"\xE2\x82", "\"\\xE2\\x82\""},               // cut short
                      QuoteCase{"\xC3\xA9\xC3", "\"\xC3\xA9\\xC3\""}));

TEST(SettingsStore, FormatAcceptsCommentsAndCrLf)
{
    Result<SettingsDocument> parsed =
        SettingsDocument::Parse("; note\r\n\r\n[\"A\\\\B\"]\r\n\"v\"=1:\"x\\ty\"\r\n\"w\"=4294967295:\"\"");
    ASSERT_TRUE(parsed) << parsed.error();
    ASSERT_TRUE(parsed->FindValue("a\\b", "V"));
    EXPECT_EQ(parsed->FindValue("A\\B", "v")->data, "x\ty");
    EXPECT_EQ(parsed->FindValue("A\\B", "w")->type, 4294967295u);
    EXPECT_EQ(SettingsDocument::Parse(parsed->Serialize())->Serialize(), parsed->Serialize());
}

} // namespace
} // namespace corvane

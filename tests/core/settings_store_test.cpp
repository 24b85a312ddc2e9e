// the settings store: its errors, addressing, typed values, text round trips and damaged files
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings_format.h"
#include "core/settings_store.h"
#include "file_snapshot.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::FileNamesIn;

constexpr std::int32_t kAccessDenied = -2147219499; // 0x800407D5

class SettingsStoreTest : public ::testing::Test {
protected:
    std::string MachineFile() const { return m_folder.Path("data/machine.settings"); }
    SettingsStore Store() const {
        return SettingsStore(SettingsLocation{MachineFile(), m_folder.Path("config/user.settings")});
    }
    std::string Get(SettingsStore& store, const std::string& key, bool machine = true) {
        SettingsResult result = store.RegGetSetting("Corvane", "Files", key, "default", machine);
        return result.ok() ? result.value() : "error " + std::to_string(result.error().number);
    }

    testing::ScratchFolder m_folder;
};

struct ValidationCase {
    std::string appName, section, key;
    bool read;
    std::int32_t number;
    std::string description;
};
void PrintTo(const ValidationCase& c, std::ostream* os) {
    *os << c.description;
}

class SettingsStoreValidation : public SettingsStoreTest,
                                public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(SettingsStoreValidation, FirstFailureWins) {
    const ValidationCase& c = GetParam();
    SettingsStore store = Store();
    const SettingsError error = c.read ? store.RegGetSetting(c.appName, c.section, c.key, "d", true).error()
                                       : store.RegSaveSetting(c.appName, c.section, c.key, "v", true).value();
    EXPECT_EQ(error.number, c.number);
    EXPECT_EQ(error.description, c.description);
    EXPECT_FALSE(fs::exists(MachineFile()));
}

INSTANTIATE_TEST_SUITE_P(
    SettingsStore, SettingsStoreValidation,
    ::testing::Values(ValidationCase{"  ", "", "", false, -2147220504, "AppName doit être renseigné"},
                      ValidationCase{"", " ", " ", true, -2147220504, "AppName doit être renseigné"},
                      ValidationCase{"Corvane", "   ", "", false, -2147220503, "Section doit être renseigné"},
                      ValidationCase{"Corvane", "", "LastDir", true, -2147220503,
                                     "Section doit être renseigné"},
                      ValidationCase{"Corvane", "Files", " ", false, -2147220502, "Key doit être renseigné"},
                      ValidationCase{"Corvane", "Files", "", true, -2147220502, "Key  doit être renseigné"}));

TEST_F(SettingsStoreTest, DefaultsAndAddressing) {
    SettingsStore store = Store();
    EXPECT_EQ(Get(store, "LastDir"), "default"); // no file yet
    ASSERT_FALSE(store.RegSaveSetting("  Corvane  ", " Files", "LastDir", "/b/", true));
    EXPECT_EQ(Get(store, "LastDir"), "/b/");
    EXPECT_EQ(Get(store, " LastDir"), "default"); // the key is not trimmed
    EXPECT_EQ(Get(store, "LastDir", false), "default");
    EXPECT_EQ(store.RegGetSetting("Corvane", "Other", "LastDir", "default", true).value(), "default");

    // names compare without case, as in the registry
    ASSERT_FALSE(store.RegSaveSetting("corvane", "FILES", "LASTDIR", "/c/", true));
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", " LastDir", "spaced", true));
    EXPECT_EQ(Get(store, "lastdir"), "/c/");
    EXPECT_EQ(Get(store, " LastDir"), "spaced");
    Result<SettingsDocument> document = SettingsDocument::Parse(FileBytes(MachineFile()));
    ASSERT_TRUE(document) << document.error();
    ASSERT_EQ(document->keys().size(), 1u);
    EXPECT_EQ(document->keys()[0].path, "SOFTWARE\\Corvane\\Settings\\Files");
    EXPECT_EQ(document->keys()[0].values.size(), 2u);
    EXPECT_FALSE(store.TakeNotice());
}

class SettingsStoreRoundTrip : public SettingsStoreTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(SettingsStoreRoundTrip, ValueAndNameComeBackUnchanged) {
    const std::string& text = GetParam();
    SettingsStore store = Store();
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", text, true));
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "n" + text, text, true));
    EXPECT_EQ(Get(store, "LastDir"), text);
    EXPECT_EQ(Get(store, "n" + text), text);
    // no raw control bytes (one line per key and value), no byte that never occurs in UTF-8
    EXPECT_EQ(FileBytes(MachineFile()).find_first_of("\xC0\xC1\xF5\xFF"), std::string::npos);
    for (char c : FileBytes(MachineFile()))
        EXPECT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)) << int(c);
}

INSTANTIATE_TEST_SUITE_P(SettingsStore, SettingsStoreRoundTrip,
                         ::testing::Values(std::string(), std::string("C:\\Backups\\"),
                                           std::string("two\nlines\r\nand\rmore\tend"),
                                           std::string("quote \" and \\\" and \\x41"),
                                           std::string("caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80"),
                                           std::string("not utf-8: \xE9\xFF\xC0\x80\xED\xA0\x80\xC3"),
                                           std::string("nul\0\x7F", 5), std::string("[\"K\"]\n\"v\"=1:\"x\""),
                                           std::string(5000, 'z')));

TEST_F(SettingsStoreTest, ValuesOfOtherTypesAreErrorsAndKept) {
    m_folder.Write("data/machine.settings", "[\"SOFTWARE\\\\Corvane\\\\Settings\\\\Files\"]\n"
                                            "\"LastDir\"=4:\"*\\x00\\x00\\x00\"\n\"Odd\"=77:\"\\xFF\"\n");
    SettingsStore store = Store();
    SettingsResult dword = store.RegGetSetting("Corvane", "Files", "LastDir", "", true);
    ASSERT_FALSE(dword.ok());
    EXPECT_EQ(dword.error().number, -2147219500); // 0x800407D4
    EXPECT_EQ(dword.error().description,
              "Les données de la clef de registre ne sont pas une chaine de caractères");
    EXPECT_EQ(Get(store, "Odd"), "error " + std::to_string(-2147219427)); // 0x800407D0 + 77

    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "New", "n", true));
    EXPECT_NE(FileBytes(MachineFile()).find("\"Odd\"=77:\"\\xFF\"\n"), std::string::npos);
    ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", "/x/", true));
    EXPECT_EQ(Get(store, "LastDir"), "/x/");
}

TEST_F(SettingsStoreTest, DamagedFileSetAside) {
    const std::string damaged = "[\"SOFTWARE\\\\Corvane\\\\Settings\\\\Files\"]\n\"LastDir\"=1:\"/cut";
    m_folder.Write("data/machine.settings", damaged);
    SettingsStore store = Store();
    EXPECT_EQ(Get(store, "LastDir"), "default");
    std::optional<std::string> notice = store.TakeNotice();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->find("machine.settings.corrupt-"), std::string::npos) << *notice;
    EXPECT_FALSE(store.TakeNotice());
    std::vector<std::string> names = FileNamesIn(m_folder.Path("data"));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].size(), std::string("machine.settings.corrupt-").size() + 14) << names[0];
    EXPECT_EQ(FileBytes(m_folder.Path("data/" + names[0])), damaged);
    EXPECT_EQ(names[1], "machine.settings.lock");

    // damage found by a write, twice in the same second: distinct names, the new value stored
    for (const char* garbage : {"garbage", "more garbage"}) {
        m_folder.Write("data/machine.settings", garbage);
        ASSERT_FALSE(store.RegSaveSetting("Corvane", "Files", "LastDir", "/w/", true));
        EXPECT_TRUE(store.TakeNotice());
    }
    EXPECT_EQ(Get(store, "LastDir"), "/w/");
    EXPECT_EQ(FileNamesIn(m_folder.Path("data")).size(), 5u);
}

TEST_F(SettingsStoreTest, UnusableFilesGiveStatusFive) {
    m_folder.Write("data", "not a folder");   // nothing can be made below it, whoever runs this
    m_folder.Write("config/user.settings/x"); // a folder where the file should be cannot be read
    SettingsStore store = Store();
    std::optional<SettingsError> error = store.RegSaveSetting("Corvane", "Files", "LastDir", "/x/", true);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, kAccessDenied);
    EXPECT_EQ(error->description, "Impossible d'ouvrir ou de créer la clef de registre");
    SettingsResult read = store.RegGetSetting("Corvane", "Files", "LastDir", "", false);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().number, kAccessDenied);
    EXPECT_EQ(read.error().description, "Impossible d'ouvrir cette clef de registre");
}

class SettingsFormatDamage : public ::testing::TestWithParam<std::string> {};

TEST_P(SettingsFormatDamage, Rejected) {
    EXPECT_FALSE(SettingsDocument::Parse("; ok\n" + GetParam()));
}

INSTANTIATE_TEST_SUITE_P(SettingsStore, SettingsFormatDamage,
                         ::testing::Values("[\"K\"\n", "[K]\n", "\"v\"=1:\"x\"\n",
                                           "[\"K\"]\n\"v\"=sz:\"x\"\n", "[\"K\"]\n\"v\"=4294967296:\"x\"\n",
                                           "[\"K\"]\n\"v\"=1:\"x\n", "[\"K\"]\n\"v\"=1:\"\\q\"\n",
                                           "[\"K\"]\n\"v\"=1:\"\\x4\"\n", "[\"K\"]\n\"v\"=1:\"x\" \n",
                                           "[\"K\"]\n[\"k\"]\n", "[\"K\"]\n\"v\"=1:\"x\"\n\"V\"=1:\"y\"\n",
                                           "[\"K\"]\nhello\n"));

} // namespace
} // namespace corvane

// the settings store, also between processes and when the system refuses to take a new file
#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

#include "core/settings/format.h"
#include "core/settings/settings.h"
#include "support/child_process.h"
#include "support/scratch_folder.h"

namespace corvane {
namespace {

using namespace corvane::testing;

const std::string kFilesKey = "[\"SOFTWARE\\\\Corvane\\\\Settings\\\\Files\"]\n";

class SettingsStoreTest : public ::testing::Test {
protected:
    // a value, an error as its number and text, or "" for a save that worked
    static std::string Text(const SettingsError& e) { return std::to_string(e.number) + " " + e.description; }
    static std::string Text(const SettingsResult& r) { return r.ok() ? r.value() : Text(r.error()); }
    static std::string Text(const std::optional<SettingsError>& error) { return error ? Text(*error) : ""; }
    std::string Get(const std::string& key, bool machine = true) {
        return Text(m_store.RegGetSetting("Corvane", "Files", key, "default", machine));
    }
    std::string Save(const std::string& key, const std::string& value, bool machine = true) {
        return Text(m_store.RegSaveSetting("Corvane", "Files", key, value, machine));
    }
    std::string Machine() const { return ReadFile(m_machineFile); }

    ScratchFolder m_folder;
    std::string m_machineFile = m_folder.Path("data/machine.settings");
    SettingsStore m_store{SettingsLocation{m_machineFile, m_folder.Path("config/user.settings")}};
};

// the first failing name wins; a folder where the file should be cannot be opened; a value that is no text
// is an error of its own type
TEST_F(SettingsStoreTest, ErrorNumbersAndTexts) {
    const struct {
        bool read;
        std::string appName, section, key, expected;
    } cases[] = {{false, "  ", "", "", "-2147220504 AppName doit être renseigné"},
                 {false, "Corvane", "   ", "", "-2147220503 Section doit être renseigné"},
                 {false, "Corvane", "Files", " ", "-2147220502 Key doit être renseigné"},
                 {true, "Corvane", "Files", "", "-2147220502 Key  doit être renseigné"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.read ? Text(m_store.RegGetSetting(c.appName, c.section, c.key, "d", true))
                         : Text(m_store.RegSaveSetting(c.appName, c.section, c.key, "v", true)),
                  c.expected);
    EXPECT_FALSE(std::filesystem::exists(m_machineFile));
    m_folder.Write("config/user.settings/x");
    EXPECT_EQ(Get("LastDir", false), "-2147219499 Impossible d'ouvrir cette clef de registre");
    // no home folder to keep a store in: nothing stored, and nothing written in the current folder
    SettingsStore nowhere{SettingsLocation{}};
    EXPECT_EQ(Text(nowhere.RegGetSetting("Corvane", "Files", "LastDir", "d", true)), "d");
    EXPECT_EQ(Text(nowhere.RegSaveSetting("Corvane", "Files", "LastDir", "/b", true)),
              "-2147219499 Impossible d'ouvrir ou de créer la clef de registre");
    // values of other types are errors, and kept when the file is written again
    m_folder.Write("data/machine.settings",
                   kFilesKey + "\"LastDir\"=4:\"*\\x00\\x00\\x00\"\n\"Odd\"=77:\"\\xFF\"\n");
    const std::string notText = " Les données de la clef de registre ne sont pas une chaine de caractères";
    EXPECT_EQ(Get("LastDir"), "-2147219500" + notText); // 0x800407D0 + the type
    EXPECT_EQ(Get("Odd"), "-2147219427" + notText);
    ASSERT_EQ(Save("New", "n") + Save("LastDir", "/x/"), "");
    EXPECT_NE(Machine().find("\"Odd\"=77:\"\\xFF\"\n"), std::string::npos);
    EXPECT_EQ(Get("LastDir"), "/x/");
}

TEST_F(SettingsStoreTest, DefaultsAndAddressing) {
    EXPECT_EQ(Get("LastDir"), "default"); // no file yet
    ASSERT_EQ(Text(m_store.RegSaveSetting("  Corvane  ", " Files", "LastDir", "/b/", true)), "");
    EXPECT_EQ(Get("LastDir", false) + Text(m_store.RegGetSetting("Corvane", "Other", "LastDir", "d", true)),
              "defaultd");
    // names compare without case, as in the registry; the key is not trimmed
    ASSERT_EQ(Text(m_store.RegSaveSetting("corvane", "FILES", "LASTDIR", "/c/", true)), "");
    ASSERT_EQ(Save(" LastDir", "spaced"), "");
    EXPECT_EQ(Get("lastdir") + "|" + Get(" LastDir"), "/c/|spaced");
    EXPECT_NE(Machine().find(kFilesKey), std::string::npos) << Machine();
    EXPECT_FALSE(m_store.TakeNotice());
    // the same value again leaves the file as it is (no new file, no flush); any other value replaces it
    struct stat first {}, again {}, changed {};
    ASSERT_EQ(::stat(m_machineFile.c_str(), &first), 0);
    ASSERT_EQ(Save("LastDir", "/c/"), "");
    ASSERT_EQ(::stat(m_machineFile.c_str(), &again), 0);
    EXPECT_EQ(again.st_ino, first.st_ino);
    ASSERT_EQ(Save("lastdir", "/c"), "");
    ASSERT_EQ(::stat(m_machineFile.c_str(), &changed), 0);
    EXPECT_NE(changed.st_ino, first.st_ino);
    EXPECT_EQ(Get("LastDir"), "/c");
}

// values and names come back unchanged; the file keeps one line per value and no byte UTF-8 never holds
TEST_F(SettingsStoreTest, AnyTextRoundTrips) {
    for (const std::string& text :
         {std::string(), std::string("two\nlines\r\nand\rmore\tend"),
          std::string("quote \" and \\\" and \\x41"),
          std::string("caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80"),
          std::string("not utf-8: \xE9\xFF\xC0\x80\xED\xA0\x80\xC3"), std::string("nul\0\x7F", 5),
          std::string("[\"K\"]\n\"v\"=1:\"x\""), std::string(5000, 'z')}) {
        ASSERT_EQ(Save("LastDir", text) + Save("n" + text, text), "");
        EXPECT_EQ(Get("LastDir"), text);
        EXPECT_EQ(Get("n" + text), text);
        EXPECT_EQ(Machine().find_first_of("\xC0\xC1\xF5\xFF"), std::string::npos) << text;
        for (char c : Machine())
            ASSERT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)) << int(c);
    }
}

TEST_F(SettingsStoreTest, DamagedFileSetAside) {
    const std::string damaged = kFilesKey + "\"LastDir\"=1:\"/cut";
    m_folder.Write("data/machine.settings", damaged);
    EXPECT_EQ(Get("LastDir"), "default");
    EXPECT_NE(m_store.TakeNotice().value_or("").find("machine.settings.corrupt-"), std::string::npos);
    EXPECT_FALSE(m_store.TakeNotice());
    const std::vector<std::string> names = FileNamesIn(m_folder.Path("data"));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(ReadFile(m_folder.Path("data/" + names[0])), damaged);
    // damage found by a write, twice in the same second: distinct names, the new value stored
    for (const char* garbage : {"garbage", "more garbage"}) {
        m_folder.Write("data/machine.settings", garbage);
        ASSERT_EQ(Save("LastDir", "/w/"), "");
        EXPECT_TRUE(m_store.TakeNotice());
    }
    EXPECT_EQ(Get("LastDir"), "/w/");
    EXPECT_EQ(FileNamesIn(m_folder.Path("data")).size(), 5u);
}

TEST(SettingsFormat, DamageIsRejected) {
    for (const char* damage :
         {"[\"K\"\n", "[K]\n", "\"v\"=1:\"x\"\n", "[\"K\"]\n\"v\"=sz:\"x\"\n",
          "[\"K\"]\n\"v\"=4294967296:\"x\"\n", "[\"K\"]\n\"v\"=1:\"x\n", "[\"K\"]\n\"v\"=1:\"\\q\"\n",
          "[\"K\"]\n\"v\"=1:\"\\x4\"\n", "[\"K\"]\n\"v\"=1:\"x\" \n", "[\"K\"]\n[\"k\"]\n",
          "[\"K\"]\n\"v\"=1:\"x\"\n\"V\"=1:\"y\"\n", "[\"K\"]\nhello\n"})
        EXPECT_FALSE(SettingsDocument::Parse(std::string("; ok\n") + damage)) << damage;
}

// On a memory file system when there is one, so that the many flushes measure the store and not the disk.
class SettingsStorePosix : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(::mkdtemp(m_folder.data()), nullptr); }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string m_folder = fs::is_directory("/dev/shm") ? "/dev/shm/corvane-XXXXXX" : "/tmp/corvane-XXXXXX";
    SettingsLocation Where() const { return {m_folder + "/machine.settings", m_folder + "/user.settings"}; }
};

TEST_F(SettingsStorePosix, EightProcessesWriteAtOnce) {
    constexpr int kChildren = 8, kWrites = 200;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int child = 0; child < kChildren; ++child) {
        children.push_back(StartChild([&, child] {
            ::close(start[1]);
            char byte;
            (void)::read(start[0], &byte, 1); // returns when the parent closes its end: all start together
            // only this child writes its key: reading back anything else means a stale copy was written
            SettingsStore store(Where());
            const std::string key = "Child" + std::to_string(child);
            for (int i = 0; i < kWrites; ++i) {
                const std::string value = key + "/" + std::to_string(i) + "\n\"x\"";
                SettingsResult back = store.RegSaveSetting("Corvane", "Files", key, value, true)
                                          ? SettingsResult(SettingsError{})
                                          : store.RegGetSetting("Corvane", "Files", key, "", true);
                if (!back.ok() || back.value() != value)
                    return 1;
            }
            return store.TakeNotice() ? 2 : 0;
        }));
    }
    ::close(start[0]);
    ::close(start[1]);
    for (pid_t pid : children)
        EXPECT_EQ(ExitCodeOf(pid), 0);
    Result<SettingsDocument> document = SettingsDocument::Parse(ReadFile(Where().localMachineFile));
    ASSERT_TRUE(document && document->keys().size() == 1u);
    EXPECT_EQ(document->keys()[0].values.size(), static_cast<std::size_t>(kChildren));
    EXPECT_EQ(FileNamesIn(m_folder), (std::vector<std::string>{"machine.settings", "machine.settings.lock"}));
}

// A folder the process cannot write, with the lock file there (creating the new file fails) or without it
// (creating the lock fails); or files limited to 512 bytes, as on a full disk: the write fails, the old
// file stays.
TEST_F(SettingsStoreTest, ARefusedWriteFailsAndKeepsTheOldFile) {
    const std::string folder = m_folder.Path("data");
    for (const auto& [label, withLock, fullDisk] : {std::tuple("ReadOnlyFolder", true, false),
                                                    {"ReadOnlyFolderNoLock", false, false},
                                                    {"FullDisk", true, true}}) {
        SCOPED_TRACE(label);
        ASSERT_EQ(Save("LastDir", "/old/"), "");
        if (!withLock)
            fs::remove(m_machineFile + ".lock");
        const std::string before = Machine();
        const std::vector<std::string> namesBefore = FileNamesIn(folder);
        ASSERT_TRUE(fullDisk || ::chmod(folder.c_str(), 0555) == 0);
        const int code = ExitCodeOf(StartChild([&] {
            const rlimit limit{512, 512};
            if (fullDisk && (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0))
                return 10;
            if (!fullDisk && !DropToNobody())
                return 10;
            return Save("LastDir", std::string(4000, 'n')) !=
                           "-2147219499 Impossible d'ouvrir ou de créer la clef de registre" // 0x800407D5
                       ? 1
                       : Get("LastDir") == "/old/" ? 0 : 2;
        }));
        ::chmod(folder.c_str(), 0755);
        EXPECT_EQ(code, 0);
        EXPECT_EQ(Machine(), before);
        EXPECT_EQ(FileNamesIn(folder), namesBefore);
    }
}

// Each write killed at a random moment: the file parses and holds the value before or after that write.
TEST_F(SettingsStorePosix, KilledWriteLeavesTheOldOrTheNewValue) {
    const auto value = [](int run) {
        return std::string(1 << 16, char('a' + run % 26)) + std::to_string(run);
    };
    const auto save = [this](const std::string& text) {
        return SettingsStore(Where()).RegSaveSetting("Corvane", "Files", "LastDir", text, true);
    };
    ASSERT_FALSE(save(value(0)));
    // the window widens after an early kill and narrows after a late one: kills gather around the rename
    std::mt19937 random(std::random_device{}());
    double windowMicroseconds = 20000;
    std::string current = value(0);
    int kept = 0, replaced = 0;
    for (int run = 1; run < 200; ++run) {
        const std::string next = value(run);
        const long delay = std::uniform_int_distribution<long>(0, long(windowMicroseconds))(random);
        KillDuring([&](const auto& signal) { return signal(), (void)save(next); },
                   std::chrono::microseconds(delay));
        SettingsStore store(Where());
        const SettingsResult read = store.RegGetSetting("Corvane", "Files", "LastDir", "<default>", true);
        ASSERT_EQ(store.TakeNotice(), std::nullopt) << "run " << run;
        ASSERT_TRUE(read.ok()) << "run " << run << ": " << read.error().description;
        ASSERT_TRUE(read.value() == current || read.value() == next)
            << "run " << run << " read another value";
        (read.value() == next ? replaced : kept) += 1;
        windowMicroseconds *= read.value() == next ? 0.9 : 1.1;
        current = read.value();
    }
    EXPECT_GT(kept, 0) << "no kill came before a write was complete";
    EXPECT_GT(replaced, 0) << "no write was let finish";
    // what a kill between creating and renaming the new file leaves, whether or not a kill above did
    std::ofstream(m_folder + "/machine.settings.tmp-Zq81xP") << "half a file";
    ASSERT_FALSE(save("/final/"));
    EXPECT_EQ(FileNamesIn(m_folder), (std::vector<std::string>{"machine.settings", "machine.settings.lock"}));
}

} // namespace
} // namespace corvane

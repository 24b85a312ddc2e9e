// the settings store between processes, and when the system refuses to take a new file
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/settings_format.h"
#include "core/settings_store.h"
#include "scratch_folder.h"

namespace corvane {
namespace {

using namespace corvane::testing;

int ExitCodeOf(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// on a memory file system when there is one, so that the many flushes measure the store and not the disk
std::string MemoryFolder() {
    std::string folder =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm/corvane-XXXXXX" : "/tmp/corvane-XXXXXX";
    return ::mkdtemp(folder.data()) ? folder : std::string();
}

TEST(SettingsStorePosix, EightProcessesWriteAtOnce) {
    constexpr int kChildren = 8, kWrites = 200;
    const std::string folder = MemoryFolder();
    ASSERT_FALSE(folder.empty());
    const SettingsLocation where{folder + "/machine.settings", folder + "/user.settings"};
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int child = 0; child < kChildren; ++child) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(start[1]);
            char byte;
            (void)::read(start[0], &byte, 1); // returns when the parent closes its end: all start together
            // only this child writes its key: reading back anything else means a stale copy was written
            SettingsStore store(where);
            const std::string key = "Child" + std::to_string(child);
            for (int i = 0; i < kWrites; ++i) {
                const std::string value = key + "/" + std::to_string(i) + "\n\"x\"";
                SettingsResult back = store.RegSaveSetting("Corvane", "Files", key, value, true)
                                          ? SettingsResult(SettingsError{})
                                          : store.RegGetSetting("Corvane", "Files", key, "", true);
                if (!back.ok() || back.value() != value)
                    ::_exit(1);
            }
            ::_exit(store.TakeNotice() ? 2 : 0);
        }
        children.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (pid_t pid : children)
        EXPECT_EQ(ExitCodeOf(pid), 0);
    Result<SettingsDocument> document = SettingsDocument::Parse(ReadFile(where.localMachineFile));
    ASSERT_TRUE(document && document->keys().size() == 1u);
    EXPECT_EQ(document->keys()[0].values.size(), static_cast<std::size_t>(kChildren));
    EXPECT_EQ(FileNamesIn(folder), (std::vector<std::string>{"machine.settings", "machine.settings.lock"}));
    std::filesystem::remove_all(folder);
}

// A folder the process cannot write, with the lock file already there (the lock is taken, creating the
// new file fails) or without it (creating the lock file fails); or files limited to 512 bytes, as on a
// full disk. Run in a child: the limits must not reach the test program, nor gtest's assertions the parent.
enum class Refusal { ReadOnlyFolder, ReadOnlyFolderNoLock, FullDisk };

class SettingsStoreRefusedWrite : public ::testing::TestWithParam<Refusal> {};

TEST_P(SettingsStoreRefusedWrite, FailsAndKeepsTheOldFile) {
    ScratchFolder folder;
    const SettingsLocation where{folder.Path("machine.settings"), folder.Path("user.settings")};
    ASSERT_FALSE(SettingsStore(where).RegSaveSetting("Corvane", "Files", "LastDir", "/old/", true));
    if (GetParam() == Refusal::ReadOnlyFolderNoLock)
        std::filesystem::remove(where.localMachineFile + ".lock");
    const std::string before = ReadFile(where.localMachineFile);
    const std::vector<std::string> namesBefore = FileNamesIn(folder.Path());
    const bool fullDisk = GetParam() == Refusal::FullDisk;
    ASSERT_TRUE(fullDisk || ::chmod(folder.Path().c_str(), 0555) == 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit limit{512, 512};
        if (fullDisk && (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0))
            ::_exit(10);
        // an administrator writes anywhere: take the rights of an ordinary account
        if (!fullDisk && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(10);
        SettingsStore store(where);
        std::optional<SettingsError> error =
            store.RegSaveSetting("Corvane", "Files", "LastDir", std::string(4000, 'n'), true);
        if (!error || error->number != -2147219499 || // 0x800407D5
            error->description != "Impossible d'ouvrir ou de créer la clef de registre")
            ::_exit(1);
        SettingsResult old = store.RegGetSetting("Corvane", "Files", "LastDir", "", true);
        ::_exit(old.ok() && old.value() == "/old/" ? 0 : 2);
    }
    const int code = ExitCodeOf(pid);
    ::chmod(folder.Path().c_str(), 0755);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFile(where.localMachineFile), before);
    EXPECT_EQ(FileNamesIn(folder.Path()), namesBefore);
}

// A large value written again and again, each write killed at a random moment after it began: the file
// always parses and holds the value before or after that write, and stray temporaries do not pile up.
TEST(SettingsStorePosix, KilledWriteLeavesTheOldOrTheNewValue) {
    const std::string folder = MemoryFolder();
    ASSERT_FALSE(folder.empty());
    const SettingsLocation where{folder + "/machine.settings", folder + "/user.settings"};
    const auto value = [](int run) { return std::string(1 << 16, char('a' + run % 26)) + std::to_string(run); };
    const auto save = [&where](const std::string& text) {
        return SettingsStore(where).RegSaveSetting("Corvane", "Files", "LastDir", text, true);
    };
    ASSERT_FALSE(save(value(0)));
    // the window the kills are drawn from widens after a kill that came too early and narrows after one
    // that came too late, so that whatever the machine's load they gather around the flush and rename
    std::mt19937 random(std::random_device{}());
    double windowMicroseconds = 20000;
    std::string current = value(0);
    int kept = 0, replaced = 0;
    for (int run = 1; run < 200; ++run) {
        const std::string next = value(run);
        int started[2];
        ASSERT_EQ(::pipe(started), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            (void)::write(started[1], "x", 1);
            ::_exit(save(next) ? 1 : 0);
        }
        char byte;
        ASSERT_EQ(::read(started[0], &byte, 1), 1);
        ::close(started[0]);
        ::close(started[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<long>(0, long(windowMicroseconds))(random)));
        ::kill(pid, SIGKILL);
        ExitCodeOf(pid);
        SettingsStore store(where);
        const SettingsResult read = store.RegGetSetting("Corvane", "Files", "LastDir", "<default>", true);
        ASSERT_EQ(store.TakeNotice(), std::nullopt) << "run " << run;
        ASSERT_TRUE(read.ok()) << "run " << run << ": " << read.error().description;
        ASSERT_TRUE(read.value() == current || read.value() == next) << "run " << run << " read another value";
        (read.value() == next ? replaced : kept) += 1;
        windowMicroseconds *= read.value() == next ? 0.9 : 1.1;
        current = read.value();
    }
    EXPECT_GT(kept, 0) << "no kill came before a write was complete";
    EXPECT_GT(replaced, 0) << "no write was let finish";
    // what a kill between creating and renaming the new file leaves, whether or not a kill above did
    std::ofstream(folder + "/machine.settings.tmp-Zq81xP") << "half a file";
    ASSERT_FALSE(save("/final/"));
    EXPECT_EQ(FileNamesIn(folder), (std::vector<std::string>{"machine.settings", "machine.settings.lock"}));
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(SettingsStorePosix, SettingsStoreRefusedWrite,
                         ::testing::Values(Refusal::ReadOnlyFolder, Refusal::ReadOnlyFolderNoLock,
                                           Refusal::FullDisk));

} // namespace
} // namespace corvane

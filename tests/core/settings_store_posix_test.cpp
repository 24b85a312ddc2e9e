// the settings store between processes, and when the system refuses to take a new file
#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/settings_format.h"
#include "core/settings_store.h"
#include "file_snapshot.h"
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

TEST(SettingsStorePosix, EightProcessesWriteAtOnce) {
    constexpr int kChildren = 8, kWrites = 200;
    // on a memory file system when there is one: 1,600 flushes to a real disk take half a minute
    std::string folder =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm/corvane-XXXXXX" : "/tmp/corvane-XXXXXX";
    ASSERT_TRUE(::mkdtemp(folder.data()));
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
    Result<SettingsDocument> document = SettingsDocument::Parse(FileBytes(where.localMachineFile));
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
    const std::string before = FileBytes(where.localMachineFile);
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
    EXPECT_EQ(FileBytes(where.localMachineFile), before);
    EXPECT_EQ(FileNamesIn(folder.Path()), namesBefore);
}

INSTANTIATE_TEST_SUITE_P(SettingsStorePosix, SettingsStoreRefusedWrite,
                         ::testing::Values(Refusal::ReadOnlyFolder, Refusal::ReadOnlyFolderNoLock,
                                           Refusal::FullDisk));

} // namespace
} // namespace corvane

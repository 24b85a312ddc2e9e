// the settings store between processes, and when the disk refuses to take a new file
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

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

using testing::FileBytes;
using testing::FileNamesIn;

int ExitCodeOf(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs body in a child process and returns its result as the child's exit code; gtest's own
// assertions would not reach the parent from there.
template <typename Body> int RunInChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    return pid < 0 ? -1 : ExitCodeOf(pid);
}

// 0 when the write failed the way a store that cannot be written must fail
int ExpectAccessDenied(const std::optional<SettingsError>& error) {
    if (!error || error->number != -2147219499) // 0x800407D5
        return 1;
    return error->description == "Impossible d'ouvrir ou de créer la clef de registre" ? 0 : 2;
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
            // only this child writes its key: reading back anything but the value just written means
            // another process wrote a stale copy of the file over it
            SettingsStore store(where);
            const std::string key = "Child" + std::to_string(child);
            for (int i = 0; i < kWrites; ++i) {
                const std::string value = key + "/" + std::to_string(i) + "\n\"x\"";
                if (store.RegSaveSetting("Corvane", "Files", key, value, true))
                    ::_exit(1);
                SettingsResult back = store.RegGetSetting("Corvane", "Files", key, "", true);
                if (!back.ok() || back.value() != value)
                    ::_exit(2);
            }
            ::_exit(store.TakeNotice() ? 3 : 0);
        }
        children.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (pid_t pid : children)
        EXPECT_EQ(ExitCodeOf(pid), 0);

    Result<SettingsDocument> document = SettingsDocument::Parse(FileBytes(where.localMachineFile));
    ASSERT_TRUE(document) << document.error();
    ASSERT_EQ(document->keys().size(), 1u);
    EXPECT_EQ(document->keys()[0].values.size(), static_cast<std::size_t>(kChildren));
    EXPECT_EQ(FileNamesIn(folder), (std::vector<std::string>{"machine.settings", "machine.settings.lock"}));
    std::filesystem::remove_all(folder);
}

// The store's folder cannot be written by the process. With the lock file already there, the lock is
// taken and creating the new file fails; without it, creating the lock file fails.
class SettingsStoreReadOnlyFolder : public ::testing::TestWithParam<bool> {};

TEST_P(SettingsStoreReadOnlyFolder, FailsAndKeepsTheOldFile) {
    testing::ScratchFolder folder;
    const std::string storeFolder = folder.Path("store");
    const SettingsLocation where{storeFolder + "/machine.settings", storeFolder + "/user.settings"};
    ASSERT_FALSE(SettingsStore(where).RegSaveSetting("Corvane", "Files", "LastDir", "/old/", true));
    if (!GetParam())
        std::filesystem::remove(where.localMachineFile + ".lock");
    const std::string before = FileBytes(where.localMachineFile);
    const std::vector<std::string> namesBefore = FileNamesIn(storeFolder);
    ASSERT_EQ(::chmod(storeFolder.c_str(), 0555), 0);

    const int code = RunInChild([&] {
        // an administrator writes anywhere: take the rights of an ordinary account
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 10;
        SettingsStore store(where);
        if (const int failed =
                ExpectAccessDenied(store.RegSaveSetting("Corvane", "Files", "LastDir", "/new/", true)))
            return failed;
        SettingsResult old = store.RegGetSetting("Corvane", "Files", "LastDir", "", true);
        return old.ok() && old.value() == "/old/" ? 0 : 4;
    });
    ::chmod(storeFolder.c_str(), 0755);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(FileBytes(where.localMachineFile), before);
    EXPECT_EQ(FileNamesIn(storeFolder), namesBefore);
}

INSTANTIATE_TEST_SUITE_P(SettingsStorePosix, SettingsStoreReadOnlyFolder, ::testing::Bool());

TEST(SettingsStorePosix, FullDiskLeavesOldFileAndNoTemporary) {
    testing::ScratchFolder folder;
    const SettingsLocation where{folder.Path("machine.settings"), folder.Path("user.settings")};
    ASSERT_FALSE(SettingsStore(where).RegSaveSetting("Corvane", "Files", "LastDir", "/old/", true));
    const std::string before = FileBytes(where.localMachineFile);

    const int code = RunInChild([&] {
        // files may grow to 512 bytes only: the new file hits the limit as on a full disk
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{512, 512};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        return ExpectAccessDenied(
            SettingsStore(where).RegSaveSetting("Corvane", "Files", "LastDir", std::string(4000, 'n'), true));
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(FileBytes(where.localMachineFile), before);
    EXPECT_EQ(FileNamesIn(folder.Path()),
              (std::vector<std::string>{"machine.settings", "machine.settings.lock"}));
}

} // namespace
} // namespace corvane

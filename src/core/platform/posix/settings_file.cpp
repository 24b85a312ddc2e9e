// reading, locking and replacing one settings file with POSIX calls
#include "core/platform/settings_file.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

std::string SystemReason() {
    return SystemErrorReason(errno);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int descriptor, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

Result<std::optional<std::string>> ReadSettingsFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno == ENOENT)
            return std::optional<std::string>();
        return fail(ErrorKind::NotReadable, "Cannot read " + path + ": " + SystemReason(), path, errno);
    }
    std::string bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            const std::string reason = SystemReason();
            ::close(descriptor);
            return fail(ErrorKind::NotReadable, "Cannot read " + path + ": " + reason, path, error);
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    return std::optional<std::string>(std::move(bytes));
}

Result<SettingsFileLock> SettingsFileLock::Acquire(const std::string& path) {
    std::error_code ignored; // a folder that cannot be made shows up as the open failing
    std::filesystem::create_directories(FolderOf(path), ignored);
    const std::string lockPath = path + ".lock";
    int descriptor = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0 && errno == EACCES)
        descriptor = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC); // someone else's lock file
    if (descriptor < 0)
        return fail(ErrorKind::NotWritable, "Cannot open " + lockPath + ": " + SystemReason(), lockPath,
                    errno);
    while (::flock(descriptor, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            const std::string reason = SystemReason();
            ::close(descriptor);
            return fail(ErrorKind::Io, "Cannot lock " + lockPath + ": " + reason, lockPath, error);
        }
    }
    return SettingsFileLock(descriptor);
}

void SettingsFileLock::Release() {
    if (m_descriptor >= 0)
        ::close(m_descriptor); // closing the last descriptor releases the lock
    m_descriptor = -1;
}

// mkstemp replaces the six X
constexpr const char* kTemporarySuffix = ".tmp-XXXXXX";

Status ReplaceSettingsFile(const std::string& path, const std::string& bytes) {
    std::string temporary = path + kTemporarySuffix;
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        return fail(ErrorKind::NotWritable, "Cannot create a file beside " + path + ": " + SystemReason(),
                    path, errno);

    // the replacement keeps the permissions of the file it replaces
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool written = ::fchmod(descriptor, mode) == 0 && WriteAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    int error = written ? 0 : errno;
    if (::close(descriptor) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return fail(ErrorKind::NotWritable, "Cannot write " + path + ": " + SystemErrorReason(error), path, error);
    }

    // the rename itself becomes durable once the folder is flushed; the new content is already
    // in place, so a failure here is not worth reporting
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return Status::success();
}

void RemoveStaleSettingsTemporaries(const std::string& path) {
    const std::string pattern = path.substr(path.find_last_of('/') + 1) + kTemporarySuffix;
    const std::size_t stem = pattern.size() - 6;
    std::error_code error;
    for (std::filesystem::directory_iterator it(FolderOf(path), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() == pattern.size() && name.compare(0, stem, pattern, 0, stem) == 0)
            ::unlink(it->path().c_str());
    }
}

Result<std::string> SetSettingsFileAside(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);

    const std::string base = path + ".corrupt-" + stamp;
    std::string target = base;
    struct stat existing {};
    for (int n = 2; ::lstat(target.c_str(), &existing) == 0; ++n)
        target = base + "-" + std::to_string(n);
    if (::rename(path.c_str(), target.c_str()) != 0)
        return fail(ErrorKind::NotWritable, "Cannot rename " + path + ": " + SystemReason(), path, errno);
    return target;
}

} // namespace corvane

// what the archive writer needs from the operating system beyond the standard library
#include "core/platform/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {
namespace {

constexpr off_t kSyncPiece = 1 << 20;

Status FlushFailed(const std::string& path, int error) {
    return fail(ErrorKind::Io, "Could not flush \"" + path + "\" to the disk: " + SystemErrorReason(error) + ".",
                path, error);
}

// Writes the file's data out piece by piece before the one fsync that makes it durable, which then has
// little left to do. Where sync_file_range is missing, the fsync does it all.
Status SyncPieces(int fd, const std::string& path, const std::function<bool(double)>& step) {
#ifdef SYNC_FILE_RANGE_WRITE
    struct stat status {};
    if (!step || ::fstat(fd, &status) != 0)
        return Status::success();
    const unsigned flags = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    for (off_t offset = 0; offset < status.st_size; offset += kSyncPiece) {
        if (::sync_file_range(fd, offset, kSyncPiece, flags) != 0)
            return errno == ENOSYS || errno == EINVAL ? Status::success() : FlushFailed(path, errno);
        // the closing fsync counts as one more piece: on a busy disk it can take as long as several
        if (!step(double(offset + kSyncPiece) / double(status.st_size + kSyncPiece)))
            return fail(ErrorKind::Cancelled, "The flush of \"" + path + "\" was stopped.");
    }
#else
    (void)fd;
    (void)path;
    (void)step;
#endif
    return Status::success();
}

Status SyncPath(const std::string& path, int flags, const std::function<bool(double)>& step = {}) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return fail(KindOfSystemError(errno, ErrorKind::Io),
                    "Could not open \"" + path + "\" to flush it: " + SystemErrorReason(errno) + ".", path,
                    errno);
    Status pieces = SyncPieces(fd, path, step);
    int result = pieces ? ::fsync(fd) : 0;
    int error = errno;
    ::close(fd);
    if (!pieces)
        return pieces;
    if (result != 0)
        return FlushFailed(path, error);
    if (step)
        step(1.0);
    return Status::success();
}

} // namespace

Status SyncFile(const std::string& path, const std::function<bool(double)>& step) {
    return SyncPath(path, O_RDONLY, step);
}

Status SyncFolder(const std::string& folder) {
    return SyncPath(folder, O_RDONLY | O_DIRECTORY);
}

void IgnoreFileSizeSignal() {
    static const bool ignored = [] { return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR; }();
    (void)ignored;
}

long CurrentProcessId() {
    return static_cast<long>(::getpid());
}

bool ProcessIsRunning(long processId) {
    // a process of another user cannot be signalled, but it runs
    return processId > 0 && (::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM);
}

Status RenameNoReplace(const std::string& from, const std::string& to) {
    auto failed = [&to](int error) {
        return fail(error == EEXIST ? ErrorKind::Refused : KindOfSystemError(error, ErrorKind::NotWritable),
                    "Could not give the archive its name \"" + to + "\": " + SystemErrorReason(error) + ".", to,
                    error);
    };
#if defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return Status::success();
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return failed(errno);
#endif
    // a file system without the atomic call: a hard link is made only where no file has the name
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return Status::success();
    }
    if (errno == EEXIST || (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP))
        return failed(errno);
    // nor hard links (FAT, some network shares): the name is checked, then taken, the best that is left
    struct stat existing {};
    if (::lstat(to.c_str(), &existing) == 0)
        return failed(EEXIST);
    if (::rename(from.c_str(), to.c_str()) != 0)
        return failed(errno);
    return Status::success();
}

} // namespace corvane

// regular files through POSIX: opened without blocking and checked on the open descriptor
#include "core/platform/regular_file.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

// what a path is when it is not a file; empty for a regular file
std::string NotAFile(mode_t mode) {
    if (S_ISREG(mode))
        return {};
    if (S_ISFIFO(mode))
        return "it is a named pipe, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a file";
    return "it is not a regular file";
}

Error SystemFailure(const std::string& path, int systemError) {
    return fail(KindOfSystemError(systemError, ErrorKind::NotReadable), SystemErrorReason(systemError), path,
                systemError);
}

FileState StateOf(const struct stat& info) {
    FileState state;
    state.size = static_cast<std::uint64_t>(info.st_size);
    state.modifiedNanoseconds =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    state.device = static_cast<std::uint64_t>(info.st_dev);
    state.fileId = static_cast<std::uint64_t>(info.st_ino);
    return state;
}

// Asks `readSome(done)` for the bytes still missing until `length` of them came or the file ended: a
// read may return fewer than asked, or be interrupted by a signal.
template <typename ReadSome>
Result<std::size_t> ReadUntilFull(const std::string& path, std::size_t length, ReadSome readSome) {
    std::size_t total = 0;
    while (total < length) {
        const ssize_t got = readSome(total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return SystemFailure(path, errno);
        if (got == 0)
            break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

} // namespace

Result<RegularFile> RegularFile::Open(const std::string& path) {
    // without O_NONBLOCK, opening a named pipe waits for a writer that may never come
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return SystemFailure(path, errno);
    RegularFile file(descriptor, path, {});
    struct stat info {};
    if (::fstat(descriptor, &info) != 0)
        return SystemFailure(path, errno);
    if (S_ISDIR(info.st_mode)) // as the system would say it when asked to read a folder
        return fail(ErrorKind::NotReadable, SystemErrorReason(EISDIR), path, EISDIR);
    if (const std::string what = NotAFile(info.st_mode); !what.empty())
        return fail(ErrorKind::Refused, what, path);
    // reads of a regular file never return EAGAIN, but a blocking descriptor is what readers expect
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    file.m_opened = StateOf(info);
    return file;
}

void RegularFile::Close() {
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

Result<FileState> RegularFile::StateNow() const {
    struct stat info {};
    if (::fstat(m_descriptor, &info) != 0)
        return SystemFailure(m_path, errno);
    return StateOf(info);
}

Result<std::size_t> RegularFile::Read(char* buffer, std::size_t length) {
    return ReadUntilFull(m_path, length, [&](std::size_t done) {
        return ::read(m_descriptor, buffer + done, length - done);
    });
}

Result<std::size_t> RegularFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t length) {
    return ReadUntilFull(m_path, length, [&](std::size_t done) {
        return ::pread(m_descriptor, buffer + done, length - done, static_cast<off_t>(offset + done));
    });
}

} // namespace corvane

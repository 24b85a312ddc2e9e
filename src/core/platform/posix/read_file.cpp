// whole small files read through POSIX, refusing what is not a regular file before it can block a run
#include "core/platform/platform.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

// what a path is when it is not a file; empty for a regular file
std::string NotAFile(mode_t mode) {
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return "it is a folder, not a file";
    if (S_ISFIFO(mode))
        return "it is a named pipe, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a file";
    return "it is not a regular file";
}

} // namespace

Result<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes) {
    const std::string cannot = "Cannot read the file " + path + ": ";
    // without O_NONBLOCK, opening a named pipe waits for a writer that may never come
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return fail(KindOfSystemError(error, ErrorKind::NotReadable), cannot + std::strerror(error) + ".",
                    path, error);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        return fail(ErrorKind::NotReadable, cannot + std::strerror(error) + ".", path, error);
    }
    if (const std::string what = NotAFile(info.st_mode); !what.empty())
        return fail(S_ISDIR(info.st_mode) ? ErrorKind::NotReadable : ErrorKind::Refused, cannot + what + ".",
                    path);
    const auto tooLarge = [&] {
        return fail(ErrorKind::Refused,
                    cannot + "it is larger than " + std::to_string(maxBytes >> 20) +
                        " MiB, far more than any project or group file holds.",
                    path);
    };
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes)
        return tooLarge();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            return fail(ErrorKind::NotReadable, cannot + std::strerror(error) + ".", path, error);
        }
        if (got == 0)
            return bytes;
        // a file that grows while it is read is held to the same limit
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes)
            return tooLarge();
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace corvane

// the executable's own path and folder permissions, read through POSIX and Linux's /proc
#include "core/program_folder.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace corvane {

Result<std::string> ExecutablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return fail(std::string("Cannot find the program's own path: ") + std::strerror(errno));
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

bool IsWritableFolder(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace corvane

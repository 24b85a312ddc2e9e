// POSIX names are bytes, so the C library's fopen takes them as they are
#include "core/platform/open_file.h"

namespace corvane {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

} // namespace corvane

// the operating system's error numbers in the words a user reads
#include "core/common/error.h"

#include <cctype>
#include <cstring>
#include <system_error>

namespace corvane {

std::string SystemErrorReason(int systemError) {
    switch (static_cast<std::errc>(systemError)) {
    case std::errc::no_such_file_or_directory:
        return "no such file or folder";
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
        return "permission denied";
    case std::errc::no_space_on_device:
        return "no space left on the disk";
    case std::errc::read_only_file_system:
        return "the file system is read-only";
    case std::errc::not_a_directory:
        return "a part of the path is not a folder";
    case std::errc::is_a_directory:
        return "it is a folder, not a file";
    case std::errc::too_many_symbolic_link_levels:
        return "it is a symbolic link that loops back on itself";
    case std::errc::filename_too_long:
        return "the name is too long";
    case std::errc::file_too_large:
        return "the file is too large for this file system";
    case std::errc::io_error:
        return "the disk reported a read or write error";
    default:
        break;
    }
    std::string text = std::strerror(systemError);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

} // namespace corvane

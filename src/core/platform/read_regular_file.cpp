// a whole project or group file, on top of either system's RegularFile
#include "core/platform/regular_file.h"

namespace corvane {

Result<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes) {
    const std::string cannot = "Cannot read the file " + path + ": ";
    Result<RegularFile> file = RegularFile::Open(path);
    if (!file) {
        Error error = file.failure();
        error.message = cannot + error.message + ".";
        return error;
    }
    const auto tooLarge = [&] {
        return fail(ErrorKind::Refused,
                    cannot + "it is larger than " + std::to_string(maxBytes >> 20) +
                        " MiB, far more than any project or group file holds.",
                    path);
    };
    if (file->OpenedState().size > maxBytes)
        return tooLarge();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(file->OpenedState().size));
    char buffer[65536];
    for (;;) {
        Result<std::size_t> got = file.value().Read(buffer, sizeof buffer);
        if (!got) {
            Error error = got.failure();
            error.message = cannot + error.message + ".";
            return error;
        }
        if (*got == 0)
            return bytes;
        // a file that grows while it is read is held to the same limit
        if (bytes.size() + *got > maxBytes)
            return tooLarge();
        bytes.append(buffer, *got);
    }
}

} // namespace corvane

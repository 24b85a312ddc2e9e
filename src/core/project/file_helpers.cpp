// the file system side of the path helpers: existence, deletion and folder creation, never throwing
#include "core/project/paths.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "core/platform/platform.h"

namespace corvane {

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
    // a file counts when its length can be read, which a folder's cannot
    std::error_code error;
    static_cast<void>(fs::file_size(FsPath(path), error));
    return !error;
}

Status CheckIsFolder(const std::string& path) {
    // "file/" would say "not a folder" of the path's parts rather than of the file itself
    std::string trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\'))
        trimmed.pop_back();
    std::error_code error;
    const fs::file_status status = fs::status(FsPath(trimmed), error);
    if (fs::is_directory(status))
        return Status::success();
    if (error && error != std::errc::no_such_file_or_directory)
        return fail(KindOfSystemError(error.value(), ErrorKind::NotWritable),
                    "cannot be reached: " + SystemErrorReason(error.value()), path, error.value());
    if (!fs::exists(status))
        return fail(ErrorKind::NotFound, "does not exist", path);
    return fail(ErrorKind::NotWritable, "is a file, not a folder", path);
}

int DeleteFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(FsPath(path), error);
    if (error) {
        return error.value();
    }
    if (!fs::exists(status)) {
        return static_cast<int>(std::errc::no_such_file_or_directory);
    }
    if (fs::is_directory(status)) {
        // only files are deleted here; removing an empty folder by accident would surprise the caller
        return static_cast<int>(std::errc::is_a_directory);
    }
    fs::remove(FsPath(path), error);
    return error ? error.value() : 0;
}

namespace {

// A Windows path that reached this far was never mapped to a folder of this machine: made as it is, it
// would give folders named "C:" or "Dev\bk" that nobody looks in.
bool WouldMakeForeignFolder(const std::string& path) {
    if (NativeSeparator() == '\\')
        return false;
    std::error_code error;
    for (std::size_t at = path.find_first_of("\\:"); at != std::string::npos; at = path.find_first_of("\\:", at + 1)) {
        const std::string upTo = path.substr(0, path.find_first_of("/", at));
        if (!fs::exists(FsPath(upTo), error))
            return true;
    }
    return false;
}

} // namespace

Status CreateFolderPath(const std::string& path) {
    if (WouldMakeForeignFolder(path))
        return fail(ErrorKind::Refused,
                    "The folder " + path + " is written the Windows way and no folder of this machine stands "
                                           "for it (see CORVANE_DRIVE_MAP); nothing was made.",
                    path);
    const char separator = SeparatorOf(path);
    std::string target;
    std::error_code lastError;
    if (path.find(separator) == std::string::npos) {
        target = path;
        if (!target.empty()) {
            fs::create_directory(FsPath(target), lastError);
        }
    } else {
        // every level up to the last separator; failures on the way (a drive root, an existing
        // folder, no access to a parent) are expected and only the final state matters
        std::size_t start = 0;
        for (std::size_t hit = path.find(separator); hit != std::string::npos;
             hit = path.find(separator, start)) {
            target = path.substr(0, hit + 1);
            start = hit + 1;
            std::error_code error;
            fs::create_directory(FsPath(target), error);
            if (error) {
                lastError = error;
            }
        }
    }
    if (target.empty()) {
        return fail(ErrorKind::Refused, "No folder was given to create.");
    }
    std::error_code error;
    if (fs::is_directory(FsPath(target), error)) {
        return Status::success();
    }
    std::string reason;
    if (fs::exists(FsPath(target), error)) {
        reason = "a file of that name is in the way";
    } else if (lastError) {
        reason = SystemErrorReason(lastError.value());
    } else {
        reason = "the system gave no reason";
    }
    return fail(ErrorKind::NotWritable, "The folder " + target + " could not be created: " + reason + ".", target,
                lastError.value());
}

// A generator per thread, seeded once by the system: a random_device made for every name took a fifth
// of the processor time of unpacking 2,500 files (one temporary name each). The names need only differ;
// whoever creates the file still refuses one that exists.
std::string UniqueTempName(const std::string& prefix, const std::string& suffix) {
    static constexpr char kDigits[] = "0123456789abcdef";
    thread_local std::mt19937_64 generator = [] {
        std::random_device system;
        std::seed_seq seed{system(), system(), system(), system()};
        return std::mt19937_64(seed);
    }();
    std::uint64_t bits = generator();
    std::string name = prefix;
    for (int i = 0; i < 16; ++i, bits >>= 4)
        name += kDigits[bits % 16];
    return name + suffix;
}

} // namespace corvane

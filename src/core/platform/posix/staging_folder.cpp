// free space and whole-folder renames for the staging folder of an extraction
#include "core/platform/staging_folder.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/statvfs.h>

#include "core/project/paths.h"

namespace corvane {
namespace {

Error RenameFailure(const std::string& to, int error) {
    return fail(KindOfSystemError(error, ErrorKind::NotWritable),
                "Could not give the unpacked folder its name \"" + to + "\": " + SystemErrorReason(error) + ".",
                to, error);
}

} // namespace

Result<std::uint64_t> FreeSpaceOf(const std::string& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0)
        return fail(KindOfSystemError(errno, ErrorKind::NotReadable),
                    "Could not learn the free space of \"" + folder + "\": " + SystemErrorReason(errno) + ".",
                    folder, errno);
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

Status MoveFolderInto(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return RenameFailure(to, errno);
    return Status::success();
}

Status ExchangeFolders(const std::string& from, const std::string& to) {
#if defined(RENAME_EXCHANGE)
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0)
        return Status::success();
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return RenameFailure(to, errno);
#endif
    // a file system without the atomic swap: for a moment `to` is away under a name of ours
    const std::string aside =
        (std::filesystem::path(to).parent_path() / UniqueTempName(".corvane-aside-", "")).string();
    if (std::rename(to.c_str(), aside.c_str()) != 0)
        return RenameFailure(to, errno);
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        std::rename(aside.c_str(), to.c_str());
        return RenameFailure(to, error);
    }
    if (std::rename(aside.c_str(), from.c_str()) != 0)
        return RenameFailure(from, errno);
    return Status::success();
}

} // namespace corvane

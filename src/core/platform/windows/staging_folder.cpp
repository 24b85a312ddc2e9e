// free space and whole-folder renames for the staging folder of an extraction, through the Windows API
#include "core/platform/staging_folder.h"

#include <windows.h>

#include "core/platform/windows/windows_text.h"
#include "core/project/paths.h"

namespace corvane {
namespace {

Error RenameFailure(const std::string& to, DWORD code) {
    const int error = ErrnoOfWindowsError(code);
    return fail(KindOfSystemError(error, ErrorKind::NotWritable),
                "Could not give the unpacked folder its name \"" + to + "\": " + SystemErrorReason(error) + ".",
                to, error);
}

bool Move(const std::string& from, const std::string& to) {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0) != 0;
}

} // namespace

Result<std::uint64_t> FreeSpaceOf(const std::string& folder) {
    ULARGE_INTEGER available{}; // what this user may write, quotas included
    if (GetDiskFreeSpaceExW(Wide(folder).c_str(), &available, nullptr, nullptr) == 0) {
        const int error = ErrnoOfWindowsError(GetLastError());
        return fail(KindOfSystemError(error, ErrorKind::NotReadable),
                    "Could not learn the free space of \"" + folder + "\": " + SystemErrorReason(error) + ".",
                    folder, error);
    }
    return static_cast<std::uint64_t>(available.QuadPart);
}

Status MoveFolderInto(const std::string& from, const std::string& to) {
    // a folder cannot be moved onto another, not even an empty one: the empty one goes first
    const std::wstring target = Wide(to);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        RemoveDirectoryW(target.c_str()) == 0)
        return RenameFailure(to, GetLastError());
    if (!Move(from, to))
        return RenameFailure(to, GetLastError());
    return Status::success();
}

Status ExchangeFolders(const std::string& from, const std::string& to) {
    // Windows swaps no names at once: for a moment `to` is away under a name of ours
    const std::size_t separator = to.find_last_of("\\/");
    const std::string folder = separator == std::string::npos ? std::string() : to.substr(0, separator + 1);
    const std::string aside = folder + UniqueTempName(".corvane-aside-", "");
    if (!Move(to, aside))
        return RenameFailure(to, GetLastError());
    if (!Move(from, to)) {
        const DWORD code = GetLastError();
        Move(aside, to);
        return RenameFailure(to, code);
    }
    if (!Move(aside, from))
        return RenameFailure(from, GetLastError());
    return Status::success();
}

} // namespace corvane

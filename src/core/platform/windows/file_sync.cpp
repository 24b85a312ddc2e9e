// flushing, renaming without replacing, and processes, through the Windows API
#include "core/platform/platform.h"

#include <cerrno>

#include <windows.h>

#include "core/platform/windows/windows_text.h"

namespace corvane {

Status SyncFile(const std::string& path, const std::function<bool(double)>& step) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const int error = ErrnoOfWindowsError(GetLastError());
        return fail(KindOfSystemError(error, ErrorKind::Io),
                    "Could not open \"" + path + "\" to flush it: " + SystemErrorReason(error) + ".", path,
                    error);
    }
    // Windows has no flush of a range: the one call does it all
    const bool flushed = FlushFileBuffers(file) != 0;
    const int error = flushed ? 0 : ErrnoOfWindowsError(GetLastError());
    CloseHandle(file);
    if (!flushed)
        return fail(ErrorKind::Io,
                    "Could not flush \"" + path + "\" to the disk: " + SystemErrorReason(error) + ".", path,
                    error);
    if (step)
        step(1.0);
    return Status::success();
}

// NTFS journals its folders itself, and Windows offers no flush of a folder to ordinary users
Status SyncFolder(const std::string&) {
    return Status::success();
}

// Windows has no signal for a file size limit
void IgnoreFileSizeSignal() {}

long CurrentProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

bool ProcessIsRunning(long processId) {
    if (processId <= 0)
        return false;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId));
    if (process == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED; // another user's process, but it runs
    DWORD exitCode = 0;
    const bool running = GetExitCodeProcess(process, &exitCode) != 0 && exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

Status RenameNoReplace(const std::string& from, const std::string& to) {
    // without MOVEFILE_REPLACE_EXISTING the move fails on a taken name, in one step
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0)
        return Status::success();
    const int error = ErrnoOfWindowsError(GetLastError());
    return fail(error == EEXIST ? ErrorKind::Refused : KindOfSystemError(error, ErrorKind::NotWritable),
                "Could not give the archive its name \"" + to + "\": " + SystemErrorReason(error) + ".", to,
                error);
}

} // namespace corvane

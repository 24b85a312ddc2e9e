// regular files through the Windows API: opened with wide-character names and checked on the handle
#include "core/platform/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include <windows.h>

#include "core/platform/windows/handles.h"
#include "core/platform/windows/windows_text.h"

namespace corvane {

namespace {

Error SystemFailure(const std::string& path, DWORD code) {
    const int error = ErrnoOfWindowsError(code);
    return fail(KindOfSystemError(error, ErrorKind::NotReadable), SystemErrorReason(error), path, error);
}

Result<FileState> StateOf(HANDLE handle, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle, &info) == 0)
        return SystemFailure(path, GetLastError());
    FileState state;
    state.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    state.modifiedNanoseconds = NanosecondsOfFileTime(info.ftLastWriteTime);
    state.device = info.dwVolumeSerialNumber;
    state.fileId = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return state;
}

// Asks `readSome(done, want, got)` (a ReadFile) for the bytes still missing, at most 1 GiB at a time as a
// DWORD counts them, until `length` of them came or the file ended: a read may return fewer than asked,
// and one at an offset past the end fails with ERROR_HANDLE_EOF.
template <typename ReadSome>
Result<std::size_t> ReadUntilFull(const std::string& path, std::size_t length, ReadSome readSome) {
    std::size_t total = 0;
    while (total < length) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length - total, 1u << 30));
        DWORD got = 0;
        if (readSome(total, want, got) == 0) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF)
                break;
            return SystemFailure(path, error);
        }
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

} // namespace

Result<RegularFile> RegularFile::Open(const std::string& path) {
    // shared for deletion too, so that an editor saving over the file is never refused by a backup;
    // folders open as well, to be refused for what they are
    const HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return SystemFailure(path, GetLastError());
    const DWORD type = GetFileType(handle);
    if (type != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return fail(ErrorKind::Refused,
                    type == FILE_TYPE_PIPE ? "it is a named pipe, not a file"
                    : type == FILE_TYPE_CHAR ? "it is a device, not a file"
                                             : "it is not a regular file",
                    path);
    }
    const int descriptor = DescriptorOf(handle);
    if (descriptor < 0)
        return SystemFailure(path, ERROR_TOO_MANY_OPEN_FILES);
    RegularFile file(descriptor, path, {});
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle, &info) == 0)
        return SystemFailure(path, GetLastError());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return fail(ErrorKind::NotReadable, SystemErrorReason(EISDIR), path, EISDIR);
    Result<FileState> state = StateOf(handle, path);
    if (!state)
        return state.failure();
    file.m_opened = *state;
    return file;
}

void RegularFile::Close() {
    if (m_descriptor >= 0)
        _close(m_descriptor);
    m_descriptor = -1;
}

Result<FileState> RegularFile::StateNow() const {
    return StateOf(HandleOf(m_descriptor), m_path);
}

Result<std::size_t> RegularFile::Read(char* buffer, std::size_t length) {
    return ReadUntilFull(m_path, length, [&](std::size_t done, DWORD want, DWORD& got) {
        return ReadFile(HandleOf(m_descriptor), buffer + done, want, &got, nullptr);
    });
}

Result<std::size_t> RegularFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t length) {
    // ReadFile with an offset moves the file pointer; Read() goes on from where it was
    LARGE_INTEGER position{};
    const HANDLE handle = HandleOf(m_descriptor);
    if (SetFilePointerEx(handle, LARGE_INTEGER{}, &position, FILE_CURRENT) == 0)
        return SystemFailure(m_path, GetLastError());
    const auto readAt = [&](std::size_t done, DWORD want, DWORD& got) {
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        return ReadFile(handle, buffer + done, want, &got, &where);
    };
    const Result<std::size_t> read = ReadUntilFull(m_path, length, readAt);
    if (SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) == 0)
        return SystemFailure(m_path, GetLastError());
    return read;
}

} // namespace corvane

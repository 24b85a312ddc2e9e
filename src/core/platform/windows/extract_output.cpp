// files and folders created below an extraction folder, never through a junction or a symbolic link,
// through the Windows API
#include "core/platform/extract_output.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <utility>

#include <windows.h>

#include "core/platform/windows/handles.h"
#include "core/platform/windows/windows_text.h"
#include "core/project/paths.h"

// windows.h names CreateFileW CreateFile, the name of ExtractTarget's own operation
#undef CreateFile

namespace corvane {
namespace {

std::string Reason(DWORD code) {
    return SystemErrorReason(ErrnoOfWindowsError(code));
}

void CloseIfOpen(int& descriptor) {
    if (descriptor >= 0)
        _close(descriptor);
    descriptor = -1;
}

// A folder opened as itself, not as what a reparse point leads to. Without FILE_SHARE_DELETE nobody
// can rename or remove it while it is held, so it cannot be swapped for a link under a writer.
HANDLE OpenFolderHandle(const std::string& path) {
    return CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

std::string ParentOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}

} // namespace

void PendingFile::Discard() {
    if (m_fd >= 0) {
        CloseIfOpen(m_fd);
        ::DeleteFileW(Wide(ParentOf(m_displayPath) + "\\" + m_tempName).c_str());
    }
    CloseIfOpen(m_folderFd);
}

Status PendingFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (WriteFile(HandleOf(m_fd), data, piece, &written, nullptr) == 0) {
            const DWORD code = GetLastError();
            return fail(ErrorKind::Io, "Could not write \"" + m_displayPath + "\": " + Reason(code) + ".",
                        m_displayPath, ErrnoOfWindowsError(code));
        }
        data += written;
        size -= written;
    }
    return Status::success();
}

Status PendingFile::Commit(std::time_t modificationTime) {
    const FILETIME time = FileTimeOfSeconds(modificationTime);
    SetFileTime(HandleOf(m_fd), nullptr, &time, &time); // a lost time stamp is no reason to lose the file
    const std::string folder = ParentOf(m_displayPath);
    const std::wstring temporary = Wide(folder + "\\" + m_tempName);
    CloseIfOpen(m_fd);
    if (MoveFileExW(temporary.c_str(), Wide(folder + "\\" + m_finalName).c_str(), MOVEFILE_REPLACE_EXISTING) ==
        0) {
        const DWORD code = GetLastError();
        ::DeleteFileW(temporary.c_str());
        return fail(ErrorKind::NotWritable, "Could not create \"" + m_displayPath + "\": " + Reason(code) + ".",
                    m_displayPath, ErrnoOfWindowsError(code));
    }
    return Status::success();
}

void ExtractTarget::Close() {
    CloseIfOpen(m_fd);
}

Result<ExtractTarget> ExtractTarget::Open(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(Wide(folder)), error);
    ExtractTarget target;
    target.m_folder = folder;
    while (target.m_folder.size() > 3 && (target.m_folder.back() == '\\' || target.m_folder.back() == '/'))
        target.m_folder.pop_back();
    const HANDLE handle = OpenFolderHandle(target.m_folder);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        const int number = ErrnoOfWindowsError(code);
        return fail(KindOfSystemError(number, ErrorKind::NotWritable),
                    "Could not open the folder \"" + folder + "\": " + Reason(code) + ".", folder, number);
    }
    target.m_fd = DescriptorOf(handle);
    return target;
}

Result<int> ExtractTarget::OpenFolder(const std::vector<std::string>& components, std::size_t count) {
    std::string shown = m_folder;
    HANDLE held = INVALID_HANDLE_VALUE;
    for (std::size_t i = 0; i < count; ++i) {
        shown += "\\" + components[i];
        HANDLE next = OpenFolderHandle(shown);
        if (next == INVALID_HANDLE_VALUE &&
            (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)) {
            if (CreateDirectoryW(Wide(shown).c_str(), nullptr) == 0 && GetLastError() != ERROR_ALREADY_EXISTS) {
                const DWORD code = GetLastError();
                if (held != INVALID_HANDLE_VALUE)
                    CloseHandle(held);
                return fail(ErrorKind::NotWritable,
                            "Could not create the folder \"" + shown + "\": " + Reason(code) + ".", shown,
                            ErrnoOfWindowsError(code));
            }
            next = OpenFolderHandle(shown);
        }
        const DWORD code = GetLastError();
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        if (next == INVALID_HANDLE_VALUE)
            return fail(ErrorKind::NotReadable, "Could not open the folder \"" + shown + "\": " + Reason(code) + ".",
                        shown, ErrnoOfWindowsError(code));
        BY_HANDLE_FILE_INFORMATION info{};
        if (GetFileInformationByHandle(next, &info) == 0 || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CloseHandle(next);
            return fail(ErrorKind::Refused, "\"" + shown + "\" is a symbolic link or a file, not a folder.", shown);
        }
        held = next;
    }
    if (held == INVALID_HANDLE_VALUE)
        held = OpenFolderHandle(m_folder);
    if (held == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return fail(ErrorKind::NotReadable, "Could not open the folder \"" + m_folder + "\": " + Reason(code) + ".",
                    m_folder, ErrnoOfWindowsError(code));
    }
    const int descriptor = DescriptorOf(held);
    if (descriptor < 0)
        return fail(ErrorKind::Io, "Could not open the folder \"" + shown + "\": too many open files.", shown);
    return descriptor;
}

Status ExtractTarget::MakeFolders(const std::vector<std::string>& components) {
    auto folder = OpenFolder(components, components.size());
    if (!folder)
        return folder.failure();
    _close(*folder);
    return Status::success();
}

Result<PendingFile> ExtractTarget::CreateFile(const std::vector<std::string>& components) {
    auto folder = OpenFolder(components, components.size() - 1);
    if (!folder)
        return folder.failure();
    PendingFile file;
    file.m_folderFd = *folder;
    file.m_finalName = components.back();
    file.m_displayPath = m_folder;
    for (const std::string& component : components)
        file.m_displayPath += "\\" + component;
    const std::string folderPath = ParentOf(file.m_displayPath);
    DWORD code = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 16 && file.m_fd < 0; ++attempt) {
        file.m_tempName = UniqueTempName(".corvane-", ".part");
        const HANDLE handle = CreateFileW(Wide(folderPath + "\\" + file.m_tempName).c_str(), GENERIC_WRITE, 0,
                                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            file.m_fd = DescriptorOf(handle);
            break;
        }
        code = GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
            break;
    }
    if (file.m_fd < 0) {
        const int number = ErrnoOfWindowsError(code);
        return fail(KindOfSystemError(number, ErrorKind::NotWritable),
                    "Could not create \"" + file.m_displayPath + "\": " + Reason(code) + ".", file.m_displayPath,
                    number);
    }
    return file;
}

} // namespace corvane

// reading, locking and replacing one settings file through the Windows API
#include "core/platform/settings_file.h"

#include <ctime>
#include <filesystem>
#include <random>

#include <windows.h>

#include "core/platform/windows/handles.h"
#include "core/platform/windows/windows_text.h"

namespace corvane {

namespace {

std::string Reason(DWORD code) {
    return SystemErrorReason(ErrnoOfWindowsError(code));
}

std::string FolderOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    if (separator == std::string::npos)
        return ".";
    return path.substr(0, separator == 0 ? 1 : separator);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) == 0)
            return false;
        done += written;
    }
    return true;
}

constexpr const char* kTemporaryInfix = ".tmp-";
constexpr std::size_t kTemporaryRandom = 6;

} // namespace

Result<std::optional<std::string>> ReadSettingsFile(const std::string& path) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return std::optional<std::string>();
        return fail(ErrorKind::NotReadable, "Cannot read " + path + ": " + Reason(code), path,
                    ErrnoOfWindowsError(code));
    }
    std::string bytes;
    char buffer[8192];
    for (;;) {
        DWORD count = 0;
        if (ReadFile(file, buffer, sizeof buffer, &count, nullptr) == 0) {
            const DWORD code = GetLastError();
            CloseHandle(file);
            return fail(ErrorKind::NotReadable, "Cannot read " + path + ": " + Reason(code), path,
                        ErrnoOfWindowsError(code));
        }
        if (count == 0)
            break;
        bytes.append(buffer, count);
    }
    CloseHandle(file);
    return std::optional<std::string>(std::move(bytes));
}

Result<SettingsFileLock> SettingsFileLock::Acquire(const std::string& path) {
    std::error_code ignored; // a folder that cannot be made shows up as the open failing
    std::filesystem::create_directories(std::filesystem::path(Wide(FolderOf(path))), ignored);
    const std::string lockPath = path + ".lock";
    const HANDLE file = CreateFileW(Wide(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return fail(ErrorKind::NotWritable, "Cannot open " + lockPath + ": " + Reason(code), lockPath,
                    ErrnoOfWindowsError(code));
    }
    OVERLAPPED whole{};
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) == 0) {
        const DWORD code = GetLastError();
        CloseHandle(file);
        return fail(ErrorKind::Io, "Cannot lock " + lockPath + ": " + Reason(code), lockPath,
                    ErrnoOfWindowsError(code));
    }
    const int descriptor = DescriptorOf(file);
    if (descriptor < 0)
        return fail(ErrorKind::Io, "Cannot lock " + lockPath + ": too many open files", lockPath);
    return SettingsFileLock(descriptor);
}

void SettingsFileLock::Release() {
    if (m_descriptor >= 0)
        _close(m_descriptor); // closing the handle releases the lock
    m_descriptor = -1;
}

Status ReplaceSettingsFile(const std::string& path, const std::string& bytes) {
    static thread_local std::mt19937 random{std::random_device{}()};
    const char* const letters = "abcdefghijklmnopqrstuvwxyz0123456789";
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string temporary;
    DWORD code = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 16 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = path + kTemporaryInfix;
        for (std::size_t i = 0; i < kTemporaryRandom; ++i)
            temporary += letters[random() % 36];
        file = CreateFileW(Wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        code = GetLastError();
        if (file == INVALID_HANDLE_VALUE && code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
            break;
    }
    if (file == INVALID_HANDLE_VALUE)
        return fail(ErrorKind::NotWritable, "Cannot create a file beside " + path + ": " + Reason(code), path,
                    ErrnoOfWindowsError(code));

    bool written = WriteAll(file, bytes) && FlushFileBuffers(file) != 0;
    code = written ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (written && MoveFileExW(Wide(temporary).c_str(), Wide(path).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        written = false;
        code = GetLastError();
    }
    if (!written) {
        ::DeleteFileW(Wide(temporary).c_str());
        return fail(ErrorKind::NotWritable, "Cannot write " + path + ": " + Reason(code), path,
                    ErrnoOfWindowsError(code));
    }
    return Status::success();
}

void RemoveStaleSettingsTemporaries(const std::string& path) {
    const std::string pattern = path.substr(path.find_last_of("\\/") + 1) + kTemporaryInfix;
    std::error_code error;
    for (std::filesystem::directory_iterator it(std::filesystem::path(Wide(FolderOf(path))), error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = Utf8(it->path().filename().wstring());
        if (name.size() == pattern.size() + kTemporaryRandom && name.compare(0, pattern.size(), pattern) == 0)
            ::DeleteFileW(it->path().wstring().c_str());
    }
}

Result<std::string> SetSettingsFileAside(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);

    const std::string base = path + ".corrupt-" + stamp;
    std::string target = base;
    for (int n = 2; GetFileAttributesW(Wide(target).c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        target = base + "-" + std::to_string(n);
    if (MoveFileExW(Wide(path).c_str(), Wide(target).c_str(), 0) == 0) {
        const DWORD code = GetLastError();
        return fail(ErrorKind::NotWritable, "Cannot rename " + path + ": " + Reason(code), path,
                    ErrnoOfWindowsError(code));
    }
    return target;
}

} // namespace corvane

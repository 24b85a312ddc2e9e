// the process, its clock, its console and its own file, through the Windows API
#include "core/platform/platform.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <io.h>
#include <vector>

#include <windows.h>

#include <shellapi.h>

#include "core/platform/windows/windows_text.h"

namespace corvane {

std::tm ToLocalTime(std::time_t moment) {
    std::tm out{};
    localtime_s(&out, &moment); // std::localtime shares one buffer between threads
    return out;
}

// the C runtime's heap gives freed blocks back without zeroing pages: nothing to tune
void TuneAllocatorForArchiving() {}

namespace {

UINT g_consoleCodePage = 0;

void RestoreConsoleCodePage() {
    SetConsoleOutputCP(g_consoleCodePage);
}

} // namespace

void UseUtf8Console() {
    const UINT current = GetConsoleOutputCP();
    if (current == 0 || current == CP_UTF8) // no console, or one that reads UTF-8 already
        return;
    if (SetConsoleOutputCP(CP_UTF8) == 0)
        return;
    g_consoleCodePage = current;
    std::atexit(RestoreConsoleCodePage); // the console outlives the program: cmd.exe keeps its own page
}

char NativeSeparator() {
    return '\\';
}

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool HasDriveLetter(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string CurrentFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return ".";
        if (length < buffer.size())
            return Utf8(buffer.data(), length);
        buffer.resize(length);
    }
}

} // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(Utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8OfPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string AbsolutePathAsTyped(const std::string& path) {
    if (path.empty())
        return path;
    // C:\folder and \\server\share are absolute already
    if (HasDriveLetter(path) && path.size() >= 3 && IsSeparator(path[2]))
        return path;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return path;
    const std::string current = CurrentFolder();
    // \folder: the root of the current drive (or share)
    if (IsSeparator(path[0])) {
        if (HasDriveLetter(current))
            return current.substr(0, 2) + path;
        return path;
    }
    // C:folder is relative to the current folder of drive C, which only the system knows
    if (HasDriveLetter(path)) {
        const std::wstring wide = Wide(path);
        std::vector<wchar_t> buffer(MAX_PATH);
        DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length >= buffer.size()) {
            buffer.resize(length);
            length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        }
        return length == 0 ? path : Utf8(buffer.data(), length);
    }
    return IsSeparator(current.back()) ? current + path : current + "\\" + path;
}

Result<std::string> ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return fail(ErrorKind::NotFound, "Cannot find the program's own path: " +
                                                 SystemErrorReason(ErrnoOfWindowsError(GetLastError())));
        if (length < buffer.size())
            return Utf8(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> UserHomeFolder() {
    // the profile folder Windows gives the user, C:\Users\<name>
    if (const wchar_t* profile = _wgetenv(L"USERPROFILE"); profile != nullptr && profile[0] != L'\0')
        return Utf8(profile);
    return std::nullopt;
}

namespace {

std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    // the second Ctrl-C is not ours to soften: the system's handler ends the process
    return g_interrupted.exchange(true) ? FALSE : TRUE;
}

} // namespace

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

std::function<bool()> WatchInterrupt() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    return [] { return g_interrupted.load(); };
}

} // namespace corvane

// C streams on UTF-8 names through the wide-character calls; the C runtime MinGW links (msvcrt) knows
// no "x" mode, so an exclusive create goes through CreateFileW
#include "core/platform/open_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>

#include <windows.h>

#include "core/platform/windows/handles.h"
#include "core/platform/windows/windows_text.h"

namespace corvane {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    std::string plain;
    for (const char* c = mode; *c != '\0'; ++c)
        if (*c != 'x')
            plain += *c;
    if (plain.size() == std::strlen(mode))
        return _wfopen(Wide(path).c_str(), Wide(mode).c_str());

    const bool reads = plain.find('+') != std::string::npos;
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE | (reads ? GENERIC_READ : 0),
                                    FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errno = ErrnoOfWindowsError(GetLastError());
        return nullptr;
    }
    const bool binary = plain.find('b') != std::string::npos;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), binary ? _O_BINARY : _O_TEXT);
    if (descriptor < 0) {
        CloseHandle(file);
        errno = EMFILE;
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, plain.c_str());
    if (stream == nullptr)
        _close(descriptor);
    return stream;
}

} // namespace corvane

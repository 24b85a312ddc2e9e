// what every Windows platform file needs: UTF-8 names turned into the system's UTF-16 and back, and
// the system's error codes as the errno values the core's errors carry
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>

namespace corvane {

// The core's paths and texts are UTF-8; Windows' own names are UTF-16.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::string Utf8(const wchar_t* wide, std::size_t length);

// The errno value nearest to a Windows error code, so that error kinds and reasons read the same
// on both systems; EIO for codes without a near one.
int ErrnoOfWindowsError(DWORD code);

// Nanoseconds since 1970 of a Windows file time (100 ns units since 1601).
std::int64_t NanosecondsOfFileTime(const FILETIME& time);
FILETIME FileTimeOfSeconds(std::int64_t seconds);

} // namespace corvane

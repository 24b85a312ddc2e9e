// Windows handles kept in the C runtime's int descriptors, which the platform headers hold: a handle
// given to _open_osfhandle is closed by _close and found again by _get_osfhandle
#pragma once

#include <io.h>

#include <windows.h>

namespace corvane {

// The descriptor owning `handle`, or -1 (and the handle closed) when the runtime has no room.
inline int DescriptorOf(HANDLE handle) {
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), 0);
    if (descriptor < 0)
        CloseHandle(handle);
    return descriptor;
}

inline HANDLE HandleOf(int descriptor) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}

} // namespace corvane

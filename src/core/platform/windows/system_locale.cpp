// the user's locale and the machine's ANSI code page, which Windows programs read and write text in
#include "core/platform/system_locale.h"

#include <windows.h>

namespace corvane {

std::optional<std::int32_t> SystemUserLcid() {
    return static_cast<std::int32_t>(GetUserDefaultLCID());
}

std::optional<int> SystemAnsiCodePage() {
    return static_cast<int>(GetACP());
}

} // namespace corvane

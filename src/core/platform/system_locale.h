// the user's locale and ANSI code page as the system itself keeps them
#pragma once

#include <cstdint>
#include <optional>

namespace corvane {

// Windows' GetUserDefaultLCID and GetACP; nothing on systems where only the environment's locale
// variables say it.
std::optional<std::int32_t> SystemUserLcid();
std::optional<int> SystemAnsiCodePage();

} // namespace corvane

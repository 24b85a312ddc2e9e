// a POSIX system keeps its locale in the environment (LC_ALL, LC_MESSAGES, LANG), which the core reads
#include "core/platform/system_locale.h"

namespace corvane {

std::optional<std::int32_t> SystemUserLcid() {
    return std::nullopt;
}

std::optional<int> SystemAnsiCodePage() {
    return std::nullopt;
}

} // namespace corvane

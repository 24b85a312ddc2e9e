// local time through the re-entrant POSIX call; std::localtime shares one buffer between threads
#include <time.h>

#include "core/local_time.h"

namespace corvane {

std::tm ToLocalTime(std::time_t moment) {
    std::tm out{};
    localtime_r(&moment, &out);
    return out;
}

} // namespace corvane

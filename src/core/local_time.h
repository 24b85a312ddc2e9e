// calendar time in the machine's local time zone
#pragma once

#include <ctime>

namespace corvane {

// Thread-safe conversion of a moment to local calendar time.
std::tm ToLocalTime(std::time_t moment);

} // namespace corvane

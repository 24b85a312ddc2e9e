// names for temporary files that no other run will pick
#pragma once

#include <string>

namespace corvane {

// prefix + 16 random hexadecimal digits + suffix
std::string UniqueTempName(const std::string& prefix, const std::string& suffix);

} // namespace corvane

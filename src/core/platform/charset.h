// the system's character set converter, asked one character at a time
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvane {

// Decodes each unit on its own with the system's converter for the named character set: the one code
// point the unit is, or nothing when the unit is not one whole valid character of the set. Nothing at
// all when the system has no converter for the set.
std::optional<std::vector<std::optional<char32_t>>> DecodeEachUnit(const std::string& charset,
                                                                   const std::vector<std::string>& units);

} // namespace corvane

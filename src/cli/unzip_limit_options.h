// the unzip command's options that move the caps hostile archives are measured against
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/unzipper.h"

namespace corvane {

// When args[i] is one of the limit options, takes its value into `limits`, advances i past it and
// sets `matched`. Returns a message for a missing or unreadable value.
std::optional<std::string> ParseUnzipLimitOption(const std::vector<std::string>& args, std::size_t& i,
                                                 UnzipLimits& limits, bool& matched);

} // namespace corvane

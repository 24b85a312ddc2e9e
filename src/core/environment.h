// the process environment as a lookup function, so that callers can be handed a fake one
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace corvane {

// The value of an environment variable, or nothing when it is not set.
using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Reads the real environment of this process.
EnvLookup ProcessEnvironment();

// The value when set and not empty, else nothing: most variables we read treat "" as unset.
std::optional<std::string> NonEmptyVariable(const EnvLookup& env, const std::string& name);

} // namespace corvane

// the process environment as a lookup function
#include "core/environment.h"

#include <cstdlib>

namespace corvane {

EnvLookup ProcessEnvironment() {
    return [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        if (value == nullptr)
            return std::nullopt;
        return std::string(value);
    };
}

std::optional<std::string> NonEmptyVariable(const EnvLookup& env, const std::string& name) {
    if (!env)
        return std::nullopt;
    std::optional<std::string> value = env(name);
    if (!value || value->empty())
        return std::nullopt;
    return value;
}

} // namespace corvane

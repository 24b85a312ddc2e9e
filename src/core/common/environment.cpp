// the process environment as a lookup function
#include "core/common/environment.h"

#include "core/platform/platform.h"

#include <cstdlib>
#include <optional>

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

namespace {

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of(NativeSeparator() == '\\' ? "\\/" : "/");
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// the base directory specification ignores relative values of its variables
std::optional<std::string> AbsoluteVariable(const EnvLookup& env, const std::string& name) {
    std::optional<std::string> value = NonEmptyVariable(env, name);
    if (!value || value->front() != '/')
        return std::nullopt;
    return WithoutTrailingSlashes(*value);
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string ProgramFolder() {
    Result<std::string> executable = ExecutablePath();
    if (!executable)
        return ".";
    return FolderOf(*executable);
}

std::string SettingsFolder(const EnvLookup& env) {
    if (std::optional<std::string> home = NonEmptyVariable(env, "CORVANE_HOME"))
        return WithoutTrailingSlashes(*home);
    if (std::optional<std::string> config = AbsoluteVariable(env, "XDG_CONFIG_HOME"))
        return JoinPath(*config, "corvane");
    std::optional<std::string> user = AbsoluteVariable(env, "HOME");
    // a service or a cron job may run without $HOME; its settings still belong in its home folder
    if (!user)
        user = UserHomeFolder();
    if (!user)
        return std::string();
    return JoinPath(WithoutTrailingSlashes(*user), ".config/corvane");
}

} // namespace corvane

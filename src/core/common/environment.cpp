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
    const auto slash = path.find_last_of('/');
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

std::string ProgramFolder(const EnvLookup& env) {
    if (std::optional<std::string> home = NonEmptyVariable(env, "CORVANE_HOME"))
        return WithoutTrailingSlashes(*home);
    Result<std::string> executable = ExecutablePath();
    if (!executable)
        return ".";
    return FolderOf(*executable);
}

std::string LanguageFolder(const std::string& programFolder) {
    return JoinPath(programFolder, "Lng");
}

std::string ChooseDataFolder(const std::string& programFolder, bool programFolderWritable,
                             const EnvLookup& env) {
    if (std::optional<std::string> home = NonEmptyVariable(env, "CORVANE_HOME"))
        return WithoutTrailingSlashes(*home);
    if (programFolderWritable)
        return programFolder;
    if (std::optional<std::string> data = AbsoluteVariable(env, "XDG_DATA_HOME"))
        return JoinPath(*data, "corvane");
    if (std::optional<std::string> user = AbsoluteVariable(env, "HOME"))
        return JoinPath(*user, ".local/share/corvane");
    return programFolder;
}

std::string DataFolder(const EnvLookup& env) {
    const std::string programFolder = ProgramFolder(env);
    return ChooseDataFolder(programFolder, IsWritableFolder(programFolder), env);
}

std::string UserConfigFolder(const EnvLookup& env) {
    if (std::optional<std::string> config = AbsoluteVariable(env, "XDG_CONFIG_HOME"))
        return JoinPath(*config, "corvane");
    if (std::optional<std::string> user = AbsoluteVariable(env, "HOME"))
        return JoinPath(*user, ".config/corvane");
    return DataFolder(env);
}

} // namespace corvane

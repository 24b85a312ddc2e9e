// where the language files are: beside a portable copy of the program, or where the package put them
#include "core/locale/locale.h"

#include <filesystem>
#include <system_error>

#include "core/common/environment.h"

namespace corvane {

namespace {

const char* const kPortableFolder = "Lng";
const char* const kInstalledFolder = "../share/corvane/lng";

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

} // namespace

LanguageFiles FindLanguageFiles(const std::string& programFolder) {
    const std::string portable = JoinPath(programFolder, kPortableFolder);
    if (IsFolder(portable))
        return LanguageFiles{portable, true};
    const std::string installed = JoinPath(programFolder, kInstalledFolder);
    if (IsFolder(installed))
        return LanguageFiles{std::filesystem::path(installed).lexically_normal().string(), false};
    return LanguageFiles{};
}

} // namespace corvane

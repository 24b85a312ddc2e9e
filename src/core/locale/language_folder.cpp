// where the language files are: beside a portable copy of the program, or where the package put them
#include "core/locale/locale.h"

#include <filesystem>
#include <system_error>

#include "core/common/environment.h"
#include "core/platform/platform.h"

namespace corvane {

namespace {

const char* const kPortableFolder = "Lng";
const char* const kInstalledFolder = "../share/corvane/lng";

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(FsPath(path), error);
}

} // namespace

LanguageFiles FindLanguageFiles(const std::string& programFolder) {
    const std::string portable = JoinPath(programFolder, kPortableFolder);
    if (IsFolder(portable))
        return LanguageFiles{portable, true};
    const std::string installed = JoinPath(programFolder, kInstalledFolder);
    if (IsFolder(installed))
        return LanguageFiles{Utf8OfPath(FsPath(installed).lexically_normal()), false};
    return LanguageFiles{};
}

} // namespace corvane

// the locale map and the choice of the user-interface language
#include "core/locale/locale.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "core/common/environment.h"
#include "core/locale/ini_file.h"
#include "core/platform/platform.h"

namespace corvane {

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 37> kDefaultMapLines = {
    "[LocaleID]", "1036=fra",         "2060=fra",  "3084=fra", "5132=fra",  "4108=fra",  "1031=deu",
    "3079=deu",   "5127=deu",         "2055=deu",  "1040=ita", "2064=ita",  "1034=spa",  "11274=spa",
    "16394=spa",  "13322=spa",        "9226=spa",  "5130=spa", "7178=spa",  "12298=spa", "4106=spa",
    "18442=spa",  "2058=spa",         "19466=spa", "6154=spa", "10250=spa", "20490=spa", "15370=spa",
    "17418=spa",  "14346=spa",        "8202=spa",  "2070=por", "1046=por",  "1043=nld",  "2067=nld",
    "Force=",     "//case else =eng",
};

// a file whose length can be read, as the program has always tested for existence
bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(FsPath(path), error);
}

std::string TemporaryNameBeside(const std::string& path) {
    std::random_device random;
    return path + ".tmp-" + std::to_string(random());
}

} // namespace

std::string LocaleMapPath(const std::string& languageFolder) {
    return JoinPath(languageFolder, "Local.ini");
}

std::string DefaultLocaleMapText() {
    std::string text;
    for (const char* line : kDefaultMapLines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

Status EnsureLocaleMap(const std::string& languageFolder) {
    const std::string path = LocaleMapPath(languageFolder);
    if (IsExistingFile(path))
        return Status::success();

    std::error_code ignored;
    fs::create_directories(FsPath(languageFolder), ignored);

    // written aside and renamed, so that an interrupted first start cannot leave a cut map that
    // would never be completed
    const std::string temporary = TemporaryNameBeside(path);
    {
        std::ofstream out(FsPath(temporary), std::ios::binary | std::ios::trunc);
        out << DefaultLocaleMapText();
        out.close();
        if (!out) {
            fs::remove(FsPath(temporary), ignored);
            return fail(ErrorKind::NotWritable,
                        "Cannot write the locale map " + path + "; the interface stays in English.", path);
        }
    }
    std::error_code renameError;
    fs::rename(FsPath(temporary), FsPath(path), renameError);
    if (renameError) {
        fs::remove(FsPath(temporary), ignored);
        return fail(ErrorKind::NotWritable,
                    "Cannot write the locale map " + path + " (" + renameError.message() +
                        "); the interface stays in English.",
                    path);
    }
    return Status::success();
}

std::string ChooseLanguage(std::int32_t lcid, const LanguageFiles& languages) {
    if (languages.folder.empty())
        return kDefaultLanguage;
    // a map that cannot be written is used all the same, from memory
    if (languages.mapWritable)
        (void)EnsureLocaleMap(languages.folder);
    const std::string path = LocaleMapPath(languages.folder);
    const IniFile map = IsExistingFile(path) ? IniFile::Load(path) : IniFile::Parse(DefaultLocaleMapText());
    std::string code = map.Get("LocaleID", "Force", "");
    if (code.empty())
        code = map.Get("LocaleID", std::to_string(lcid), kDefaultLanguage);
    if (!IsExistingFile(JoinPath(languages.folder, code + ".lng")))
        return kDefaultLanguage;
    return code;
}

CodePage LanguageCodePage(const std::string& languageCode, std::int32_t lcid,
                          const std::string& languageFolder) {
    const IniFile map = IniFile::Load(LocaleMapPath(languageFolder));
    if (map.Get("LocaleID", std::to_string(lcid), "") == languageCode)
        return AnsiCodePageOfLcid(lcid);
    for (const auto& [key, value] : map.Section("LocaleID")) {
        if (value == languageCode && !key.empty() &&
            key.find_first_not_of("0123456789") == std::string::npos && key.size() < 10)
            return AnsiCodePageOfLcid(std::stoi(key));
    }
    return AnsiCodePageOfLcid(lcid);
}

} // namespace corvane

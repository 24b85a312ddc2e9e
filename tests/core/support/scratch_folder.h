// a fresh folder under the system's temporary folder, removed with everything in it afterwards, what a
// test reads and writes of files on disk, and the environment it gives
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/common/environment.h"
#include "core/platform/platform.h"

namespace corvane::testing {

namespace fs = std::filesystem;

// A path given as the core's UTF-8 text or as the library's path: on Windows the library would read text
// in the ANSI code page.
struct PathArg {
    fs::path path;
    PathArg(const std::string& utf8) : path(FsPath(utf8)) {}
    PathArg(const char* utf8) : path(FsPath(utf8)) {}
    PathArg(fs::path native) : path(std::move(native)) {}
};

inline std::string ReadFile(const PathArg& file) {
    std::ifstream in(file.path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
// Creates the file's folders first.
inline std::string WriteFile(const PathArg& file, const std::string& bytes) {
    fs::create_directories(file.path.parent_path());
    std::ofstream(file.path, std::ios::binary) << bytes;
    return Utf8OfPath(file.path);
}
// Sorted, so that tests can compare whole listings.
inline std::vector<std::string> FileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(FsPath(folder)))
        names.push_back(Utf8OfPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// An environment holding only these variables, for the core's functions that are handed one.
inline EnvLookup Environment(std::map<std::string, std::string> values) {
    return [values](const std::string& name) {
        return values.contains(name) ? std::optional(values.at(name)) : std::nullopt;
    };
}

// Sets or (with nothing) removes a variable of this process's environment.
inline void SetEnvironmentVariable(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    ::_putenv_s(name.c_str(), value ? value->c_str() : "");
#else
    value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
#endif
}

class ScratchFolder {
public:
    ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "corvane-";
        for (char c : std::string(info->test_suite_name()) + "-" + info->name())
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        // two runs of one test at once (two build folders), or two scratch folders in one test, stay apart
        m_path = fs::temp_directory_path() / (name + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path() const { return Utf8OfPath(m_path); }
    // in the system's own separators, as the core gives its paths
    std::string Path(const std::string& relative) const {
        return Utf8OfPath(m_path / FsPath(relative).make_preferred());
    }
    std::string Write(const std::string& relative, const std::string& bytes = "x") const {
        return WriteFile(m_path / FsPath(relative), bytes);
    }

private:
    fs::path m_path;
};

} // namespace corvane::testing

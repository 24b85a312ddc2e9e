// a fresh folder under the system's temporary folder, removed with everything in it afterwards
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace corvane::testing {

class ScratchFolder {
public:
    ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "corvane-";
        for (char c : std::string(info->test_suite_name()) + "-" + info->name())
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        // two runs of one test at once (two build folders), or two scratch folders in one test, stay apart
        name += "-" + std::to_string(std::random_device{}());
        m_path = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path() const { return m_path.string(); }
    std::string Path(const std::string& relative) const { return (m_path / relative).string(); }

    // Writes bytes to a file below the folder, creating its folders.
    std::string Write(const std::string& relative, const std::string& bytes = "x") const {
        const std::filesystem::path file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

private:
    std::filesystem::path m_path;
};

} // namespace corvane::testing

// what every fuzz target shares: a scratch folder of its own process and the way an oracle failure ends a run
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace corvane::fuzzing {

// One folder per process, made on first use and removed when the process ends normally; a crash
// leaves it behind, next to the reproducer libFuzzer writes.
class ProcessFolder {
public:
    static const std::filesystem::path& Path() {
        static ProcessFolder folder;
        return folder.m_path;
    }

private:
    ProcessFolder() {
        std::error_code ec;
        // every run writes files; in memory that costs no disk waits
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        m_path = base / ("corvane-fuzz-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_path, ec);
        std::filesystem::create_directories(m_path);
    }
    ~ProcessFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::filesystem::path m_path;
};

inline std::string Bytes(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The input written to a file of the process folder, reused by every run.
inline std::string WriteInput(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = ProcessFolder::Path() / name;
    // a new file rather than a truncated one, which some file systems flush to disk on close
    std::error_code ec;
    std::filesystem::remove(path, ec);
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

// An oracle's complaint is a finding like a crash: libFuzzer keeps the input that caused it.
inline void Require(const std::string& broken) {
    if (broken.empty())
        return;
    std::fprintf(stderr, "ORACLE FAILURE: %s\n", broken.c_str());
    std::abort();
}

} // namespace corvane::fuzzing

// shared helpers for the zip layer's tests: scratch folders, archives made with libzip, raw headers
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

#include <zip.h>

#include "support/scratch_folder.h"

namespace corvane::testing {

// The same bytes for the same seed, eight at a time: the test builds run unoptimised.
inline std::string RandomBytes(std::size_t size, unsigned seed = 7) {
    std::mt19937_64 random(seed);
    std::string bytes(size + 8, '\0');
    for (std::size_t at = 0; at < size; at += 8) {
        const std::uint64_t word = random();
        std::memcpy(&bytes[at], &word, 8);
    }
    bytes.resize(size);
    return bytes;
}

// A shell command's exit code and output, standard error included.
struct CommandResult {
    int exitCode = -1;
    std::string output;
};
inline CommandResult Shell(const std::string& command) {
    CommandResult result;
#ifdef _WIN32
    std::FILE* pipe = ::_popen((command + " 2>&1").c_str(), "rb");
#else
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
#endif
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.output.append(buffer, read);
#ifdef _WIN32
    result.exitCode = ::_pclose(pipe);
#else
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return result;
}
inline std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// Everything below a folder, links not followed: path -> size:hash, "<dir>", "<special>" or "<link>target".
inline std::map<std::string, std::string> Snapshot(const PathArg& folder) {
    const fs::path& root = folder.path;
    std::map<std::string, std::string> state;
    if (!fs::exists(fs::symlink_status(root)))
        return state;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string& value = state[Utf8OfPath(fs::relative(it->path(), root))];
        if (it->is_symlink())
            value = "<link>" + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            value = "<dir>";
        else if (!it->is_regular_file())
            value = "<special>"; // a named pipe would wait for a writer
        else {
            const std::string content = ReadFile(it->path());
            value = std::to_string(content.size()) + ":" + std::to_string(std::hash<std::string>{}(content));
        }
    }
    return state;
}

// An entry of an archive made directly with libzip, names stored exactly as given.
struct RawEntry {
    enum class Kind { File, Folder, SymbolicLink };
    std::string name;
    std::string data = "x";
    Kind kind = Kind::File;
    std::string password = {}; // AES-256 when not empty
};

inline void MakeArchive(const fs::path& path, const std::vector<RawEntry>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& entry : entries) {
        const zip_int64_t index =
            entry.kind == RawEntry::Kind::Folder
                ? zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_RAW)
                : zip_file_add(archive, entry.name.c_str(),
                               zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0),
                               ZIP_FL_ENC_RAW);
        ASSERT_GE(index, 0) << entry.name << ": " << zip_strerror(archive);
        ASSERT_TRUE(entry.kind != RawEntry::Kind::SymbolicLink ||
                    zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX, 0120777u << 16) == 0);
        ASSERT_TRUE(entry.password.empty() ||
                    zip_file_set_encryption(archive, index, ZIP_EM_AES_256, entry.password.c_str()) == 0);
    }
    ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
}

inline std::uint32_t ReadLittle(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Overwrites a little-endian field in the local header and the central record of one entry.
inline void PatchBothHeaders(const PathArg& archive, std::size_t entry, std::size_t localOffset,
                             std::size_t centralOffset, std::uint32_t value, int size = 4) {
    std::string bytes = ReadFile(archive);
    std::size_t local = bytes.find("PK\3\4"), central = bytes.find("PK\1\2");
    for (std::size_t skip = 0; skip < entry; ++skip) {
        local = bytes.find("PK\3\4", local + 4);
        central = bytes.find("PK\1\2", central + 4);
    }
    for (int i = 0; i < size; ++i)
        bytes[local + localOffset + i] = bytes[central + centralOffset + i] =
            static_cast<char>(value >> (8 * i));
    WriteFile(archive, bytes);
}
inline constexpr std::size_t kLocalCrc = 14, kCentralCrc = 16;
inline constexpr std::size_t kLocalPackedSize = 18, kCentralPackedSize = 20;
inline constexpr std::size_t kLocalSize = 22, kCentralSize = 24;
inline constexpr std::size_t kLocalMethod = 8, kCentralMethod = 10;

} // namespace corvane::testing

// the table of hostile and broken archives, shared by the unpacking tests of the core and of the command line
#pragma once

#include <algorithm>
#include <optional>

#include <sys/stat.h>
#include <zlib.h>

#include "core/restore/restore.h"
#include "support/zip_test_support.h"

namespace corvane::testing {

using Kind = RawEntry::Kind;

// A target folder holding an older file, a sentinel folder beside it, the archive named after the target.
class ExtractionScene {
public:
    ExtractionScene() {
        m_scratch.Write("target/old.txt", "old");
        m_scratch.Write("sentinel/secret.txt", "secret");
    }
    std::string Archive() const { return m_scratch.Path("target.zip"); }
    std::string Target() const { return m_scratch.Path("target"); }
    fs::path Root() const { return m_scratch.Path(); }
    Result<int> Extract(const UnzipOptions& options) const {
        return ExtractArchive(Archive(), Target(), options);
    }
    // replacing the target: what is refused must be the archive, not the folder
    Result<int> Extract() const {
        UnzipOptions options;
        options.existing = ExistingFolder::Replace;
        return Extract(options);
    }
    bool HasLeftovers() const {
        return std::ranges::any_of(Snapshot(Root()), [](const auto& item) {
            return fs::path(item.first).filename().string().starts_with(".corvane-");
        });
    }

private:
    ScratchFolder m_scratch;
};

using Tamper = std::function<void(const ExtractionScene&)>;

inline Tamper Patch(std::size_t localOffset, std::size_t centralOffset, std::uint32_t value, int size = 4) {
    return [=](const ExtractionScene& s) {
        PatchBothHeaders(s.Archive(), 0, localOffset, centralOffset, value, size);
    };
}
inline Tamper Bytes(std::string (*archive)()) {
    return [=](const ExtractionScene& s) { WriteFile(s.Archive(), archive()); };
}

struct HostileCase {
    std::string label;
    std::vector<RawEntry> entries;
    std::string messagePart;
    Tamper tamper = nullptr; // after the archive is made
    UnzipLimits limits = {};
};
inline void PrintTo(const HostileCase& row, std::ostream* out) {
    *out << row.label;
}
// Makes the row's archive in the scene; returns what the scene holds then.
inline std::map<std::string, std::string> Stage(const ExtractionScene& scene, const HostileCase& row) {
    MakeArchive(scene.Archive(), row.entries);
    if (row.tamper)
        row.tamper(scene);
    return Snapshot(scene.Root());
}

// Stored entries written byte by byte, for archives libzip will not make, or not quickly.
inline void Put(std::string& out, std::initializer_list<std::pair<std::uint64_t, int>> fields) {
    for (auto [value, size] : fields)
        for (; size > 0; --size, value >>= 8)
            out += static_cast<char>(value & 0xFF);
}
// A local header, or with `offset` the central record pointing at the local header there.
inline void PutHeader(std::string& out, const std::string& name, const std::string& data,
                      std::optional<std::uint64_t> offset = std::nullopt) {
    Put(out, {{offset ? 0x02014b50 : 0x04034b50, 4}, {20, offset ? 2 : 0}, {20, 2}, {0, 6}, {0x21, 2}});
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), data.size());
    Put(out, {{crc, 4}, {data.size(), 4}, {data.size(), 4}, {name.size(), 2}, {0, 2}});
    if (offset)
        Put(out, {{0, 10}, {*offset, 4}});
    out += name;
}
// The end of an archive whose central directory of `count` records starts at `start`, Zip64 when needed.
inline void PutEnd(std::string& out, std::uint64_t count, std::uint64_t start) {
    const std::uint64_t size = out.size() - start, zip64 = out.size();
    if (count > 0xFFFF) {
        Put(out, {{0x06064b50, 4}, {44, 8}, {45, 2}, {45, 2}, {0, 8}, {count, 8}, {count, 8}});
        Put(out, {{size, 8}, {start, 8}, {0x07064b50, 4}, {0, 4}, {zip64, 8}, {1, 4}});
    }
    const std::uint64_t shortCount = std::min<std::uint64_t>(count, 0xFFFF);
    Put(out, {{0x06054b50, 4}, {0, 4}, {shortCount, 2}, {shortCount, 2}, {size, 4}, {start, 4}, {0, 2}});
}

// The second entry's local header inside the first's stored data: the shape of the smallest zip bombs.
inline std::string OverlappingArchive() {
    std::string inner, out;
    PutHeader(inner, "b.txt", "BBBB");
    inner += "BBBB";
    PutHeader(out, "a.txt", inner);
    out += inner;
    const std::size_t start = out.size();
    PutHeader(out, "a.txt", inner, 0);
    PutHeader(out, "b.txt", "BBBB", 35);
    PutEnd(out, 2, start);
    return out;
}

// One stored entry under a name libzip cannot be given (a NUL inside it).
inline std::string NulNameArchive() {
    const std::string name("a\0b.txt", 7);
    std::string out;
    PutHeader(out, name, "data");
    out += "data";
    const std::size_t start = out.size();
    PutHeader(out, name, "data", 0);
    PutEnd(out, 1, start);
    return out;
}

// A second, empty end record inside the real one's comment: a reader searching from the end finds no
// entries, libzip finds the real directory.
inline std::string HiddenEndRecordArchive() {
    std::string out, inner;
    PutHeader(out, "real.txt", "data");
    out += "data";
    const std::size_t start = out.size();
    PutHeader(out, "real.txt", "data", 0);
    PutEnd(out, 1, start);
    PutEnd(inner, 0, 0);
    out[out.size() - 2] = static_cast<char>(inner.size()); // the comment's length
    return out + inner;
}

// Empty entries past the default cap, made once from two header templates: milliseconds even with sanitizers.
inline constexpr int kManyEntries = 100000;
inline const std::string& ManyEntriesArchive() {
    static const std::string bytes = [] {
        std::string local, central, out, directory;
        PutHeader(local, "000000", "");
        PutHeader(central, "000000", "", 0);
        local.resize(30), central.resize(42); // up to the name, and the central record's offset field
        out.reserve(kManyEntries * 36 + 100), directory.reserve(kManyEntries * 52);
        char name[8];
        for (int i = 0; i < kManyEntries; ++i) {
            std::snprintf(name, sizeof name, "%06d", i);
            directory += central;
            Put(directory, {{out.size(), 4}});
            (out += local) += name;
            directory += name;
        }
        const std::size_t start = out.size();
        out += directory;
        PutEnd(out, kManyEntries, start);
        return out;
    }();
    return bytes;
}

// Each row is refused as a whole: nothing in the scene may change.
inline std::string LongPath() {
    std::string name;
    while (name.size() < 4500)
        name += std::string(90, 'd') + "/";
    return name + "f";
}

inline std::vector<HostileCase> HostileArchives() {
    return {
        HostileCase("traversal", {{"../evil.txt"}}, "\"..\""),
        HostileCase("inner_traversal", {{"a/../../evil.txt"}}, "a/../../evil.txt"),
        HostileCase("backslash_traversal", {{"..\\sentinel\\secret.txt"}}, "\"..\""),
        HostileCase("absolute", {{"/tmp/corvane-evil.txt"}}, "absolute"),
        HostileCase("unc", {{"\\\\server\\share\\x.txt"}}, "absolute"),
        HostileCase("drive", {{"C:\\evil.txt"}}, "drive"),
        HostileCase("control_character", {{"a\x01b.txt"}}, "control character"),
        HostileCase("escape_character", {{"ok.txt"}, {"a\x1b[2Jb.txt"}}, "control character"),
        HostileCase("reserved_name", {{"Forms/CON"}}, "reserved"),
        HostileCase("long_component", {{std::string(256, 'a')}}, "255"),
        HostileCase("long_path", {{LongPath()}}, "4096"),
        HostileCase("symbolic_link_entry", {{"link", "../sentinel", Kind::SymbolicLink}}, "symbolic link"),
        HostileCase("link_then_file_through_it",
                    {{"link", "../sentinel", Kind::SymbolicLink}, {"link/secret.txt", "pwned"}},
                    "symbolic link"),
        HostileCase("target_is_symbolic_link", {{"a.txt"}}, "symbolic link",
                    [](const ExtractionScene& s) {
                        fs::remove_all(s.Target());
                        fs::create_directory_symlink("sentinel", s.Target());
                    }),
        HostileCase("nul_in_name", {{"a"}}, "control character", Bytes(NulNameArchive)),
        HostileCase("windows_invalid_character", {{"ok.txt"}, {"what?.bas"}}, "Windows does not allow"),
        HostileCase("quote_in_name", {{"say \"hi\".txt"}}, "Windows does not allow"),
        HostileCase("trailing_dot", {{"Forms./a.frm"}}, "ends with a dot or a space"),
        HostileCase("trailing_space", {{"a.frm "}}, "ends with a dot or a space"),
        HostileCase("hidden_second_end_record", {{"real.txt"}}, "more than one end record",
                    Bytes(HiddenEndRecordArchive)),
        HostileCase("duplicate", {{"dup1.txt", "a"}, {"dup2.txt", "b"}}, "same name", // the second renamed
                    [](const ExtractionScene& s) { PatchBothHeaders(s.Archive(), 1, 33, 49, '1', 1); }),
        HostileCase("case_duplicate", {{"Read.me"}, {"READ.ME"}}, "READ.ME"),
        HostileCase("file_then_folder", {{"a"}, {"A/b"}}, "needs a folder"),
        HostileCase("folder_then_file", {{"a/b"}, {"a"}}, "other entries need a folder"),
        HostileCase("too_many_entries", {}, "holds " + std::to_string(kManyEntries) + " entries",
                    [](const ExtractionScene& s) { WriteFile(s.Archive(), ManyEntriesArchive()); }),
        HostileCase("claimed_total_over_limit", {{"a", std::string(600, 'a')}, {"b", std::string(600, 'b')}},
                    "--max-size", nullptr, {.maxTotalBytes = 1000}),
        HostileCase("bomb_by_ratio", {{"bomb.bin", std::string(4 << 20, '\0')}}, "--max-ratio", nullptr,
                    {.maxRatio = 100, .ratioFromBytes = 1 << 20}),
        HostileCase("size_lie", {{"big.txt", std::string(500000, 'z')}}, "the 10 bytes the archive declares",
                    Patch(kLocalSize, kCentralSize, 10)),
        HostileCase("crc_lie", {{"lie.txt", std::string(3000, 'q')}}, "CRC",
                    Patch(kLocalCrc, kCentralCrc, 0xdeadbeef)),
        HostileCase("damaged_second_entry", {{"first.txt", "good"}, {"second.txt", std::string(3000, 'q')}},
                    "second.txt",
                    [](const ExtractionScene& s) {
                        PatchBothHeaders(s.Archive(), 1, kLocalCrc, kCentralCrc, 0xdeadbeef);
                    }),
#ifndef _WIN32 // Windows has no named pipes in its file system
        HostileCase("named_pipe", {}, "named pipe, not a file",
                    [](const ExtractionScene& s) {
                        fs::remove(s.Archive());
                        ASSERT_EQ(::mkfifo(s.Archive().c_str(), 0600), 0);
                    }),
#endif
        HostileCase("overlapping_entries", {{"a.txt"}, {"b.txt"}}, "share the same bytes",
                    Bytes(OverlappingArchive)),
        HostileCase("truncated_data", {{"cut.bin", RandomBytes(5000)}}, "cut.bin",
                    Patch(kLocalPackedSize, kCentralPackedSize, 100)),
        HostileCase("truncated_archive", {{"a.txt", RandomBytes(5000)}}, "no readable list of entries",
                    [](const ExtractionScene& s) { fs::resize_file(s.Archive(), 3000); }),
        HostileCase("unknown_method", {{"m.txt", "some text"}}, "compression method 98",
                    Patch(kLocalMethod, kCentralMethod, 98, 2)),
    };
}

} // namespace corvane::testing

// deciding whether a project needs a new backup at all
#include "core/backup/unchanged.h"

#include <map>

#include "core/platform/regular_file.h"
#include "core/project/references.h"
#include "core/zip/stored_entries.h"

namespace corvane {

namespace {

struct Fingerprint {
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    friend bool operator==(const Fingerprint&, const Fingerprint&) = default;
};

Result<Fingerprint> FingerprintOf(const std::string& path) {
    Result<RegularFile> file = RegularFile::Open(path);
    if (!file)
        return file.failure();
    Fingerprint print{0, Crc32(0, nullptr, 0)};
    std::vector<char> block(1 << 16);
    for (;;) {
        const Result<std::size_t> read = file.value().Read(block.data(), block.size());
        if (!read)
            return read.failure();
        if (*read == 0)
            return print;
        print.size += *read;
        print.crc = Crc32(print.crc, block.data(), *read);
    }
}

// the rewritten project file's name carries the moment of its backup; it is the one entry at the root
// that ends in ".vbp"
bool IsRootProjectFile(const std::string& name) {
    return name.find('/') == std::string::npos && name.size() > 4 &&
           FoldCase(name.substr(name.size() - 4)) == ".vbp";
}

} // namespace

Result<bool> HoldsSameEntries(const std::string& archive, const ArchivePlan& plan,
                              const std::string& password) {
    const Result<std::vector<StoredEntry>> stored = ReadStoredEntries(archive, password);
    if (!stored)
        return stored.failure();
    if (stored->size() != plan.files.size() + 1)
        return false;
    std::map<std::string, const StoredEntry*> byName;
    for (const StoredEntry& entry : *stored) {
        if (entry.encrypted != !password.empty())
            return false;
        if (!byName.emplace(entry.name, &entry).second)
            return false;
    }
    for (const ArchivePlan::File& file : plan.files) {
        const auto found = byName.find(file.entryName);
        if (found == byName.end())
            return false;
        const Result<Fingerprint> print = FingerprintOf(file.diskPath);
        if (!print)
            return print.failure();
        if (!(*print == Fingerprint{found->second->size, found->second->crc}))
            return false;
        byName.erase(found);
    }
    // the counts agree, so one entry is left: it must be the rewritten project file, with the same bytes
    const StoredEntry& left = *byName.begin()->second;
    const Fingerprint rewritten{plan.rewritten.size(),
                                Crc32(Crc32(0, nullptr, 0), plan.rewritten.data(), plan.rewritten.size())};
    return IsRootProjectFile(left.name) && rewritten == Fingerprint{left.size, left.crc};
}

std::optional<std::string> UnchangedSince(const std::vector<std::string>& archives,
                                          const std::string& projectPath, const JobState& job,
                                          const ArchiveOptions& options) {
    if (archives.empty())
        return std::nullopt;
    ArchiveOptions planning = options;
    planning.progress = nullptr;
    const Result<ArchivePlan> plan = PlanArchive(projectPath, job, planning);
    if (!plan)
        return std::nullopt;
    const Result<bool> same = HoldsSameEntries(archives.front(), *plan, options.password);
    if (!same || !*same)
        return std::nullopt;
    return archives.front();
}

} // namespace corvane

// the first pass over an archive's central directory: what will be written where, or why nothing is
#include "core/restore/plan.h"

#include <algorithm>

namespace corvane {
namespace {

constexpr zip_uint32_t kUnixFileTypeMask = 0170000;
constexpr zip_uint32_t kUnixSymbolicLink = 0120000;

Error Refuse(const std::string& name, const std::string& why) {
    return fail(ErrorKind::Refused, "The archive entry \"" + name + "\" was refused: " + why + ".");
}

bool IsSymbolicLinkEntry(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & kUnixFileTypeMask) == kUnixSymbolicLink;
}

Error DirectoriesDiffer(zip_uint64_t index) {
    return fail(ErrorKind::Refused, "The archive's list of entries reads differently at entry number " +
                                        std::to_string(index + 1) +
                                        "; it was not made by an archiver and is refused.");
}

Result<PlannedEntry> PlanEntry(zip_t* archive, zip_uint64_t index, const DirectoryRecord& record) {
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) != 0)
        return fail(ErrorKind::Damaged,
                    "Could not read the entry number " + std::to_string(index + 1) + " of the archive.");
    // the stored bytes too: libzip's copy ends at a NUL, and the code page conversion turns control
    // characters into symbols
    if (auto rawCheck = CheckEntryName(record.rawName); !rawCheck)
        return rawCheck.failure();
    const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
    if (raw == nullptr || record.rawName != raw)
        return DirectoriesDiffer(index);
    PlannedEntry entry;
    entry.index = index;
    entry.name = stat.name != nullptr ? stat.name : "";
    auto path = CheckEntryName(entry.name);
    if (!path)
        return path.failure();
    entry.path = std::move(path.value());
    if (IsSymbolicLinkEntry(archive, index))
        return Refuse(entry.name, "it is a symbolic link");
    if (!zip_compression_method_supported(stat.comp_method, 0))
        return Refuse(entry.name, "it uses compression method " + std::to_string(stat.comp_method) +
                                      ", which this program cannot unpack");
    entry.encrypted = stat.encryption_method != ZIP_EM_NONE;
    if (entry.encrypted && !zip_encryption_method_supported(stat.encryption_method, 0))
        return Refuse(entry.name, "it uses an encryption this program cannot read");
    entry.size = stat.size;
    entry.compressedSize = stat.comp_size;
    entry.modificationTime = stat.mtime;
    entry.deflated = stat.comp_method == ZIP_CM_DEFLATE;
    entry.aesVersion2 = entry.encrypted && record.aesVersion2;
    return entry;
}

} // namespace

Result<ExtractionPlan> PlanExtraction(zip_t* archive, const std::vector<DirectoryRecord>& records,
                                      const UnzipLimits& limits) {
    zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0)
        return fail(ErrorKind::Damaged, "Could not read the archive's list of entries.");
    if (static_cast<std::uint64_t>(count) != records.size())
        return DirectoriesDiffer(std::min<std::uint64_t>(records.size(), static_cast<std::uint64_t>(count)));
    ExtractionPlan plan;
    EntryNamePlan names;
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        auto entry = PlanEntry(archive, index, records[index]);
        if (!entry)
            return entry.failure();
        if (Status added = names.Add(entry->name, entry->path); !added)
            return added.failure();
        if (entry->size > limits.maxTotalBytes - plan.declaredTotal)
            return Refuse(entry->name, "the archive would unpack to more than the limit of " +
                                           std::to_string(limits.maxTotalBytes) + " bytes (--max-size)");
        plan.declaredTotal += entry->size;
        plan.entries.push_back(std::move(entry.value()));
    }
    return plan;
}

} // namespace corvane

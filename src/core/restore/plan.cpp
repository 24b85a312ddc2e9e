// the first pass over an archive's central directory: what will be written where, or why nothing is
#include "core/restore/plan.h"

#include <filesystem>

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

// What already lies inside the folder must not redirect or block the entry.
Status CheckExistingPath(const std::filesystem::path& folder, const PlannedEntry& entry) {
    std::filesystem::path path = folder;
    const auto& components = entry.path.components;
    for (std::size_t i = 0; i < components.size(); ++i) {
        path /= components[i];
        std::error_code error;
        auto status = std::filesystem::symlink_status(path, error);
        if (error || !std::filesystem::exists(status))
            return Status::success();
        if (std::filesystem::is_symlink(status))
            return Refuse(entry.name, "\"" + path.string() + "\" is a symbolic link");
        const bool needsFolder = i + 1 < components.size() || entry.path.isFolder;
        if (needsFolder && !std::filesystem::is_directory(status))
            return Refuse(entry.name, "\"" + path.string() + "\" exists and is not a folder");
        if (!needsFolder && std::filesystem::is_directory(status))
            return Refuse(entry.name, "\"" + path.string() + "\" exists and is a folder");
    }
    return Status::success();
}

Result<PlannedEntry> PlanEntry(zip_t* archive, zip_uint64_t index, const UnzipLimits& limits) {
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) != 0)
        return fail(ErrorKind::Damaged,
                    "Could not read the entry number " + std::to_string(index + 1) + " of the archive.");
    const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
    PlannedEntry entry;
    entry.index = index;
    entry.name = stat.name != nullptr ? stat.name : "";
    // the raw bytes too, as the code page conversion turns control characters into symbols
    if (auto rawCheck = CheckEntryName(raw != nullptr ? raw : ""); !rawCheck)
        return rawCheck.failure();
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
    if (entry.size > limits.maxEntryBytes)
        return Refuse(entry.name, "it would unpack to " + std::to_string(entry.size) +
                                      " bytes, more than the limit of " +
                                      std::to_string(limits.maxEntryBytes));
    return entry;
}

} // namespace

Status CheckEntryCount(std::uint64_t count, const UnzipLimits& limits) {
    if (count > limits.maxEntries)
        return fail(ErrorKind::Refused, "The archive holds " + std::to_string(count) +
                                            " entries, more than the limit of " +
                                            std::to_string(limits.maxEntries) + ".");
    return Status::success();
}

Result<ExtractionPlan> PlanExtraction(zip_t* archive, const std::string& folder, const UnzipLimits& limits) {
    zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0)
        return fail(ErrorKind::Damaged, "Could not read the archive's list of entries.");
    if (Status counted = CheckEntryCount(static_cast<std::uint64_t>(count), limits); !counted)
        return counted.failure();
    ExtractionPlan plan;
    EntryNamePlan names;
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        auto entry = PlanEntry(archive, index, limits);
        if (!entry)
            return entry.failure();
        if (Status added = names.Add(entry->name, entry->path); !added)
            return added.failure();
        if (Status existing = CheckExistingPath(folder, *entry); !existing)
            return existing.failure();
        if (entry->size > limits.maxTotalBytes - plan.claimedTotal)
            return Refuse(entry->name, "the archive would unpack to more than the limit of " +
                                           std::to_string(limits.maxTotalBytes) + " bytes");
        plan.claimedTotal += entry->size;
        plan.entries.push_back(std::move(entry.value()));
    }
    return plan;
}

} // namespace corvane

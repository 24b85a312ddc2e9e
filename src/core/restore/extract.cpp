// unpacking a whole archive into a staging folder that takes the target's place only when complete
#include "core/restore/restore.h"

#include <filesystem>

#include "core/platform/extract_output.h"
#include "core/platform/staging_folder.h"
#include "core/project/paths.h"
#include "core/restore/entry_reader.h"
#include "core/restore/staging.h"

namespace corvane {
namespace {

// The declared sizes are what will be written (an entry cannot inflate past its own), so a disk too
// small is known before the first byte.
Status CheckFreeSpace(const std::string& staging, std::uint64_t declaredTotal) {
    const Result<std::uint64_t> free = FreeSpaceOf(staging);
    if (free && *free < declaredTotal)
        return fail(ErrorKind::NotWritable,
                    "The archive unpacks to " + std::to_string(declaredTotal) + " bytes, but only " +
                        std::to_string(*free) + " bytes are free on the disk of \"" + staging + "\".",
                    staging);
    return Status::success();
}

Status ExtractEntry(const PlannedEntry& entry, ExtractTarget& target, EntryReader& reader) {
    if (entry.path.isFolder)
        return target.MakeFolders(entry.path.components);
    auto created = target.CreateFile(entry.path.components);
    if (!created)
        return created.failure();
    PendingFile& file = created.value();
    Status read =
        reader.Read(entry, [&](const char* data, std::size_t size) { return file.Write(data, size); });
    if (!read)
        return read; // the pending file removes itself
    return file.Commit(entry.modificationTime);
}

} // namespace

Result<int> ExtractArchive(const std::string& archivePath, const std::string& folder,
                           const UnzipOptions& options) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    // without a current folder a relative target stays relative
    const std::string target = (error ? std::filesystem::path(folder) : absolute).lexically_normal().string();
    if (Status checked = CheckTarget(target, options.existing); !checked)
        return checked.failure();
    RemoveStaleStagingFolders(target);
    auto opened = OpenArchive(archivePath, options.limits);
    if (!opened)
        return opened.failure();
    const ExtractionPlan& plan = opened->plan;
    EntryReader reader(opened->archive.get(), options, plan.declaredTotal);
    if (Status unlocked = reader.Unlock(plan); !unlocked)
        return unlocked.failure();

    auto staging = StagingFolder::Create(target);
    if (!staging)
        return staging.failure();
    if (Status space = CheckFreeSpace(staging->path(), plan.declaredTotal); !space)
        return space.failure();
    auto output = ExtractTarget::Open(staging->path());
    if (!output)
        return output.failure();
    int extracted = 0;
    for (const PlannedEntry& entry : plan.entries) {
        if (reader.Cancelled())
            return ExtractionCancelled();
        if (Status done = ExtractEntry(entry, output.value(), reader); !done)
            return done.failure();
        ++extracted;
    }
    // the last moment a cancel is heard: after it, the target changes
    if (reader.Cancelled())
        return ExtractionCancelled();
    if (Status committed = staging.value().Commit(options.existing); !committed)
        return committed.failure();
    if (options.progress)
        options.progress(1.0);
    return extracted;
}

Result<int> TestArchive(const std::string& archivePath, const UnzipOptions& options) {
    auto opened = OpenArchive(archivePath, options.limits);
    if (!opened)
        return opened.failure();
    EntryReader reader(opened->archive.get(), options, opened->plan.declaredTotal);
    if (Status unlocked = reader.Unlock(opened->plan); !unlocked)
        return unlocked.failure();
    int checked = 0;
    for (const PlannedEntry& entry : opened->plan.entries) {
        if (Status read = reader.Read(entry, [](const char*, std::size_t) { return Status::success(); });
            !read)
            return read.failure();
        ++checked;
    }
    return checked;
}

Result<std::string> ExtractionFolderOf(const std::string& archivePath) {
    if (KindOfInput(archivePath) != InputKind::Archive)
        return fail(ErrorKind::Refused, "\"" + archivePath + "\" is not a .zip file.", archivePath);
    const std::string name = FileNameOfPath(archivePath);
    const std::string stem = name.substr(0, name.size() - 4);
    if (const std::optional<std::string> problem = NameProblem(stem))
        return fail(ErrorKind::Refused,
                    "The archive \"" + archivePath +
                        "\" gives no folder to unpack into beside it: " + *problem + ".",
                    archivePath);
    return archivePath.substr(0, archivePath.size() - 4);
}

} // namespace corvane

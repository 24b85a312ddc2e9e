// unpacking a whole archive into a staging folder that takes the target's place only when complete
#include "core/restore/restore.h"

#include <filesystem>
#include <thread>

#include "core/platform/extract_output.h"
#include "core/platform/staging_folder.h"
#include "core/project/paths.h"
#include "core/restore/entry_reader.h"
#include "core/restore/parallel_extract.h"
#include "core/restore/staging.h"
#include "core/platform/platform.h"

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

} // namespace

Result<int> ExtractArchive(const std::string& archivePath, const std::string& folder,
                           const UnzipOptions& options) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(FsPath(folder), error);
    // without a current folder a relative target stays relative
    const std::string target = Utf8OfPath((error ? FsPath(folder) : absolute).lexically_normal());
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
    // Inflating is most of an unpacking: with more than one processor the files go to workers, once
    // every folder is made here (no two workers then make the same one). The plan has already refused
    // a name that is a file for one entry and a folder for another.
    const bool parallel = std::thread::hardware_concurrency() > 1 && plan.entries.size() > 1;
    std::vector<const PlannedEntry*> files;
    for (const PlannedEntry& entry : plan.entries) {
        if (reader.Cancelled())
            return ExtractionCancelled();
        if (parallel && !entry.path.isFolder) {
            const std::vector<std::string>& components = entry.path.components;
            if (components.size() > 1) {
                Status made = output.value().MakeFolders({components.begin(), components.end() - 1});
                if (!made)
                    return made.failure();
            }
            files.push_back(&entry);
            continue;
        }
        if (Status done = ExtractEntry(entry, output.value(), reader); !done)
            return done.failure();
        ++extracted;
    }
    if (!files.empty()) {
        if (Status done = ExtractFilesInParallel(archivePath, files, plan.declaredTotal, reader, output.value(),
                                                 options);
            !done)
            return done.failure();
        extracted += static_cast<int>(files.size());
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

// what an archive holds, as its directory declares it, and the project it is a backup of
#include "core/restore/restore.h"

#include "core/project/paths.h"
#include "core/project/project.h"
#include "core/project/text.h"
#include "core/restore/entry_reader.h"

namespace corvane {
namespace {

// A rewritten project file is a few kilobytes; anything far bigger is not one of ours.
constexpr std::uint64_t kMaxProjectFileBytes = 4 << 20;

const PlannedEntry* RootProjectFile(const ExtractionPlan& plan) {
    for (const PlannedEntry& entry : plan.entries) {
        if (!entry.path.isFolder && entry.path.components.size() == 1 &&
            KindOfInput(entry.name) == InputKind::Project && entry.size <= kMaxProjectFileBytes)
            return &entry;
    }
    return nullptr;
}

Status ReadProjectInfoInto(const PlannedEntry& entry, EntryReader& reader, ArchiveListing& listing) {
    std::string bytes;
    Status read = reader.Read(entry, [&bytes](const char* data, std::size_t size) {
        bytes.append(data, size);
        return Status::success();
    });
    if (!read)
        return read;
    JobState state;
    ApplyProjectInfo(ProjectFile{SplitLines(bytes)}, state);
    listing.projectName = state.gProjectName;
    listing.projectVersion = state.gMajorVer + "." + state.gMinorVer + "." + state.gRevisionVer;
    return Status::success();
}

} // namespace

Result<ArchiveListing> ListArchive(const std::string& archivePath, const UnzipOptions& options) {
    auto opened = OpenArchive(archivePath, options.limits);
    if (!opened)
        return opened.failure();
    ArchiveListing listing;
    for (const PlannedEntry& entry : opened->plan.entries)
        listing.entries.push_back({JoinEntryPath(entry.path.components), entry.size, entry.compressedSize,
                                   entry.modificationTime, entry.encrypted, entry.path.isFolder});
    const PlannedEntry* project = RootProjectFile(opened->plan);
    if (project == nullptr || (project->encrypted && !options.askPassword))
        return listing;
    EntryReader reader(opened->archive.get(), options, 0);
    Status read = project->encrypted ? reader.Unlock(opened->plan) : Status::success();
    if (read)
        read = ReadProjectInfoInto(*project, reader, listing);
    if (!read)
        return read.failure();
    return listing;
}

} // namespace corvane

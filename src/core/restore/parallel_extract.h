// unpacking the files of a planned archive on every processor, into an open extraction folder
#pragma once

#include <string>
#include <vector>

#include "core/common/error.h"
#include "core/platform/extract_output.h"
#include "core/restore/entry_reader.h"
#include "core/restore/plan.h"

namespace corvane {

// Writes one entry through `reader` into `target`; `written` hears each piece written.
Status ExtractEntry(const PlannedEntry& entry, ExtractTarget& target, EntryReader& reader,
                    const std::function<void(std::size_t)>& written = {});

// Unpacks `files` (entries that are not folders, in the plan's order, their folders already made)
// with one worker per processor, each reading through its own handle of the archive: a libzip archive
// is not to be shared between threads. `unlocked` gives the password. Progress and the cancel are
// heard on this thread only, since they may belong to a window. A failure stops the entries after it
// but never one before it, so the failure returned is the first entry's, as when one thread unpacks
// them all.
Status ExtractFilesInParallel(const std::string& archivePath, const std::vector<const PlannedEntry*>& files,
                              std::uint64_t declaredTotal, const EntryReader& unlocked, ExtractTarget& target,
                              const UnzipOptions& options);

} // namespace corvane

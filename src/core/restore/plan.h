// the first pass over an archive's central directory: what will be written where, or why nothing is
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>
#include <zip.h>

#include "core/common/error.h"
#include "core/restore/path_gate.h"
#include "core/restore/restore.h"

namespace corvane {

struct PlannedEntry {
    zip_uint64_t index = 0;
    std::string name; // as shown in messages
    EntryPath path;
    std::uint64_t size = 0;           // as the archive claims
    std::uint64_t compressedSize = 0; // as the archive claims
    std::time_t modificationTime = 0;
    bool encrypted = false;
};

struct ExtractionPlan {
    std::vector<PlannedEntry> entries;
    std::uint64_t claimedTotal = 0;
};

// The entry count against its cap, asked before libzip reads a directory of millions of entries into
// memory, and again of the directory libzip read.
Status CheckEntryCount(std::uint64_t count, const UnzipLimits& limits);

// Refuses the whole archive when any entry may not be written: names the gate refuses, symbolic
// links, clashes between entries, methods we cannot read, claimed sizes over the limits, and
// paths that meet a symbolic link or a clashing file already inside `folder`.
Result<ExtractionPlan> PlanExtraction(zip_t* archive, const std::string& folder, const UnzipLimits& limits);

// Refuses an archive whose entries share bytes: a local header inside another entry's data is how
// the smallest zip bombs repeat one compressed kernel thousands of times, and no archiver writes it.
// The message names the two entries. An archive whose directory cannot be read is left to libzip.
Status CheckEntriesDoNotOverlap(const std::string& archivePath);

// The number of entries the archive's end record declares, read without the directory itself;
// nullopt when no end record is found.
std::optional<std::uint64_t> DeclaredEntryCount(const std::string& archivePath);

} // namespace corvane

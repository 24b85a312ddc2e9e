// the first pass over an archive's central directory: what will be written where, or why nothing is
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include <zip.h>

#include "core/extract_path_gate.h"
#include "core/result.h"
#include "core/unzipper.h"

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

} // namespace corvane

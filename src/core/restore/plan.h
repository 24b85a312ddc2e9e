// the first pass over an archive's central directory: what will be written where, or why nothing is
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>
#include <zip.h>

#include "core/common/error.h"
#include "core/platform/regular_file.h"
#include "core/restore/path_gate.h"
#include "core/restore/restore.h"

namespace corvane {

// One record of the central directory as the archive's bytes hold it, read without libzip.
struct DirectoryRecord {
    std::string rawName;      // every byte of the stored name, a NUL included
    std::uint64_t begin = 0;  // the local header
    std::uint64_t end = 0;    // one past the compressed data
    bool aesVersion2 = false; // WinZip AES "AE-2": no CRC, the authentication code stands for it
};

// The central directory of the one end record the archive has. An archive with two end records that
// each reach the file's end is refused (a second one hidden in the comment shows libzip one directory
// and a checker another), as is a count over limits.maxEntries, checked before the directory is read.
Result<std::vector<DirectoryRecord>> ReadCentralDirectory(RegularFile& archive, const UnzipLimits& limits);

// Refuses records that share bytes: a local header inside another entry's data is how the smallest zip
// bombs repeat one compressed kernel thousands of times, and no archiver writes it. Names the two.
Status CheckEntriesDoNotOverlap(std::vector<DirectoryRecord> records);

struct PlannedEntry {
    zip_uint64_t index = 0;
    std::string name; // as shown in messages
    EntryPath path;
    std::uint64_t size = 0;           // as the archive declares
    std::uint64_t compressedSize = 0; // as the archive declares
    std::time_t modificationTime = 0;
    bool encrypted = false;
    bool deflated = false;
    bool aesVersion2 = false;
};

struct ExtractionPlan {
    std::vector<PlannedEntry> entries;
    std::uint64_t declaredTotal = 0;
};

// Refuses the whole archive when any entry may not be written: names the gate refuses, symbolic
// links, clashes between entries, methods we cannot read, a declared total over limits.maxTotalBytes,
// and a directory libzip read otherwise than `records` say.
Result<ExtractionPlan> PlanExtraction(zip_t* archive, const std::vector<DirectoryRecord>& records,
                                      const UnzipLimits& limits);

} // namespace corvane

// a libzip source that reads a file from disk only when the archive is written, naming it on failure
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include <zip.h>

#include "core/result.h"

namespace corvane {

struct SourceFile {
    std::string path;
    std::uint64_t size = 0;
    std::time_t modificationTime = 0;
};

// Which file could not be read while the archive was written, and why.
struct SourceFailure {
    std::string path;
    std::string reason;
};

// Opens and reads a byte of the file now, so that a missing or unreadable file is refused when
// it is added rather than when the archive is written.
Result<SourceFile> InspectSourceFile(const std::string& path);

// The file is opened only while libzip copies it, so memory and descriptors stay few whatever the
// number of files. A failure is recorded in `failure`, which must outlive the source.
// Returns nullptr with the archive's error set when the source cannot be made.
zip_source_t* CreateFileSource(zip_t* archive, const SourceFile& file, SourceFailure* failure);

} // namespace corvane

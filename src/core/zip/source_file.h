// a file a backup stores: looked at when it is added, and held to that look while its bytes are read
#pragma once

#include <string>

#include "core/common/error.h"
#include "core/platform/regular_file.h"

namespace corvane {

// The file as it was when its entry was added. Its time is the entry's time, so the bytes stored must
// be the bytes of this version: a file rewritten, grown or swapped before it is read fails the run.
struct SourceFile {
    std::string path;
    FileState state;
};

// Opens the file now, so that a missing, unreadable or not regular file is refused when it is added
// rather than when the archive is written.
Result<SourceFile> InspectSourceFile(const std::string& path);

// Opens the file for its bytes; refused when it is no longer the version that was inspected.
Result<RegularFile> OpenSourceFile(const SourceFile& file);
// After the last byte: the open file must still be the version that was inspected.
Status CheckSourceUnchanged(const RegularFile& open, const SourceFile& file);

// "Could not read "PATH": REASON." from a reason-only error of RegularFile
Error SourceReadFailure(Error reason);

} // namespace corvane

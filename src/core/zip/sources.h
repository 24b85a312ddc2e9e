// libzip sources of ours: files read only while the archive is written, and streams the pool deflated
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <zip.h>

#include "core/common/error.h"
#include "core/zip/deflate_pool.h"

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
    ErrorKind kind = ErrorKind::NotReadable; // a file swapped or removed during the write is NotFound
};

// For the sources of ours: records which file failed and why, sets the source's libzip error and
// gives libzip's failure result, -1.
zip_int64_t FailSource(const SourceFile& file, SourceFailure& failure, zip_error_t& error, int zipError,
                       int systemError);
// Starts libzip's stat of a source of ours from what `file` was when it was added; nullptr (with
// `error` set) when libzip's buffer cannot hold it.
zip_stat_t* StatSourceFile(const SourceFile& file, zip_error_t& error, void* data, zip_uint64_t length);
// The commands every source of ours answers alike: its last error, the list of commands it
// supports, and a refusal of any other.
zip_int64_t AnswerCommonCommand(zip_error_t& error, void* data, zip_uint64_t length,
                                zip_source_cmd_t command);

// Opens and reads a byte of the file now, so that a missing or unreadable file is refused when
// it is added rather than when the archive is written.
Result<SourceFile> InspectSourceFile(const std::string& path);

// The file is opened only while libzip copies it, so memory and descriptors stay few whatever the
// number of files. A failure is recorded in `failure`, which must outlive the source.
// Returns nullptr with the archive's error set when the source cannot be made.
zip_source_t* CreateFileSource(zip_t* archive, const SourceFile& file, SourceFailure* failure);

// The entry must be set to deflate: libzip then takes the stream as it is (encrypting it when a
// password is set) and the CRC and sizes from the source. Opening waits for the pool's file and
// gives up when `cancelled` says so. A file the pool could not read is recorded in `failure` as the
// plain file source records it. `pool`, `failure` and `cancelled` must outlive the source.
// Returns nullptr with the archive's error set when the source cannot be made.
zip_source_t* CreateDeflatedSource(zip_t* archive, DeflatePool* pool, const SourceFile& file,
                                   SourceFailure* failure, const std::function<bool()>* cancelled);

} // namespace corvane

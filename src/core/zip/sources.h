// libzip sources of ours: files read only while the archive is written, and streams the pool deflated
#pragma once

#include <functional>
#include <optional>
#include <zip.h>

#include "core/common/error.h"
#include "core/zip/deflate_pool.h"
#include "core/zip/file_deflater.h"
#include "core/zip/source_file.h"

namespace corvane {

// What a source of ours tells the archive beyond libzip's error: which file failed and why (a whole
// sentence naming it), the size and CRC-32 of the bytes it read, which the written archive must give
// back, and the keys it encrypted them with when it did. All must outlive the source.
struct SourceRecord {
    std::optional<Error>* failure = nullptr;
    EntryDigest* digest = nullptr;
    std::optional<WinZipAesKeys>* keys = nullptr;
};

// Records `error` as the archive's failure, sets the source's libzip error and gives libzip's
// failure result, -1.
zip_int64_t FailSource(const SourceRecord& record, zip_error_t& zipError, int zipErrorCode, Error error);
// Starts libzip's stat of a source of ours from what `file` was when it was added; nullptr (with
// `error` set) when libzip's buffer cannot hold it.
zip_stat_t* StatSourceFile(const SourceFile& file, zip_error_t& error, void* data, zip_uint64_t length);
// The commands every source of ours answers alike: its last error, the list of commands it
// supports, and a refusal of any other.
zip_int64_t AnswerCommonCommand(zip_error_t& error, void* data, zip_uint64_t length,
                                zip_source_cmd_t command);

// The file is opened only while libzip copies it, so memory and descriptors stay few whatever the
// number of files. Returns nullptr with the archive's error set when the source cannot be made.
zip_source_t* CreateFileSource(zip_t* archive, const SourceFile& file, SourceRecord record);

// The entry must be set to deflate, and when the pool encrypts, to AES-256 without a password: libzip
// then takes the stream as it is and the CRC and sizes from the source. Opening waits for the pool's file and
// gives up when `cancelled` says so. `pool` and `cancelled` must outlive the source.
// Returns nullptr with the archive's error set when the source cannot be made.
zip_source_t* CreateDeflatedSource(zip_t* archive, DeflatePool* pool, const SourceFile& file,
                                   SourceRecord record, const std::function<bool()>* cancelled);

} // namespace corvane

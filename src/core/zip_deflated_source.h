// a libzip source that hands libzip a file already deflated by the pool, so libzip only copies it
#pragma once

#include <cstddef>
#include <functional>

#include <zip.h>

#include "core/deflate_pool.h"
#include "core/zip_file_source.h"

namespace corvane {

// The entry must be set to deflate: libzip then takes the stream as it is (encrypting it when a
// password is set) and the CRC and sizes from the source. Opening waits for the pool's file and
// gives up when `cancelled` says so. A file the pool could not read is recorded in `failure` as the
// plain file source records it. `pool`, `failure` and `cancelled` must outlive the source.
// Returns nullptr with the archive's error set when the source cannot be made.
zip_source_t* CreateDeflatedSource(zip_t* archive, DeflatePool* pool, const SourceFile& file,
                                   SourceFailure* failure, const std::function<bool()>* cancelled);

} // namespace corvane

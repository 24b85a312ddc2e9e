// a libzip source that reads a file from disk only when the archive is written, naming it on failure
#include "core/zip/sources.h"

#include <optional>

#include <zlib.h>

namespace corvane {
namespace {

struct FileSourceState {
    SourceFile file;
    SourceRecord record;
    std::optional<RegularFile> open;
    uLong crc = 0;
    std::uint64_t size = 0;
    zip_error_t error;
};

zip_int64_t Open(FileSourceState& state) {
    Result<RegularFile> open = OpenSourceFile(state.file);
    if (!open)
        return FailSource(state.record, state.error, ZIP_ER_OPEN, open.failure());
    state.open.emplace(std::move(open).value());
    state.crc = crc32(0L, Z_NULL, 0);
    state.size = 0;
    return 0;
}

zip_int64_t Read(FileSourceState& state, void* data, zip_uint64_t length) {
    Result<std::size_t> read = state.open->Read(static_cast<char*>(data), static_cast<std::size_t>(length));
    if (!read)
        return FailSource(state.record, state.error, ZIP_ER_READ, SourceReadFailure(read.failure()));
    if (*read == 0) { // the end: what was read must be the file that was added
        if (Status unchanged = CheckSourceUnchanged(*state.open, state.file); !unchanged)
            return FailSource(state.record, state.error, ZIP_ER_READ, unchanged.failure());
        *state.record.digest = EntryDigest{state.size, static_cast<std::uint32_t>(state.crc)};
        return 0;
    }
    state.crc = crc32(state.crc, static_cast<const Bytef*>(data), static_cast<uInt>(*read));
    state.size += *read;
    return static_cast<zip_int64_t>(*read);
}

zip_int64_t FileSourceCallback(void* userData, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* state = static_cast<FileSourceState*>(userData);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        return Open(*state);
    case ZIP_SOURCE_READ:
        return Read(*state, data, length);
    case ZIP_SOURCE_CLOSE:
        state->open.reset();
        return 0;
    case ZIP_SOURCE_STAT:
        return StatSourceFile(state->file, state->error, data, length) ? sizeof(zip_stat_t) : -1;
    case ZIP_SOURCE_FREE:
        zip_error_fini(&state->error);
        delete state;
        return 0;
    default:
        return AnswerCommonCommand(state->error, data, length, command);
    }
}

} // namespace

zip_int64_t FailSource(const SourceRecord& record, zip_error_t& zipError, int zipErrorCode, Error error) {
    zip_error_set(&zipError, zipErrorCode, error.systemError);
    if (!*record.failure) // the first failure is the cause; libzip may read on before it stops
        *record.failure = std::move(error);
    return -1;
}

zip_stat_t* StatSourceFile(const SourceFile& file, zip_error_t& error, void* data, zip_uint64_t length) {
    auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error);
    if (stat == nullptr)
        return nullptr;
    zip_stat_init(stat);
    stat->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
    stat->size = file.state.size;
    stat->mtime = file.state.ModificationTime();
    return stat;
}

zip_int64_t AnswerCommonCommand(zip_error_t& error, void* data, zip_uint64_t length,
                                zip_source_cmd_t command) {
    switch (command) {
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error, data, length);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

zip_source_t* CreateFileSource(zip_t* archive, const SourceFile& file, SourceRecord record) {
    auto* state = new FileSourceState{file, record, std::nullopt, 0, 0, {}};
    zip_error_init(&state->error);
    zip_source_t* source = zip_source_function(archive, FileSourceCallback, state);
    if (source == nullptr) {
        zip_error_fini(&state->error);
        delete state;
    }
    return source;
}

} // namespace corvane

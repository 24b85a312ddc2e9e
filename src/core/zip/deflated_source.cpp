// a libzip source that hands libzip a file already deflated by the pool, so libzip only copies it
#include "core/zip/sources.h"

#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

struct DeflatedSourceState {
    DeflatePool* pool = nullptr;
    std::size_t index = 0;
    SourceFile file;
    SourceRecord record;
    const std::function<bool()>* cancelled = nullptr;
    const DeflatedFile* data = nullptr;
    std::size_t offset = 0;
    // kept after the pool's buffer is released: libzip asks for them once the copy is closed
    bool haveResult = false;
    EntryDigest digest;
    std::uint64_t compressedSize = 0;
    zip_error_t error;
};

void Close(DeflatedSourceState& state) {
    if (state.data != nullptr)
        state.pool->Release(state.index);
    state.data = nullptr;
}

zip_int64_t Open(DeflatedSourceState& state) {
    state.data = state.pool->Wait(state.index, *state.cancelled);
    if (state.data == nullptr) {
        zip_error_set(&state.error, ZIP_ER_CANCELLED, 0);
        return -1;
    }
    if (state.data->stopped) {
        Close(state);
        zip_error_set(&state.error, ZIP_ER_CANCELLED, 0);
        return -1;
    }
    if (state.data->failure) {
        Error failure = *state.data->failure;
        Close(state);
        return FailSource(state.record, state.error, ZIP_ER_READ, std::move(failure));
    }
    // the file was read ahead; one that is gone or rewritten by the time its entry is written still
    // fails the archive, naming it, as it does when libzip reads the file itself
    if (Result<RegularFile> still = OpenSourceFile(state.file); !still) {
        Close(state);
        return FailSource(state.record, state.error, ZIP_ER_OPEN, still.failure());
    }
    state.offset = 0;
    state.haveResult = true;
    state.digest = state.data->digest;
    *state.record.digest = state.digest;
    *state.record.keys = state.data->keys;
    state.compressedSize = state.data->bytes.size();
    return 0;
}

zip_int64_t DeflatedSourceCallback(void* userData, void* data, zip_uint64_t length,
                                   zip_source_cmd_t command) {
    auto* state = static_cast<DeflatedSourceState*>(userData);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        return Open(*state);
    case ZIP_SOURCE_READ: {
        const std::string& bytes = state->data->bytes;
        const std::size_t count = std::min<std::size_t>(length, bytes.size() - state->offset);
        std::memcpy(data, bytes.data() + state->offset, count);
        state->offset += count;
        return static_cast<zip_int64_t>(count);
    }
    case ZIP_SOURCE_CLOSE:
        Close(*state);
        return 0;
    case ZIP_SOURCE_STAT: {
        zip_stat_t* stat = StatSourceFile(state->file, state->error, data, length);
        if (stat == nullptr)
            return -1;
        stat->valid |= ZIP_STAT_COMP_METHOD;
        stat->comp_method = ZIP_CM_DEFLATE;
        if (state->pool->Encrypts()) { // asked before the first read: libzip must not encrypt again
            stat->valid |= ZIP_STAT_ENCRYPTION_METHOD;
            stat->encryption_method = ZIP_EM_AES_256;
        }
        if (state->haveResult) {
            stat->valid |= ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC;
            stat->size = state->digest.size;
            stat->comp_size = state->compressedSize;
            stat->crc = state->digest.crc;
        }
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_FREE:
        Close(*state);
        state->pool->Release(state->index); // a dropped entry's file need not be deflated
        zip_error_fini(&state->error);
        delete state;
        return 0;
    default:
        return AnswerCommonCommand(state->error, data, length, command);
    }
}

} // namespace

zip_source_t* CreateDeflatedSource(zip_t* archive, DeflatePool* pool, const SourceFile& file,
                                   SourceRecord record, const std::function<bool()>* cancelled) {
    auto* state = new DeflatedSourceState{};
    state->pool = pool;
    state->file = file;
    state->record = record;
    state->cancelled = cancelled;
    zip_error_init(&state->error);
    zip_source_t* source = zip_source_function(archive, DeflatedSourceCallback, state);
    if (source == nullptr) {
        zip_error_fini(&state->error);
        delete state;
        return nullptr;
    }
    state->index = pool->Add(file);
    return source;
}

} // namespace corvane

// a libzip source that reads a file from disk only when the archive is written, naming it on failure
#include "core/zip/sources.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace corvane {
namespace {

struct FileSourceState {
    SourceFile file;
    SourceFailure* failure = nullptr;
    std::FILE* stream = nullptr;
    zip_error_t error;
};

zip_int64_t Fail(FileSourceState& state, int zipError, int systemError) {
    return FailSource(state.file, *state.failure, state.error, zipError, systemError);
}

void CloseStream(FileSourceState& state) {
    if (state.stream != nullptr)
        std::fclose(state.stream);
    state.stream = nullptr;
}

zip_int64_t FileSourceCallback(void* userData, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* state = static_cast<FileSourceState*>(userData);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        state->stream = std::fopen(state->file.path.c_str(), "rb");
        return state->stream == nullptr ? Fail(*state, ZIP_ER_OPEN, errno) : 0;
    case ZIP_SOURCE_READ: {
        std::size_t read = std::fread(data, 1, length, state->stream);
        if (read < length && std::ferror(state->stream))
            return Fail(*state, ZIP_ER_READ, errno != 0 ? errno : EIO);
        return static_cast<zip_int64_t>(read);
    }
    case ZIP_SOURCE_CLOSE:
        CloseStream(*state);
        return 0;
    case ZIP_SOURCE_STAT:
        return StatSourceFile(state->file, state->error, data, length) ? sizeof(zip_stat_t) : -1;
    case ZIP_SOURCE_FREE:
        CloseStream(*state);
        zip_error_fini(&state->error);
        delete state;
        return 0;
    default:
        return AnswerCommonCommand(state->error, data, length, command);
    }
}

} // namespace

zip_int64_t FailSource(const SourceFile& file, SourceFailure& failure, zip_error_t& error, int zipError,
                       int systemError) {
    failure.path = file.path;
    failure.reason = std::strerror(systemError);
    failure.kind = KindOfSystemError(systemError, ErrorKind::NotReadable);
    zip_error_set(&error, zipError, systemError);
    return -1;
}

zip_stat_t* StatSourceFile(const SourceFile& file, zip_error_t& error, void* data, zip_uint64_t length) {
    auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error);
    if (stat == nullptr)
        return nullptr;
    zip_stat_init(stat);
    stat->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
    stat->size = file.size;
    stat->mtime = file.modificationTime;
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

Result<SourceFile> InspectSourceFile(const std::string& path) {
    std::error_code error;
    auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        return fail(ErrorKind::NotFound, "The file \"" + path + "\" does not exist.", path);
    if (!std::filesystem::is_regular_file(status))
        return fail(ErrorKind::NotReadable, "\"" + path + "\" is not a file.", path);
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr)
        return fail(KindOfSystemError(errno, ErrorKind::NotReadable),
                    "Could not open \"" + path + "\": " + std::strerror(errno) + ".", path, errno);
    char probe = 0;
    bool readable = std::fread(&probe, 1, 1, stream) == 1 || !std::ferror(stream);
    int readError = errno;
    std::fclose(stream);
    if (!readable)
        return fail(ErrorKind::NotReadable,
                    "Could not read \"" + path + "\": " + std::strerror(readError) + ".", path, readError);

    SourceFile file;
    file.path = path;
    file.size = std::filesystem::file_size(path, error);
    auto written = error ? std::filesystem::file_time_type{} : std::filesystem::last_write_time(path, error);
    if (error)
        return fail(ErrorKind::NotReadable,
                    "Could not read the size and time of \"" + path + "\": " + error.message() + ".", path,
                    error.value());
    file.modificationTime = std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
    return file;
}

zip_source_t* CreateFileSource(zip_t* archive, const SourceFile& file, SourceFailure* failure) {
    auto* state = new FileSourceState{file, failure, nullptr, {}};
    zip_error_init(&state->error);
    zip_source_t* source = zip_source_function(archive, FileSourceCallback, state);
    if (source == nullptr) {
        zip_error_fini(&state->error);
        delete state;
    }
    return source;
}

} // namespace corvane

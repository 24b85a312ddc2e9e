// what a written archive holds, read from its central directory without inflating what it can avoid
#include "core/zip/stored_entries.h"

#include <algorithm>
#include <memory>

#include <zip.h>
#include <zlib.h>

namespace corvane {

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

Error ReadFailure(const std::string& path, const std::string& reason) {
    return fail(ErrorKind::Damaged, "Cannot read the archive " + path + ": " + reason + ".", path);
}

Result<std::uint32_t> ContentCrc(zip_t* archive, zip_uint64_t index, const std::string& password,
                                 const std::string& path) {
    std::unique_ptr<zip_file_t, EntryCloser> file(
        zip_fopen_index_encrypted(archive, index, 0, password.c_str()));
    if (!file)
        return fail(ErrorKind::WrongPassword, "The password does not open the archive " + path + ".", path);
    std::uint32_t crc = Crc32(0, nullptr, 0);
    char block[1 << 16];
    for (zip_int64_t read; (read = zip_fread(file.get(), block, sizeof block)) != 0;) {
        if (read < 0)
            return ReadFailure(path, zip_file_strerror(file.get()));
        crc = Crc32(crc, block, static_cast<std::size_t>(read));
    }
    return crc;
}

} // namespace

std::uint32_t Crc32(std::uint32_t crc, const char* bytes, std::size_t length) {
    if (bytes == nullptr)
        return static_cast<std::uint32_t>(crc32(0L, Z_NULL, 0));
    // zlib takes at most 4 GiB a call
    while (length > 0) {
        const uInt part = static_cast<uInt>(std::min<std::size_t>(length, 1u << 30));
        crc = static_cast<std::uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(bytes), part));
        bytes += part;
        length -= part;
    }
    return crc;
}

Result<std::vector<StoredEntry>> ReadStoredEntries(const std::string& path, const std::string& password) {
    int openError = 0;
    std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open(path.c_str(), ZIP_RDONLY, &openError));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        const std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        return ReadFailure(path, reason);
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    std::vector<StoredEntry> entries;
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(index), ZIP_FL_ENC_RAW);
        if (name == nullptr || zip_stat_index(archive.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0)
            return ReadFailure(path, zip_strerror(archive.get()));
        StoredEntry entry{name, stat.size, stat.crc, stat.encryption_method != ZIP_EM_NONE};
        if (entry.encrypted) {
            entry.crc = 0;
            if (!password.empty()) {
                const Result<std::uint32_t> crc =
                    ContentCrc(archive.get(), static_cast<zip_uint64_t>(index), password, path);
                if (!crc)
                    return crc.failure();
                entry.crc = *crc;
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace corvane

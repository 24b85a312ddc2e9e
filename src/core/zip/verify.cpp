// our zip component: reading a written archive back before it takes its name
#include <memory>

#include <zlib.h>

#include "core/zip/zip.h"

namespace corvane {
namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// of the reading back: opening checks every entry's header, which for thousands of entries takes a
// while of its own before the first entry is read
constexpr double kOpenShare = 0.1;

std::string EntryFailure(const std::string& name, const std::string& reason) {
    return "The written archive failed its check at \"" + name + "\": " + reason + ".";
}

} // namespace

Status ZipComponent::VerifyArchive(const std::string& path, const std::vector<ExpectedEntry>& expected,
                                   const std::string& password) {
    int openError = 0;
    std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!archive)
        return fail(ErrorKind::Damaged,
                    "The written archive cannot be opened again: " + ZipErrorText(openError) + ".");
    ReportProgress(kOpenShare);
    zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || static_cast<std::size_t>(count) != expected.size())
        return fail(ErrorKind::Damaged, "The written archive holds " + std::to_string(count) +
                                            " entries instead of " + std::to_string(expected.size()) + ".");
    std::vector<char> buffer(64 * 1024);
    for (zip_uint64_t index = 0; index < expected.size(); ++index) {
        const std::string& name = expected[index].name;
        const std::optional<DeflatedDigest>& digest = expected[index].deflated;
        const char* stored = zip_get_name(archive.get(), index, ZIP_FL_ENC_RAW);
        if (stored == nullptr || name != stored)
            return fail(ErrorKind::Damaged,
                        EntryFailure(name, "it is stored as \"" + std::string(stored ? stored : "") + "\""));
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), index, 0, &stat) != 0)
            return fail(ErrorKind::Damaged, EntryFailure(name, ZipErrorText(archive.get())));
        const bool encrypted = stat.encryption_method != ZIP_EM_NONE;
        if (!password.empty() && stat.encryption_method != ZIP_EM_AES_256)
            return fail(ErrorKind::Damaged, EntryFailure(name, "it is not encrypted"));
        // AES entries may leave the CRC out of their headers; their authentication code stands for it
        if (digest && (stat.comp_method != ZIP_CM_DEFLATE || stat.size != digest->size ||
                       (!encrypted && stat.crc != digest->crc)))
            return fail(ErrorKind::Damaged,
                        EntryFailure(name, "its headers do not describe the file that was added"));
        // the stream we deflated is read as it is stored, only decrypted
        std::unique_ptr<zip_file_t, EntryCloser> file(
            zip_fopen_index_encrypted(archive.get(), index, digest ? ZIP_FL_COMPRESSED : 0,
                                      password.empty() ? nullptr : password.c_str()));
        if (!file)
            return fail(ErrorKind::Damaged, EntryFailure(name, ZipErrorText(archive.get())));
        std::uint64_t length = 0;
        uLong crc = crc32(0L, Z_NULL, 0);
        zip_int64_t read = 0;
        while ((read = zip_fread(file.get(), buffer.data(), buffer.size())) > 0) {
            if (CancelRequested())
                return WritingCancelled();
            length += static_cast<std::uint64_t>(read);
            if (digest)
                crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(read));
        }
        if (read < 0)
            return fail(ErrorKind::Damaged, EntryFailure(name, ZipErrorText(file.get())));
        if (int closeError = zip_fclose(file.release()); closeError != 0)
            return fail(ErrorKind::Damaged, EntryFailure(name, ZipErrorText(closeError)));
        if (digest && (length != digest->packedSize || crc != digest->packedCrc))
            return fail(ErrorKind::Damaged,
                        EntryFailure(name, "its stored bytes differ from the ones written"));
        ReportProgress(kOpenShare + (1.0 - kOpenShare) * double(index + 1) / double(expected.size()));
    }
    return Status::success();
}

} // namespace corvane

// our zip component: building one archive, written atomically and verified before it takes its name
#include "core/zip/zip.h"

#include <algorithm>
#include <cerrno>
#include <zlib.h>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/platform/platform.h"
#include "core/project/paths.h"
#include "core/zip/background_flush.h"
#include "core/zip/sources.h"
#include "core/platform/open_file.h"

namespace corvane {

namespace {

constexpr zip_uint32_t kDeflateLevel = 6; // Info-ZIP's default: the sizes users know
// shares of the progress: the reading back and what is left of the flush after it; writing has the rest
constexpr double kFlushShare = 0.1;
constexpr double kVerifyShare = 0.2;

std::string ToEntrySeparators(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// libzip writes no file for an archive without entries; an empty archive is its end record alone.
Status WriteEmptyArchive(const std::string& path) {
    static constexpr char kEndRecord[22] = {'P', 'K', 5, 6};
    std::FILE* file = OpenFile(path, "wbx");
    if (file == nullptr)
        return fail(KindOfSystemError(errno, ErrorKind::NotWritable), "Could not create \"" + path + "\".",
                    path, errno);
    bool written = std::fwrite(kEndRecord, 1, sizeof kEndRecord, file) == sizeof kEndRecord;
    if (std::fclose(file) != 0 || !written)
        return fail(ErrorKind::Io, "Could not write \"" + path + "\".", path, errno);
    return Status::success();
}

void RemoveQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(FsPath(path), ignored);
}

} // namespace

std::string ZipVersion() {
    return zip_libzip_version();
}

ZipComponent::~ZipComponent() {
    Discard();
}

void ZipComponent::Discard() {
    if (m_archive != nullptr)
        zip_discard(m_archive); // nothing was written yet: libzip creates files only when closing
    m_archive = nullptr;
}

int ZipComponent::Failed(Error error) {
    m_lastError = std::move(error);
    return 0;
}

int ZipComponent::Failed(std::string message) {
    return Failed(fail(ErrorKind::Io, std::move(message)));
}

// An archive of that name already there is somebody's backup (an earlier run in the same second, or
// one finishing beside us right now): this one takes the next free numbered name instead.
Status ZipComponent::TakeFreeName() {
    constexpr int kMostNumbers = 1000;
    std::string candidate = m_archivePath;
    for (int n = 2;; ++n) {
        Status renamed = RenameNoReplace(m_tempPath, candidate);
        if (renamed) {
            m_writtenPath = candidate;
            return renamed;
        }
        if (renamed.failure().systemError != EEXIST || n > kMostNumbers)
            return renamed;
        candidate = NumberedFileName(m_archivePath, n);
    }
}

// Every call after a NewZip that failed repeats its reason, kind included.
int ZipComponent::NotStarted() {
    return Failed(m_startError.value_or(fail(ErrorKind::Refused, "No archive was started.")));
}

Error ZipComponent::WritingCancelled() {
    return fail(ErrorKind::Cancelled, "Writing the archive was cancelled.", m_archivePath);
}

void ZipComponent::SetPassword(const std::string& password) {
    m_password = password;
}
void ZipComponent::SetEncryption(int mode) {
    m_encryption = mode;
}
void ZipComponent::SetProgressCallback(std::function<void(double)> progress) {
    m_progress = Progress(std::move(progress));
}
void ZipComponent::SetCancelRequested(std::function<bool()> cancelRequested) {
    m_cancelRequested = std::move(cancelRequested);
}

void ZipComponent::ReportProgress(double fraction) const {
    m_phase.Report(fraction);
}

int ZipComponent::NewZip(const std::string& archivePath) {
    Discard();
    IgnoreFileSizeSignal();
    m_archivePath = archivePath;
    m_entries.clear();
    m_entryIndexes.clear();
    m_deflatedAhead.clear();
    m_outcomes.clear();
    m_namePlan = EntryNamePlan();
    m_buffers.clear();
    m_pool.Clear();
    m_startError.reset();
    m_writtenPath.clear();
    m_failedFile.clear();
    std::filesystem::path folder = FsPath(archivePath).parent_path();
    if (folder.empty())
        folder = ".";
    if (Status usable = CheckIsFolder(Utf8OfPath(folder)); !usable) {
        m_startError = usable.failure();
        m_startError->message = "The folder \"" + Utf8OfPath(folder) + "\" of the archive " + m_startError->message + ".";
        return NotStarted();
    }
    // what a killed build left beside its archive would otherwise stay there for good
    RemoveStaleZipTemporaries(Utf8OfPath(folder));
    // a new name every time: libzip must never open (and on an empty write, delete) an existing file
    for (int attempt = 0; attempt < 16 && m_archive == nullptr; ++attempt) {
        m_tempPath = Utf8OfPath(folder / FsPath(ZipTempName()));
        int zipError = 0;
        m_archive = zip_open(m_tempPath.c_str(), ZIP_CREATE | ZIP_EXCL, &zipError);
        if (m_archive == nullptr && zipError != ZIP_ER_EXISTS) {
            m_startError = fail(ErrorKind::Io, "Could not start the archive \"" + archivePath +
                                                   "\": " + ZipErrorText(zipError) + ".");
            return NotStarted();
        }
    }
    if (m_archive == nullptr) {
        m_startError = fail(ErrorKind::NotWritable,
                            "Could not find a free temporary name beside \"" + archivePath + "\".");
        return NotStarted();
    }
    return 1;
}

// The source's outcome is the last of m_outcomes; it goes when the entry cannot be added.
int ZipComponent::AddSource(zip_source_t* source, const std::string& entryName, std::time_t modificationTime,
                            bool deflatedAhead) {
    auto path = CheckEntryName(entryName);
    Status unique = path ? m_namePlan.Add(entryName, *path) : Status(path.failure());
    if (!unique) {
        zip_source_free(source);
        m_outcomes.pop_back();
        return Failed(unique.failure());
    }
    zip_int64_t index = zip_file_add(m_archive, entryName.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        m_outcomes.pop_back();
        return Failed("Could not add \"" + entryName + "\" to the archive: " + ZipErrorText(m_archive) + ".");
    }
    const auto entry = static_cast<zip_uint64_t>(index);
    if (zip_file_set_mtime(m_archive, entry, modificationTime, 0) != 0 ||
        zip_set_file_compression(m_archive, entry, ZIP_CM_DEFLATE, kDeflateLevel) != 0) {
        std::string reason = ZipErrorText(m_archive);
        zip_delete(m_archive, entry); // keeps entry indexes in step with m_entries
        m_outcomes.pop_back();
        return Failed("Could not add \"" + entryName + "\" to the archive: " + reason + ".");
    }
    m_entries.push_back({entryName, std::nullopt, std::nullopt});
    m_entryIndexes.push_back(entry);
    m_deflatedAhead.push_back(deflatedAhead);
    return 1;
}

int ZipComponent::AppendOneFileAs(const std::string& diskPath, const std::string& entryName) {
    if (m_archive == nullptr)
        return NotStarted();
    auto file = InspectSourceFile(diskPath);
    if (!file)
        return Failed(file.failure());
    // empty files keep libzip's own handling of them
    const bool parallel = file->state.size > 0 && file->state.size <= m_parallelLimit;
    SourceOutcome& outcome = m_outcomes.emplace_back();
    const SourceRecord record{&m_sourceFailure, &outcome.digest, &outcome.keys};
    zip_source_t* source = parallel ? CreateDeflatedSource(m_archive, &m_pool, *file, record, &m_cancelRequested)
                                    : CreateFileSource(m_archive, *file, record);
    if (source == nullptr) {
        m_outcomes.pop_back();
        return Failed("Could not add \"" + diskPath + "\": " + ZipErrorText(m_archive) + ".");
    }
    return AddSource(source, ToEntrySeparators(entryName), file->state.ModificationTime(), parallel);
}

int ZipComponent::AppendBuffer(const std::string& entryName, std::string bytes) {
    if (m_archive == nullptr)
        return NotStarted();
    const std::string& stored = m_buffers.emplace_back(std::move(bytes));
    zip_source_t* source = zip_source_buffer(m_archive, stored.data(), stored.size(), 0);
    if (source == nullptr)
        return Failed("Could not add \"" + entryName + "\": " + ZipErrorText(m_archive) + ".");
    const auto crc = crc32(0L, reinterpret_cast<const Bytef*>(stored.data()), static_cast<uInt>(stored.size()));
    m_outcomes.push_back({EntryDigest{stored.size(), static_cast<std::uint32_t>(crc)}, std::nullopt});
    auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    return AddSource(source, ToEntrySeparators(entryName), now, false);
}

// The pool's entries are encrypted by its workers, each with its own salt, and libzip copies them as
// they are; libzip encrypts the others (large and empty files, buffers) itself.
Status ZipComponent::PrepareEntries() {
    m_pool.SetPassword({});
    if (m_password.empty() || m_encryption == 0)
        return Status::success();
    if (m_encryption != kEncryptionAes256)
        return fail(ErrorKind::Refused,
                    "Encryption mode " + std::to_string(m_encryption) + " is not supported.");
    m_pool.SetPassword(m_password);
    for (std::size_t i = 0; i < m_entryIndexes.size(); ++i) {
        const char* password = m_deflatedAhead[i] ? nullptr : m_password.c_str();
        if (zip_file_set_encryption(m_archive, m_entryIndexes[i], ZIP_EM_AES_256, password) != 0)
            return fail(ErrorKind::Io,
                        "Could not encrypt \"" + m_entries[i].name + "\": " + ZipErrorText(m_archive) + ".");
    }
    return Status::success();
}

// libzip writes its own temporary file beside ours and renames it over ours only when complete.
Status ZipComponent::CloseArchive() {
    if (m_entries.empty()) {
        Discard();
        return WriteEmptyArchive(m_tempPath);
    }
    auto progress = [](zip_t*, double fraction, void* self) {
        static_cast<ZipComponent*>(self)->ReportProgress(fraction);
    };
    auto cancel = [](zip_t*, void* self) -> int {
        return static_cast<ZipComponent*>(self)->CancelRequested();
    };
    if (zip_register_progress_callback_with_state(m_archive, 0.001, progress, nullptr, this) != 0 ||
        zip_register_cancel_callback_with_state(m_archive, cancel, nullptr, this) != 0)
        return fail(ErrorKind::Io, "Could not prepare the archive: " + ZipErrorText(m_archive) + ".");
    m_sourceFailure.reset();
    m_pool.Start();
    const bool closed = zip_close(m_archive) == 0;
    for (std::size_t i = 0; closed && i < m_entries.size(); ++i) {
        m_entries[i].digest = m_outcomes[i].digest;
        m_entries[i].keys = m_outcomes[i].keys;
    }
    m_pool.Clear();
    if (closed) {
        m_archive = nullptr;
        return Status::success();
    }
    zip_error_t* error = zip_get_error(m_archive);
    const int zipError = zip_error_code_zip(error);
    // the system's own number, for a reason the window can give in its language
    const int systemError = zip_error_system_type(error) == ZIP_ET_SYS ? zip_error_code_system(error) : 0;
    std::string reason = ZipErrorText(m_archive);
    Discard();
    if (zipError == ZIP_ER_CANCELLED || CancelRequested())
        return WritingCancelled();
    if (m_sourceFailure) {
        m_failedFile = m_sourceFailure->path;
        return *m_sourceFailure;
    }
    return fail(KindOfSystemError(systemError, ErrorKind::Io),
                "Could not write the archive \"" + m_archivePath + "\": " + reason + ".", m_archivePath,
                systemError);
}

int ZipComponent::WriteZipAndClose() {
    m_failedFile.clear();
    if (m_archive == nullptr)
        return NotStarted();
    const double verifyShare = m_verify ? kVerifyShare : 0.0;
    const double writeShare = 1.0 - kFlushShare - verifyShare;
    m_phase = m_progress.Part(0.0, writeShare);
    Status written = PrepareEntries();
    if (written)
        written = CloseArchive();
    if (written) {
        BackgroundFlush flush(m_tempPath);
        if (m_verify) {
            m_phase = m_progress.Part(writeShare, verifyShare);
            written = VerifyArchive(m_tempPath, m_entries, m_encryption == 0 ? std::string() : m_password);
        }
        if (written) { // a failed read-back leaves the flush to be stopped with the archive
            m_phase = m_progress.Part(writeShare + verifyShare, kFlushShare);
            written = flush.Finish([this](double done) { ReportProgress(done); },
                                   [this] { return CancelRequested(); });
            if (!written && CancelRequested())
                written = WritingCancelled();
        }
    }
    // the last moment a cancel can still leave everything as it was: after the rename the backup is done
    if (written && CancelRequested())
        written = WritingCancelled();
    if (written)
        written = TakeFreeName();
    Discard();
    m_buffers.clear();
    if (!written) {
        RemoveQuietly(m_tempPath);
        return Failed(written.failure());
    }
    // the archive is complete under its name; a folder that cannot be flushed does not undo that
    std::filesystem::path folder = FsPath(m_writtenPath).parent_path();
    SyncFolder(folder.empty() ? "." : Utf8OfPath(folder));
    m_progress.Report(1.0);
    return 1;
}

std::string ZipErrorText(zip_error_t* error) {
    const char* text = zip_error_strerror(error); // owned by the error, valid until it changes
    return text != nullptr ? text : "unknown error";
}

std::string ZipErrorText(int zipErrorCode) {
    zip_error_t error;
    zip_error_init_with_code(&error, zipErrorCode);
    std::string text = ZipErrorText(&error);
    zip_error_fini(&error);
    return text;
}

std::string ZipErrorText(zip_t* archive) {
    return ZipErrorText(zip_get_error(archive));
}

std::string ZipErrorText(zip_file_t* file) {
    return ZipErrorText(zip_file_get_error(file));
}

} // namespace corvane

// our zip component: builds one archive, written atomically and verified before it takes its name
#pragma once

#include <deque>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <vector>
#include <zip.h>

#include "core/common/error.h"
#include "core/common/progress.h"
#include "core/restore/path_gate.h"
#include "core/zip/deflate_pool.h"
#include "core/zip/sources.h"

namespace corvane {

// libzip's version text.
std::string ZipVersion();

// One object per build. Results keep the old component's convention: 1 for success,
// anything else a failure whose reason LastError() gives.
//
// A build collects entries and writes nothing until WriteZipAndClose: then the archive is written
// under a unique temporary name beside its final name, flushed, read back, and only then renamed
// over the final name. A failed or cancelled build leaves no file behind and an older archive of
// the same name untouched.
class ZipComponent {
public:
    static constexpr int kEncryptionAes256 = 1;

    ZipComponent() = default;
    ZipComponent(const ZipComponent&) = delete;
    ZipComponent& operator=(const ZipComponent&) = delete;
    ~ZipComponent();

    int NewZip(const std::string& archivePath);
    // empty: no encryption
    void SetPassword(const std::string& password);
    // 1 (the default): WinZip AES-256; 0: none even with a password
    void SetEncryption(int mode);
    // entryName is UTF-8, "\" or "/" separated; it is stored with "/"
    int AppendOneFileAs(const std::string& diskPath, const std::string& entryName);
    int AppendBuffer(const std::string& entryName, std::string bytes);
    // Files up to this size are deflated ahead of the writer on every processor; larger ones are
    // left to libzip, one at a time, so that memory stays bounded whatever the project.
    void SetParallelLimit(std::uint64_t bytes) { m_parallelLimit = bytes; }
    // reads the written archive back before it takes its name; on by default
    void SetVerify(bool verify) { m_verify = verify; }
    int WriteZipAndClose();

    // for the write, then the verification
    void SetProgressCallback(std::function<void(double fraction)> progress);
    void SetCancelRequested(std::function<bool()> cancelRequested);

    // An entry the written archive must hold: decrypted and inflated, it must give back the bytes that
    // were read from its file, by size and CRC-32 (without a digest, libzip's CRC check stands alone).
    // With the keys it was encrypted with in this run, its stored salt and verifier must be theirs and
    // its code is checked with them, without deriving them from the password again.
    struct ExpectedEntry {
        std::string name;
        std::optional<EntryDigest> digest;
        std::optional<WinZipAesKeys> keys;
    };
    // Opens the archive at `path` again and checks the directory and every local header against
    // `expected`, in order, each entry encrypted when a password is given; then every entry is
    // decrypted (its authentication code checked) and inflated on all processors.
    Status VerifyArchive(const std::string& path, const std::vector<ExpectedEntry>& expected,
                         const std::string& password);

    // Where the last WriteZipAndClose put the archive: the name asked for, or "name (n).zip" when that
    // one was taken, since an existing archive is never replaced.
    const std::string& WrittenPath() const { return m_writtenPath; }
    const std::string& LastError() const { return m_lastError.message; }
    const Error& LastFailure() const { return m_lastError; }
    // the disk file that could not be read while writing, empty when none was at fault
    const std::string& FailedFile() const { return m_failedFile; }

    // For tests of the verification: sees (and may damage) each file's stream as the deflate workers
    // hand it to the writer.
    void SetDeflatedHookForTesting(std::function<void(std::size_t index, std::string& bytes)> hook) {
        m_pool.SetDeflatedHookForTesting(std::move(hook));
    }
    // the last failure was a cancel, not an error
    bool WasCancelled() const { return m_lastError.kind == ErrorKind::Cancelled; }

private:
    int Failed(Error error);
    int Failed(std::string message);
    Error WritingCancelled();
    Status TakeFreeName();
    int NotStarted();
    int AddSource(zip_source_t* source, const std::string& entryName, std::time_t modificationTime,
                  bool deflatedAhead);
    Status PrepareEntries();
    Status CloseArchive();
    void Discard();
    void ReportProgress(double fraction) const;
    bool CancelRequested() const { return m_cancelRequested && m_cancelRequested(); }

    zip_t* m_archive = nullptr;
    std::string m_archivePath;
    std::string m_tempPath;
    std::string m_writtenPath;
    std::optional<Error> m_startError; // why the last NewZip failed
    std::string m_password;
    int m_encryption = kEncryptionAes256;
    std::vector<ExpectedEntry> m_entries;
    std::vector<zip_uint64_t> m_entryIndexes;
    std::vector<bool> m_deflatedAhead; // the pool's, which it also encrypts, in the order of m_entries
    // what each entry's source read (and the keys it was encrypted with), in the order of m_entries; a
    // deque never moves them
    struct SourceOutcome {
        EntryDigest digest;
        std::optional<WinZipAesKeys> keys;
    };
    std::deque<SourceOutcome> m_outcomes;
    EntryNamePlan m_namePlan;
    std::list<std::string> m_buffers; // libzip reads them at write time; a list never moves them
    std::optional<Error> m_sourceFailure; // the first file that failed while the archive was written
    DeflatePool m_pool; // the archive's sources point at it: the archive is discarded first
    std::uint64_t m_parallelLimit = 8u << 20;
    bool m_verify = true;

    Progress m_progress; // the whole build: write, flush, verify
    Progress m_phase;    // the part of it now running
    std::function<bool()> m_cancelRequested;
    Error m_lastError;
    std::string m_failedFile;
};

std::string ZipErrorText(zip_error_t* error);
std::string ZipErrorText(int zipErrorCode);
// the last error of an archive, or of one of its open entries
std::string ZipErrorText(zip_t* archive);
std::string ZipErrorText(zip_file_t* file);

// ".corvane-" + this process's id + "-" + 16 random hexadecimal digits + ".zip.tmp"
std::string ZipTempName();

// Removes from folder every file of ZipTempName's pattern, and libzip's own temporaries beside them
// (the same name + "." + six characters), whose process no longer runs. Nothing else is touched, and a
// file that cannot be removed is left: it costs space, not a backup.
void RemoveStaleZipTemporaries(const std::string& folder);

} // namespace corvane

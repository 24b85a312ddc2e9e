// unpacking a whole archive below one folder, through the one gate that checks every entry
#include "core/restore/restore.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <zip.h>

#include "core/platform/extract_output.h"
#include "core/project/paths.h"
#include "core/restore/plan.h"
#include "core/zip/zip.h"

namespace corvane {
namespace {

Error ExtractionCancelled() {
    return fail(ErrorKind::Cancelled, "The extraction was cancelled.");
}

constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr std::uint64_t kRatioGraceBytes = 1024 * 1024;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

Error EntryFailure(const PlannedEntry& entry, int zipError, const std::string& text, bool checkingPassword) {
    // a wrong password shows up as a failed check or garbage data when the quick test let it through
    if (zipError == ZIP_ER_WRONGPASSWD ||
        (checkingPassword && (zipError == ZIP_ER_CRC || zipError == ZIP_ER_ZLIB)))
        return fail(ErrorKind::WrongPassword, "Wrong password for " + entry.name);
    if (zipError == ZIP_ER_NOPASSWD)
        return fail(ErrorKind::WrongPassword, "A password is needed for " + entry.name);
    if (zipError == ZIP_ER_CRC)
        return fail(ErrorKind::Damaged, "The entry \"" + entry.name + "\" is damaged: its CRC check failed.");
    return fail(ErrorKind::Damaged, "Could not unpack \"" + entry.name + "\": " + text + ".");
}

// One run's reading state: the bytes inflated so far, against the limits and for the progress.
class EntryReader {
public:
    EntryReader(zip_t* archive, const UnzipOptions& options, std::uint64_t claimedTotal)
        : m_archive(archive), m_options(options), m_claimedTotal(claimedTotal), m_buffer(kChunkBytes) {}

    void SetPassword(std::string password) { m_password = std::move(password); }
    bool Cancelled() const { return m_options.cancelRequested && m_options.cancelRequested(); }

    // Streams the entry to `sink`; done only when it was read whole and passed its checks.
    template <typename Sink>
    Status Read(const PlannedEntry& entry, Sink&& sink, bool checkingPassword = false) {
        std::unique_ptr<zip_file_t, EntryCloser> file(zip_fopen_index_encrypted(
            m_archive, entry.index, 0, entry.encrypted ? m_password.c_str() : nullptr));
        if (!file) {
            zip_error_t* error = zip_get_error(m_archive);
            return EntryFailure(entry, zip_error_code_zip(error), ZipErrorText(error), checkingPassword);
        }
        std::uint64_t inflated = 0;
        for (;;) {
            if (Cancelled())
                return ExtractionCancelled();
            zip_int64_t read = zip_fread(file.get(), m_buffer.data(), m_buffer.size());
            if (read < 0) {
                zip_error_t* error = zip_file_get_error(file.get());
                return EntryFailure(entry, zip_error_code_zip(error), ZipErrorText(error), checkingPassword);
            }
            if (read == 0)
                break;
            inflated += static_cast<std::uint64_t>(read);
            // the password check reads its entry once more later; only that read counts
            if (!checkingPassword)
                m_inflatedTotal += static_cast<std::uint64_t>(read);
            if (Status within = CheckLimits(entry, inflated); !within)
                return within;
            if (Status written = sink(m_buffer.data(), static_cast<std::size_t>(read)); !written)
                return written;
            if (m_options.progress && m_claimedTotal > 0 && !checkingPassword)
                m_options.progress(std::min(1.0, double(m_inflatedTotal) / double(m_claimedTotal)));
        }
        if (int closeError = zip_fclose(file.release()); closeError != 0)
            return EntryFailure(entry, closeError, ZipErrorText(closeError), checkingPassword);
        return Status::success();
    }

private:
    Status CheckLimits(const PlannedEntry& entry, std::uint64_t inflated) const {
        const UnzipLimits& limits = m_options.limits;
        if (inflated > limits.maxEntryBytes)
            return fail(ErrorKind::Refused, "The entry \"" + entry.name +
                                                "\" unpacks to more than the limit of " +
                                                std::to_string(limits.maxEntryBytes) + " bytes.");
        if (m_inflatedTotal > limits.maxTotalBytes)
            return fail(ErrorKind::Refused, "The archive unpacks to more than the limit of " +
                                                std::to_string(limits.maxTotalBytes) + " bytes (at \"" +
                                                entry.name + "\").");
        if (inflated > kRatioGraceBytes &&
            double(inflated) > limits.maxRatio * double(std::max<std::uint64_t>(entry.compressedSize, 1)))
            return fail(ErrorKind::Refused, "The entry \"" + entry.name + "\" unpacks to more than " +
                                                std::to_string(static_cast<long long>(limits.maxRatio)) +
                                                " times its packed size; it looks like a zip bomb.");
        return Status::success();
    }

    zip_t* m_archive;
    const UnzipOptions& m_options;
    std::uint64_t m_claimedTotal;
    std::uint64_t m_inflatedTotal = 0;
    std::string m_password;
    std::vector<char> m_buffer;
};

// Asks once and proves the password on the first encrypted entry, before anything is created.
Status UnlockArchive(const ExtractionPlan& plan, const UnzipOptions& options, EntryReader& reader) {
    auto first = std::find_if(plan.entries.begin(), plan.entries.end(),
                              [](const PlannedEntry& entry) { return entry.encrypted; });
    if (first == plan.entries.end())
        return Status::success();
    if (!options.askPassword)
        return fail(ErrorKind::WrongPassword, "A password is needed for " + first->name);
    std::optional<std::string> password = options.askPassword();
    if (!password)
        return ExtractionCancelled();
    reader.SetPassword(*password);
    return reader.Read(
        *first, [](const char*, std::size_t) { return Status::success(); }, true);
}

Status ExtractEntry(const PlannedEntry& entry, ExtractTarget& target, EntryReader& reader) {
    if (entry.path.isFolder)
        return target.MakeFolders(entry.path.components);
    auto created = target.CreateFile(entry.path.components);
    if (!created)
        return created.failure();
    PendingFile& file = created.value();
    Status read =
        reader.Read(entry, [&](const char* data, std::size_t size) { return file.Write(data, size); });
    if (!read)
        return read; // the pending file removes itself
    return file.Commit(entry.modificationTime);
}

} // namespace

Result<int> ExtractArchive(const std::string& archivePath, const std::string& folder,
                           const UnzipOptions& options) {
    if (const auto declared = DeclaredEntryCount(archivePath)) {
        if (Status counted = CheckEntryCount(*declared, options.limits); !counted)
            return counted.failure();
    }
    int openError = 0;
    std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open(archivePath.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    const bool duplicateNames = !archive && openError == ZIP_ER_EXISTS;
    if (duplicateNames) // opened again only so that the refusal can name the entry
        archive.reset(zip_open(archivePath.c_str(), ZIP_RDONLY, &openError));
    if (!archive)
        return fail(openError == ZIP_ER_NOENT                              ? ErrorKind::NotFound
                    : openError == ZIP_ER_OPEN || openError == ZIP_ER_READ ? ErrorKind::NotReadable
                                                                           : ErrorKind::Damaged,
                    "Could not open the archive \"" + archivePath + "\": " + ZipErrorText(openError) + ".",
                    archivePath);
    auto plan = PlanExtraction(archive.get(), folder, options.limits);
    if (!plan)
        return plan.failure();
    if (Status layout = CheckEntriesDoNotOverlap(archivePath); !layout)
        return layout.failure();
    if (duplicateNames)
        return fail(ErrorKind::Refused,
                    "The archive \"" + archivePath + "\" holds two entries with the same name.", archivePath);
    EntryReader reader(archive.get(), options, plan->claimedTotal);
    if (Status unlocked = UnlockArchive(*plan, options, reader); !unlocked)
        return unlocked.failure();

    auto target = ExtractTarget::Open(folder);
    if (!target)
        return target.failure();
    int extracted = 0;
    for (const PlannedEntry& entry : plan->entries) {
        if (reader.Cancelled())
            return ExtractionCancelled();
        if (Status done = ExtractEntry(entry, target.value(), reader); !done)
            return done.failure();
        ++extracted;
    }
    if (options.progress)
        options.progress(1.0);
    return extracted;
}

std::optional<std::string> ExtractionFolderOf(const std::string& archivePath) {
    if (KindOfInput(archivePath) != InputKind::Archive)
        return std::nullopt;
    return archivePath.substr(0, archivePath.size() - 4);
}

} // namespace corvane

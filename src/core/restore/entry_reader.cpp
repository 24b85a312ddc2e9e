// reading an archive's entries for extraction, testing and listing: one opening, one set of checks
#include "core/restore/entry_reader.h"

#include <algorithm>

#include <zlib.h>

#include "core/restore/aes_mac.h"
#include "core/zip/zip.h"
#include "core/platform/regular_file.h"

namespace corvane {
namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

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

Error SizeMismatch(const PlannedEntry& entry, const char* how) {
    return fail(ErrorKind::Damaged, "The entry \"" + entry.name + "\" is damaged: it unpacks to " + how +
                                        " than the " + std::to_string(entry.size) +
                                        " bytes the archive declares.");
}

} // namespace

Error ExtractionCancelled() {
    return fail(ErrorKind::Cancelled, "The extraction was cancelled.");
}

Result<OpenedArchive> OpenArchive(const std::string& archivePath, const UnzipLimits& limits) {
    // Opened as a regular file first: a named pipe or a device would make the first read wait for a
    // writer that may never come, and a missing or unreadable archive is told as such before the
    // directory reader would call it damaged.
    auto file = RegularFile::Open(archivePath);
    if (!file)
        return fail(file.failure().kind,
                    "Could not open the archive \"" + archivePath + "\": " + file.failure().message + ".",
                    archivePath, file.failure().systemError);
    // counted and located before libzip reads a directory of millions of entries into memory
    auto records = ReadCentralDirectory(file.value(), limits);
    if (!records)
        return records.failure();
    int openError = 0;
    OpenedArchive opened;
    opened.archive.reset(zip_open(archivePath.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    const bool duplicateNames = !opened.archive && openError == ZIP_ER_EXISTS;
    if (duplicateNames) // opened again only so that the refusal can name the entry
        opened.archive.reset(zip_open(archivePath.c_str(), ZIP_RDONLY, &openError));
    if (!opened.archive)
        return fail(ErrorKind::Damaged,
                    "Could not open the archive \"" + archivePath + "\": " + ZipErrorText(openError) + ".",
                    archivePath);
    auto plan = PlanExtraction(opened.archive.get(), *records, limits);
    if (!plan)
        return plan.failure();
    if (Status layout = CheckEntriesDoNotOverlap(std::move(records.value())); !layout)
        return layout.failure();
    if (duplicateNames)
        return fail(ErrorKind::Refused,
                    "The archive \"" + archivePath + "\" holds two entries with the same name.", archivePath);
    opened.plan = std::move(plan.value());
    return opened;
}

// Raw deflate for the entries libzip hands over still compressed: AE-2 entries, whose CRC field is 0
// by design and would fail libzip's CRC check, are read decrypted (libzip checks their authentication
// code) and inflated here.
class EntryReader::Inflater {
public:
    Inflater() { m_ready = inflateInit2(&m_stream, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (m_ready)
            inflateEnd(&m_stream);
    }
    // ready for the next entry's stream
    bool Reset() {
        m_finished = m_broken = false;
        return m_ready && inflateReset(&m_stream) == Z_OK;
    }
    bool Finished() const { return m_finished; }
    bool Broken() const { return m_broken; }

    // Inflates one compressed chunk, handing every piece of output to `deliver`.
    template <typename Deliver> Status Feed(const char* data, std::size_t size, Deliver&& deliver) {
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        m_stream.avail_in = static_cast<uInt>(size);
        // a full output buffer may leave output inside zlib even when the input is used up
        bool outputFull = false;
        while ((m_stream.avail_in > 0 || outputFull) && !m_finished) {
            m_stream.next_out = reinterpret_cast<Bytef*>(m_output.data());
            m_stream.avail_out = static_cast<uInt>(m_output.size());
            const int result = inflate(&m_stream, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
                m_broken = true;
                return fail(ErrorKind::Damaged, "the compressed data is damaged");
            }
            m_finished = result == Z_STREAM_END;
            outputFull = m_stream.avail_out == 0;
            if (Status delivered = deliver(m_output.data(), m_output.size() - m_stream.avail_out); !delivered)
                return delivered;
        }
        return Status::success();
    }

private:
    z_stream m_stream{};
    bool m_ready = false;
    bool m_finished = false;
    bool m_broken = false;
    std::vector<char> m_output = std::vector<char>(kChunkBytes);
};

EntryReader::EntryReader(zip_t* archive, const UnzipOptions& options, std::uint64_t declaredTotal)
    : m_archive(archive), m_options(options), m_declaredTotal(declaredTotal), m_buffer(kChunkBytes) {}

EntryReader::~EntryReader() = default;

Status EntryReader::Unlock(const ExtractionPlan& plan) {
    auto first = std::find_if(plan.entries.begin(), plan.entries.end(),
                              [](const PlannedEntry& entry) { return entry.encrypted; });
    if (first == plan.entries.end())
        return Status::success();
    if (!m_options.askPassword)
        return fail(ErrorKind::WrongPassword, "A password is needed for " + first->name);
    for (int attempt = 1;; ++attempt) {
        std::optional<std::string> password = m_options.askPassword(attempt);
        if (!password)
            return ExtractionCancelled();
        m_password = std::move(*password);
        Status proved = Read(
            *first, [](const char*, std::size_t) { return Status::success(); }, true);
        if (proved || proved.failure().kind != ErrorKind::WrongPassword ||
            attempt >= m_options.passwordAttempts)
            return proved;
    }
}

Status EntryReader::CheckRatio(const PlannedEntry& entry, std::uint64_t inflated) const {
    const double ratio = m_options.limits.maxRatio;
    if (inflated > m_options.limits.ratioFromBytes &&
        double(inflated) > ratio * double(std::max<std::uint64_t>(entry.compressedSize, 1)))
        return fail(ErrorKind::Refused,
                    "The entry \"" + entry.name + "\" unpacks to more than " +
                        std::to_string(static_cast<long long>(ratio)) +
                        " times its packed size; it looks like a zip bomb (--max-ratio).");
    return Status::success();
}

Status EntryReader::Deliver(const PlannedEntry& entry, const char* data, std::size_t size,
                            std::uint64_t& inflated, const EntrySink& sink, bool checkingPassword) {
    inflated += size;
    // the size check stops a lying header at its first surplus byte: the declared sizes are the budget
    if (inflated > entry.size)
        return SizeMismatch(entry, "more");
    if (Status within = CheckRatio(entry, inflated); !within)
        return within;
    if (Status written = sink(data, size); !written)
        return written;
    // the password check reads its entry once more later; only that read counts
    if (!checkingPassword) {
        m_inflatedTotal += size;
        if (m_options.progress && m_declaredTotal > 0)
            m_options.progress(std::min(1.0, double(m_inflatedTotal) / double(m_declaredTotal)));
    }
    return Status::success();
}

Status EntryReader::Read(const PlannedEntry& entry, const EntrySink& sink, bool checkingPassword) {
    const bool inflateHere = entry.aesVersion2 && entry.deflated;
    if (inflateHere && !m_inflater)
        m_inflater = std::make_unique<Inflater>();
    if (inflateHere && !m_inflater->Reset())
        return fail(ErrorKind::Io, "Could not unpack \"" + entry.name + "\": out of memory.");
    std::unique_ptr<zip_file_t, EntryCloser> file(
        zip_fopen_index_encrypted(m_archive, entry.index, inflateHere ? ZIP_FL_COMPRESSED : 0,
                                  entry.encrypted ? m_password.c_str() : nullptr));
    if (!file) {
        zip_error_t* error = zip_get_error(m_archive);
        return EntryFailure(entry, zip_error_code_zip(error), ZipErrorText(error), checkingPassword);
    }
    std::uint64_t inflated = 0;
    auto deliver = [&](const char* data, std::size_t size) {
        return Deliver(entry, data, size, inflated, sink, checkingPassword);
    };
    for (;;) {
        if (Cancelled())
            return ExtractionCancelled();
        zip_int64_t read = zip_fread(file.get(), m_buffer.data(), m_buffer.size());
        if (read < 0) {
            zip_error_t* error = zip_file_get_error(file.get());
            const int code = zip_error_code_zip(error);
            // a stored AE-2 entry meets libzip's check of its CRC field, 0 by design, only once every
            // byte was read; its authentication code is what proves it
            if (code == ZIP_ER_CRC && entry.aesVersion2 && inflated == entry.size) {
                if (StoredAesEntryIsAuthentic(m_archive, entry.index, m_password))
                    break;
                if (!checkingPassword)
                    return fail(ErrorKind::Damaged, "The entry \"" + entry.name +
                                                        "\" is damaged: its authentication check failed.");
            }
            return EntryFailure(entry, code, ZipErrorText(error), checkingPassword);
        }
        if (read == 0)
            break;
        const auto size = static_cast<std::size_t>(read);
        Status delivered =
            inflateHere ? m_inflater->Feed(m_buffer.data(), size, deliver) : deliver(m_buffer.data(), size);
        if (!delivered)
            return inflateHere && m_inflater->Broken()
                       ? EntryFailure(entry, ZIP_ER_ZLIB, delivered.error(), checkingPassword)
                       : delivered;
    }
    if (inflateHere && !m_inflater->Finished())
        return EntryFailure(entry, ZIP_ER_ZLIB, "the compressed data ends too early", checkingPassword);
    if (inflated < entry.size)
        return SizeMismatch(entry, "fewer bytes");
    return Status::success();
}

} // namespace corvane

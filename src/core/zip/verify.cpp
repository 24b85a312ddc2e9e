// our zip component: reading a written archive back before it takes its name
#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <zlib.h>

#include "core/common/work_order.h"
#include "core/zip/winzip_aes.h"
#include "core/zip/zip.h"

namespace corvane {
namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveCloser>;
struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// of the reading back: opening checks every entry's header, which for thousands of entries takes a
// while of its own before the first entry is read
constexpr double kOpenShare = 0.1;

Error EntryFailure(const std::string& name, const std::string& reason) {
    return fail(ErrorKind::Damaged, "The written archive failed its check at \"" + name + "\": " + reason + ".");
}

// The central directory and every local header against what was added, in one pass.
Status CheckDirectory(zip_t* archive, const std::vector<ZipComponent::ExpectedEntry>& expected,
                      const std::string& password) {
    zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<std::size_t>(count) != expected.size())
        return fail(ErrorKind::Damaged, "The written archive holds " + std::to_string(count) +
                                            " entries instead of " + std::to_string(expected.size()) + ".");
    for (zip_uint64_t index = 0; index < expected.size(); ++index) {
        const std::string& name = expected[index].name;
        const std::optional<EntryDigest>& digest = expected[index].digest;
        const char* stored = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
        if (stored == nullptr || name != stored)
            return EntryFailure(name, "it is stored as \"" + std::string(stored ? stored : "") + "\"");
        zip_stat_t stat;
        if (zip_stat_index(archive, index, 0, &stat) != 0)
            return EntryFailure(name, ZipErrorText(archive));
        const bool encrypted = stat.encryption_method != ZIP_EM_NONE;
        if (!password.empty() && stat.encryption_method != ZIP_EM_AES_256)
            return EntryFailure(name, "it is not encrypted");
        // AES entries may leave the CRC out of their headers; their authentication code stands for it
        if (digest && (stat.size != digest->size || (!encrypted && stat.crc != digest->crc)))
            return EntryFailure(name, "its headers do not describe the file that was added");
    }
    return Status::success();
}

// What a worker keeps from one entry to the next.
struct CheckBuffers {
    std::vector<char> read = std::vector<char>(64 * 1024);
    std::vector<char> inflated = std::vector<char>(64 * 1024);
    z_stream inflater{};
    bool inflaterReady = false;

    CheckBuffers() { inflaterReady = inflateInit2(&inflater, -MAX_WBITS) == Z_OK; }
    ~CheckBuffers() {
        if (inflaterReady)
            inflateEnd(&inflater);
    }
    CheckBuffers(const CheckBuffers&) = delete;
    CheckBuffers& operator=(const CheckBuffers&) = delete;
};

Status CompareWithSource(const ZipComponent::ExpectedEntry& expected, std::uint64_t length, uLong crc) {
    if (expected.digest && (length != expected.digest->size || crc != expected.digest->crc))
        return EntryFailure(expected.name, "it does not give back the bytes that were read from its file");
    return Status::success();
}

// Inflates (and decrypts when the password is given) one entry from the disk through libzip, and
// compares what comes out with the bytes that were read from its file.
Status CheckEntryData(zip_t* archive, zip_uint64_t index, const ZipComponent::ExpectedEntry& expected,
                      const std::string& password, CheckBuffers& buffers, const std::atomic<bool>& stop) {
    std::unique_ptr<zip_file_t, EntryCloser> file(
        zip_fopen_index_encrypted(archive, index, 0, password.empty() ? nullptr : password.c_str()));
    if (!file)
        return EntryFailure(expected.name, ZipErrorText(archive));
    std::uint64_t length = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    zip_int64_t read = 0;
    std::vector<char>& buffer = buffers.read;
    while ((read = zip_fread(file.get(), buffer.data(), buffer.size())) > 0) {
        if (stop.load(std::memory_order_relaxed))
            return fail(ErrorKind::Cancelled, "stopped");
        length += static_cast<std::uint64_t>(read);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(read));
    }
    if (read < 0)
        return EntryFailure(expected.name, ZipErrorText(file.get()));
    if (int closeError = zip_fclose(file.release()); closeError != 0)
        return EntryFailure(expected.name, ZipErrorText(closeError));
    return CompareWithSource(expected, length, crc);
}

bool ReadExactly(zip_file_t* file, void* data, std::size_t length) {
    return zip_fread(file, data, length) == static_cast<zip_int64_t>(length);
}

// An AES entry read raw from the disk: its salt and verifier must be those of the keys it was encrypted
// with in this run (the entries libzip encrypted have none, and theirs are derived from the password);
// the code is computed over the encrypted bytes as they are decrypted and inflated, and compared at the
// end with the stored one. Keeping the keys spares a second derivation per entry, which would cost more
// than the rest of the check.
Status CheckAesEntryData(zip_t* archive, zip_uint64_t index, const ZipComponent::ExpectedEntry& expected,
                         const std::string& password, CheckBuffers& buffers, const std::atomic<bool>& stop) {
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) != 0)
        return EntryFailure(expected.name, ZipErrorText(archive));
    if ((stat.valid & ZIP_STAT_COMP_SIZE) == 0 || stat.comp_size < kAesOverhead)
        return EntryFailure(expected.name, "its encrypted data is shorter than its salt and codes");
    const bool deflated = stat.comp_method == ZIP_CM_DEFLATE;
    if (!deflated && stat.comp_method != ZIP_CM_STORE)
        return EntryFailure(expected.name, "it is compressed by a method this program does not write");
    std::unique_ptr<zip_file_t, EntryCloser> file(zip_fopen_index(archive, index, ZIP_FL_ENCRYPTED));
    if (!file)
        return EntryFailure(expected.name, ZipErrorText(archive));
    std::array<std::uint8_t, kAesHeaderBytes> header{};
    if (!ReadExactly(file.get(), header.data(), header.size()))
        return EntryFailure(expected.name, ZipErrorText(file.get()));
    if (expected.keys && !std::equal(expected.keys->salt.begin(), expected.keys->salt.end(), header.begin()))
        return EntryFailure(expected.name, "its salt is not the one it was encrypted with");
    const WinZipAesKeys keys = expected.keys ? *expected.keys : DeriveWinZipAesKeys(password, header.data());
    if (!std::equal(keys.verifier.begin(), keys.verifier.end(), header.begin() + kAesSaltBytes))
        return EntryFailure(expected.name, "the password does not open it");
    if (deflated && (!buffers.inflaterReady || inflateReset(&buffers.inflater) != Z_OK))
        return EntryFailure(expected.name, "out of memory");
    WinZipAesStream stream(keys);
    z_stream& z = buffers.inflater;
    std::uint64_t length = 0, remaining = stat.comp_size - kAesOverhead;
    uLong crc = crc32(0L, Z_NULL, 0);
    int inflated = deflated ? Z_OK : Z_STREAM_END;
    while (remaining > 0) {
        if (stop.load(std::memory_order_relaxed))
            return fail(ErrorKind::Cancelled, "stopped");
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, buffers.read.size()));
        auto* data = reinterpret_cast<std::uint8_t*>(buffers.read.data());
        if (!ReadExactly(file.get(), data, want))
            return EntryFailure(expected.name, ZipErrorText(file.get()));
        remaining -= want;
        stream.Decrypt(data, want);
        if (!deflated) {
            length += want;
            crc = crc32(crc, data, static_cast<uInt>(want));
            continue;
        }
        z.next_in = data;
        z.avail_in = static_cast<uInt>(want);
        while (inflated == Z_OK) { // until the input is taken and the output no longer fills the buffer
            z.next_out = reinterpret_cast<Bytef*>(buffers.inflated.data());
            z.avail_out = static_cast<uInt>(buffers.inflated.size());
            inflated = inflate(&z, Z_NO_FLUSH);
            if (inflated == Z_BUF_ERROR && z.avail_in == 0)
                inflated = Z_OK; // nothing was pending: the next block of input goes on
            const std::size_t produced = buffers.inflated.size() - z.avail_out;
            length += produced;
            crc = crc32(crc, reinterpret_cast<const Bytef*>(buffers.inflated.data()), static_cast<uInt>(produced));
            if (z.avail_in == 0 && z.avail_out != 0)
                break;
        }
        if (inflated != Z_OK && (inflated != Z_STREAM_END || z.avail_in > 0 || remaining > 0))
            return EntryFailure(expected.name, "its data does not inflate");
    }
    std::array<std::uint8_t, kAesCodeBytes> stored{};
    if (!ReadExactly(file.get(), stored.data(), stored.size()))
        return EntryFailure(expected.name, ZipErrorText(file.get()));
    if (stream.Code() != stored)
        return EntryFailure(expected.name, "its authentication code does not match its data");
    if (inflated != Z_STREAM_END)
        return EntryFailure(expected.name, "its data ends before its deflate stream");
    return CompareWithSource(expected, length, crc);
}

std::vector<std::uint64_t> SizesOf(const std::vector<ZipComponent::ExpectedEntry>& expected) {
    std::vector<std::uint64_t> sizes;
    for (const ZipComponent::ExpectedEntry& entry : expected)
        sizes.push_back(entry.digest ? entry.digest->size : 0);
    return sizes;
}

// Entries are taken big ones first (BigOnesFirst) by every worker, each reading through its own handle
// of the archive (a libzip archive is not to be shared between threads). The failure reported is the
// first entry's among those that failed.
class ParallelCheck {
public:
    ParallelCheck(const std::string& path, const std::vector<ZipComponent::ExpectedEntry>& expected,
                  const std::string& password)
        : m_path(path), m_expected(expected), m_password(password) {}

    void Start() {
        const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
        // counted before the first starts: a quick worker may be done before the last one starts
        const int count = static_cast<int>(std::min<std::size_t>(workers, m_expected.size()));
        m_order = BigOnesFirst(SizesOf(m_expected), workers);
        m_running = count;
        for (int i = 0; i < count; ++i)
            m_workers.emplace_back([this] { Work(); });
    }

    // Waits for the workers, telling `report` the share done every few milliseconds; `cancelled`
    // (asked on this thread only) stops them.
    Status Finish(const std::function<void(double)>& report, const std::function<bool()>& cancelled) {
        std::unique_lock lock(m_mutex);
        for (bool running = true; running;) { // the last report comes after the last entry
            running = m_running > 0;
            if (running)
                m_changed.wait_for(lock, std::chrono::milliseconds(20));
            const double done = m_expected.empty() ? 1.0 : double(m_done) / double(m_expected.size());
            lock.unlock();
            report(done);
            if (!m_stop && cancelled()) {
                m_cancelled = true;
                m_stop = true;
            }
            lock.lock();
        }
        lock.unlock();
        for (std::thread& worker : m_workers)
            worker.join();
        m_workers.clear();
        if (m_cancelled)
            return fail(ErrorKind::Cancelled, "cancelled");
        if (m_failure)
            return m_failure->second;
        return Status::success();
    }

    ~ParallelCheck() {
        m_stop = true;
        for (std::thread& worker : m_workers)
            worker.join();
    }

private:
    void Work() {
        int openError = 0;
        ArchiveHandle archive(zip_open(m_path.c_str(), ZIP_RDONLY, &openError));
        CheckBuffers buffers;
        while (!m_stop) {
            const std::size_t position = m_next.fetch_add(1);
            if (position >= m_order.size())
                break;
            const std::size_t index = m_order[position];
            const auto check = m_password.empty() ? CheckEntryData : CheckAesEntryData;
            Status checked = archive ? check(archive.get(), index, m_expected[index], m_password, buffers, m_stop)
                                     : Status(fail(ErrorKind::Damaged,
                                                   "The written archive cannot be opened again: " +
                                                       ZipErrorText(openError) + "."));
            std::lock_guard lock(m_mutex);
            if (!checked && checked.failure().kind != ErrorKind::Cancelled) {
                if (!m_failure || index < m_failure->first)
                    m_failure.emplace(index, checked.failure());
                m_stop = true;
            }
            ++m_done;
            m_changed.notify_all();
        }
        std::lock_guard lock(m_mutex);
        --m_running;
        m_changed.notify_all();
    }

    const std::string& m_path;
    const std::vector<ZipComponent::ExpectedEntry>& m_expected;
    const std::string& m_password;
    std::vector<std::size_t> m_order; // set before the workers start
    std::vector<std::thread> m_workers;
    std::atomic<std::size_t> m_next{0};
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_running = 0; // workers not yet done
    std::size_t m_done = 0;
    bool m_cancelled = false;
    std::optional<std::pair<std::size_t, Error>> m_failure;
};

} // namespace

Status ZipComponent::VerifyArchive(const std::string& path, const std::vector<ExpectedEntry>& expected,
                                   const std::string& password) {
    int openError = 0;
    ArchiveHandle archive(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!archive)
        return fail(ErrorKind::Damaged,
                    "The written archive cannot be opened again: " + ZipErrorText(openError) + ".");
    if (Status directory = CheckDirectory(archive.get(), expected, password); !directory)
        return directory;
    archive.reset();
    ReportProgress(kOpenShare);
    ParallelCheck check(path, expected, password);
    check.Start();
    Status checked = check.Finish(
        [this](double done) { ReportProgress(kOpenShare + (1.0 - kOpenShare) * done); },
        [this] { return CancelRequested(); });
    if (checked.cancelled())
        return WritingCancelled();
    return checked;
}

} // namespace corvane

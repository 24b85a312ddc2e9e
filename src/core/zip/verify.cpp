// our zip component: reading a written archive back before it takes its name
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <zlib.h>

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

// Decrypts (checking the authentication code) and inflates one entry from the disk, and compares what
// comes out with the bytes that were read from its file.
Status CheckEntryData(zip_t* archive, zip_uint64_t index, const ZipComponent::ExpectedEntry& expected,
                      const std::string& password, std::vector<char>& buffer, const std::atomic<bool>& stop) {
    std::unique_ptr<zip_file_t, EntryCloser> file(
        zip_fopen_index_encrypted(archive, index, 0, password.empty() ? nullptr : password.c_str()));
    if (!file)
        return EntryFailure(expected.name, ZipErrorText(archive));
    std::uint64_t length = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    zip_int64_t read = 0;
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
    if (expected.digest && (length != expected.digest->size || crc != expected.digest->crc))
        return EntryFailure(expected.name, "it does not give back the bytes that were read from its file");
    return Status::success();
}

// Entries are taken in order by every worker, each reading through its own handle of the archive (a
// libzip archive is not to be shared between threads). The failure reported is the first entry's.
class ParallelCheck {
public:
    ParallelCheck(const std::string& path, const std::vector<ZipComponent::ExpectedEntry>& expected,
                  const std::string& password)
        : m_path(path), m_expected(expected), m_password(password) {}

    void Start() {
        const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
        // counted before the first starts: a quick worker may be done before the last one starts
        const int count = static_cast<int>(std::min<std::size_t>(workers, m_expected.size()));
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
        std::vector<char> buffer(64 * 1024);
        while (!m_stop) {
            const std::size_t index = m_next.fetch_add(1);
            if (index >= m_expected.size())
                break;
            Status checked = archive ? CheckEntryData(archive.get(), index, m_expected[index], m_password,
                                                      buffer, m_stop)
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

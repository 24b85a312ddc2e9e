// unpacking the files of a planned archive on every processor, into an open extraction folder
#include "core/restore/parallel_extract.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>

#include "core/common/work_order.h"
#include "core/zip/zip.h"

namespace corvane {

Status ExtractEntry(const PlannedEntry& entry, ExtractTarget& target, EntryReader& reader,
                    const std::function<void(std::size_t)>& written) {
    if (entry.path.isFolder)
        return target.MakeFolders(entry.path.components);
    auto created = target.CreateFile(entry.path.components);
    if (!created)
        return created.failure();
    PendingFile& file = created.value();
    Status read = reader.Read(entry, [&](const char* data, std::size_t size) {
        Status done = file.Write(data, size);
        if (done && written)
            written(size);
        return done;
    });
    if (!read)
        return read; // the pending file removes itself
    return file.Commit(entry.modificationTime);
}

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

std::vector<std::uint64_t> SizesOf(const std::vector<const PlannedEntry*>& files) {
    std::vector<std::uint64_t> sizes;
    for (const PlannedEntry* file : files)
        sizes.push_back(file->size);
    return sizes;
}

class ParallelExtraction {
public:
    ParallelExtraction(const std::string& archivePath, const std::vector<const PlannedEntry*>& files,
                       std::uint64_t declaredTotal, const EntryReader& unlocked, ExtractTarget& target,
                       const UnzipOptions& options)
        : m_path(archivePath), m_files(files), m_declaredTotal(declaredTotal), m_unlocked(unlocked),
          m_target(target), m_options(options) {}

    ~ParallelExtraction() {
        m_cancelled = true;
        for (std::thread& worker : m_workers)
            worker.join();
    }

    Status Run(unsigned workers) {
        m_order = BigOnesFirst(SizesOf(m_files), workers);
        m_running = static_cast<int>(workers); // counted before the first starts
        for (unsigned i = 0; i < workers; ++i)
            m_workers.emplace_back([this] { Work(); });
        std::unique_lock lock(m_mutex);
        while (m_running > 0) {
            m_changed.wait_for(lock, std::chrono::milliseconds(20));
            lock.unlock();
            if (m_options.progress && m_declaredTotal > 0)
                m_options.progress(std::min(1.0, double(m_written.load()) / double(m_declaredTotal)));
            if (!m_cancelled && m_options.cancelRequested && m_options.cancelRequested())
                m_cancelled = true;
            lock.lock();
        }
        lock.unlock();
        for (std::thread& worker : m_workers)
            worker.join();
        m_workers.clear();
        if (m_failure)
            return m_failure->second;
        if (m_cancelled)
            return ExtractionCancelled();
        return Status::success();
    }

private:
    // whether the entry at `position` is to be left: cancelled, or after a failed one
    bool Abandoned(std::size_t position) const { return m_cancelled || m_failedAt.load() < position; }

    void Work() {
        std::size_t position = 0;
        UnzipOptions options;
        options.limits = m_options.limits;
        options.cancelRequested = [this, &position] { return Abandoned(position); };
        int openError = 0;
        std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open(m_path.c_str(), ZIP_RDONLY, &openError));
        EntryReader reader(archive.get(), options, m_declaredTotal);
        reader.TakePasswordOf(m_unlocked);
        auto written = [this](std::size_t size) { m_written += size; };
        for (std::size_t taken; (taken = m_next.fetch_add(1)) < m_order.size();) {
            position = m_order[taken];
            if (Abandoned(position))
                continue;
            Status done = archive ? ExtractEntry(*m_files[position], m_target, reader, written)
                                  : Status(fail(ErrorKind::Damaged, "Could not open the archive \"" + m_path +
                                                                        "\" again: " + ZipErrorText(openError) + "."));
            if (done || done.cancelled())
                continue;
            std::lock_guard lock(m_mutex);
            if (!m_failure || position < m_failure->first) {
                m_failure.emplace(position, done.failure());
                m_failedAt = position;
            }
        }
        std::lock_guard lock(m_mutex);
        --m_running;
        m_changed.notify_all();
    }

    const std::string& m_path;
    const std::vector<const PlannedEntry*>& m_files;
    std::vector<std::size_t> m_order; // positions in m_files in the order the workers take them
    const std::uint64_t m_declaredTotal;
    const EntryReader& m_unlocked;
    ExtractTarget& m_target;
    const UnzipOptions& m_options;
    std::vector<std::thread> m_workers;
    std::atomic<std::size_t> m_next{0};
    std::atomic<std::uint64_t> m_written{0};
    std::atomic<std::size_t> m_failedAt{kNone};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_running = 0;
    std::optional<std::pair<std::size_t, Error>> m_failure;
};

} // namespace

Status ExtractFilesInParallel(const std::string& archivePath, const std::vector<const PlannedEntry*>& files,
                              std::uint64_t declaredTotal, const EntryReader& unlocked, ExtractTarget& target,
                              const UnzipOptions& options) {
    const unsigned workers =
        static_cast<unsigned>(std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), files.size()));
    if (workers == 0)
        return Status::success();
    ParallelExtraction extraction(archivePath, files, declaredTotal, unlocked, target, options);
    return extraction.Run(workers);
}

} // namespace corvane

// worker threads that deflate the files of one archive in order, ahead of the writer, within a memory budget
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/zip/file_deflater.h"

namespace corvane {

// Files are added before Start(). When all of them fit in the budget at once, the workers take the big
// ones first (BigOnesFirst), so that they finish together. Otherwise they take them strictly in the
// order they were added, and a worker starts a file only while the bytes held by started but not yet
// released files stay within the budget (or when nothing is held, so that one file always moves on):
// a big file taken early could then hold the budget the writer's next file needs. The writer takes
// the files in the order they were added: Wait(i) releases every file before i.
class DeflatePool {
public:
    static constexpr std::size_t kDefaultBudget = 24u << 20;
    static constexpr int kLevel = 6;

    // `workers` 0: one per processor
    explicit DeflatePool(std::size_t budget = kDefaultBudget, unsigned workers = 0);
    ~DeflatePool();
    DeflatePool(const DeflatePool&) = delete;
    DeflatePool& operator=(const DeflatePool&) = delete;

    // Not empty: each file is also encrypted (WinZip AES-256) on its worker, under its own salt. Set
    // before Start().
    void SetPassword(std::string password) { m_password = std::move(password); }
    bool Encrypts() const { return !m_password.empty(); }

    // the index Wait() and Release() take
    std::size_t Add(SourceFile file);
    std::size_t Count() const;
    void Start();
    // Stops the workers (a file being deflated is abandoned) and forgets every file.
    void Clear();

    // Blocks until file `index` is deflated; nullptr when `cancelled` (polled while waiting) says
    // so, which also stops the workers. The result stays valid until Release(index).
    const DeflatedFile* Wait(std::size_t index, const std::function<bool()>& cancelled);
    void Release(std::size_t index);

    // For tests of what checks the written archive: sees (and may change) each file's bytes (deflated,
    // and encrypted when the pool encrypts) between the worker and the writer. Set before Start().
    void SetDeflatedHookForTesting(std::function<void(std::size_t index, std::string& bytes)> hook) {
        m_deflatedHook = std::move(hook);
    }

    // the most bytes ever held at once, for checking the budget
    std::size_t PeakBytes() const;

private:
    enum class State { Queued, Running, Done, Released };
    struct Job {
        SourceFile file;
        State state = State::Queued;
        std::size_t held = 0;
        DeflatedFile result;
    };

    void Work();
    bool CanTakeNext();
    void ReleaseLocked(Job& job);
    void Stop();

    const std::size_t m_budget;
    const unsigned m_workerCount;
    mutable std::mutex m_mutex;
    std::condition_variable m_workAvailable;
    std::condition_variable m_jobDone;
    std::vector<Job> m_jobs;
    std::vector<std::size_t> m_order; // the jobs' indices in the order the workers take them
    std::size_t m_next = 0;           // into m_order
    std::size_t m_writerAt = 0; // the file the writer waits for or reads
    std::size_t m_held = 0;
    std::size_t m_peak = 0;
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_workers;
    std::function<void(std::size_t, std::string&)> m_deflatedHook;
    std::string m_password;
};

} // namespace corvane

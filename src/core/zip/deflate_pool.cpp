// worker threads that deflate the files of one archive in order, ahead of the writer, within a memory budget
#include "core/zip/deflate_pool.h"

#include <algorithm>
#include <chrono>

#include "core/common/work_order.h"

namespace corvane {
namespace {

// what a file's output may take (about zlib's bound, and the encryption's frame); the read block and
// zlib's tables belong to the worker and do not grow with the files
std::size_t Reservation(std::uint64_t size) {
    return static_cast<std::size_t>(size + size / 1000 + 64 + kAesOverhead);
}

} // namespace

DeflatePool::DeflatePool(std::size_t budget, unsigned workers)
    : m_budget(budget),
      m_workerCount(workers != 0 ? workers : std::max(1u, std::thread::hardware_concurrency())) {}

DeflatePool::~DeflatePool() {
    Stop();
}

std::size_t DeflatePool::Add(SourceFile file) {
    std::lock_guard lock(m_mutex);
    Job& job = m_jobs.emplace_back();
    job.file = std::move(file);
    return m_jobs.size() - 1;
}

std::size_t DeflatePool::Count() const {
    std::lock_guard lock(m_mutex);
    return m_jobs.size();
}

void DeflatePool::Start() {
    Stop();
    m_stop = false;
    {
        std::lock_guard lock(m_mutex);
        std::vector<std::uint64_t> sizes;
        std::size_t reserved = 0;
        for (const Job& job : m_jobs) {
            sizes.push_back(job.file.state.size);
            reserved += Reservation(job.file.state.size);
        }
        m_order = reserved <= m_budget ? BigOnesFirst(sizes, m_workerCount) : InOrder(sizes.size());
    }
    const std::size_t count = std::min<std::size_t>(m_workerCount, Count());
    for (std::size_t i = 0; i < count; ++i)
        m_workers.emplace_back([this] { Work(); });
}

void DeflatePool::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_workAvailable.notify_all();
    m_jobDone.notify_all();
    for (auto& worker : m_workers)
        worker.join();
    m_workers.clear();
}

void DeflatePool::Clear() {
    Stop();
    std::lock_guard lock(m_mutex);
    m_jobs.clear();
    m_order.clear();
    m_next = 0;
    m_writerAt = 0;
    m_held = 0;
    m_peak = 0;
}

bool DeflatePool::CanTakeNext() {
    while (m_next < m_order.size() && m_jobs[m_order[m_next]].state == State::Released)
        ++m_next;
    if (m_next >= m_order.size())
        return false;
    return m_held == 0 || m_held + Reservation(m_jobs[m_order[m_next]].file.state.size) <= m_budget;
}

void DeflatePool::Work() {
    FileDeflater deflater(kLevel);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workAvailable.wait(lock, [this] { return m_stop || m_next >= m_order.size() || CanTakeNext(); });
        if (m_stop || m_next >= m_order.size())
            return;
        const std::size_t index = m_order[m_next++];
        Job& job = m_jobs[index];
        job.state = State::Running;
        job.held = Reservation(job.file.state.size);
        m_held += job.held;
        m_peak = std::max(m_peak, m_held);
        const SourceFile file = job.file;
        lock.unlock();
        DeflatedFile result = deflater.Deflate(file, m_stop);
        // the derivation of the entry's keys costs more than deflating a file of tens of kilobytes: it
        // belongs on the workers, not on the writer
        if (!m_password.empty() && !result.failure && !result.stopped)
            result.keys = SealWinZipAesEntry(m_password, result.bytes);
        if (m_deflatedHook && !result.failure && !result.stopped)
            m_deflatedHook(index, result.bytes);
        lock.lock();
        // m_jobs is not resized while workers run, so the reference is still good
        m_held -= job.held;
        job.held = result.bytes.capacity();
        m_held += job.held;
        job.result = std::move(result);
        job.state = State::Done;
        if (index < m_writerAt)
            ReleaseLocked(job); // the writer went past it (its entry was dropped)
        m_jobDone.notify_all();
        m_workAvailable.notify_all();
    }
}

void DeflatePool::ReleaseLocked(Job& job) {
    if (job.state == State::Released)
        return;
    if (job.state == State::Running)
        return; // the worker still owns it; Wait() never releases a running file ahead of its turn
    m_held -= job.held;
    job.held = 0;
    // moved out, not assigned over: assigning an empty string keeps the old buffer
    DeflatedFile released = std::move(job.result);
    job.result = DeflatedFile();
    job.state = State::Released;
}

const DeflatedFile* DeflatePool::Wait(std::size_t index, const std::function<bool()>& cancelled) {
    std::unique_lock lock(m_mutex);
    if (index >= m_jobs.size())
        return nullptr;
    for (std::size_t earlier = m_writerAt; earlier < index; ++earlier)
        ReleaseLocked(m_jobs[earlier]);
    m_writerAt = std::max(m_writerAt, index);
    m_workAvailable.notify_all();
    Job& job = m_jobs[index];
    // once stopped, a file a worker was on when the stop came is Done but cut short: never hand it out
    while (job.state != State::Done || m_stop) {
        if (job.state == State::Released || m_stop || (cancelled && cancelled())) {
            lock.unlock();
            Stop();
            return nullptr;
        }
        m_jobDone.wait_for(lock, std::chrono::milliseconds(20));
    }
    return &job.result;
}

void DeflatePool::Release(std::size_t index) {
    {
        std::lock_guard lock(m_mutex);
        if (index < m_jobs.size())
            ReleaseLocked(m_jobs[index]);
    }
    m_workAvailable.notify_all();
}

std::size_t DeflatePool::PeakBytes() const {
    std::lock_guard lock(m_mutex);
    return m_peak;
}

} // namespace corvane

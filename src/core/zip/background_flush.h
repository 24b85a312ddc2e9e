// flushing a written archive to the disk while it is read back
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/common/error.h"

namespace corvane {

// Flushes a file to the disk on a thread of its own from construction on. The read-back of the archive
// runs meanwhile: it reads what the system holds either way, so the wait for the disk then costs no
// time of its own (on a small project it had been a tenth of the run). Destroyed unfinished, it stops
// the flush and waits for its thread.
class BackgroundFlush {
public:
    explicit BackgroundFlush(std::string path);
    ~BackgroundFlush();
    BackgroundFlush(const BackgroundFlush&) = delete;
    BackgroundFlush& operator=(const BackgroundFlush&) = delete;

    // Waits for the flush, telling `report` the share done every few milliseconds; `cancelled` (asked on
    // this thread only, as it may belong to a window) stops it, and the flush then fails.
    Status Finish(const std::function<void(double)>& report, const std::function<bool()>& cancelled);

private:
    std::atomic<double> m_done{0};
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_finished = false;
    Status m_result = Status::success();
    std::thread m_thread; // last: it starts once everything it touches is made
};

} // namespace corvane

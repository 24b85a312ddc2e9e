// flushing a written archive to the disk while it is read back
#include "core/zip/background_flush.h"

#include <chrono>

#include "core/platform/platform.h"

namespace corvane {

BackgroundFlush::BackgroundFlush(std::string path)
    : m_thread([this, path = std::move(path)] {
          Status flushed = SyncFile(path, [this](double done) {
              m_done = done;
              return !m_stop;
          });
          std::lock_guard lock(m_mutex);
          m_result = std::move(flushed);
          m_finished = true;
          m_changed.notify_all();
      }) {}

BackgroundFlush::~BackgroundFlush() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

Status BackgroundFlush::Finish(const std::function<void(double)>& report,
                               const std::function<bool()>& cancelled) {
    std::unique_lock lock(m_mutex);
    while (!m_finished) {
        m_changed.wait_for(lock, std::chrono::milliseconds(20));
        lock.unlock();
        report(m_done);
        if (cancelled())
            m_stop = true;
        lock.lock();
    }
    lock.unlock();
    m_thread.join();
    report(1.0);
    return m_result;
}

} // namespace corvane

// reads that normally take a moment, run where a stalled share cannot freeze the window
#pragma once

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace corvane {

// Runs `read` on a thread of its own. A read done within a tenth of a second (nearly all) returns as if
// it had run here; a longer one is waited for in an event loop that goes on serving the window, and
// `loop` points at that loop while it runs, so that a closing window can end it. Nothing when it was
// ended before the read finished; the read is then left to finish on its own, holding nothing of the
// caller's.
template <class T> std::optional<T> ReadAside(std::function<T()> read, QEventLoop*& loop) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<T> value;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, read = std::move(read)] {
        T value = read();
        std::lock_guard lock(shared->mutex);
        shared->value = std::move(value);
        shared->done.notify_all();
    }).detach();
    {
        std::unique_lock lock(shared->mutex);
        if (shared->done.wait_for(lock, std::chrono::milliseconds(100), [&] { return shared->value.has_value(); }))
            return std::move(shared->value);
    }
    QEventLoop waiting;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &waiting, [&] {
        std::lock_guard lock(shared->mutex);
        if (shared->value)
            waiting.quit();
    });
    poll.start();
    loop = &waiting;
    waiting.exec();
    loop = nullptr;
    std::lock_guard lock(shared->mutex);
    return std::move(shared->value);
}

} // namespace corvane

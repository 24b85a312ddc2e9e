// one long operation at a time on a worker thread, with a cancel flag it polls and a way to ask the user
#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <functional>

#include "core/common/progress.h"

class QThread;

namespace corvane {

// The window keeps one of these: while it runs, a second request is refused by the caller.
class BackgroundRun : public QObject {
    Q_OBJECT

public:
    explicit BackgroundRun(QObject* parent = nullptr);
    // a window torn down during a run must not leave a worker writing behind it
    ~BackgroundRun() override;

    bool isRunning() const { return m_thread != nullptr; }

    // Starts `work` on a new worker thread; once it has returned, `done` runs on this object's thread.
    // false, and nothing started, while a run is already in progress.
    bool start(std::function<void()> work, std::function<void()> done);

    void requestCancel() { m_cancel = true; }
    bool cancelRequested() const { return m_cancel.load(); }

    // Cancels, forgets `done` and returns once the worker has ended. Pending events other than user
    // input are handled meanwhile, so that a worker waiting on a question to this thread gets its answer.
    void cancelAndWait();

    // From the worker: runs `question` on this object's thread and waits for its answer. Once a cancel
    // was requested the question is not asked and `whenCancelled` is returned.
    template <typename T> T ask(const std::function<T()>& question, T whenCancelled) {
        T answer = whenCancelled;
        askOnOwnerThread([&] {
            if (!cancelRequested())
                answer = question();
        });
        return answer;
    }

private:
    void askOnOwnerThread(const std::function<void()>& question);
    void finish();

    QThread* m_thread = nullptr;
    quint64 m_generation = 0;
    std::atomic<bool> m_cancel{false};
    std::function<void()> m_done;
};

} // namespace corvane

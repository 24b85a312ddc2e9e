// the long commands as jobs: each takes its request whole at the start, runs it on a
// worker thread of its own and reports through signals emitted on the thread that made it
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "core/backup/backup.h"
#include "core/common/progress.h"
#include "core/settings/settings.h"

class QThread;

namespace corvane {

// One long operation, run once on a worker thread. Everything a job reports (progress, questions,
// its end) reaches the receivers on the job's own thread, so they never run on the worker.
class Job : public QObject {
    Q_OBJECT

public:
    ~Job() override;

    bool isRunning() const { return m_thread != nullptr; }
    bool cancelRequested() const { return m_cancel.load(); }

    // Starts the work on a new worker thread; false, and nothing started, when the job was started before.
    bool start();

    // Cancels, drops whatever the job has still to report, its end included, and returns once the worker
    // has ended. Pending events other than user input are handled meanwhile, so that a worker waiting on a
    // question to this thread gets its answer.
    void cancelAndWait();

public slots:
    // the work notices at its next check and ends as cancelled
    void cancel() { m_cancel = true; }

protected:
    explicit Job(QObject* parent);

    // On the worker. A subclass's destructor calls cancelAndWait first: the worker uses its members.
    virtual void work() = 0;
    // On the job's thread once the worker has ended, unless the job was cancelled and waited for.
    virtual void reportEnd() = 0;

    // From the worker: runs `report` on the job's thread, unless the run has ended or been abandoned
    // by then, so that a report is never seen after the end.
    void post(std::function<void()> report);
    // From the worker: runs `question` on the job's thread and waits for it. Once a cancel was requested
    // the question is not asked.
    void ask(const std::function<void()>& question);

private:
    void finish();

    QThread* m_thread = nullptr;
    bool m_started = false;
    bool m_abandoned = false;
    std::atomic<bool> m_cancel{false};
};

// The archive command for one project or one group.
class ArchiveJob final : public Job {
    Q_OBJECT

public:
    // the progress bars' resolution: a report that would not move a bar by one unit is not sent
    static constexpr int kProgressUnits = 1000;
    using Request = std::variant<SingleProjectRequest, GroupRequest>;

    // options: the drive map and the clock; the job fills in progress, cancel, warnings and the store.
    // settings: where "LastDir" is remembered; the store is opened on the worker, which is the one to
    // wait for its writes to reach the disk.
    ArchiveJob(Request request, RunOptions options, SettingsLocation settings, QObject* parent = nullptr);
    ~ArchiveJob() override;

    bool isGroup() const { return std::holds_alternative<GroupRequest>(m_request); }

signals:
    // a new project always, a changed share at most once per 40 ms
    void progressed(const RunProgress& progress);
    // as it arises, while the run goes on (the folder could not be remembered); in the outcome as well
    void warned(const RunWarning& warning);
    void ended(const RunOutcome& outcome);

protected:
    void work() override;
    void reportEnd() override { emit ended(m_outcome); }

private:
    void postProgress(const RunProgress& progress);

    Request m_request;
    RunOptions m_options;
    SettingsLocation m_settings;
    ProgressThrottle m_throttle{std::chrono::milliseconds(40)};
    RunOutcome m_outcome;
};

} // namespace corvane

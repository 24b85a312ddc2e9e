// the worker threads behind the archive and unzip commands
#include "app/jobs.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <utility>

namespace corvane {

namespace {
RunOutcome Run(const SingleProjectRequest& request, const RunOptions& options) {
    return RunSingleProject(request, options);
}

RunOutcome Run(const GroupRequest& request, const RunOptions& options) {
    return RunGroup(request, options);
}
} // namespace

Job::Job(QObject* parent) : QObject(parent) {}

Job::~Job() {
    // the subclass has waited already; this only catches one that forgot
    Q_ASSERT(!isRunning());
}

bool Job::start() {
    if (m_started)
        return false;
    m_started = true;
    m_thread = QThread::create([this] { work(); });
    // emitted on the worker, queued to this thread behind every report the worker posted before it
    connect(m_thread, &QThread::finished, this, &Job::finish);
    m_thread->start();
    return true;
}

void Job::finish() {
    QThread* thread = std::exchange(m_thread, nullptr);
    if (!thread)
        return; // already collected by cancelAndWait
    thread->wait();
    delete thread;
    if (!m_abandoned)
        reportEnd();
}

void Job::cancelAndWait() {
    if (!m_thread)
        return;
    m_cancel = true;
    m_abandoned = true;
    while (m_thread && !m_thread->wait(QDeadlineTimer(20)))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    finish();
}

void Job::post(std::function<void()> report) {
    QMetaObject::invokeMethod(
        this,
        [this, report = std::move(report)] {
            if (isRunning() && !m_abandoned)
                report();
        },
        Qt::QueuedConnection);
}

void Job::ask(const std::function<void()>& question) {
    QMetaObject::invokeMethod(
        this,
        [this, &question] {
            if (!cancelRequested())
                question();
        },
        Qt::BlockingQueuedConnection);
}

ArchiveJob::ArchiveJob(Request request, RunOptions options, SettingsLocation settings, QObject* parent)
    : Job(parent), m_request(std::move(request)), m_options(std::move(options)),
      m_settings(std::move(settings)) {}

ArchiveJob::~ArchiveJob() {
    cancelAndWait();
}

void ArchiveJob::work() {
    SettingsStore store(m_settings);
    RunOptions options = m_options;
    options.settings = &store;
    options.progress = [this](const RunProgress& progress) { postProgress(progress); };
    options.cancelRequested = [this] { return cancelRequested(); };
    // what the store refuses is told while the archive is being built rather than after
    options.warning = [this](const RunWarning& warning) { post([this, warning] { emit warned(warning); }); };
    m_outcome = std::visit([&options](const auto& request) { return Run(request, options); }, m_request);
}

void ArchiveJob::postProgress(const RunProgress& progress) {
    // only what changes the picture crosses to the window
    const int value = static_cast<int>(progress.archive.fraction * kProgressUnits);
    const int step = progress.projectsDone * 65536 + progress.projectIndex;
    if (!m_throttle.shouldPost(step, value, std::chrono::steady_clock::now()))
        return;
    post([this, progress] { emit progressed(progress); });
}

} // namespace corvane

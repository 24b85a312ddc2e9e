// the worker thread behind the archive and unzip commands
#include "app/background_run.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <utility>

namespace corvane {

BackgroundRun::BackgroundRun(QObject* parent) : QObject(parent) {}

BackgroundRun::~BackgroundRun() {
    cancelAndWait();
}

bool BackgroundRun::start(std::function<void()> work, std::function<void()> done) {
    if (m_thread)
        return false;
    m_cancel = false;
    m_done = std::move(done);
    m_thread = QThread::create(std::move(work));
    const quint64 generation = ++m_generation;
    // finished is emitted on the worker; the connection queues it to this object's thread, where it
    // may arrive after cancelAndWait has already collected that worker and another one has started
    connect(m_thread, &QThread::finished, this, [this, generation] {
        if (generation == m_generation)
            finish();
    });
    m_thread->start();
    return true;
}

void BackgroundRun::finish() {
    QThread* thread = std::exchange(m_thread, nullptr);
    if (!thread)
        return; // already collected by cancelAndWait
    thread->wait();
    delete thread;
    std::function<void()> done = std::exchange(m_done, nullptr);
    if (done)
        done();
}

void BackgroundRun::cancelAndWait() {
    if (!m_thread)
        return;
    m_cancel = true;
    m_done = nullptr;
    while (m_thread && !m_thread->wait(QDeadlineTimer(20)))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    finish();
}

void BackgroundRun::askOnOwnerThread(const std::function<void()>& question) {
    if (QThread::currentThread() == thread()) {
        question();
        return;
    }
    QMetaObject::invokeMethod(this, question, Qt::BlockingQueuedConnection);
}

} // namespace corvane

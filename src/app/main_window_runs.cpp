// the archive and unzip commands: their checks, the jobs they start, and what the window shows of them
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include "app/controls.h"
#include "app/dialogs.h"
#include "app/jobs.h"
#include "app/main_window.h"
#include "app/ui_services.h"
#include "app/window_texts.h"
#include "core/project/paths.h"

namespace corvane {

namespace {
const QString kTitle = QStringLiteral("Corvane");

std::vector<std::string> ListedProjects(const QListWidget* list) {
    std::vector<std::string> projects;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        const QByteArray bytes = item->data(Qt::UserRole).toByteArray();
        projects.push_back(bytes.isEmpty() ? PathBytes(item->text()) : bytes.toStdString());
    }
    return projects;
}
} // namespace

bool MainWindow::isBusy() const {
    return m_run && m_run->isRunning();
}

void MainWindow::adoptRun(Job* job) {
    if (m_run)
        m_run->deleteLater();
    m_run = job;
}

void MainWindow::cancelRunAndWait() {
    if (m_run)
        m_run->cancelAndWait();
}

void MainWindow::onBtnValiderClick() {
    // one run at a time: the second request is refused as a command without a selection is
    if (isBusy() || frame3D3()->isHidden() || text1(0)->text().isEmpty() ||
        (m_isGroup && text1(2)->text().isEmpty())) {
        m_services.beep();
        return;
    }
    startArchiveRun();
}

void MainWindow::startArchiveRun() {
    const auto moment = m_setup.clock();
    RunOptions options;
    options.archive.driveMap = m_setup.driveMap;
    options.clock = [moment] { return moment; };

    ArchiveJob::Request request;
    int projectCount = 1;
    if (m_isGroup) {
        GroupRequest group;
        group.projects = ListedProjects(list1());
        group.destination = PathBytes(text1(2)->text());
        group.subfolderName = PathBytes(text1(1)->text());
        group.password = text1(3)->text().toStdString();
        projectCount = static_cast<int>(group.projects.size());
        request = std::move(group);
    } else {
        SingleProjectRequest single;
        single.projectPath = PathBytes(text1(0)->text());
        single.job = m_selectedJob;
        single.destination = PathBytes(text1(2)->text());
        single.password = text1(3)->text().toStdString();
        request = std::move(single);
    }
    auto* job = new ArchiveJob(std::move(request), std::move(options), m_setup.settings, this);
    connect(job, &ArchiveJob::progressed, this, &MainWindow::showProgress);
    connect(job, &ArchiveJob::warned, this, &MainWindow::showRunWarning);
    connect(job, &ArchiveJob::ended, this, &MainWindow::endArchiveRun);
    connect(m_btnCancelRun, &PelmButton::clicked, job, &Job::cancel);
    adoptRun(job);
    m_runIsGroup = job->isGroup();
    m_lastDirWarned = false;

    vistaProg1()->setMaximum(ArchiveJob::kProgressUnits);
    vistaProg1()->setValue(0);
    vistaProg1()->show();
    if (m_runIsGroup) {
        vistaProg2()->setMaximum(projectCount);
        vistaProg2()->setValue(0);
        vistaProg2()->show();
        label2()->clear();
        label2()->show();
    }
    setRunControlsShown(true);
    m_services.setBusyPointer(true);
    job->start();
}

void MainWindow::showProgress(const RunProgress& progress) {
    vistaProg1()->setValue(static_cast<int>(progress.archive.fraction * ArchiveJob::kProgressUnits));
    if (m_runIsGroup) {
        vistaProg2()->setValue(progress.projectsDone);
        label2()->setText(PathText(progress.projectPath));
    }
}

void MainWindow::showRunWarning(const std::string& warning) {
    m_lastDirWarned = true;
    m_services.messageBox(this, MessageText(warning), kTitle, MsgBox::Exclamation);
}

void MainWindow::endArchiveRun(const RunOutcome& outcome) {
    setRunControlsShown(false);
    m_services.setBusyPointer(false);
    if (m_runIsGroup)
        vistaProg2()->setValue(outcome.projectsDone);
    if (!m_lastDirWarned && !outcome.warnings.empty()) {
        QStringList lines;
        for (const std::string& warning : outcome.warnings)
            lines << MessageText(warning);
        m_services.messageBox(this, lines.join(QStringLiteral("\r\n")), kTitle, MsgBox::Exclamation);
    }

    switch (outcome.kind) {
    case RunOutcome::Kind::Completed:
        vistaProg1()->setValue(ArchiveJob::kProgressUnits);
        // a name already taken (an archive made in the same second) was numbered: show the one written
        if (!m_runIsGroup && !outcome.archives.empty())
            text1(1)->setText(PathText(FileNameOfPath(outcome.archives.front())));
        m_services.messageBox(this, GetString(18, QStringLiteral("Archiving complete !")), kTitle,
                              MsgBox::Information);
        if (m_runIsGroup)
            label2()->hide();
        timer1()->start();
        break;
    case RunOutcome::Kind::ProjectFailed:
        m_services.messageBox(this,
                              MessageText(ArchiveFailureMessage(outcome.failure)) + QStringLiteral("\r\n") +
                                  MessageText(outcome.failure.error.message),
                              QString::fromLatin1(kArchiveFailureTitle), MsgBox::Exclamation);
        if (m_runIsGroup)
            m_services.messageBox(this, GetString(19, QStringLiteral("An error occurred during archiving !")),
                                  kTitle, MsgBox::Critical);
        break;
    case RunOutcome::Kind::Cancelled:
        // the selection stays, ready to be archived again
        vistaProg1()->hide();
        vistaProg2()->hide();
        label2()->hide();
        break;
    case RunOutcome::Kind::Refused:
        m_services.beep();
        break;
    }
}

} // namespace corvane

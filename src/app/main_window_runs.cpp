// the archive and unzip commands: their checks, the jobs they start, and what the window shows of them
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <system_error>

#include "app/controls.h"
#include "app/dialogs.h"
#include "app/jobs.h"
#include "app/main_window.h"
#include "app/ui_services.h"
#include "app/window_texts.h"
#include "core/project/paths.h"
#include "core/project/text.h"

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
    return runIsActive() || m_selectionRead != nullptr;
}

bool MainWindow::runIsActive() const {
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
    if (isBusy()) {
        refuse(busyText());
        return;
    }
    if (frame3D3()->isHidden() || text1(0)->text().isEmpty()) {
        refuse(message("StatusChooseFirst", QStringLiteral("Choose a project or a project group first.")));
        return;
    }
    if (m_isGroup && text1(2)->text().isEmpty()) {
        refuse(message("StatusChooseSavePath", QStringLiteral("Choose a save path first.")));
        return;
    }
    if (passwordConfirmed())
        startArchiveRun();
}

// A mistyped password would lock the user out of the backup for good, so it is typed twice.
bool MainWindow::passwordConfirmed() {
    const QString password = text1(3)->text();
    if (password.isEmpty())
        return true;
    const std::optional<QString> again =
        m_services.askPassword(this, message("PasswordAgain", QStringLiteral("Type the password again:")));
    if (!again)
        return false;
    if (*again == password)
        return true;
    m_services.messageBox(
        this, message("PasswordsDiffer", QStringLiteral("The two passwords differ: nothing was archived.")), kTitle,
        MsgBox::Exclamation);
    return false;
}

void MainWindow::startArchiveRun() {
    timer1()->stop(); // a timer left from the last run must not hide this one's panel
    const auto moment = m_setup.clock();
    RunOptions options;
    options.archive.driveMap = m_setup.driveMap;
    options.archive.codePage = m_setup.codePage; // the one the window shows the names in
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
    connect(job, &ArchiveJob::ended, this, &MainWindow::endArchiveRun);
    connect(m_btnCancelRun, &PelmButton::clicked, job, &Job::cancel);
    adoptRun(job);
    m_runIsGroup = job->isGroup();

    vistaProg1()->setMaximum(ArchiveJob::kProgressUnits);
    vistaProg1()->setValue(0);
    vistaProg1()->show();
    label2()->setTextFormat(Qt::PlainText); // the pre-flight's line gives way to the run's
    label2()->clear();
    label2()->setVisible(m_runIsGroup);
    if (m_runIsGroup) {
        vistaProg2()->setMaximum(projectCount);
        vistaProg2()->setValue(0);
        vistaProg2()->show();
    }
    // no busy pointer: the window answers throughout, and the bars, Cancel and the status line say a run
    // is going on
    setRunControlsShown(true);
    job->start();
    setJobRunning(true, busyText());
}

void MainWindow::showProgress(const RunProgress& progress) {
    vistaProg1()->setValue(static_cast<int>(progress.archive.fraction * ArchiveJob::kProgressUnits));
    if (m_runIsGroup) {
        vistaProg2()->setValue(progress.projectsDone);
        label2()->setText(PathText(progress.projectPath));
    }
}

// The store's failures are the ones a user can act on (a folder to make writable, a disk to clear), so
// they are told in the window's language, reason included where the system gave a common one.
QString MainWindow::warningText(const RunWarning& warning) const {
    if (warning.kind != RunWarning::Kind::FolderNotRemembered)
        return MessageText(warning.text);
    const QString reason = ReasonText(translation(), warning.systemError, warning.reason);
    return message("FolderNotRemembered", QStringLiteral("The last backup folder could not be remembered: "
                                                         "the settings file %1 cannot be written (%2)."))
        .arg(PathText(warning.path), reason);
}

void MainWindow::endArchiveRun(const RunOutcome& outcome) {
    setRunControlsShown(false);
    setJobRunning(false);
    if (m_runIsGroup)
        vistaProg2()->setValue(outcome.projectsDone);
    // one box at a time: what the run warned of goes into the box of its outcome
    QStringList warnings;
    for (const RunWarning& warning : outcome.warnings)
        warnings << warningText(warning);
    const QString warned = warnings.isEmpty() ? QString() : warnings.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n");
    const int warnedIcon = warnings.isEmpty() ? MsgBox::Information : MsgBox::Exclamation;

    switch (outcome.kind) {
    case RunOutcome::Kind::Completed: {
        vistaProg1()->setValue(ArchiveJob::kProgressUnits);
        // a name already taken (an archive made in the same second) was numbered: show the one written
        if (!m_runIsGroup && !outcome.archives.empty())
            text1(1)->setText(PathText(FileNameOfPath(outcome.archives.front())));
        const std::string written =
            m_runIsGroup || outcome.archives.empty() ? outcome.backupFolder : outcome.archives.front();
        // the folder is what the user goes to next: to copy the backup away, or to look at it
        const int answer = m_services.askChoice(
            this,
            warned + GetString(18, QStringLiteral("Archiving complete !")) + QStringLiteral("\r\n") +
                PathText(written),
            kTitle,
            {message("OpenBackupFolder", QStringLiteral("&Open the folder")), QStringLiteral("OK")}, warnedIcon);
        if (answer == 0)
            openInShell(PathText(outcome.backupFolder));
        if (m_runIsGroup)
            label2()->hide();
        if (!lastDir().empty())
            pelmOpenThe()->show(); // the backup just made is the last one from now on
        timer1()->start();
        break;
    }
    case RunOutcome::Kind::ProjectFailed: {
        const ArchiveOutcome& failure = outcome.FirstFailure();
        m_services.messageBox(this,
                              // the step is the project's own line, in its code page
                              warned + FromAnsi(ArchiveFailureMessage(failure), m_setup.codePage) +
                                  QStringLiteral("\r\n") + ErrorText(translation(), failure.error),
                              QString::fromLatin1(kArchiveFailureTitle), MsgBox::Exclamation);
        if (m_runIsGroup)
            m_services.messageBox(this, GetString(19, QStringLiteral("An error occurred during archiving !")),
                                  kTitle, MsgBox::Critical);
        break;
    }
    case RunOutcome::Kind::Cancelled:
        if (!warnings.isEmpty())
            m_services.messageBox(this, warnings.join(QStringLiteral("\r\n")), kTitle, MsgBox::Exclamation);
        // the selection stays, ready to be archived again
        vistaProg1()->hide();
        vistaProg2()->hide();
        label2()->hide();
        break;
    case RunOutcome::Kind::Refused:
        refuse(message("StatusNothingArchived", QStringLiteral("Nothing was archived: %1"))
                   .arg(ErrorText(translation(), outcome.error)));
        break;
    }
}

} // namespace corvane

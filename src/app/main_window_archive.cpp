// the archive command: checks, the run on the worker thread, its progress and its outcome
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <memory>

#include "app/ansi_qstring.h"
#include "app/frame3d.h"
#include "app/main_window.h"
#include "app/ui_services.h"
#include "app/vista_prog.h"
#include "core/project/paths.h"

namespace corvane {

namespace {
constexpr int kBarUnits = 1000; // the per-project bar follows the build's fraction, not its lines

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

void MainWindow::onBtnValiderClick() {
    // one run at a time: the second request is refused as a command without a selection is
    if (m_run.isRunning() || frame3D3()->isHidden() || text1(0)->text().isEmpty() ||
        (m_isGroup && text1(2)->text().isEmpty())) {
        m_services.beep();
        return;
    }
    startArchiveRun();
}

void MainWindow::startArchiveRun() {
    const bool group = m_isGroup;
    m_runIsGroup = group;
    const auto moment = m_setup.clock();
    RunOptions options;
    options.archive.driveMap = m_setup.driveMap;
    options.clock = [moment] { return moment; };

    SingleProjectRequest single;
    GroupRequest groupRequest;
    if (group) {
        groupRequest.projects = ListedProjects(list1());
        groupRequest.destination = PathBytes(text1(2)->text());
        groupRequest.subfolderName = PathBytes(text1(1)->text());
        groupRequest.password = text1(3)->text().toStdString();
    } else {
        single.projectPath = PathBytes(text1(0)->text());
        single.job = m_job;
        single.destination = PathBytes(text1(2)->text());
        single.password = text1(3)->text().toStdString();
    }
    m_lastDirWarned = false;

    m_throttle = ProgressThrottle(std::chrono::milliseconds(40));
    vistaProg1()->setMaximum(kBarUnits);
    vistaProg1()->setValue(0);
    vistaProg1()->show();
    if (group) {
        vistaProg2()->setMaximum(static_cast<int>(groupRequest.projects.size()));
        vistaProg2()->setValue(0);
        vistaProg2()->show();
        label2()->clear();
        label2()->show();
    }
    setRunControlsShown(true);
    m_services.setBusyPointer(true);

    auto outcome = std::make_shared<RunOutcome>();
    const SettingsLocation location = m_setup.settings;
    m_run.start(
        [this, group, single, groupRequest, options, location, outcome]() mutable {
            SettingsStore store(location);
            options.settings = &store;
            options.progress = [this](const RunProgress& progress) { postProgress(progress); };
            options.cancelRequested = [this] { return m_run.cancelRequested(); };
            // the settings store flushes to the disk, which is the worker's to wait for; what it
            // refuses is still told while the archive is being built rather than after
            options.warning = [this](const std::string& warning) {
                QMetaObject::invokeMethod(
                    this,
                    [this, warning] {
                        m_lastDirWarned = true;
                        m_services.messageBox(this, MessageText(warning), kTitle, MsgBox::Exclamation);
                    },
                    Qt::QueuedConnection);
            };
            *outcome = group ? RunGroup(groupRequest, options) : RunSingleProject(single, options);
        },
        [this, outcome] { endArchiveRun(*outcome); });
}

void MainWindow::postProgress(const RunProgress& progress) {
    // on the worker: only what changes the picture crosses to the window
    const int value = static_cast<int>(progress.archive.fraction * kBarUnits);
    const int step = progress.projectsDone * 65536 + progress.projectIndex;
    if (!m_throttle.shouldPost(step, value, std::chrono::steady_clock::now()))
        return;
    QMetaObject::invokeMethod(
        this, [this, progress] { showProgress(progress); }, Qt::QueuedConnection);
}

void MainWindow::showProgress(const RunProgress& progress) {
    if (!m_run.isRunning())
        return; // a report overtaken by the run's end
    vistaProg1()->setValue(static_cast<int>(progress.archive.fraction * kBarUnits));
    if (m_runIsGroup) {
        vistaProg2()->setValue(progress.projectsDone);
        label2()->setText(PathText(progress.projectPath));
    }
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
        vistaProg1()->setValue(kBarUnits);
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

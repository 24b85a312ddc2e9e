// the unzip command: the archive chosen, the question about a folder that holds files, the job's
// progress with its Cancel, the password asked up to three times, and what the window shows of its end
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/ui_services.h"
#include "app/unzip_job.h"
#include "app/window_texts.h"
#include "core/project/paths.h"

namespace corvane {

namespace {
const QString kTitle = QStringLiteral("Corvane");

// A symbolic link is not asked about: the extraction refuses it with its reason.
bool HoldsFiles(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && !info.isSymLink() &&
           !QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// "Name (2)", "Name (3)"...: the first that does not exist. Not NumberedFileName: a backup's folder
// name ends in a version, which is no extension.
QString FreeNumberedFolder(const QString& folder) {
    for (int n = 2;; ++n) {
        const QString candidate = folder + QStringLiteral(" (%1)").arg(n);
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}
} // namespace

void MainWindow::runUnzip() {
    if (isBusy()) {
        refuse(busyText());
        return;
    }
    timer1()->stop(); // a run's timer must not hide the panel while this one goes on
    CommonDialog dialog(m_services);
    dialog.DialogTitle = GetString(15, QStringLiteral("Choose the compressed project to unzip"));
    dialog.FileName.clear();
    dialog.InitDir = PathText(lastDir());
    dialog.Filter = QStringLiteral("Zipped Visual Basic Project|*.zip");
    dialog.FilterIndex = 1;
    dialog.Flags = kExplorer | kFileMustExist;
    dialog.CancelError = true;
    if (!dialog.ShowOpen(this) || dialog.LastError() != 0 || dialog.FileName.isEmpty())
        return;

    const QString archive = dialog.FileName;
    if (KindOfInput(PathBytes(archive)) != InputKind::Archive) {
        refuse(message("StatusNotAnArchive", QStringLiteral("Only .zip archives are unpacked: %1"))
                   .arg(QFileInfo(archive).fileName()));
        return;
    }
    const Result<std::string> beside = ExtractionFolderOf(PathBytes(archive));
    if (!beside) {
        showUnzipFailure(beside.failure());
        return;
    }
    UnzipRequest request{archive, PathText(*beside), UnzipLimits(), ExistingFolder::Refuse};
    if (HoldsFiles(request.folder)) {
        const QString numbered = FreeNumberedFolder(request.folder);
        enum Choice { Replace, NewFolder, Leave };
        const int answer = m_services.askChoice(
            this,
            GetString(27,
                      QStringLiteral("The folder \"%1\" already holds files.|Replace it with the archive's "
                                     "content, or unpack into a new folder \"%2\" beside it?"))
                .arg(request.folder, QFileInfo(numbered).fileName()),
            kTitle,
            {GetString(32, QStringLiteral("&Replace")), GetString(33, QStringLiteral("&New folder")),
             GetString(29, QStringLiteral("Cancel"))});
        if (answer == Replace)
            request.existing = ExistingFolder::Replace;
        else if (answer == NewFolder)
            request.folder = numbered;
        else
            return;
    }
    startUnzip(request);
}

void MainWindow::startUnzip(const UnzipRequest& request) {
    auto* job = new UnzipJob(request, this);
    connect(job, &UnzipJob::passwordNeeded, this, &MainWindow::askUnzipPassword);
    connect(job, &UnzipJob::ended, this, &MainWindow::endUnzip);
    adoptRun(job);

    delete m_unzipProgress;
    m_unzipProgress = new QProgressDialog(this);
    m_unzipProgress->setWindowTitle(kTitle);
    m_unzipProgress->setLabelText(
        GetString(28, QStringLiteral("Unpacking \"%1\"...")).arg(QFileInfo(request.archive).fileName()));
    m_unzipProgress->setCancelButtonText(GetString(29, QStringLiteral("Cancel")));
    m_unzipProgress->setRange(0, UnzipJob::kProgressUnits);
    m_unzipProgress->setAutoReset(false);
    m_unzipProgress->setAutoClose(false);
    m_unzipProgress->setWindowModality(Qt::WindowModal);
    m_unzipProgress->setMinimumDuration(400);
    m_unzipProgress->setValue(0);
    connect(m_unzipProgress, &QProgressDialog::canceled, job, &Job::cancel);
    connect(job, &UnzipJob::progressed, m_unzipProgress, &QProgressDialog::setValue);
    // no busy pointer: it would cover the progress box's Cancel and the password question
    setJobRunning(true, busyText());
    job->start();
}

void MainWindow::askUnzipPassword(const QString& archiveName, int attempt, std::optional<QString>* password) {
    if (attempt > 1)
        m_services.messageBox(
            this, GetString(30, QStringLiteral("Wrong password for \"%1\". Try again.")).arg(archiveName),
            kTitle, MsgBox::Exclamation);
    *password = m_services.askPassword(
        this, message("PasswordOf", QStringLiteral("Password of \"%1\":")).arg(archiveName));
}

void MainWindow::endUnzip(const QString& folder, const Result<int>& extracted) {
    setJobRunning(false);
    if (m_unzipProgress != nullptr) {
        m_unzipProgress->deleteLater();
        m_unzipProgress = nullptr;
    }
    if (extracted.ok())
        ShellEX(m_services, folder, QString(), QStringLiteral("open"), 1, nullptr);
    else if (!extracted.cancelled()) // a cancel needs no word: the user asked for it
        showUnzipFailure(extracted.failure());
}

void MainWindow::showUnzipFailure(const Error& error) {
    m_services.messageBox(
        this,
        GetString(31, QStringLiteral("The archive was not unpacked; no folder was changed.")) +
            QStringLiteral("\r\n") + ErrorText(translation(), error),
        kTitle, MsgBox::Exclamation);
}

} // namespace corvane

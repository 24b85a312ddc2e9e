// the unzip command: a backup archive unpacked beside itself, then shown in the file manager
#include <memory>
#include <optional>

#include "app/common_dialog.h"
#include "app/main_window.h"
#include "app/shell_ex.h"
#include "app/ui_services.h"
#include "core/project/paths.h"
#include "core/restore/restore.h"

namespace corvane {

namespace {
constexpr quint32 kExplorerMustExist = 0x81000;
} // namespace

void MainWindow::runUnzip() {
    if (m_run.isRunning()) {
        m_services.beep();
        return;
    }
    CommonDialog dialog(m_services);
    dialog.DialogTitle = GetString(15, QStringLiteral("Choose the compressed project to unzip"));
    dialog.FileName.clear();
    dialog.InitDir = PathText(lastDir());
    dialog.Filter = QStringLiteral("Zipped Visual Basic Project|*.zip");
    dialog.FilterIndex = 1;
    dialog.Flags = kExplorerMustExist;
    dialog.CancelError = true;
    if (!dialog.ShowOpen(this) || dialog.LastError() != 0 || dialog.FileName.isEmpty())
        return;

    const QString archive = dialog.FileName;
    if (!archive.toLower().endsWith(QLatin1String(".zip"))) {
        m_services.beep();
        return;
    }
    const QString folder = archive.left(archive.size() - 4);
    const std::string folderBytes = PathBytes(folder);
    // a folder that cannot be made shows up as the extraction's failure, with its reason
    CreateFolderPath(folderBytes + SeparatorOf(folderBytes));
    m_services.setBusyPointer(true);
    startUnzip(archive, folder);
}

void MainWindow::startUnzip(const QString& archive, const QString& folder) {
    auto result = std::make_shared<std::optional<Result<int>>>();
    const QString shownName = archive.section(QLatin1Char('/'), -1);
    // the chosen file itself is opened: on a file system that tells letter case apart, "X.ZIP" and
    // "X.zip" are two files
    m_run.start(
        [this, archive, folder, shownName, result] {
            UnzipOptions options;
            options.askPassword = [this, shownName]() -> std::optional<std::string> {
                const std::optional<QString> password = m_run.ask<std::optional<QString>>(
                    [this, &shownName] { return m_services.askPassword(this, shownName); }, std::nullopt);
                if (!password)
                    return std::nullopt;
                return password->toStdString();
            };
            options.cancelRequested = [this] { return m_run.cancelRequested(); };
            *result = ExtractArchive(PathBytes(archive), PathBytes(folder), options);
        },
        [this, folder, result] {
            m_services.setBusyPointer(false);
            const Result<int>& extracted = **result;
            if (extracted.ok()) {
                ShellEX(m_services, folder, QString(), QStringLiteral("open"), 1, nullptr);
                return;
            }
            if (IsCancelledExtraction(extracted))
                return;
            m_services.messageBox(this, MessageText(extracted.error()), QStringLiteral("Corvane"),
                                  MsgBox::Exclamation);
        });
}

} // namespace corvane

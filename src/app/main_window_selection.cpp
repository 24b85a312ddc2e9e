// choosing what to archive: a project, a group (chosen or made in the group editor), and the folder the
// backup goes to
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/controls.h"
#include "app/dialogs.h"
#include "app/form_group.h"
#include "app/main_window.h"
#include "app/read_aside.h"
#include "app/ui_services.h"
#include "app/window_texts.h"
#include "core/group/group.h"
#include "core/project/paths.h"

namespace corvane {

namespace {
// Visual Basic's own ".vbg" groups are offered beside the program's groups
const char* const kProjectFilter = "Visual Basic Projects and Groups|*.vbp;*.vbpgroup;*.vbg|"
                                   "Visual Basic Project|*.vbp|VB Project Group|*.vbpgroup|VB Group|*.vbg";

} // namespace

void MainWindow::onDBpathDialogClick() {
    // the panel shows the running archive; it is not replaced under it
    if (isBusy()) {
        refuse(busyText());
        return;
    }
    vistaProg1()->hide();
    vistaProg2()->hide();
    label2()->hide();
    frame3D3()->hide();

    CommonDialog dialog(m_services);
    dialog.DialogTitle =
        GetString(16, QStringLiteral("Select the Visual Basic\u00A9 project or project group to archive"));
    dialog.FileName.clear();
    dialog.Filter = QString::fromLatin1(kProjectFilter);
    dialog.FilterIndex = 1;
    dialog.Flags = kExplorer | kFileMustExist;
    dialog.CancelError = true;
    if (!dialog.ShowOpen(this) || dialog.LastError() != 0 || dialog.FileName.isEmpty())
        return;

    selectChosenFile(dialog.FileName);
}

// A new selection starts clean: no timer left from the last run to hide it, no bar of that run, and a
// password that is neither kept nor shown.
void MainWindow::selectChosenFile(const QString& chosen) {
    timer1()->stop();
    lblStatus()->clear(); // what was refused before concerns the old selection
    vistaProg1()->setValue(0);
    vistaProg2()->setValue(0);
    maskPassword();
    for (int index = 0; index < 4; ++index)
        text1(index)->clear();
    if (IsGroupInput(KindOfInput(PathBytes(chosen)))) {
        LoadSelectedGroup(chosen, GroupLoadForm::Dialog);
        return;
    }
    selectSingleProject(chosen);
}

std::optional<QString> MainWindow::droppedFile(const QMimeData* data) const {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return std::nullopt;
    const QString path = data->urls().front().toLocalFile();
    const InputKind kind = KindOfInput(PathBytes(path));
    if (kind != InputKind::Project && !IsGroupInput(kind))
        return std::nullopt;
    return path;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!isBusy() && droppedFile(event->mimeData()))
        event->acceptProposedAction();
}

// a file dropped on the window is chosen as the file dialog would have chosen it
void MainWindow::dropEvent(QDropEvent* event) {
    const std::optional<QString> path = droppedFile(event->mimeData());
    if (!path || isBusy())
        return;
    event->acceptProposedAction();
    frame3D3()->hide();
    selectChosenFile(*path);
}

void MainWindow::selectSingleProject(const QString& path, GroupLoadForm form) {
    struct Read {
        Result<ProjectSelection> selection;
        std::vector<ProjectCheck> missing;
    };
    std::optional<Read> read = ReadAside<Read>(
        [file = PathBytes(path), clock = m_setup.clock, drives = m_setup.driveMap, codePage = m_setup.codePage] {
            Result<ProjectSelection> selection = SelectSingleProject(file, clock);
            std::vector<ProjectCheck> missing;
            if (selection)
                missing = CheckProjects({file}, drives, codePage);
            return Read{std::move(selection), std::move(missing)};
        },
        m_selectionRead);
    if (!read)
        return; // the window was closed meanwhile
    Result<ProjectSelection>& selection = read->selection;
    if (!selection) {
        // going on with a default name would archive a project the reader could not make sense of
        m_services.messageBox(this, MessageText(selection.error()), QStringLiteral("Corvane"),
                              MsgBox::Exclamation);
        return;
    }
    frame3D3()->show();
    label1(1)->setText(GetString(17, QStringLiteral("Backup File Name :")));
    m_isGroup = false;
    m_selectedJob = std::move(selection.value().state);
    text1(0)->setText(path);
    text1(2)->setText(PathText(selection.value().savePath));
    // the names come from the project file, in its code page
    text1(1)->setText(FromAnsi(m_selectedJob.gZipName, m_setup.codePage));
    savePathDialog()->show();
    showMissingFiles(std::move(read->missing));
    if (form != GroupLoadForm::StartUp)
        text1(3)->setFocus();
}

void MainWindow::LoadSelectedGroup(const QString& path, GroupLoadForm form) {
    m_isGroup = true;
    label1(1)->setText(GetString(1, QStringLiteral("Backup Subfolder Name :")));
    list1()->clear();
    if (form != GroupLoadForm::Editor)
        text1(0)->setText(path);

    // the group file is ANSI text, in the code page the group editor writes it in
    struct Read {
        Result<GroupSelection> group;
        std::vector<ProjectCheck> missing;
    };
    std::optional<Read> read = ReadAside<Read>(
        [file = PathBytes(path), codePage = m_setup.codePage, drives = m_setup.driveMap] {
            Result<GroupSelection> group = ReadAnyGroup(file, codePage, drives);
            std::vector<ProjectCheck> missing;
            if (group)
                missing = CheckProjects(group->projects, drives, codePage);
            return Read{std::move(group), std::move(missing)};
        },
        m_selectionRead);
    if (!read)
        return; // the window was closed meanwhile
    const Result<GroupSelection>& group = read->group;
    if (!group) {
        frame3D3()->hide();
        return;
    }
    text1(1)->setText(PathText(group->subfolderName));
    for (const std::string& project : group->projects) {
        auto* item = new QListWidgetItem(PathText(project), list1());
        // the file's own bytes, so that a name the window cannot show exactly is still found
        item->setData(Qt::UserRole, QByteArray::fromStdString(project));
    }
    if (!group->savePath.empty())
        text1(2)->setText(PathText(group->savePath));

    frame3D3()->show();
    QCoreApplication::processEvents();
    savePathDialog()->show();
    showMissingFiles(std::move(read->missing));
    if (form != GroupLoadForm::StartUp)
        text1(3)->setFocus();
}

void MainWindow::onPelmButton1Click() {
    // the panel shows the running archive; it is not taken away under it
    if (isBusy()) {
        refuse(busyText());
        return;
    }
    frame3D3()->hide();
    QCoreApplication::processEvents();

    timer1()->stop(); // a run's timer must not hide what the editor hands back
    // a fresh editor every time: empty fields and the texts of the current language
    FormGroup editor(m_services, m_strings, translation(), m_setup.codePage, text1(0),
                     this);
    editor.exec();
    // the editor's Return lies over Quit: a double click on it must not end the program too
    swallowStrayClicks();

    // the editor hands a saved group back through the path box; "Return" leaves the box as it was,
    // so an earlier group is read again and anything else stays unselected
    const QString path = text1(0)->text();
    if (path.toUpper().contains(QLatin1String(".VBPGROUP")))
        LoadSelectedGroup(path, GroupLoadForm::Editor);
}

void MainWindow::onSavepathDialogClick() {
    UnicodeBrowseFolders browser(m_services);
    browser.DialogTitle = GetString(2, QStringLiteral("Select the Folder to Archive the Sources to"));
    browser.Flags = kFileSystemFoldersNewStyle;
    browser.InitialDirectory = text1(2)->text();
    if (browser.ShowBrowseForFolder(this, true))
        text1(2)->setText(PathText(AddBackslash(PathBytes(browser.SelectedFolder(false, false)))));
    text1(3)->setFocus();
}

} // namespace corvane

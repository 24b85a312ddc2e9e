// the group editor's commands: choosing the files and folder, editing the list, saving
#include <QFile>
#include <QLineEdit>
#include <QListWidget>

#include "app/controls.h"
#include "app/dialogs.h"
#include "app/form_group.h"
#include "app/ui_services.h"
#include "app/window_texts.h"
#include "core/group/group.h"
#include "core/locale/string_table.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// the group file's lines are paths (and a folder name) as this machine names files, so that the main
// window and the archive run find them byte for byte
std::string OnDisk(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FromDisk(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// the path helpers only look at ASCII separators, so UTF-8 passes through them unharmed
QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QString DefaultBackupFolder(const QString& projectPath) {
    return Utf8(DefaultGroupBackupFolder(projectPath.toStdString()));
}

} // namespace

QString FormGroup::message(int n, const QString& english) const {
    return FromAnsi(m_strings.GetString(n, ToAnsi(english)));
}

std::optional<QString> FormGroup::chooseFile(const QString& title, const QString& filter, quint32 flags) {
    CommonDialog dialog(m_services);
    dialog.DialogTitle = title;
    dialog.FileName.clear();
    dialog.Filter = filter;
    dialog.FilterIndex = 1;
    dialog.Flags = flags;
    dialog.CancelError = true;
    if (!dialog.ShowOpen(this) || dialog.LastError() != 0 || dialog.FileName.isEmpty())
        return std::nullopt;
    return dialog.FileName;
}

void FormGroup::emptyFields() {
    for (QLineEdit* box : m_text1)
        box->clear();
    m_list1->clear();
}

void FormGroup::onDBpathDialogClick() {
    const auto chosen =
        chooseFile(message(11, QStringLiteral("Choose the project group to create or modify...")),
                   QStringLiteral("VB Project Group|*.vbpgroup|VB Group|*.vbg"), kExplorer);
    if (!chosen)
        return;
    if (FileExists(OnDisk(*chosen))) {
        if (GroupFileNameForVbg(*chosen) != *chosen)
            loadVbgGroup(*chosen);
        else
            loadGroupFile(*chosen);
        return;
    }
    // a new file is always one of ours, so a name typed as ".vbg" never overwrites Visual Basic's format
    const QString path = GroupFileNameForVbg(*chosen);
    const int answer = m_services.messageBox(
        this,
        path + kCrLf + message(13, QStringLiteral("This file doesn't exist. Do you want to create it ? ")),
        message(12, QStringLiteral("Create a project group")), MsgBox::YesNo + MsgBox::Question);
    if (answer != MsgBox::Yes)
        return;
    emptyFields();
    m_text1[0]->setText(path);
    m_text1[1]->setFocus();
}

void FormGroup::loadGroupFile(const QString& path) {
    emptyFields();
    m_text1[0]->setText(path);
    // a file cut short keeps what was read before its end, without a message
    const GroupEditorRead read = ReadGroupForEditor(OnDisk(path));
    m_text1[1]->setText(FromDisk(read.fields.groupName));
    m_text1[2]->setText(FromDisk(read.fields.mainProject));
    m_text1[3]->setText(FromDisk(read.fields.backupFolder));
    for (const std::string& project : read.fields.linkedProjects)
        m_list1->addItem(FromDisk(project));
}

void FormGroup::loadVbgGroup(const QString& path) {
    emptyFields();
    m_text1[0]->setText(GroupFileNameForVbg(path));
    const auto group = ReadVbgGroup(OnDisk(path));
    if (!group)
        return;
    m_text1[1]->setText(FromDisk(group->subfolderName));
    m_text1[2]->setText(FromDisk(group->projects.front()));
    m_text1[3]->setText(FromDisk(group->savePath));
    for (std::size_t i = 1; i < group->projects.size(); ++i)
        m_list1->addItem(FromDisk(group->projects[i]));
}

void FormGroup::onSavepathDialogClick() {
    const auto chosen = chooseFile(
        message(14,
                QStringLiteral("Choose the main project for the Visual Basic\u00A9 group to be archived")),
        QStringLiteral("Visual Basic Project|*.vbp"), kExplorer | kFileMustExist);
    if (!chosen)
        return;
    m_text1[2]->setText(*chosen);
    m_text1[3]->setText(DefaultBackupFolder(*chosen));
}

void FormGroup::onSetPathDialogClick() {
    UnicodeBrowseFolders browser(m_services);
    browser.DialogTitle = message(2, QStringLiteral("Select the Folder to Archive the Sources to"));
    browser.Flags = kFileSystemFoldersNewStyle;
    browser.InitialDirectory = Utf8(AddBackslash(FolderOfPath(m_text1[2]->text().toStdString())));
    if (browser.ShowBrowseForFolder(this, true)) {
        const std::string folder = browser.SelectedFolder(false, false).toStdString();
        m_text1[3]->setText(Utf8(AddBackslash(AddBackslash(folder) + "Sources.Backup")));
    }
    m_text1[1]->setFocus();
}

void FormGroup::onBtnPlusClick() {
    const auto chosen = chooseFile(
        message(10,
                QStringLiteral("Choose the project to add to the Visual Basic\u00A9 group to be archived.")),
        QStringLiteral("Visual Basic project|*.vbp"), kExplorer | kFileMustExist);
    if (chosen)
        m_list1->addItem(*chosen);
}

void FormGroup::onBtnMoinsClick() {
    const QList<QListWidgetItem*> selected = m_list1->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem* entry = selected.front();
    const int answer = m_services.messageBox(
        this,
        message(9, QStringLiteral("Are you sure you want to delete the project :")) + kCrLf + entry->text(),
        message(8, QStringLiteral("Deleting...")), MsgBox::YesNo + MsgBox::Question);
    if (answer == MsgBox::Yes)
        delete m_list1->takeItem(m_list1->row(entry));
    m_list1->clearSelection();
    m_list1->setCurrentRow(-1);
}

bool FormGroup::validateFields() {
    struct Check {
        bool failed;
        int n;
        QString english;
        QWidget* focus;
    };
    const Check checks[] = {
        {m_text1[0]->text().isEmpty(), 4, QStringLiteral("Please select the project group file name !"),
         m_text1[0]},
        {m_text1[1]->text().isEmpty(), 5, QStringLiteral("Please enter the project group name !"),
         m_text1[1]},
        {m_text1[2]->text().isEmpty(), 6,
         QStringLiteral("Please choose the main project for the project group !"), m_text1[2]},
        {m_list1->count() == 0, 7, QStringLiteral("A project group must contain multiple projects !"),
         m_btnPlus},
    };
    for (const Check& check : checks) {
        if (!check.failed)
            continue;
        m_services.messageBox(this, message(check.n, check.english),
                              message(3, QStringLiteral("Input error")),
                              MsgBox::OkOnly + MsgBox::Exclamation);
        check.focus->setFocus();
        return false;
    }
    return true;
}

void FormGroup::onBtnGroupClick() {
    if (!validateFields())
        return;
    GroupEditorFields fields;
    fields.groupName = OnDisk(m_text1[1]->text());
    fields.mainProject = OnDisk(m_text1[2]->text());
    fields.backupFolder = OnDisk(m_text1[3]->text());
    for (int row = 0; row < m_list1->count(); ++row)
        fields.linkedProjects.push_back(OnDisk(m_list1->item(row)->text()));

    const QString path = m_text1[0]->text();
    if (const Status written = WriteGroupFile(OnDisk(path), fields); !written) {
        // the fields stay, so the user can choose another file and save again
        m_services.messageBox(this, FromDisk(written.error()), QStringLiteral("Corvane"),
                              MsgBox::OkOnly + MsgBox::Exclamation);
        return;
    }
    if (m_projectPathBox)
        m_projectPathBox->setText(path);
    accept();
}

} // namespace corvane

// the group editor's commands: choosing the files and folder, editing the list, saving, closing
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/controls.h"
#include "app/dialogs.h"
#include "app/form_group.h"
#include "app/ui_services.h"
#include "app/window_texts.h"
#include "core/locale/string_table.h"
#include "core/project/paths.h"

namespace corvane {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// the fields are UTF-8 texts; the core converts them to and from the group file's code page
QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

bool Exists(const QString& path) {
    return FileExists(PathBytes(path));
}

} // namespace

QString FormGroup::message(int n, const QString& english) const {
    return QString::fromStdString(m_strings.GetString(n, english.toStdString()));
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

bool FormGroup::askAboutFile(const QString& path, int n, const QString& english, const QString& title) {
    return m_services.messageBox(this, path + kCrLf + message(n, english), title,
                                 MsgBox::YesNo + MsgBox::Question) == MsgBox::Yes;
}

void FormGroup::emptyFields() {
    for (QLineEdit* box : m_text1)
        box->clear();
    m_list1->clear();
    m_lblStatus->clear();
}

GroupEditorFields FormGroup::fields() const {
    GroupEditorFields fields{m_text1[1]->text().toStdString(),
                             m_text1[2]->text().toStdString(),
                             m_text1[3]->text().toStdString(),
                             {}};
    for (int row = 0; row < m_list1->count(); ++row)
        fields.linkedProjects.push_back(m_list1->item(row)->text().toStdString());
    return fields;
}

void FormGroup::markSaved(const QString& file) {
    m_savedFields = fields();
    m_savedFile = file;
}

void FormGroup::onDBpathDialogClick() {
    const auto chosen =
        chooseFile(message(11, QStringLiteral("Choose the project group to create or modify...")),
                   QStringLiteral("VB Project Group|*.vbpgroup|VB Group|*.vbg"), kExplorer);
    if (!chosen)
        return;
    QString path = *chosen;
    switch (KindOfInput(PathBytes(path))) {
    case InputKind::Group:
        break;
    case InputKind::VbGroup:
        if (Exists(path)) {
            loadVbgGroup(path);
            return;
        }
        // a new group is always one of ours, so a name typed as ".vbg" names its ".vbpgroup"
        path = path.left(path.size() - 4) + QStringLiteral(".vbpgroup");
        break;
    default:
        // a project or any other file is never read as a group, nor replaced by one
        if (Exists(path)) {
            m_services.messageBox(
                this, path + kCrLf + message(22, QStringLiteral("This file is not a project group file.")),
                message(3, QStringLiteral("Input error")), MsgBox::OkOnly + MsgBox::Exclamation);
            return;
        }
        // without the extension the main window would not know the file for a group
        path += QStringLiteral(".vbpgroup");
    }
    if (Exists(path)) {
        loadGroupFile(path);
        return;
    }
    if (!askAboutFile(path, 13, QStringLiteral("This file doesn't exist. Do you want to create it ? "),
                      message(12, QStringLiteral("Create a project group"))))
        return;
    emptyFields();
    m_text1[0]->setText(path);
    m_text1[1]->setFocus();
    markSaved(QString());
}

void FormGroup::loadGroupFile(const QString& path) {
    emptyFields();
    m_text1[0]->setText(path);
    // a file cut short keeps what was read before its end, without a message
    const GroupEditorRead read = ReadGroupForEditor(PathBytes(path), m_codePage);
    m_text1[1]->setText(Text(read.fields.groupName));
    m_text1[2]->setText(Text(read.fields.mainProject));
    m_text1[3]->setText(Text(read.fields.backupFolder));
    for (const std::string& project : read.fields.linkedProjects)
        m_list1->addItem(Text(project));
    // the fields of a file read whole are what it holds; saving them unchanged leaves it as it is
    markSaved(read.stoppedEarly ? QString() : path);
}

void FormGroup::loadVbgGroup(const QString& path) {
    emptyFields();
    m_text1[0]->setText(PathText(GroupFileNameForVbg(PathBytes(path))));
    const auto group = ReadVbgGroup(PathBytes(path), m_codePage);
    if (group) {
        m_text1[1]->setText(Text(group->subfolderName));
        m_text1[2]->setText(Text(group->projects.front()));
        m_text1[3]->setText(Text(group->savePath));
        for (std::size_t i = 1; i < group->projects.size(); ++i)
            m_list1->addItem(Text(group->projects[i]));
    }
    // nothing is lost by closing now: the Visual Basic group stays where it is
    markSaved(QString());
}

bool FormGroup::isNewToTheGroup(const QString& path, bool withMain) {
    QStringList members;
    if (withMain)
        members << m_text1[2]->text();
    for (int row = 0; row < m_list1->count(); ++row)
        members << m_list1->item(row)->text();
    for (const QString& member : members) {
        if (!member.isEmpty() && SameProject(PathBytes(member), PathBytes(path))) {
            m_lblStatus->setText(message(25, QStringLiteral("This project is already in the group:")) +
                                 QLatin1Char(' ') + path);
            return false;
        }
    }
    m_lblStatus->clear();
    return true;
}

void FormGroup::onSavepathDialogClick() {
    const auto chosen = chooseFile(
        message(14,
                QStringLiteral("Choose the main project for the Visual Basic\u00A9 group to be archived")),
        QStringLiteral("Visual Basic Project|*.vbp"), kExplorer | kFileMustExist);
    if (!chosen || !isNewToTheGroup(*chosen, false))
        return;
    m_text1[2]->setText(*chosen);
    m_text1[3]->setText(Text(DefaultGroupBackupFolder(chosen->toStdString())));
}

void FormGroup::onSetPathDialogClick() {
    UnicodeBrowseFolders browser(m_services);
    browser.DialogTitle = message(2, QStringLiteral("Select the Folder to Archive the Sources to"));
    browser.Flags = kFileSystemFoldersNewStyle;
    browser.InitialDirectory = Text(AddBackslash(FolderOfPath(m_text1[2]->text().toStdString())));
    if (browser.ShowBrowseForFolder(this, true)) {
        const std::string folder = browser.SelectedFolder(false, false).toStdString();
        m_text1[3]->setText(Text(AddBackslash(AddBackslash(folder) + "Sources.Backup")));
    }
    m_text1[1]->setFocus();
}

void FormGroup::onBtnPlusClick() {
    const auto chosen = chooseFile(
        message(10,
                QStringLiteral("Choose the project to add to the Visual Basic\u00A9 group to be archived.")),
        QStringLiteral("Visual Basic project|*.vbp"), kExplorer | kFileMustExist);
    if (chosen && isNewToTheGroup(*chosen, true))
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
        QString detail = {}; // shown on a line of its own after the message
    };
    const std::string name = m_text1[1]->text().toStdString();
    const std::optional<std::string> unstorable = UnstorableText(fields(), m_codePage);
    const Check checks[] = {
        {m_text1[0]->text().isEmpty(), 4, QStringLiteral("Please select the project group file name !"),
         m_text1[0]},
        {name.empty(), 5, QStringLiteral("Please enter the project group name !"), m_text1[1]},
        {m_text1[2]->text().isEmpty(), 6,
         QStringLiteral("Please choose the main project for the project group !"), m_text1[2]},
        {m_list1->count() == 0, 7, QStringLiteral("A project group must contain multiple projects !"),
         m_btnPlus},
        // the name becomes a folder of the backup path when the group is archived
        {!IsGroupFolderName(name), 23,
         QStringLiteral("The group name is the name of its backup folder: it cannot contain any of the "
                        "characters / \\ : * ? \" < > or a vertical bar, nor start with a dot."),
         m_text1[1]},
        {unstorable.has_value(), 26, QStringLiteral("This text cannot be stored in a project group file:"),
         m_text1[1], Text(unstorable.value_or(std::string()))},
    };
    for (const Check& check : checks) {
        if (!check.failed)
            continue;
        const QString text = message(check.n, check.english);
        m_services.messageBox(this, check.detail.isEmpty() ? text : text + kCrLf + check.detail,
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
    const QString path = m_text1[0]->text();
    // the file already holds exactly this: it stays as it is, byte for byte
    const bool unchanged = path == m_savedFile && !hasUnsavedChanges() && Exists(path);
    if (!unchanged) {
        if (path != m_savedFile && Exists(path) &&
            !askAboutFile(path, 21, QStringLiteral("This file already exists. Do you want to replace it ?"),
                          windowTitle()))
            return;
        if (const Status written = WriteGroupFile(PathBytes(path), fields(), m_codePage); !written) {
            // the fields stay, so the user can choose another file and save again
            m_services.messageBox(this, ErrorText(m_language, written.failure()), QStringLiteral("Corvane"),
                                  MsgBox::OkOnly + MsgBox::Exclamation);
            return;
        }
        markSaved(path);
    }
    if (m_projectPathBox)
        m_projectPathBox->setText(path);
    accept();
}

void FormGroup::reject() {
    if (hasUnsavedChanges()) {
        const int answer = m_services.messageBox(
            this, message(24, QStringLiteral("The project group has been changed. Do you want to save it ?")),
            windowTitle(), MsgBox::YesNoCancel + MsgBox::Question);
        if (answer == MsgBox::Yes)
            onBtnGroupClick(); // closes once saved; a refused save keeps the window open
        if (answer != MsgBox::No)
            return;
    }
    QDialog::reject();
}

} // namespace corvane

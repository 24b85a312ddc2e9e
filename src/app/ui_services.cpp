// the real desktop services: Qt dialogs, the application's pointer and beep, the desktop's opener and
// the shell call in front of it
#include "app/ui_services.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QPushButton>
#include <QRegularExpression>
#include <exception>

namespace corvane {

namespace {

QList<QMessageBox::StandardButton> ButtonsInOrder(int buttonKind) {
    switch (buttonKind) {
    case MsgBox::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MsgBox::AbortRetryIgnore:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case MsgBox::YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MsgBox::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case MsgBox::RetryCancel:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

QMessageBox::Icon IconOf(int iconKind) {
    switch (iconKind) {
    case MsgBox::Critical:
        return QMessageBox::Critical;
    case MsgBox::Question:
        return QMessageBox::Question;
    case MsgBox::Exclamation:
        return QMessageBox::Warning;
    case MsgBox::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// the old message box style numbers turned into a Qt message box's look, and its answer back
struct MessageBoxLook {
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

MessageBoxLook LookOfStyle(int style) {
    const auto order = ButtonsInOrder(style & 0x0F);
    MessageBoxLook look;
    for (auto button : order)
        look.buttons |= button;
    look.icon = IconOf(style & 0x70);
    // a default button beyond the last one falls back to the first, as the old box did
    const int wanted = (style & 0x300) >> 8;
    look.defaultButton = order.value(wanted < order.size() ? wanted : 0);
    return look;
}

// the old answer number (1 OK ... 7 No) for the button pressed; Cancel's 2 for anything else
int AnswerOfButton(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return MsgBox::Ok;
    case QMessageBox::Abort:
        return MsgBox::Abort;
    case QMessageBox::Retry:
        return MsgBox::Retry;
    case QMessageBox::Ignore:
        return MsgBox::Ignore;
    case QMessageBox::Yes:
        return MsgBox::Yes;
    case QMessageBox::No:
        return MsgBox::No;
    default:
        return MsgBox::Cancel;
    }
}

} // namespace

UiServices::~UiServices() = default;
DesktopServices::~DesktopServices() = default;

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!pattern.trimmed().isEmpty())
                patterns << pattern.trimmed();
        if (patterns.isEmpty())
            continue;
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

bool IsWebAddress(const QString& target) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(target).hasMatch();
}

int DesktopServices::messageBox(QWidget* parent, const QString& text, const QString& title, int style) {
    const MessageBoxLook look = LookOfStyle(style);
    // texts from the message table end their lines with CR LF, which Qt would show as two breaks
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(look.icon, title, shown, look.buttons, parent);
    box.setDefaultButton(look.defaultButton);
    box.exec();
    return AnswerOfButton(box.standardButton(box.clickedButton()));
}

int DesktopServices::askChoice(QWidget* parent, const QString& text, const QString& title,
                               const QStringList& buttons, int icon) {
    // texts from the message table end their lines with CR LF, which Qt would show as two breaks
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(IconOf(icon & 0x70), title, shown, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> added;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        added.append(box.addButton(buttons[i], i + 1 == buttons.size() ? QMessageBox::RejectRole
                                                                       : QMessageBox::AcceptRole));
    if (!added.isEmpty()) {
        box.setEscapeButton(added.last());
        box.setDefaultButton(qobject_cast<QPushButton*>(added.last()));
    }
    box.exec();
    const qsizetype chosen = added.indexOf(box.clickedButton());
    return chosen >= 0 ? static_cast<int>(chosen) : static_cast<int>(buttons.size()) - 1;
}

void DesktopServices::beep() {
    QApplication::beep();
}

std::optional<QString> DesktopServices::chooseOpenFile(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.title, request.initDir);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // without the must-exist flag a new name may be typed, as the group editor needs
    dialog.setFileMode((request.flags & kFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::Accept, QFileDialog::tr("&Open"));
    const QStringList filters = QtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index =
            request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex : 1;
        dialog.selectNameFilter(filters.at(index - 1));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> DesktopServices::chooseFolder(QWidget* parent, const FolderRequest& request) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent, request.title, request.initialDirectory,
                                          QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<QString> DesktopServices::askPassword(QWidget* parent, const QString& prompt) {
    bool ok = false;
    const QString password = QInputDialog::getText(parent, QStringLiteral("Corvane"), prompt, QLineEdit::Password,
                                                   QString(), &ok);
    if (!ok)
        return std::nullopt;
    return password;
}

qint64 DesktopServices::openInDesktop(const QString& target, const QString& workingFolder) {
    // like the shell: an empty name or a missing local path is refused before anything starts
    if (target.isEmpty() || (!IsWebAddress(target) && !QFileInfo::exists(target)))
        return 0;
    const QString folder = QFileInfo(workingFolder).isDir() ? workingFolder : QString();
    qint64 pid = 0;
    if (!QProcess::startDetached(QStringLiteral("xdg-open"), {target}, folder, &pid))
        return 0;
    return pid;
}

QString ShellWorkingFolder(const QString& file) {
    if (IsWebAddress(file))
        return {};
    const qsizetype last = qMax(file.lastIndexOf(QLatin1Char('\\')), file.lastIndexOf(QLatin1Char('/')));
    if (last < 0)
        return {};
    // "/backups" runs in the root, not in no folder at all
    return last == 0 ? file.left(1) : file.left(last);
}

qint64 ShellEX(UiServices& services, const QString& file, const QString& parameters, const QString& verb,
               int showMode, QWidget* owner) {
    Q_UNUSED(parameters);
    Q_UNUSED(showMode);
    Q_UNUSED(owner);
    // the desktop knows one way to open things; any other verb has no program registered for it
    if (!verb.isEmpty() && verb.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return 0;
    if (file.isEmpty())
        return 0;
    try {
        const qint64 result = services.openInDesktop(file, ShellWorkingFolder(file));
        return result < 0 ? -1 : result;
    } catch (const std::exception&) {
        // the caller ignores the result; nothing may escape into the event loop
        return -1;
    }
}

} // namespace corvane

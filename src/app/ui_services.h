// everything the windows ask of the user or the desktop, behind one interface tests can script
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

class QWidget;

namespace corvane {

// What an open-file dialog is asked to show; the fields keep the old common dialog's meaning.
struct FileDialogRequest {
    QString title;
    QString fileName; // proposed name, usually empty
    QString initDir;  // empty lets the dialog choose
    QString filter;   // "desc|patterns|desc|patterns", patterns separated by ";"
    int filterIndex = 1;
    quint32 flags = 0;
};

// What a folder dialog is asked to show.
struct FolderRequest {
    QString title;
    QString initialDirectory; // empty for the dialog's own default
    quint32 flags = 0;
};

// Message box styles and answers in the numbers the old message box used, so callers read as before.
namespace MsgBox {
inline constexpr int OkOnly = 0;
inline constexpr int OkCancel = 1;
inline constexpr int AbortRetryIgnore = 2;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int RetryCancel = 5;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;
inline constexpr int DefaultButton3 = 512;

inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgBox

// The common dialog's flag for "the chosen file must exist".
inline constexpr quint32 kFileMustExist = 0x1000;

class UiServices {
public:
    virtual ~UiServices();

    // style: buttons (0..5) + icon (16, 32, 48, 64) + default button (0, 256, 512); returns the answer
    virtual int messageBox(QWidget* parent, const QString& text, const QString& title, int style) = 0;
    // A box whose buttons say what they do, the last one the way out (Escape, and Return unless another
    // button has the focus): the index of the button chosen. icon as for messageBox (16, 32, 48, 64).
    virtual int askChoice(QWidget* parent, const QString& text, const QString& title, const QStringList& buttons,
                          int icon = MsgBox::Question) = 0;
    virtual void beep() = 0;
    // nullopt when the user cancels
    virtual std::optional<QString> chooseOpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QString> chooseFolder(QWidget* parent, const FolderRequest& request) = 0;
    // a password typed without echo, `prompt` saying which and why (in the window's language); nullopt
    // when cancelled
    virtual std::optional<QString> askPassword(QWidget* parent, const QString& prompt) = 0;
    // hands a file, folder or web address to the desktop: a process id, 0 when refused, -1 on error
    virtual qint64 openInDesktop(const QString& target, const QString& workingFolder) = 0;
};

// The real services: Qt dialogs and the desktop's opener.
class DesktopServices : public UiServices {
public:
    ~DesktopServices() override;

    int messageBox(QWidget* parent, const QString& text, const QString& title, int style) override;
    int askChoice(QWidget* parent, const QString& text, const QString& title, const QStringList& buttons,
                  int icon = MsgBox::Question) override;
    void beep() override;
    std::optional<QString> chooseOpenFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* parent, const FolderRequest& request) override;
    std::optional<QString> askPassword(QWidget* parent, const QString& prompt) override;
    qint64 openInDesktop(const QString& target, const QString& workingFolder) override;
};

// "Projects|*.vbp;*.vbpgroup|Groups|*.vbpgroup" -> {"Projects (*.vbp *.vbpgroup)", "Groups (*.vbpgroup)"};
// a description left without patterns is dropped.
QStringList QtNameFilters(const QString& filter);

// True for "scheme://..." web addresses, which are never looked up on disk.
bool IsWebAddress(const QString& target);

// The folder a request to the desktop runs in: the text before the last "\" or "/" of the file, or "" for a
// web address or a bare name.
QString ShellWorkingFolder(const QString& file);

// Asks the desktop to open file (the verb "open", or no verb) and returns at once: the started
// process's id, 0 when the desktop refused (unknown verb, missing path, empty name), -1 when
// something failed inside. parameters, showMode and owner have no desktop counterpart here and are
// accepted for the callers' sake.
qint64 ShellEX(UiServices& services, const QString& file, const QString& parameters, const QString& verb,
               int showMode, QWidget* owner);

} // namespace corvane

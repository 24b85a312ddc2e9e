// the open-file dialog and the folder browser, driven through the old controls' properties
#pragma once

#include <QString>

class QWidget;

namespace corvane {

class UiServices;

// Open-file dialog flags the windows give: the Explorer look (kFileMustExist is with the services).
inline constexpr quint32 kExplorer = 0x80000;
// Folder browser flags: file-system folders only, in the new dialog style.
inline constexpr quint32 kFileSystemFoldersNewStyle = 0x41;

// Callers set the properties, call ShowOpen and read FileName, in the order the windows always used.
// The properties keep their old names so the windows' code reads like the commands it implements.
class CommonDialog {
public:
    // the number the old control raised when Cancel was pressed with CancelError set
    static constexpr int kCancelErrorNumber = 32755;

    explicit CommonDialog(UiServices& services) : m_services(services) {}

    QString DialogTitle;
    QString FileName; // before: the proposed name; after: the chosen file, "" when cancelled
    QString InitDir;
    QString Filter; // "desc|patterns|desc|patterns"
    int FilterIndex = 0;
    quint32 Flags = 0;
    bool CancelError = false;

    // true when a file was chosen. On cancel FileName is "" and, with CancelError set, LastError()
    // holds kCancelErrorNumber: the caller ends its command there, as the old error trap did.
    bool ShowOpen(QWidget* parent);
    int LastError() const { return m_lastError; }

private:
    UiServices& m_services;
    int m_lastError = 0;
};

// The error a cancelled browse reports when CancelError is set; no exception crosses the Qt event loop.
struct BrowseError {
    qint32 number = 0; // 0 when there is none
    QString source;
    QString description;
};

class UnicodeBrowseFolders {
public:
    // the base of object-defined errors plus 18
    static constexpr qint32 kCanceledByUser = static_cast<qint32>(0x80040012u);

    explicit UnicodeBrowseFolders(UiServices& services) : m_services(services) {}

    QString DialogTitle;
    quint32 Flags = 0;
    QString InitialDirectory; // a folder that does not exist is ignored: the dialog opens on its default
    bool CancelError = false;

    // true when a folder was chosen; the previous selection is gone either way. releasePidl is kept
    // for the callers' sake: there are no shell item lists to hand over here.
    bool ShowBrowseForFolder(QWidget* owner, bool releasePidl = true);
    // the chosen folder, the same text on every call; "" after a cancel. Both options are accepted for
    // the callers' sake and change nothing, as a path is all there is.
    QString SelectedFolder(bool asPidl = false, bool releaseOwnership = false) const;
    const BrowseError& LastError() const { return m_lastError; }
    // back to a fresh object: no title, flags 0, no initial folder, no selection, no error
    void Clear();

    // the flags that other flags imply, as the shell expects them together
    static quint32 CompletedFlags(quint32 flags);

private:
    UiServices& m_services;
    QString m_selected;
    BrowseError m_lastError;
};

} // namespace corvane

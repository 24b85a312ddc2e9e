// the folder browser: title, flags and initial folder in, the chosen folder out
#pragma once

#include <QString>

class QWidget;

namespace corvane {

class UiServices;

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

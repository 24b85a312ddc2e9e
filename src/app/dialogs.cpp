// the open-file dialog and the folder browser: properties in, a request to the services, the choice out
#include "app/dialogs.h"

#include <QFileInfo>

#include "app/ui_services.h"

namespace corvane {

bool CommonDialog::ShowOpen(QWidget* parent) {
    m_lastError = 0;
    const FileDialogRequest request{DialogTitle, FileName, InitDir, Filter, FilterIndex, Flags};
    const auto chosen = m_services.chooseOpenFile(parent, request);
    // a name chosen before must never be proposed again after a cancel
    FileName = chosen.value_or(QString());
    if (!chosen && CancelError)
        m_lastError = kCancelErrorNumber;
    return chosen.has_value();
}

namespace {

constexpr quint32 kEditBox = 0x10;
constexpr quint32 kNewDialogStyle = 0x40;
constexpr quint32 kBrowseIncludeUrls = 0x80;
constexpr quint32 kUsageHint = 0x4000;
constexpr quint32 kShareable = 0x8000;

} // namespace

quint32 UnicodeBrowseFolders::CompletedFlags(quint32 flags) {
    if (flags & kBrowseIncludeUrls)
        flags |= kUsageHint | kNewDialogStyle | kEditBox;
    if (flags & kShareable)
        flags |= kNewDialogStyle;
    return flags;
}

bool UnicodeBrowseFolders::ShowBrowseForFolder(QWidget* owner, bool releasePidl) {
    Q_UNUSED(releasePidl);
    m_selected.clear();
    m_lastError = {};
    const QString initial = QFileInfo(InitialDirectory).isDir() ? InitialDirectory : QString();
    const auto chosen =
        m_services.chooseFolder(owner, FolderRequest{DialogTitle, initial, CompletedFlags(Flags)});
    if (chosen) {
        m_selected = *chosen;
        return true;
    }
    if (CancelError)
        m_lastError = {kCanceledByUser, QStringLiteral("ShowBrowseForFolder"),
                       QStringLiteral("Canceled by user")};
    return false;
}

QString UnicodeBrowseFolders::SelectedFolder(bool asPidl, bool releaseOwnership) const {
    Q_UNUSED(asPidl);
    Q_UNUSED(releaseOwnership);
    return m_selected;
}

void UnicodeBrowseFolders::Clear() {
    DialogTitle.clear();
    Flags = 0;
    InitialDirectory.clear();
    CancelError = false;
    m_selected.clear();
    m_lastError = {};
}

} // namespace corvane

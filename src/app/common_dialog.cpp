// the open-file dialog driven through the old common dialog's properties
#include "app/common_dialog.h"

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

} // namespace corvane

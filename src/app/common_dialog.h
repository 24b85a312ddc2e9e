// the open-file dialog driven through the old common dialog's properties
#pragma once

#include <QString>

class QWidget;

namespace corvane {

class UiServices;

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

} // namespace corvane

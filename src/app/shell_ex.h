// handing a file, folder or web address to the desktop with a verb
#pragma once

#include <QString>

class QWidget;

namespace corvane {

class UiServices;

// The folder a request runs in: the text before the last "\" or "/" of the file, or "" for a web
// address or a bare name.
QString ShellWorkingFolder(const QString& file);

// Asks the desktop to open file (the verb "open", or no verb) and returns at once: the started
// process's id, 0 when the desktop refused (unknown verb, missing path, empty name), -1 when
// something failed inside. parameters, showMode and owner have no desktop counterpart here and are
// accepted for the callers' sake.
qint64 ShellEX(UiServices& services, const QString& file, const QString& parameters, const QString& verb,
               int showMode, QWidget* owner);

} // namespace corvane

// handing a file, folder or web address to the desktop with a verb
#include "app/shell_ex.h"

#include <exception>

#include "app/ui_services.h"

namespace corvane {

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

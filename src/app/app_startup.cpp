// the command line and the version texts
#include "app/app_startup.h"

#include "core/zip/zip.h"

namespace corvane {

namespace {
// --screenshot FILE [--state selected] [--lang CODE]; the options are taken out of the list
std::optional<ScreenshotRequest> TakeScreenshotOptions(QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--screenshot"));
    if (at < 0 || at + 1 >= arguments.size())
        return std::nullopt;
    ScreenshotRequest request;
    request.file = arguments.at(at + 1);
    arguments.remove(at, 2);
    for (qsizetype i = 0; i + 1 < arguments.size();) {
        if (arguments.at(i) == QLatin1String("--state")) {
            request.state = arguments.at(i + 1);
            arguments.remove(i, 2);
        } else if (arguments.at(i) == QLatin1String("--lang")) {
            request.language = arguments.at(i + 1);
            arguments.remove(i, 2);
        } else {
            ++i;
        }
    }
    return request;
}
} // namespace

AppStartup ReadStartup(const QStringList& arguments) {
    QStringList rest = arguments;
    AppStartup startup;
    startup.screenshot = TakeScreenshotOptions(rest);
    startup.gCommandLine = rest.join(QLatin1Char(' ')).remove(QLatin1Char('"'));
    return startup;
}

QString ProgramVersionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(CORVANE_VERSION_MAJOR)
        .arg(CORVANE_VERSION_MINOR)
        .arg(CORVANE_VERSION_PATCH);
}

QString ZipVersionText() {
    return QString::fromStdString(ZipVersion());
}

} // namespace corvane

// what the program takes from its command line and its build at start-up
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace corvane {

// A picture of the window for the documentation: hidden options, never part of the command line.
struct ScreenshotRequest {
    QString file;
    QString state;    // "selected" or "archiving" show the project panel with example texts
    QString language; // a language code or the path of a language file; empty for English
};

struct AppStartup {
    // every argument, joined by one space, with every double quotation mark removed
    QString gCommandLine;
    std::optional<ScreenshotRequest> screenshot;
};

// arguments: the program's arguments without the program's own name.
AppStartup ReadStartup(const QStringList& arguments);

// "Version " + major.minor.revision of this build.
QString ProgramVersionText();
// The zip layer's version.
QString ZipVersionText();

} // namespace corvane

// start-up: keep the command line, load and show the main window
#include <QApplication>
#include <QDate>

#include "app/app_startup.h"
#include "app/icons.h"
#include "app/main_window.h"
#include "app/screenshot.h"
#include "app/ui_services.h"
#include "core/platform/platform.h"

int main(int argc, char** argv) {
    corvane::TuneAllocatorForArchiving();
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setWindowIcon(corvane::WindowIcon());

    const corvane::AppStartup startup = corvane::ReadStartup(QApplication::arguments().mid(1));

    corvane::DesktopServices services;
    corvane::MainWindowSetup setup = corvane::DesktopSetup(corvane::ProcessEnvironment());
    corvane::MainWindow window(services, std::move(setup));

    if (startup.screenshot) {
        // a picture must not depend on the user's locale or settings: the language is the one asked for
        corvane::FormLoadInputs inputs;
        inputs.versionText = corvane::ProgramVersionText();
        inputs.zipVersion = corvane::ZipVersionText();
        inputs.year = QDate::currentDate().year();
        inputs.languageFile = corvane::ScreenshotLanguageFile(*startup.screenshot);
        window.FormLoad(inputs);
        window.setRunControlsShown(startup.screenshot->state == QLatin1String("archiving"));
        return corvane::TakeScreenshot(window, *startup.screenshot);
    }
    window.Form_Load(startup.gCommandLine);
    window.show();
    return QApplication::exec();
}

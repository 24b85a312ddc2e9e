// start-up: keep the command line, load and show the main window
#include <QApplication>
#include <QDate>

#include "app/app_startup.h"
#include "app/form_main.h"
#include "app/icons.h"
#include "app/screenshot.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setWindowIcon(corvane::WindowIcon());

    const corvane::AppStartup startup = corvane::ReadStartup(QApplication::arguments().mid(1));

    corvane::FormMain window;
    corvane::FormLoadInputs inputs;
    inputs.versionText = corvane::ProgramVersionText();
    inputs.zipVersion = corvane::ZipVersionText();
    inputs.year = QDate::currentDate().year();
    if (startup.screenshot)
        inputs.languageFile = corvane::ScreenshotLanguageFile(*startup.screenshot);
    window.FormLoad(inputs);

    if (startup.screenshot)
        return corvane::TakeScreenshot(window, *startup.screenshot);
    window.show();
    return QApplication::exec();
}

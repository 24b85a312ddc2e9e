// start-up: keep the command line, load and show the main window
#include <QApplication>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/ui_services.h"
#include "core/common/environment.h"
#include "core/platform/platform.h"

int main(int argc, char** argv) {
    corvane::TuneAllocatorForArchiving();
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setWindowIcon(corvane::WindowIcon());

    corvane::DesktopServices services;
    corvane::MainWindow window(
        services, corvane::DesktopSetup(corvane::ProcessEnvironment(), corvane::ProgramFolder()));
    window.Form_Load(corvane::CommandLineText(QApplication::arguments().mid(1)));
    window.show();
    return QApplication::exec();
}

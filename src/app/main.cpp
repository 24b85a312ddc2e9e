// start-up: keep the command line, load and show the main window
#include <QApplication>
#include <iostream>
#include <string_view>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/ui_services.h"
#include "core/common/environment.h"
#include "core/platform/platform.h"

int main(int argc, char** argv) {
    // answered before Qt starts, so that it works without a display
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "corvane " << CORVANE_VERSION << "\n";
        return 0;
    }
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

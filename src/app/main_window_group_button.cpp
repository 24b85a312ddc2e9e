// the group editor button of the main window
#include "app/frame3d.h"
#include "app/main_window.h"

namespace corvane {

void MainWindow::onPelmButton1Click() {
    frame3D3()->hide();
}

} // namespace corvane

// the group editor button of the main window
#include <QCoreApplication>
#include <QLineEdit>

#include "app/form_group.h"
#include "app/frame3d.h"
#include "app/main_window.h"
#include "app/ui_services.h"

namespace corvane {

void MainWindow::onPelmButton1Click() {
    // the panel shows the running archive; it is not taken away under it
    if (m_run.isRunning()) {
        m_services.beep();
        return;
    }
    frame3D3()->hide();
    QCoreApplication::processEvents();

    // a fresh editor every time: empty fields and the texts of the current language
    FormGroup editor(m_services, m_strings, languageFile(), text1(0), this);
    editor.exec();

    // the editor hands a saved group back through the path box; "Return" leaves the box as it was,
    // so an earlier group is read again and anything else stays unselected
    const QString path = text1(0)->text();
    if (path.toUpper().contains(QLatin1String(".VBPGROUP")))
        LoadSelectedGroup(path, GroupLoadForm::Editor);
}

} // namespace corvane

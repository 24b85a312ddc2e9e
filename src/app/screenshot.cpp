// example states of the main window for its screenshots
#include "app/screenshot.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTextStream>

#include "app/form_main.h"
#include "app/frame3d.h"
#include "app/pelm_button.h"
#include "app/screenshot_group.h"
#include "app/vista_prog.h"

namespace corvane {

namespace {
void ShowExampleSelection(FormMain& window) {
    window.text1(0)->setText(QStringLiteral("C:\\Dev\\Billing\\Billing.vbp"));
    window.text1(1)->setText(QStringLiteral("Billing 2.1.7.20250717095823.zip"));
    window.text1(2)->setText(QStringLiteral("C:\\Dev\\Billing\\Sources.Backup\\"));
    window.text1(3)->setText(QStringLiteral("secret"));
    window.frame3D3()->show();
    window.savePathDialog()->show();
}

void ShowExampleRun(FormMain& window) {
    ShowExampleSelection(window);
    window.label2()->setText(QStringLiteral("C:\\Dev\\Billing\\Billing.vbp"));
    window.label2()->show();
    window.vistaProg1()->setMaximum(120);
    window.vistaProg1()->setValue(75);
    window.vistaProg1()->show();
    window.vistaProg2()->setMaximum(3);
    window.vistaProg2()->setValue(1);
    window.vistaProg2()->show();
}
} // namespace

QString ScreenshotLanguageFile(const ScreenshotRequest& request) {
    if (request.language.isEmpty())
        return {};
    if (QFileInfo(request.language).isFile())
        return request.language;
    const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/Lng/") + request.language +
                         QStringLiteral(".lng");
    return QFileInfo(file).isFile() ? file : QString();
}

int TakeScreenshot(FormMain& window, const ScreenshotRequest& request) {
    if (request.state == QLatin1String("group"))
        return TakeGroupEditorScreenshot(&window, request, ScreenshotLanguageFile(request));
    if (request.state == QLatin1String("selected"))
        ShowExampleSelection(window);
    else if (request.state == QLatin1String("archiving"))
        ShowExampleRun(window);
    else
        window.pelmOpenThe()->show(); // as after a first backup, so that every button is seen

    window.show();
    QCoreApplication::processEvents();
    if (!window.grab().save(request.file, "PNG")) {
        QTextStream(stderr) << "cannot write " << request.file << "\n";
        return 1;
    }
    return 0;
}

} // namespace corvane

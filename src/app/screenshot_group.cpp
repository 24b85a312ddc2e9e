// example group editor for its screenshots
#include "app/screenshot_group.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTextStream>

#include "app/form_group.h"
#include "app/ui_services.h"
#include "core/locale/string_table.h"

namespace corvane {

int TakeGroupEditorScreenshot(QWidget* owner, const ScreenshotRequest& request, const QString& languageFile) {
    // no command runs while the picture is taken, so the services are never asked anything
    DesktopServices services;
    const StringTable strings =
        languageFile.isEmpty()
            ? StringTable()
            : StringTable::FromIniFile(IniFile::Load(QFile::encodeName(languageFile).toStdString()));
    QLineEdit projectPath;
    FormGroup editor(services, strings, languageFile, &projectPath, owner);
    editor.text1(0)->setText(QStringLiteral("C:\\Dev\\Accounting\\Accounting suite.vbpgroup"));
    editor.text1(1)->setText(QStringLiteral("Accounting suite"));
    editor.text1(2)->setText(QStringLiteral("C:\\Dev\\Accounting\\Accounting.vbp"));
    editor.list1()->addItems({QStringLiteral("C:\\Dev\\Shared\\Ledger\\Ledger.vbp"),
                              QStringLiteral("C:\\Dev\\Shared\\Reports\\Reports.vbp"),
                              QStringLiteral("\\\\server\\vb6\\Controls\\GridControls.vbp")});
    editor.list1()->setCurrentRow(1);
    editor.text1(3)->setText(QStringLiteral("D:\\Backups\\Sources.Backup\\"));

    editor.show();
    editor.text1(1)->setFocus();
    QCoreApplication::processEvents();
    if (!editor.grab().save(request.file, "PNG")) {
        QTextStream(stderr) << "cannot write " << request.file << "\n";
        return 1;
    }
    return 0;
}

} // namespace corvane

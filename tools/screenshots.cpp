// corvane-screenshots: pictures of the main window in its states and of the group editor, for the
// documentation, staged with example texts and taken without a screen
#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTextStream>

#include "app/controls.h"
#include "app/form_group.h"
#include "app/main_window.h"
#include "app/ui_services.h"
#include "app/window_texts.h"
#include "core/locale/ini_file.h"
#include "core/locale/string_table.h"

using namespace corvane;

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

int Save(QWidget& widget, const QString& file) {
    if (!widget.grab().save(file, "PNG")) {
        QTextStream(stderr) << "cannot write " << file << "\n";
        return 1;
    }
    return 0;
}

// the languages shipped beside the program are all Western European ones
constexpr CodePage kShippedLanguagesCodePage = CodePage::Windows1252;

// The editor as a user sees it after choosing a group, over the main window.
int TakeGroupEditorScreenshot(QWidget& owner, const QString& languageFile, const QString& file) {
    // no command runs while the picture is taken, so the services are never asked anything
    DesktopServices services;
    const StringTable strings =
        languageFile.isEmpty()
            ? StringTable()
            : StringTable::FromIniFile(IniFile::Load(PathBytes(languageFile)), kShippedLanguagesCodePage);
    QLineEdit projectPath;
    FormGroup editor(services, strings, {languageFile, kShippedLanguagesCodePage}, CodePage::Windows1252,
                     &projectPath, &owner);
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
    return Save(editor, file);
}

// The path itself when it is a file, else the file of that code in the "Lng" folder beside this
// program; empty when there is none.
QString LanguageFile(const QString& language) {
    if (language.isEmpty())
        return {};
    if (QFileInfo(language).isFile())
        return language;
    const QString file =
        QCoreApplication::applicationDirPath() + QStringLiteral("/Lng/") + language + QStringLiteral(".lng");
    return QFileInfo(file).isFile() ? file : QString();
}

} // namespace

int main(int argc, char** argv) {
    // the pictures never need a screen; a platform asked for explicitly still wins
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setWindowIcon(WindowIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Pictures of Corvane's windows, written as PNG files."));
    parser.addHelpOption();
    const QCommandLineOption state(QStringLiteral("state"),
                                   QStringLiteral("idle (default), selected, archiving or group."),
                                   QStringLiteral("state"), QStringLiteral("idle"));
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("A language file, or a code of the Lng folder beside this "
                                                 "program; English when not given."),
                                  QStringLiteral("language"));
    const QCommandLineOption dark(QStringLiteral("dark"),
                                  QStringLiteral("Under a dark desktop palette, as a dark theme gives."));
    parser.addOption(state);
    parser.addOption(lang);
    parser.addOption(dark);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The picture to write."));
    parser.process(application);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    const QString file = parser.positionalArguments().constFirst();
    const QString shown = parser.value(state);
    if (parser.isSet(dark)) {
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
        palette.setColor(QPalette::WindowText, Qt::white);
        palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
        palette.setColor(QPalette::Text, Qt::white);
        palette.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
        palette.setColor(QPalette::ButtonText, Qt::white);
        QApplication::setPalette(palette);
    }

    DesktopServices services;
    // a picture must not depend on the user's locale or settings: the language is the one asked for
    const QString languageFile = LanguageFile(parser.value(lang));
    MainWindowSetup setup = DesktopSetup(ProcessEnvironment(), ProgramFolder());
    if (!languageFile.isEmpty())
        setup.languages.folder = PathBytes(QFileInfo(languageFile).absolutePath());
    MainWindow window(services, std::move(setup));
    window.applyLanguage(languageFile.isEmpty() ? std::string() : PathBytes(QFileInfo(languageFile).completeBaseName()));
    FormLoadInputs inputs;
    inputs.versionText = ProgramVersionText();
    inputs.zipVersion = ZipVersionText();
    inputs.year = QDate::currentDate().year();
    window.ApplyLoadInputs(inputs);

    if (shown == QLatin1String("group"))
        return TakeGroupEditorScreenshot(window, languageFile, file);
    if (shown == QLatin1String("selected")) {
        ShowExampleSelection(window);
    } else if (shown == QLatin1String("archiving")) {
        ShowExampleRun(window);
        window.setRunControlsShown(true);
        window.setJobRunning(true, window.backupRunningText());
    } else {
        window.pelmOpenThe()->show(); // as after a first backup, so that every button is seen
    }
    window.show();
    QCoreApplication::processEvents();
    return Save(window, file);
}

// the main window's loading, its selection commands and its links, over real files in a temporary folder
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "app/frame3d.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
#include "core/help_url.h"
#include "core/settings_store.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

QStringList ListEntries(const QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

void ClickCentre(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// "%1" in a table's text stands for the temporary folder
QString InTemp(QString text, const QString& root) {
    return text.replace(QStringLiteral("%1"), root);
}

bool PanelShown(const MainWindow& window) {
    return !window.frame3D3()->isHidden();
}

void StoreLastDir(MainWindowFixture& f, const std::string& value) {
    SettingsStore store(f.setup.settings);
    QVERIFY(!store.RegSaveSetting("Corvane", "Files", "LastDir", value, true));
}

const QByteArray kFrench = "[frmMain]\r\nForm=Archiveur de sources\r\n"
                           "DBpathDialog0=Choisir un projet\r\nlblLabel4=Ne doit pas rester\r\n"
                           "[Strings]\r\nString1=Sous-dossier :\r\nString17=Fichier :\r\n"
                           "String20=Ouvrir le dernier dossier...\r\nString21=###END###\r\n"
                           "[Setup]\r\nlng=fr\r\n";

} // namespace

class TestMainWindowSelection : public QObject {
    Q_OBJECT

private slots:
    // --- loading ---

    void formLoadLanguage_data() {
        QTest::addColumn<int>("lcid");
        QTest::addColumn<QByteArray>("frenchFile"); // empty: no fra.lng
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("help");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("openCaption");
        QTest::addColumn<QString>("groupLabel");

        const QString english = "Visual Basic 6 Sources Archiver";
        QTest::newRow("english locale") << 1033 << QByteArray() << "eng"
                                        << "en" << english << "Open the last backup folder..."
                                        << "Backup Subfolder Name :";
        QTest::newRow("french locale, french file") << 1036 << kFrench << "fra"
                                                    << "fr"
                                                    << "Archiveur de sources"
                                                    << "Ouvrir le dernier dossier..."
                                                    << "Sous-dossier :";
        QTest::newRow("french locale, no file") << 1036 << QByteArray() << "eng"
                                                << "en" << english << "Open the last backup folder..."
                                                << "Backup Subfolder Name :";
        QTest::newRow("english locale ignores french file")
            << 1033 << kFrench << "eng"
            << "en" << english << "Open the last backup folder..."
            << "Backup Subfolder Name :";
        QTest::newRow("french file without help code")
            << 1036 << QByteArray("[Strings]\r\nString1=Sous-dossier :\r\nString2=###END###\r\n") << "fra"
            << "en" << english << "Open the last backup folder..."
            << "Sous-dossier :";
    }

    void formLoadLanguage() {
        QFETCH(int, lcid);
        QFETCH(QByteArray, frenchFile);
        MainWindowFixture f;
        if (!frenchFile.isEmpty())
            f.writeLanguageFile("fra", frenchFile);
        f.setup.lcid = lcid;
        MainWindow& window = f.create();

        QTEST(window.CurrentLanguage(), "language");
        QTEST(window.helpLanguage(), "help");
        QTEST(window.windowTitle(), "title");
        QTEST(window.pelmOpenThe()->caption(), "openCaption");
        QTEST(window.GetString(1, "Backup Subfolder Name :"), "groupLabel");
        // the version texts come after the translation and are never translated
        QCOMPARE(window.lblLabel4()->text(), QString("Version 2.0.0"));
        QCOMPARE(window.label3()->toolTip(), QString("    Version 2.0.0    "));
        QCOMPARE(window.image1(1)->toolTip(), QString("    Toolbox version 1.7.3    "));
        QVERIFY(window.frame3D2()->caption().endsWith("2024-2025"));
        // the locale map is made on first start
        QVERIFY(QFile::exists(f.path("program/Lng/Local.ini")));
        QVERIFY(!PanelShown(window));
    }

    void startupCommandLine_data() {
        QTest::addColumn<QString>("fileName");    // the group file written, "" for none
        QTest::addColumn<QByteArray>("contents"); // of that file
        QTest::addColumn<QString>("commandLine"); // "%1" stands for the temporary folder
        QTest::addColumn<bool>("selected");

        const QByteArray group = "Suite\r\n%1/a/A.vbp\r\n[PATH]/backups/\r\n";
        QTest::newRow("group path") << "Acc.vbpgroup" << group << "%1/Acc.vbpgroup" << true;
        QTest::newRow("mixed-case extension") << "acc.VbpGroup" << group << "%1/acc.VbpGroup" << true;
        QTest::newRow("extension inside the name")
            << "Acc.vbpgroup.bak" << group << "%1/Acc.vbpgroup.bak" << true;
        QTest::newRow("single project") << "A.vbp" << QByteArray("Type=Exe\r\n") << "%1/A.vbp" << false;
        QTest::newRow("missing group") << "" << QByteArray() << "%1/Gone.vbpgroup" << false;
        QTest::newRow("two arguments") << "Acc.vbpgroup" << group << "%1/Acc.vbpgroup %1/A.vbp" << false;
        QTest::newRow("empty group file") << "Acc.vbpgroup" << QByteArray() << "%1/Acc.vbpgroup" << false;
        QTest::newRow("a folder, not a file")
            << "Dir.vbpgroup/x" << QByteArray("x") << "%1/Dir.vbpgroup" << false;
        QTest::newRow("nothing") << "" << QByteArray() << "" << false;
    }

    void startupCommandLine() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, contents);
        QFETCH(QString, commandLine);
        QFETCH(bool, selected);
        MainWindowFixture f;
        const QString root = f.temp.path();
        if (!fileName.isEmpty())
            f.write(fileName, InTemp(QString::fromLatin1(contents), root).toUtf8());

        MainWindow& window = f.create(InTemp(commandLine, root));
        QCOMPARE(PanelShown(window), selected);
        QVERIFY(f.ui.messageBoxes().isEmpty());
        if (!selected)
            return;
        QVERIFY(window.gIsGroup());
        QCOMPARE(window.text1(0)->text(), InTemp(commandLine, root));
        QCOMPARE(window.text1(1)->text(), QString("Suite"));
        QCOMPARE(window.text1(2)->text(), QString("/backups/"));
        QCOMPARE(ListEntries(window.list1()), QStringList{root + "/a/A.vbp"});
        QCOMPARE(window.label1(1)->text(), QString("Backup Subfolder Name :"));
        QVERIFY(!window.savePathDialog()->isHidden());
    }

    void lastDirButton_data() {
        QTest::addColumn<int>("stored"); // 0 nothing, 1 empty text, 2 a folder, 3 an unreadable store
        QTest::addColumn<bool>("shown");
        QTest::newRow("never stored") << 0 << false;
        QTest::newRow("stored empty") << 1 << false;
        QTest::newRow("stored folder") << 2 << true;
        QTest::newRow("store unreadable") << 3 << false;
    }

    void lastDirButton() {
        QFETCH(int, stored);
        QFETCH(bool, shown);
        MainWindowFixture f;
        const std::string folder = PathBytes(f.path("backups/"));
        if (stored == 1)
            StoreLastDir(f, "");
        if (stored == 2)
            StoreLastDir(f, folder);
        if (stored == 3) {
            // the settings file's folder is a plain file: nothing can be read or written there
            f.write("blocked", "x");
            f.setup.settings.localMachineFile = PathBytes(f.path("blocked/machine.settings"));
        }
        MainWindow& window = f.create();
        QCOMPARE(!window.pelmOpenThe()->isHidden(), shown);
        if (!shown)
            return;
        window.pelmOpenThe()->click();
        QCOMPARE(f.ui.opened().size(), 1);
        QCOMPARE(f.ui.opened()[0].target, PathText(folder));
    }

    // --- choosing a project or a group ---

    void chooseProject_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name"); // "Name=" of the project, "" for none
        QTest::addColumn<QString>("zipName");

        QTest::newRow("named project") << "Dev/Billing/Billing.vbp"
                                       << "Billing"
                                       << "Billing 2.1.7.20250717095823.zip";
        QTest::newRow("no name line, upper-case extension") << "Dev/App/App.VBP"
                                                            << ""
                                                            << "App.VBP 2.1.7.20250717095823.zip";
        QTest::newRow("name with forbidden characters") << "Dev/App/App.vbp"
                                                        << "a:b?c"
                                                        << "a_b_c 2.1.7.20250717095823.zip";
        QTest::newRow("dotted folder name") << "Dev/my.vbproject/a.vbpx.vbp"
                                            << ""
                                            << "ax 2.1.7.20250717095823.zip";
    }

    void chooseProject() {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QString, zipName);
        MainWindowFixture f;
        const QString project = f.writeProject(file, name);
        MainWindow& window = f.open();
        window.text1(3)->setText("typed before");

        f.choose(project);

        QVERIFY(PanelShown(window));
        QVERIFY(!window.gIsGroup());
        QCOMPARE(window.text1(0)->text(), project);
        QCOMPARE(window.text1(1)->text(), zipName);
        QCOMPARE(window.text1(2)->text(), QFileInfo(project).path() + "/Sources.Backup/");
        QCOMPARE(window.text1(3)->text(), QString());
        QCOMPARE(window.label1(1)->text(), QString("Backup File Name :"));
        QCOMPARE(QString::fromStdString(window.job().gZipName), zipName);
        QVERIFY(!window.savePathDialog()->isHidden());
        QCOMPARE(QApplication::focusWidget(), window.text1(3));

        QCOMPARE(f.ui.fileRequests().size(), 1);
        const FileDialogRequest& asked = f.ui.fileRequests()[0];
        QCOMPARE(asked.title, QString("Select the Visual Basic\u00A9 project or project group to archive"));
        QCOMPARE(asked.fileName, QString());
        QCOMPARE(asked.initDir, QString());
        QCOMPARE(asked.filterIndex, 1);
        QCOMPARE(asked.flags, quint32(0x81000));
        QVERIFY(asked.filter.startsWith("Visual Basic Projects and Groups|*.vbp;*.vbpgroup;*.vbg|"));
        QVERIFY(asked.filter.endsWith("|VB Group|*.vbg"));
    }

    void chooseGroup_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("lines");    // "%1" stands for the temporary folder
        QTest::addColumn<QStringList>("projects"); // expected List1
        QTest::addColumn<QString>("savePath");

        QTest::newRow("save path line")
            << "Acc.vbpgroup" << QStringList{"%1/a/A.vbp", "[PATH]/srv/b/", "%1/b/B.vbp"}
            << QStringList{"%1/a/A.vbp", "%1/b/B.vbp"} << "/srv/b/";
        QTest::newRow("upper case, default save path")
            << "ACC.VBPGROUP" << QStringList{"%1/a/A.vbp", "%1/b/B.vbp"}
            << QStringList{"%1/a/A.vbp", "%1/b/B.vbp"} << "%1/a/Sources.Backup/";
        QTest::newRow("later save path wins")
            << "Acc.vbpgroup" << QStringList{"[PATH]/first/", "%1/a/A.vbp", "[PATH]/second/"}
            << QStringList{"%1/a/A.vbp"} << "/second/";
        QTest::newRow("name line alone") << "Acc.vbpgroup" << QStringList{} << QStringList{} << "";
        QTest::newRow("visual basic group")
            << "Suite.vbg" << QStringList{"VBGROUP 5.0", "StartupProject=a/A.vbp", "Project=b/B.vbp"}
            << QStringList{"%1/a/A.vbp", "%1/b/B.vbp"} << "%1/a/Sources.Backup/";
    }

    void chooseGroup() {
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, projects);
        QFETCH(QString, savePath);
        MainWindowFixture f;
        const QString root = f.temp.path();
        for (QString& line : lines)
            line = InTemp(line, root);
        for (QString& project : projects)
            project = InTemp(project, root);
        const QString group = file.endsWith(".vbg") ? f.write(file, lines.join("\r\n").toUtf8() + "\r\n")
                                                    : f.writeGroup(file, "Suite", lines);
        MainWindow& window = f.open();
        window.text1(3)->setText("typed before");

        f.choose(group);

        QVERIFY(PanelShown(window));
        QVERIFY(window.gIsGroup());
        QCOMPARE(window.text1(0)->text(), group);
        QCOMPARE(window.text1(1)->text(), QString("Suite"));
        QCOMPARE(window.text1(2)->text(), InTemp(savePath, root));
        QCOMPARE(window.text1(3)->text(), QString());
        QCOMPARE(ListEntries(window.list1()), projects);
        QCOMPARE(window.label1(1)->text(), QString("Backup Subfolder Name :"));
        QVERIFY(!window.savePathDialog()->isHidden());
        QCOMPARE(QApplication::focusWidget(), window.text1(3));
    }

    // Each starts from a project already selected, so that "nothing selected" is seen to be entered.
    void selectionEndsWithoutSelection_data() {
        QTest::addColumn<int>("choice"); // 0 cancel, 1 unreadable project, 2 empty group, 3 too long project
        QTest::addColumn<bool>("message");
        QTest::newRow("dialog cancelled") << 0 << false;
        QTest::newRow("project that cannot be read") << 1 << true;
        QTest::newRow("empty group file") << 2 << false;
        QTest::newRow("project of more than 32767 lines") << 3 << true;
    }

    void selectionEndsWithoutSelection() {
        QFETCH(int, choice);
        QFETCH(bool, message);
        MainWindowFixture f;
        const QString first = f.writeProject("a/A.vbp", "A");
        MainWindow& window = f.open();
        f.choose(first);
        QVERIFY(PanelShown(window));

        if (choice == 0) {
            f.ui.queueFileChoice(std::nullopt);
            window.dbPathDialog()->click();
        } else if (choice == 1) {
            QDir().mkpath(f.path("b/B.vbp")); // a folder of that name: nothing to read
            f.choose(f.path("b/B.vbp"));
        } else if (choice == 2) {
            f.choose(f.write("c/C.vbpgroup", ""));
        } else {
            f.choose(f.write("d/D.vbp", QByteArray("'\r\n").repeated(32768)));
        }

        QVERIFY(!PanelShown(window));
        QCOMPARE(f.ui.messageBoxes().size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(f.ui.messageBoxes()[0].title, QString("Corvane"));
            QCOMPARE(f.ui.messageBoxes()[0].style, MsgBox::Exclamation);
            QVERIFY(!f.ui.messageBoxes()[0].text.isEmpty());
        }
        // the archive command now refuses, whatever the hidden boxes still hold
        window.btnValider()->click();
        QCOMPARE(f.ui.beeps(), 1);
    }

    void savePath_data() {
        QTest::addColumn<bool>("chosen");
        QTest::newRow("folder chosen") << true;
        QTest::newRow("cancelled") << false;
    }

    void savePath() {
        QFETCH(bool, chosen);
        MainWindowFixture f;
        const QString project = f.writeProject("a/A.vbp", "A");
        QDir().mkpath(f.path("a/Sources.Backup"));
        QDir().mkpath(f.path("elsewhere"));
        MainWindow& window = f.open();
        f.choose(project);
        const QString proposed = window.text1(2)->text();
        window.text1(0)->setFocus();

        f.ui.queueFolderChoice(chosen ? std::optional<QString>(f.path("elsewhere")) : std::nullopt);
        window.savePathDialog()->click();

        QCOMPARE(window.text1(2)->text(), chosen ? f.path("elsewhere") + "/" : proposed);
        QCOMPARE(QApplication::focusWidget(), window.text1(3));
        QCOMPARE(f.ui.folderRequests().size(), 1);
        QCOMPARE(f.ui.folderRequests()[0].title, QString("Select the Folder to Archive the Sources to"));
        QCOMPARE(f.ui.folderRequests()[0].flags, quint32(65));
        QCOMPARE(f.ui.folderRequests()[0].initialDirectory, proposed);
    }

    // --- links ---

    void helpAddress_data() {
        QTest::addColumn<QByteArray>("setup"); // the [Setup] section of the language file
        QTest::addColumn<QString>("address");
        const QString proxied = "https://corvane-dev.translate.goog/Help/Corvane/"
                                "?_x_tr_sl=auto&_x_tr_tl=%1&_x_tr_hl=%1&_x_tr_pto=wapp";
        QTest::newRow("en") << QByteArray("lng=en") << QString(kHelpPageUrl);
        QTest::newRow("no key") << QByteArray("other=1") << QString(kHelpPageUrl);
        QTest::newRow("fr") << QByteArray("lng=fr") << proxied.arg("fr");
        QTest::newRow("de") << QByteArray("lng=de") << proxied.arg("de");
        QTest::newRow("EN is not en") << QByteArray("lng=EN") << proxied.arg("EN");
        QTest::newRow("eng is not en") << QByteArray("lng=eng") << proxied.arg("eng");
    }

    void helpAddress() {
        QFETCH(QByteArray, setup);
        QFETCH(QString, address);
        MainWindowFixture f;
        f.writeLanguageFile("deu", "[Setup]\r\n" + setup + "\r\n");
        f.setup.lcid = 1031;
        MainWindow& window = f.create();
        QCOMPARE(window.CurrentLanguage(), QString("deu"));
        ClickCentre(window.image1(2));
        QCOMPARE(f.ui.opened().size(), 1);
        QCOMPARE(f.ui.opened()[0].target, address);
        QCOMPARE(f.ui.opened()[0].workingFolder, QString());
    }

    void imageStripAndFoot() {
        MainWindowFixture f;
        MainWindow& window = f.open();
        ClickCentre(window.image1(0));
        ClickCentre(window.image1(3));
        QVERIFY(f.ui.opened().isEmpty());
        QVERIFY(f.ui.messageBoxes().isEmpty());

        ClickCentre(window.image1(1));
        QCOMPARE(f.ui.messageBoxes().size(), 1);
        QCOMPARE(f.ui.messageBoxes()[0].text, QString("    Toolbox version 1.7.3    "));
        QCOMPARE(f.ui.messageBoxes()[0].title, QString("Corvane"));
        QCOMPARE(f.ui.messageBoxes()[0].style, MsgBox::Information);

        ClickCentre(window.frame3D2());
        QCOMPARE(f.ui.opened().size(), 1);
        QCOMPARE(f.ui.opened()[0].target, QString(kHomePageUrl));
    }

    void quitEndsTheProgram() {
        MainWindowFixture f;
        TestMainWindow& window = f.open();
        window.btnAnnuler()->click();
        QCOMPARE(window.ends, 1);
        QVERIFY(!window.isVisible());
    }

    // --- the real surroundings ---

    void desktopSetupFromEnvironment() {
        QTemporaryDir home;
        const std::string folder = PathBytes(home.path());
        const EnvLookup env = [&](const std::string& name) -> std::optional<std::string> {
            if (name == "CORVANE_HOME")
                return folder;
            if (name == "LANG")
                return std::string("fr_FR.UTF-8");
            return std::nullopt;
        };
        const MainWindowSetup setup = DesktopSetup(env);
        QCOMPARE(setup.programFolder, folder);
        QVERIFY(QString::fromStdString(setup.settings.localMachineFile).startsWith(home.path() + "/"));
        QCOMPARE(setup.lcid, 1036);
        QVERIFY(setup.versionText.startsWith("Version "));
        QVERIFY(!setup.zipVersion.isEmpty());
    }
};

QTEST_MAIN(TestMainWindowSelection)
#include "test_main_window_selection.moc"

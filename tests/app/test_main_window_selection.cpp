// the main window's loading, its selection commands and its help link, over real files
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "app/frame3d.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {
QStringList ListEntries(const QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

// "%1" in a table's text stands for the temporary folder
QString InTemp(QString text, const QString& root) {
    return text.replace(QStringLiteral("%1"), root);
}
QStringList InTemp(QStringList texts, const QString& root) {
    for (QString& text : texts)
        text = InTemp(text, root);
    return texts;
}

const char* const kProxied =
    "https://corvane-dev.translate.goog/Help/Corvane/?_x_tr_sl=auto&_x_tr_tl=%1&_x_tr_hl=%1&_x_tr_pto=wapp";
} // namespace

class TestMainWindowSelection : public QObject {
    Q_OBJECT

private slots:
    void formLoad_data() {
        QTest::addColumn<int>("lcid");
        QTest::addColumn<QByteArray>("file"); // Lng/fra.lng, or none when empty
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("openCaption");
        QTest::addColumn<QString>("help");
        const QString english = "Visual Basic 6 Sources Archiver", open = "Open the last backup folder...";
        const QByteArray french =
            "[frmMain]\r\nForm=Archiveur\r\nlblLabel4=Jamais vu\r\n[Strings]\r\n"
            "String20=Ouvrir le dernier dossier\r\nString21=###END###\r\n[Setup]\r\nlng=fr\r\n";
        QTest::newRow("english") << 1033 << QByteArray() << "eng" << english << open
                                 << "https://corvane.dev/Help/Corvane/";
        QTest::newRow("french") << 1036 << french << "fra"
                                << "Archiveur"
                                << "Ouvrir le dernier dossier" << QString(kProxied).arg("fr");
        QTest::newRow("french locale, no file")
            << 1036 << QByteArray() << "eng" << english << open << "https://corvane.dev/Help/Corvane/";
        QTest::newRow("english locale, french file")
            << 1033 << french << "eng" << english << open << "https://corvane.dev/Help/Corvane/";
        QTest::newRow("help code compared exactly") << 1036 << QByteArray("[Setup]\r\nlng=EN\r\n") << "fra"
                                                    << english << open << QString(kProxied).arg("EN");
    }

    void formLoad() {
        QFETCH(int, lcid);
        QFETCH(QByteArray, file);
        MainWindowFixture f;
        if (!file.isEmpty())
            f.writeLanguageFile("fra", file);
        f.setup.lcid = lcid;
        MainWindow& window = f.open();
        QTEST(window.CurrentLanguage(), "language");
        QTEST(window.windowTitle(), "title");
        QTEST(window.pelmOpenThe()->caption(), "openCaption");
        // the version texts replace what a language file gives
        QCOMPARE(window.lblLabel4()->text(), QString("Version 2.0.0"));
        QVERIFY(window.frame3D2()->caption().endsWith("2024-2025"));
        QVERIFY(window.pelmOpenThe()->isHidden());
        QVERIFY(window.frame3D3()->isHidden());

        QTest::mouseClick(window.image1(2), Qt::LeftButton);
        QCOMPARE(f.ui.opened().size(), 1);
        QTEST(f.ui.opened()[0].target, "help");
    }

    void startupCommandLine_data() {
        QTest::addColumn<QString>("file"); // written with a valid group, "" for none
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("selected");
        QTest::newRow("group") << "Acc.vbpgroup"
                               << "%1/Acc.vbpgroup" << true;
        QTest::newRow("mixed-case extension") << "acc.VbpGroup"
                                              << "%1/acc.VbpGroup" << true;
        QTest::newRow("extension inside the name") << "Acc.vbpgroup.bak"
                                                   << "%1/Acc.vbpgroup.bak" << true;
        QTest::newRow("project") << "A.vbp"
                                 << "%1/A.vbp" << false;
        QTest::newRow("missing group") << ""
                                       << "%1/Gone.vbpgroup" << false;
        QTest::newRow("two paths") << "Acc.vbpgroup"
                                   << "%1/Acc.vbpgroup %1/A.vbp" << false;
        QTest::newRow("empty group file") << "Empty.vbpgroup"
                                          << "%1/Empty.vbpgroup" << false;
    }

    void startupCommandLine() {
        QFETCH(QString, file);
        QFETCH(QString, commandLine);
        QFETCH(bool, selected);
        MainWindowFixture f;
        const QString root = f.temp.path();
        if (!file.isEmpty())
            f.write(file, file.startsWith("Empty")
                              ? ""
                              : "Suite\r\n" + root.toUtf8() + "/a/A.vbp\r\n[PATH]/b/\r\n");
        MainWindow& window = f.open(InTemp(commandLine, root));
        QCOMPARE(!window.frame3D3()->isHidden(), selected);
        QVERIFY(f.ui.messageBoxes().isEmpty());
        if (selected) {
            QCOMPARE(window.text1(0)->text(), InTemp(commandLine, root));
            QCOMPARE(window.text1(1)->text(), QString("Suite"));
            QCOMPARE(window.text1(2)->text(), QString("/b/"));
            QCOMPARE(ListEntries(window.list1()), QStringList{root + "/a/A.vbp"});
            QVERIFY(QApplication::focusWidget() != window.text1(3)); // no focus is given at start-up
        }
    }

    void chooseProject_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name"); // "Name=" of the project, "" for none
        QTest::addColumn<QString>("zipName");
        QTest::newRow("named") << "Dev/Billing/Billing.vbp"
                               << "Billing"
                               << "Billing 2.1.7.20250717095823.zip";
        QTest::newRow("no name, upper case") << "Dev/App/App.VBP"
                                             << ""
                                             << "App.VBP 2.1.7.20250717095823.zip";
        QTest::newRow("forbidden characters") << "Dev/App/App.vbp"
                                              << "a:b?c"
                                              << "a_b_c 2.1.7.20250717095823.zip";
        QTest::newRow("dotted names") << "Dev/my.vbproject/a.vbpx.vbp"
                                      << ""
                                      << "ax 2.1.7.20250717095823.zip";
    }

    void chooseProject() {
        QFETCH(QString, file);
        QFETCH(QString, name);
        MainWindowFixture f;
        const QString project = f.writeProject(file, name);
        MainWindow& window = f.open();
        window.text1(3)->setText("typed before");
        f.choose(project);

        QVERIFY(!window.frame3D3()->isHidden());
        QVERIFY(!window.gIsGroup());
        QCOMPARE(window.text1(0)->text(), project);
        QTEST(window.text1(1)->text(), "zipName");
        QCOMPARE(window.text1(2)->text(), QFileInfo(project).path() + "/Sources.Backup/");
        QCOMPARE(window.text1(3)->text(), QString());
        QCOMPARE(window.label1(1)->text(), QString("Backup File Name :"));
        QVERIFY(!window.savePathDialog()->isHidden());
        QCOMPARE(QApplication::focusWidget(), window.text1(3));
        const FileDialogRequest& asked = f.ui.fileRequests().at(0);
        QCOMPARE(asked.title, QString("Select the Visual Basic\u00A9 project or project group to archive"));
        QCOMPARE(asked.flags, quint32(0x81000));
        QVERIFY(asked.filter.startsWith("Visual Basic Projects and Groups|*.vbp;*.vbpgroup;*.vbg|"));
    }

    void chooseGroup_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("projects");
        QTest::addColumn<QString>("savePath");
        const QStringList ab{"%1/a/A.vbp", "%1/b/B.vbp"};
        QTest::newRow("save path line")
            << "G.vbpgroup" << QStringList{"Suite", "%1/a/A.vbp", "[PATH]/s/", "%1/b/B.vbp"} << ab << "/s/";
        QTest::newRow("upper case, default save path")
            << "G.VBPGROUP" << QStringList{"Suite", "%1/a/A.vbp", "%1/b/B.vbp"} << ab
            << "%1/a/Sources.Backup/";
        QTest::newRow("later save path wins")
            << "G.vbpgroup" << QStringList{"Suite", "[PATH]/one/", "%1/a/A.vbp", "[PATH]/two/"}
            << QStringList{"%1/a/A.vbp"} << "/two/";
        QTest::newRow("visual basic group")
            << "Suite.vbg" << QStringList{"VBGROUP 5.0", "StartupProject=a/A.vbp", "Project=b/B.vbp"} << ab
            << "%1/a/Sources.Backup/";
    }

    void chooseGroup() {
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, projects);
        QFETCH(QString, savePath);
        MainWindowFixture f;
        const QString root = f.temp.path();
        lines = InTemp(lines, root);
        const QString group = f.writeGroup(file, lines.takeFirst(), lines);
        MainWindow& window = f.open();
        window.text1(3)->setText("typed before");
        f.choose(group);

        QVERIFY(!window.frame3D3()->isHidden());
        QVERIFY(window.gIsGroup());
        QCOMPARE(window.text1(0)->text(), group);
        QCOMPARE(window.text1(1)->text(), QString("Suite"));
        QCOMPARE(window.text1(2)->text(), InTemp(savePath, root));
        QCOMPARE(window.text1(3)->text(), QString());
        QCOMPARE(ListEntries(window.list1()), InTemp(projects, root));
        QCOMPARE(window.label1(1)->text(), QString("Backup Subfolder Name :"));
        QCOMPARE(QApplication::focusWidget(), window.text1(3));
    }

    // each starts from a project already selected, so that leaving the selection is seen
    void selectionEndsWithoutSelection_data() {
        QTest::addColumn<QString>("file"); // "" cancels the dialog
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("message");
        QTest::newRow("cancelled") << "" << QByteArray() << false;
        QTest::newRow("empty group file") << "c/C.vbpgroup" << QByteArray() << false;
        QTest::newRow("project over 32767 lines") << "d/D.vbp" << QByteArray("'\r\n").repeated(32768) << true;
        QTest::newRow("project that is a folder") << "e/E.vbp/x" << QByteArray("x") << true;
    }

    void selectionEndsWithoutSelection() {
        QFETCH(QString, file);
        QFETCH(QByteArray, contents);
        QFETCH(bool, message);
        MainWindowFixture f;
        const QString first = f.writeProject("a/A.vbp", "A");
        MainWindow& window = f.open();
        f.choose(first);
        if (file.isEmpty()) {
            f.ui.queueFileChoice(std::nullopt);
            window.dbPathDialog()->click();
        } else {
            f.write(file, contents);
            f.choose(f.path(file.endsWith("/x") ? file.chopped(2) : file));
        }
        QVERIFY(window.frame3D3()->isHidden());
        QCOMPARE(f.ui.messageBoxes().size(), message ? 1 : 0);
        if (message)
            QCOMPARE(f.ui.messageBoxes()[0].style, MsgBox::Exclamation);
        window.btnValider()->click(); // nothing is selected: refused
        QCOMPARE(f.ui.beeps(), 1);
    }
};

QTEST_MAIN(TestMainWindowSelection)
#include "test_main_window_selection.moc"

// the main window's loading, its selection commands and its help link, over real files
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "app/frame3d.h"
#include "app/image_control.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {
const char* const kProxied =
    "https://corvane-dev.translate.goog/Help/Corvane/?_x_tr_sl=auto&_x_tr_tl=%1&_x_tr_hl=%1&_x_tr_pto=wapp";
} // namespace

class TestMainWindowSelection : public QObject {
    Q_OBJECT

private slots:
    void formLoad_data() {
        QTest::addColumn<int>("lcid");
        QTest::addColumn<QByteArray>("file"); // Lng/fra.lng
        QTest::addColumn<QString>("texts");   // the title, the last-folder button, the help address
        const QString english = "Visual Basic 6 Sources Archiver|Open the last backup folder...|";
        const QByteArray french =
            "[frmMain]\r\nForm=Archiveur\r\n[Strings]\r\nString20=Ouvrir le dernier dossier\r\n"
            "String21=###END###\r\n[Setup]\r\nlng=fr\r\n";
        QTest::newRow("english locale") << 1033 << french << english + "https://corvane.dev/Help/Corvane/";
        QTest::newRow("french locale")
            << 1036 << french << "Archiveur|Ouvrir le dernier dossier|" + QString(kProxied).arg("fr");
        QTest::newRow("help code compared exactly")
            << 1036 << QByteArray("[Setup]\r\nlng=EN\r\n") << english + QString(kProxied).arg("EN");
    }

    void formLoad() {
        QFETCH(int, lcid);
        QFETCH(QByteArray, file);
        MainWindowFixture f;
        f.write("program/Lng/fra.lng", file);
        f.setup.lcid = lcid;
        MainWindow& window = f.open();
        QVERIFY(window.pelmOpenThe()->isHidden());
        QTest::mouseClick(window.image1(2), Qt::LeftButton);
        QCOMPARE(f.ui.opened.size(), 1);
        QTEST(window.windowTitle() + "|" + window.pelmOpenThe()->caption() + "|" + f.ui.opened[0].target,
              "texts");
    }

    void select_data() {
        QTest::addColumn<QString>("file"); // "" cancels the dialog
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("commandLine"); // "" chooses the file in the dialog, after a first project
        QTest::addColumn<QString>("shown"); // the panel's path, name, save path and projects, or "hidden"
        const QByteArray ab = "%1/a/A.vbp\r\n%1/b/B.vbp\r\n", group = "Suite\r\n%1/a/A.vbp\r\n[PATH]/b/\r\n";
        const QString none, suite = "|Suite|/b/|%1/a/A.vbp",
                            abShown = "%1/a/Sources.Backup/|%1/a/A.vbp,%1/b/B.vbp";
        QTest::newRow("project")
            << "Dev/B/B.vbp"
            << QByteArray("Type=Exe\r\nName=\"Billing\"\r\nMajorVer=2\r\nMinorVer=1\r\nRevisionVer=7\r\n")
            << none << "%1/Dev/B/B.vbp|Billing 2.1.7.20250717095823.zip|%1/Dev/B/Sources.Backup/|";
        QTest::newRow("group with a save path") << "G.vbpgroup" << QByteArray("Suite\r\n[PATH]/s/\r\n" + ab)
                                                << none << "%1/G.vbpgroup|Suite|/s/|%1/a/A.vbp,%1/b/B.vbp";
        QTest::newRow("upper-case group") << "G.VBPGROUP"
                                          << "Suite\r\n" + ab << none << "%1/G.VBPGROUP|Suite|" + abShown;
        QTest::newRow("visual basic group")
            << "Suite.vbg" << QByteArray("VBGROUP 5.0\r\nStartupProject=a/A.vbp\r\nProject=b/B.vbp\r\n")
            << none << "%1/Suite.vbg|Suite|" + abShown;
        QTest::newRow("cancelled") << "" << QByteArray() << none << "hidden";
        QTest::newRow("empty group file") << "c/C.vbpgroup" << QByteArray() << none << "hidden";
        QTest::newRow("project over 32767 lines")
            << "d/D.vbp" << QByteArray("'\r\n").repeated(32768) << none << "hidden [Corvane]";
        QTest::newRow("start-up, mixed case")
            << "acc.VbpGroup" << group << QString("%1/acc.VbpGroup") << "%1/acc.VbpGroup" + suite;
        QTest::newRow("start-up, inside the name")
            << "A.vbpgroup.bak" << group << QString("%1/A.vbpgroup.bak") << "%1/A.vbpgroup.bak" + suite;
        QTest::newRow("start-up project") << "A.vbp" << group << QString("%1/A.vbp") << "hidden";
        QTest::newRow("start-up, two paths")
            << "A.vbpgroup" << group << QString("%1/A.vbpgroup %1/A.vbp") << "hidden";
    }

    void select() {
        QFETCH(QString, file);
        QFETCH(QByteArray, contents);
        QFETCH(QString, commandLine);
        MainWindowFixture f;
        const QString root = f.temp.path(),
                      chosen = file.isEmpty() ? file : f.write(file, contents.replace("%1", root.toUtf8()));
        const bool startUp = !commandLine.isEmpty();
        MainWindow& window = f.open(commandLine.replace("%1", root));
        if (!startUp) {
            f.choose(f.writeProject("first/First.vbp", "First"));
            window.text1(3)->setText("typed before");
            f.ui.queueFileChoice(file.isEmpty() ? std::nullopt : std::optional<QString>(chosen));
            window.dbPathDialog()->click();
            const FileDialogRequest& asked = f.ui.fileRequests.last();
            QCOMPARE(asked.title,
                     QString("Select the Visual Basic\u00A9 project or project group to archive"));
            QCOMPARE(asked.flags, quint32(0x81000));
            QVERIFY(asked.filter.startsWith("Visual Basic Projects and Groups|*.vbp;*.vbpgroup;*.vbg|"));
        }
        QStringList shown{window.text1(0)->text(), window.text1(1)->text(), window.text1(2)->text(), {}};
        for (int row = 0; row < window.list1()->count(); ++row)
            shown[3] += (row ? "," : "") + window.list1()->item(row)->text();
        QString text = window.frame3D3()->isHidden() ? "hidden" : shown.join('|');
        for (const auto& box : f.ui.messageBoxes)
            text += " [" + box.title + "]" + (box.style == MsgBox::Exclamation ? "" : " of the wrong style");
        QTEST(text.replace(root, "%1"), "shown");
        if (window.frame3D3()->isHidden()) {
            window.btnValider()->click(); // nothing is selected: refused
            QCOMPARE(f.ui.beeps, 1);
            return;
        }
        const bool group = !file.endsWith(".vbp");
        QCOMPARE(window.gIsGroup(), group);
        QCOMPARE(window.label1(1)->text(), QString(group ? "Backup Subfolder Name :" : "Backup File Name :"));
        QCOMPARE(window.text1(3)->text(), QString());
        QVERIFY(!window.savePathDialog()->isHidden());
        QCOMPARE(QApplication::focusWidget() == window.text1(3), !startUp); // no focus is given at start-up
    }
};

QTEST_MAIN(TestMainWindowSelection)
#include "test_main_window_selection.moc"

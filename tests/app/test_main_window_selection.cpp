// the main window's loading, its selection commands, its group button and its help link, over real files
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <functional>

#include "app/form_group.h"
#include "app/frame3d.h"
#include "app/image_control.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {
const char* const kProxied =
    "https://corvane-dev.translate.goog/Help/Corvane/?_x_tr_sl=auto&_x_tr_tl=%1&_x_tr_hl=%1&_x_tr_pto=wapp";

// the panel's path, name, save path and projects, or "hidden"
QString Shown(const MainWindow& window) {
    QStringList shown{window.text1(0)->text(), window.text1(1)->text(), window.text1(2)->text(), {}};
    for (int row = 0; row < window.list1()->count(); ++row)
        shown[3] += (row ? "," : "") + window.list1()->item(row)->text();
    return window.frame3D3()->isHidden() ? "hidden" : shown.join('|');
}

// Clicks the group button and, once the modal editor runs, plays the user's part in it; false when no
// editor came. The button lets pending events run before it opens the editor, so this polls for it.
bool WithEditor(MainWindow& window, const std::function<void(FormGroup&)>& script) {
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        auto* editor = qobject_cast<FormGroup*>(QApplication::activeModalWidget());
        if (!editor)
            return;
        poll.stop();
        seen = true;
        script(*editor);
        if (editor->isVisible()) // a failed check inside the script must not leave the test waiting
            editor->reject();
    });
    poll.start(5);
    window.pelmButton1()->click();
    return seen;
}

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
        QString text = Shown(window);
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

    void createGroupAndArchiveIt() {
        MainWindowFixture f;
        const QString acc = f.writeProject("dev/Acc/Acc.vbp", "Acc");
        const QString lib = f.writeProject("dev/Lib/Lib.vbp", "Lib", "1.0.3");
        const QString group = f.path("dev/Acc/Acc.vbpgroup"), backups = f.path("backups");
        QDir().mkpath(backups);
        MainWindow& window = f.open();
        f.choose(acc); // a single project selected before: the editor's group replaces it
        QVERIFY(WithEditor(window, [&](FormGroup& editor) {
            f.ui.queueFileChoice(group);
            f.ui.queueMessageBoxAnswer(MsgBox::Yes);
            editor.dbPathDialog()->click();
            editor.text1(1)->setText("Accounting suite");
            f.ui.queueFileChoice(acc);
            editor.savePathDialog()->click();
            f.ui.queueFolderChoice(backups);
            editor.setPathDialog()->click();
            f.ui.queueFileChoice(lib);
            editor.btnPlus()->click();
            editor.btnGroup()->click();
        }));
        QVERIFY(window.gIsGroup());
        QCOMPARE(Shown(window),
                 group + "|Accounting suite|" + backups + "/Sources.Backup/|" + acc + "," + lib);
        QCOMPARE(window.label1(1)->text(), QString("Backup Subfolder Name :"));
        // the editor has just closed, so the window may not be active again yet: its focus child counts
        QCOMPARE(window.focusWidget(), window.text1(3));
        QVERIFY(window.findChildren<FormGroup*>().isEmpty());
    }

    void returnInEachState_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("panelAfter");
        QTest::newRow("nothing selected") << "none" << false;
        QTest::newRow("project selected") << "project" << false;
        QTest::newRow("group selected, read again") << "group" << true;
        QTest::newRow("group whose file was deleted since") << "deleted group" << false;
    }

    void returnInEachState() {
        QFETCH(QString, state);
        QFETCH(bool, panelAfter);
        MainWindowFixture f;
        const QString acc = f.writeProject("dev/Acc/Acc.vbp", "Acc");
        const QString group = f.writeGroup("Acc.vbpgroup", "Suite", {acc, "[PATH]/srv/bk/"});
        MainWindow& window = f.open();
        if (state != "none")
            f.choose(state == "project" ? acc : group);
        window.text1(3)->setText("s3cret");
        const QString pathBefore = window.text1(0)->text();
        if (state == "deleted group")
            QVERIFY(QFile::remove(group));
        if (state == "group") // changed on disk since: what is shown afterwards proves a new reading
            f.writeGroup("Acc.vbpgroup", "Suite, read again", {acc, "[PATH]/srv/bk/"});
        bool panelWhileOpen = true;
        QVERIFY(WithEditor(window, [&](FormGroup& editor) {
            panelWhileOpen = !window.frame3D3()->isHidden();
            editor.btnAnnuler()->click();
        }));
        QVERIFY(!panelWhileOpen);
        QCOMPARE(!window.frame3D3()->isHidden(), panelAfter);
        QCOMPARE(window.text1(0)->text() + "|" + window.text1(3)->text(), pathBefore + "|s3cret");
        if (panelAfter)
            QCOMPARE(Shown(window), group + "|Suite, read again|/srv/bk/|" + acc);
        QVERIFY(f.ui.messageBoxes.isEmpty());
    }

    // a failed check and a Return leave nothing behind for the next opening
    void freshTranslatedEditorEachOpening() {
        MainWindowFixture f;
        f.setup.lcid = 1036;
        f.write("program/Lng/fra.lng", "[frmGroup]\r\nForm=Groupe de projets\r\nLabel13=Nom du groupe :\r\n"
                                       "[Strings]\r\nString5=Saisissez le nom !\r\nString6=###END###\r\n");
        MainWindow& window = f.open();
        QStringList seen;
        for (int opening = 0; opening < 2; ++opening) {
            QVERIFY(WithEditor(window, [&](FormGroup& editor) {
                seen << editor.windowTitle() + "|" + editor.label1(3)->text() + "|" +
                            editor.text1(0)->text() + "|" + editor.text1(1)->text();
                editor.text1(0)->setText("/typed.vbpgroup");
                editor.text1(1)->clear();
                editor.btnGroup()->click();
                editor.text1(1)->setText("typed, then Return");
                editor.btnAnnuler()->click();
            }));
        }
        QCOMPARE(seen, QStringList(2, "Groupe de projets|Nom du groupe :||"));
        QCOMPARE(f.ui.messageBoxes.size(), 2);
        QCOMPARE(f.ui.messageBoxes[0].text, QString("Saisissez le nom !"));
        QVERIFY(window.frame3D3()->isHidden());
    }
};

QTEST_MAIN(TestMainWindowSelection)
#include "test_main_window_selection.moc"

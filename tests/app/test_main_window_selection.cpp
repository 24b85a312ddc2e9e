// the main window's loading, its selection commands, its group button, and what it hands to the desktop
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <functional>

#include "app/controls.h"
#include "app/form_group.h"
#include "app/ui_services.h"
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

// clicks the group button and polls for the modal editor (it opens later), then plays the user's part in it
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
    // the language file by locale, its title and texts, and the help page in that language
    void formLoad() {
        const QString english = "Visual Basic 6 Sources Archiver|Open the last backup folder...|";
        const QByteArray french =
            "[frmMain]\r\nForm=Archiveur\r\n[Strings]\r\nString20=Ouvrir le dernier dossier\r\n"
            "String21=###END###\r\n[Setup]\r\nlng=fr\r\n";
        const struct {
            int lcid;
            QByteArray file; // Lng/fra.lng
            QString texts;   // the title, the last-folder button, the help address
        } rows[] = {
            {1033, french, english + "https://corvane.dev/Help/Corvane/"},
            {1036, french, "Archiveur|Ouvrir le dernier dossier|" + QString(kProxied).arg("fr")},
            {1036, "[Setup]\r\nlng=EN\r\n", english + QString(kProxied).arg("EN")}}; // code kept as is
        for (const auto& row : rows) {
            MainWindowFixture f;
            f.write("program/Lng/fra.lng", row.file);
            f.setup.lcid = row.lcid;
            MainWindow& window = f.open();
            QVERIFY(window.pelmOpenThe()->isHidden());
            QTest::mouseClick(window.image1(2), Qt::LeftButton);
            QCOMPARE(f.ui.opened.size(), 1);
            QCOMPARE(window.windowTitle() + "|" + window.pelmOpenThe()->caption() + "|" +
                         f.ui.opened[0].target,
                     row.texts);
        }
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
        QTest::newRow("cancelled") << "" << QByteArray() << none << "hidden";
        QTest::newRow("project over 32767 lines")
            << "d/D.vbp" << QByteArray("'\r\n").repeated(32768) << none << "hidden [Corvane]";
        QTest::newRow("start-up, mixed case")
            << "acc.VbpGroup" << group << QString("%1/acc.VbpGroup") << "%1/acc.VbpGroup" + suite;
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
        QCOMPARE(window.isGroup(), group);
        QCOMPARE(window.label1(1)->text(), QString(group ? "Backup Subfolder Name :" : "Backup File Name :"));
        QVERIFY(window.text1(3)->text().isEmpty() && !window.savePathDialog()->isHidden());
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
        QCOMPARE(Shown(window),
                 group + "|Accounting suite|" + backups + "/Sources.Backup/|" + acc + "," + lib);
        QCOMPARE(window.label1(1)->text(), QString("Backup Subfolder Name :"));
        // the editor has just closed, so the window may not be active again yet: its focus child counts
        QCOMPARE(window.focusWidget(), window.text1(3));
        QVERIFY(window.findChildren<FormGroup*>().isEmpty());
    }

    // a group selected is read again (it may have changed on disk since) or, when its file is gone, dropped
    void returnInEachState() {
        for (const QString state : {"none", "group", "deleted group"}) {
            MainWindowFixture f;
            const QString acc = f.writeProject("dev/Acc/Acc.vbp", "Acc");
            const QString group = f.writeGroup("Acc.vbpgroup", "Suite", {acc, "[PATH]/srv/bk/"});
            MainWindow& window = f.open();
            if (state != "none")
                f.choose(group);
            window.text1(3)->setText("s3cret");
            const QString pathBefore = window.text1(0)->text();
            if (state == "deleted group")
                QVERIFY(QFile::remove(group));
            else
                f.writeGroup("Acc.vbpgroup", "Suite, read again", {acc, "[PATH]/srv/bk/"});
            bool panelWhileOpen = true;
            QVERIFY(WithEditor(window, [&](FormGroup& editor) {
                panelWhileOpen = !window.frame3D3()->isHidden();
                editor.btnAnnuler()->click();
            }));
            QVERIFY(!panelWhileOpen && f.ui.messageBoxes.isEmpty());
            QCOMPARE(window.text1(0)->text() + "|" + window.text1(3)->text(), pathBefore + "|s3cret");
            QCOMPARE(Shown(window),
                     state == "group" ? group + "|Suite, read again|/srv/bk/|" + acc : "hidden");
        }
    }

    // the result, then what the desktop was handed: target and working folder, or "-"
    void shellEx() {
        const auto run = [](const QString& file, const QString& verb, qint64 desktopAnswer) {
            ScriptedServices ui;
            ui.openResult = desktopAnswer;
            const qint64 result = ShellEX(ui, file, QString(), verb, 1, nullptr);
            const QString handed =
                ui.opened.isEmpty() ? "-" : ui.opened[0].target + "|" + ui.opened[0].workingFolder;
            return QString::number(result) + "|" + (ui.opened.size() > 1 ? "twice" : handed);
        };
        QCOMPARE(run("/srv/b/MyApp", "open", 321), QString("321|/srv/b/MyApp|/srv/b"));
        QCOMPARE(run("https://x.org", "OPEN", 5), QString("5|https://x.org|"));
        QCOMPARE(run("/srv/b", "", -9), QString("-1|/srv/b|/srv")); // an error inside; no verb is "open"
        QCOMPARE(run("/srv/b", "print", 5), QString("0|-"));
        QCOMPARE(run("", "open", 5), QString("0|-"));
        DesktopServices desktop; // the real desktop refuses what is not there
        for (const QString& target : {QString("/nonexistent-corvane/f"), QString("D:\\Backups"), QString()})
            QCOMPARE(ShellEX(desktop, target, QString(), "open", 1, nullptr), qint64(0));
    }
};

QTEST_MAIN(TestMainWindowSelection)
#include "test_main_window_selection.moc"

// the main window's loading, its selection commands, its group button, and what it hands to the desktop
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <functional>
#include <thread>

#include <sys/stat.h>

#include "app/form_group.h"
#include "app/read_aside.h"
#include "core/locale/locale.h"
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

// clicks the group button and polls for the modal editor (it opens later), then acts as the user in it
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
    // the language file chosen by the locale, as translators write it (ANSI bytes, CR LF line ends, the
    // section name in any case): a text box takes no caption, an empty value or a key without the control's
    // index changes nothing; the version texts then replace what the file gives, the year completes the
    // translated range, and the help page opens in the file's language, its code as is
    void formLoad() {
        const QByteArray french =
            "[frmGroup]\r\nForm=Groupe\r\n[FRMMAIN]\r\nForm=Archiveur\r\nLabel11=Nom du fichier :\r\n"
            "Btn_Valider=&Archiver\r\nText10=Pas de titre\r\nText10ToolTipText=Chemin\r\nPelmButton1=\r\n"
            "SavepathDialog=Sans indice\r\nImage14ToolTipText=D\xe9\x63ompresser \x80\r\n"
            "lblLabel4=Ausgabe\r\nLabel3ToolTipText=Produkt\r\nFrame3D2=Notice 1999-\r\n"
            "[Strings]\r\nString20=Ouvrir le dernier dossier\r\nString21=###END###\r\n[Setup]\r\nlng=fr\r\n";
        const FormMain built; // the texts before any translation
        const struct {
            int lcid;
            QByteArray file; // Lng/fra.lng
            QString help;
        } rows[] = {{1033, french, "https://corvane.dev/Help/Corvane/"},
                    {1036, "[Setup]\r\nlng=EN\r\n", QString(kProxied).arg("EN")},
                    {1036, french, QString(kProxied).arg("fr")}};
        for (const auto& row : rows) {
            MainWindowFixture f;
            f.write("program/Lng/fra.lng", row.file);
            f.setup.lcid = row.lcid;
            f.setup.versionText = "Version 2.0.0";
            MainWindow& window = f.open();
            QVERIFY(window.pelmOpenThe()->isHidden()); // no backup made yet
            QTest::mouseClick(window.image1(2), Qt::LeftButton);
            const auto captions = [](const FormMain& form) {
                return form.pelmButton1()->caption() + "|" + form.savePathDialog()->caption();
            };
            const QStringList shown{f.ui.opened.value(0).target,     window.lblLabel4()->text(),
                                    window.label3()->toolTip(),      window.windowTitle(),
                                    window.pelmOpenThe()->caption(), window.label1(1)->text(),
                                    window.btnValider()->caption(),  window.text1(0)->text(),
                                    window.text1(0)->toolTip(),      captions(window),
                                    window.image1(4)->toolTip(),     window.frame3D2()->caption()};
            QString expected = row.help + "|Version 2.0.0|    Version 2.0.0    |";
            if (row.lcid == 1036 && row.file == french)
                expected += "Archiveur|Ouvrir le dernier dossier|Nom du fichier :|&Archiver||Chemin|" +
                            captions(built) + "|D\u00E9compresser \u20AC|Notice 1999-2025";
            else
                expected += built.windowTitle() + "|" + built.pelmOpenThe()->caption() + "|";
            QCOMPARE(shown.join('|').left(expected.size()), expected);
        }
    }

    // a Russian language file in 1251 shows Cyrillic; an unknown CORVANE_ANSI_CODEPAGE is said once at
    // start-up and the locale's code page names the projects
    void formLoadReadsEachFileInItsCodePage() {
        MainWindowFixture f;
        f.write("program/Lng/Local.ini", "[LocaleID]\r\n1049=rus\r\nForce=\r\n");
        f.write("program/Lng/rus.lng", "[frmMain]\r\nForm=\xC0\xF0\xF5\xE8\xE2\r\n[Strings]\r\n"
                                       "String20=\xCE\xF2\xEA\xF0\xFB\xF2\xFC\r\nString21=###END###\r\n");
        f.setup.lcid = 1049;
        f.setup.codePage = AnsiCodePageOfLcid(1049);
        f.setup.codePageProblem = "CORVANE_ANSI_CODEPAGE: \"koi8-r\" is not a code page Corvane knows.";
        const QString project = f.writeProject("p/P.vbp", "x");
        f.write("p/P.vbp", "Type=Exe\r\nModule=Module1; Module1.bas\r\nName=\"\xD3\xF7\xB8\xF2\"\r\n");
        MainWindow& window = f.open();
        QCOMPARE(window.windowTitle(), QString::fromUtf8("\xD0\x90\xD1\x80\xD1\x85\xD0\xB8\xD0\xB2"));
        QCOMPARE(window.pelmOpenThe()->caption(),
                 QString::fromUtf8("\xD0\x9E\xD1\x82\xD0\xBA\xD1\x80\xD1\x8B\xD1\x82\xD1\x8C"));
        QCOMPARE(f.ui.messageBoxes.size(), 1);
        QVERIFY(f.ui.messageBoxes[0].text.startsWith(QString::fromStdString(f.setup.codePageProblem)));
        f.choose(project);
        QVERIFY(
            window.text1(1)->text().startsWith(QString::fromUtf8("\xD0\xA3\xD1\x87\xD1\x91\xD1\x82 0.0.0.")));
    }

    void select_data() {
        QTest::addColumn<QString>("file"); // "" cancels the dialog
        QTest::addColumn<QByteArray>("contents");
        // the program's arguments, ";" between them; "" chooses the file in the dialog, after a first project
        QTest::addColumn<QString>("arguments");
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
        QTest::newRow("start-up, quoted, mixed case")
            << "acc.VbpGroup" << group << QString("\"%1/acc.VbpGroup\"") << "%1/acc.VbpGroup" + suite;
        QTest::newRow("start-up, a space in the path")
            << "my dev/G.vbpgroup" << group << QString("%1/my;dev/G.vbpgroup")
            << "%1/my dev/G.vbpgroup" + suite;
        QTest::newRow("start-up project") << "A.vbp" << QByteArray("Type=Exe\r\nName=\"A\"\r\n")
                                          << QString("%1/A.vbp") << "%1/A.vbp|A 0.0.0.20250717095823.zip|%1/Sources.Backup/|";
    }

    void select() {
        QFETCH(QString, file);
        QFETCH(QByteArray, contents);
        QFETCH(QString, arguments);
        MainWindowFixture f;
        const QString root = f.temp.path(),
                      chosen = file.isEmpty() ? file : f.write(file, contents.replace("%1", root.toUtf8()));
        const bool startUp = !arguments.isEmpty();
        MainWindow& window = f.open(startUp ? CommandLineText(arguments.replace("%1", root).split(';')) : "");
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
            window.btnValider()->click(); // nothing is selected: refused, and said so
            QCOMPARE(f.ui.beeps, 1);
            QCOMPARE(window.lblStatus()->text(), QString("Choose a project or a project group first."));
            return;
        }
        const bool group = !file.endsWith(".vbp");
        QCOMPARE(window.label1(1)->text(), QString(group ? "Backup Subfolder Name :" : "Backup File Name :"));
        QVERIFY(window.text1(3)->text().isEmpty() && !window.savePathDialog()->isHidden());
        QCOMPARE(QApplication::focusWidget() == window.text1(3), !startUp); // no focus is given at start-up
    }

    // A file that is slow to read is waited for while the window goes on serving its events, and a window
    // closed meanwhile drops it; a named pipe, which would never end its read, is refused at once by name.
    void slowOrEndlessReads() {
        QEventLoop* loop = nullptr;
        int ticks = 0;
        QTimer tick;
        tick.setInterval(20);
        connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
        tick.start();
        const auto slow = [] {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            return 7;
        };
        QCOMPARE(ReadAside<int>(slow, loop), std::optional<int>(7));
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QVERIFY(loop == nullptr);
        QTimer::singleShot(200, [&loop] {
            QVERIFY(loop != nullptr);
            loop->quit();
        });
        QCOMPARE(ReadAside<int>(slow, loop), std::nullopt);

        MainWindowFixture f;
        MainWindow& window = f.open();
        const QString pipe = f.path("pipe.vbp");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QElapsedTimer clock;
        clock.start();
        f.choose(pipe);
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(window.frame3D3()->isHidden());
        QCOMPARE(f.ui.messageBoxes.size(), 1);
        QVERIFY2(f.ui.messageBoxes[0].text.contains(pipe + ": it is a named pipe, not a file"),
                 qPrintable(f.ui.messageBoxes[0].text));
    }

    // The panel says at once how many files a backup would miss, the list a click away; a selection
    // that misses nothing says nothing. A project or group file dropped on the window is selected as if
    // chosen in the dialog; anything else, or more than one file, is not taken.
    void preflightAndDrop() {
        MainWindowFixture f; // in French: the count and the system's reasons are the window's language
        QFile::copy(CORVANE_LANGUAGE_FOLDER "/fra.lng", f.path("program/Lng/fra.lng"));
        f.write("program/Lng/Local.ini", "[LocaleID]\r\nForce=fra\r\n");
        MainWindow& window = f.open();
        const QString project = f.writeProject("m/M.vbp", "M", "1.0.0",
                                               "Module=a; gone.bas\r\nClass=b; Gone.cls\r\nForm=Forms\\gone.frm\r\n");
        f.choose(project);
        QVERIFY(!window.label2()->isHidden());
        QVERIFY2(window.label2()->text().contains("manquerait : 3."), qPrintable(window.label2()->text()));
        emit window.label2()->linkActivated("list");
        QCOMPARE(f.ui.messageBoxes.size(), 1);
        QCOMPARE(f.ui.messageBoxes[0].text.count("aucun fichier ni dossier de ce nom"), 3);
        QVERIFY2(f.ui.messageBoxes[0].text.startsWith(project + ":3: gone.bas"), qPrintable(f.ui.messageBoxes[0].text));

        const QString ok = f.writeProject("ok/Ok.vbp", "Ok"), text = f.write("notes.txt", "x");
        const auto drop = [&window](const QList<QUrl>& urls) {
            QMimeData data;
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &enter);
            QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &dropped);
            return enter.isAccepted();
        };
        QVERIFY(!drop({QUrl::fromLocalFile(text)}));
        QVERIFY(!drop({QUrl::fromLocalFile(ok), QUrl::fromLocalFile(ok)}));
        QCOMPARE(window.text1(0)->text(), project);
        QVERIFY(drop({QUrl::fromLocalFile(ok)}));
        QCOMPARE(window.text1(0)->text(), ok);
        QVERIFY(!window.frame3D3()->isHidden() && window.label2()->isHidden());
    }

    // "Return" leaves anything but a group unselected, reads a group again (it may have changed on disk) and
    // drops it when its file is gone, the path and password kept; the editor's new group replaces a project
    void groupEditor() {
        MainWindowFixture f;
        const QString acc = f.writeProject("dev/Acc/Acc.vbp", "Acc");
        const QString lib = f.writeProject("dev/Lib/Lib.vbp", "Lib", "1.0.3");
        const QString group = f.path("dev/Acc/Acc.vbpgroup"), backups = f.path("backups");
        QDir().mkpath(backups);
        MainWindow& window = f.open();
        const auto pressReturn = [&](const QString& shown) {
            const QString pathBefore = window.text1(0)->text();
            window.text1(3)->setText("s3cret");
            f.ui.messageBoxes.clear();
            bool panelWhileOpen = true;
            QVERIFY(WithEditor(window, [&](FormGroup& editor) {
                panelWhileOpen = !window.frame3D3()->isHidden();
                editor.btnAnnuler()->click();
            }));
            QVERIFY(!panelWhileOpen && f.ui.messageBoxes.isEmpty());
            QCOMPARE(window.text1(0)->text() + "|" + window.text1(3)->text(), pathBefore + "|s3cret");
            QCOMPARE(Shown(window), shown);
        };
        f.choose(acc);
        pressReturn("hidden");
        QVERIFY(WithEditor(window, [&](FormGroup& editor) {
            f.ui.queueFileChoice(group);
            f.ui.queueMessageBoxAnswer(MsgBox::Yes);
            editor.dbPathDialog()->click();
            editor.text1(1)->setText("Compta \u00E9t\u00E9"); // written as file names are
            f.ui.queueFileChoice(acc);
            editor.savePathDialog()->click();
            f.ui.queueFolderChoice(backups);
            editor.setPathDialog()->click();
            f.ui.queueFileChoice(lib);
            editor.btnPlus()->click();
            editor.btnGroup()->click();
        }));
        QCOMPARE(Shown(window),
                 group + "|Compta \u00E9t\u00E9|" + backups + "/Sources.Backup/|" + acc + "," + lib);
        // the editor has just closed, so the window may not be active again yet: its focus child counts
        QCOMPARE(window.focusWidget(), window.text1(3));
        f.writeGroup("dev/Acc/Acc.vbpgroup", "Suite, read again", {acc, "[PATH]/srv/bk/"});
        pressReturn(group + "|Suite, read again|/srv/bk/|" + acc);
        QVERIFY(QFile::remove(group));
        pressReturn("hidden");
        // the editor's Return lies over Quit: the second click of a double click on it is not a Quit
        QTest::mouseClick(window.btnAnnuler(), Qt::LeftButton);
        QVERIFY(window.isVisible());
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(window.btnAnnuler(), Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

    // the desktop is handed the target and the folder it lies in; the real desktop refuses what is not there
    // before starting anything
    void shellEx() {
        ScriptedServices ui;
        QVERIFY(ShellEX(ui, "/srv", QString(), "open", 1, nullptr) > 0);
        QVERIFY(ui.opened.size() == 1 && ui.opened[0].target == "/srv" && ui.opened[0].workingFolder == "/");
        DesktopServices desktop;
        for (const QString& target : {QString("/nonexistent-corvane/f"), QString()})
            QCOMPARE(ShellEX(desktop, target, QString(), "open", 1, nullptr), qint64(0));
    }
};

QTEST_MAIN(TestMainWindowSelection)
#include "test_main_window_selection.moc"

// the archive command of the main window: real archives written on the worker
#include <QRandomGenerator>

#include "core/settings/settings.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {
// "style title: text" of every message box, the text up to its first line end or ": "
QStringList Messages(const MainWindowFixture& f) {
    const QMap<int, QString> styles{
        {MsgBox::Critical, "critical"}, {MsgBox::Exclamation, "warning"}, {MsgBox::Information, "info"}};
    QStringList texts;
    for (const auto& box : f.ui.messageBoxes)
        texts << styles.value(box.style, "?") + " " + box.title + ": " +
                     box.text.section(QRegularExpression("\r\n|: "), 0, 0);
    return texts;
}

} // namespace

class TestMainWindowRuns : public QObject {
    Q_OBJECT

private slots:
    void outcomes_data() {
        QTest::addColumn<bool>("group");   // of A, B and C, else B alone
        QTest::addColumn<bool>("fails");   // B lists a class that is not there
        QTest::addColumn<bool>("blocked"); // the settings file's folder is a plain file
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("archives");
        const QString done = "info Corvane: Archiving complete !", a = "A 1.0.0.20250717095823.zip",
                      b = "B 2.0.0.20250717095823.zip";
        const QString failed = "warning Archive creation error: An error appears to have occurred...";
        QTest::newRow("project") << false << false << false << QStringList{done} << QStringList{b};
        QTest::newRow("project fails") << false << true << false << QStringList{failed} << QStringList{};
        QTest::newRow("group") << true << false << false << QStringList{done}
                               << QStringList{a, b, "C 3.0.0.20250717095823.zip"};
        QTest::newRow("second of three in a group fails")
            << true << true << false
            << QStringList{failed, "critical Corvane: An error occurred during archiving !"}
            << QStringList{a};
        QTest::newRow("last folder not remembered")
            << false << false << true
            << QStringList{"warning Corvane: The last backup folder could not be remembered"}
            << QStringList{b};
    }

    void outcomes() {
        QFETCH(bool, group);
        QFETCH(bool, fails);
        QFETCH(bool, blocked);
        MainWindowFixture f;
        if (blocked)
            f.setup.settings.localMachineFile = PathBytes(f.write("blocked", "x") + "/machine.settings");
        const QString a = f.writeProject("a/A.vbp", "A", "1.0.0");
        const QString b = f.writeProject("b/B.vbp", "B", "2.0.0", fails ? "Class=Gone; G\xF6ne.cls\r\n" : "");
        const QString c = f.writeProject("c/C.vbp", "C", "3.0.0");
        MainWindow& window = f.open();
        f.choose(group ? f.writeGroup("S.vbpgroup", "Suite", {a, b, c, "[PATH]" + f.path("out/")}) : b);
        if (!fails)
            f.ui.queueMessageBoxAnswer(0); // the completion box's "Open the folder"
        window.btnValider()->click();
        QVERIFY(!window.btnCancelRun()->isHidden() && (!group || window.vistaProg2()->maximum() == 3));
        QVERIFY(f.waitForRun());

        const QString folder = group ? f.path("out/Suite/20250717095823/") : f.path("b/Sources.Backup/");
        QTEST(Messages(f), "messages");
        QTEST(f.filesBelow(folder), "archives");
        const SettingsResult lastDir =
            SettingsStore(f.setup.settings).RegGetSetting("Corvane", "Files", "LastDir", "<none>", true);
        QCOMPARE(lastDir.ok() ? lastDir.value() : "<error>", blocked ? "<error>" : PathBytes(folder));
        QVERIFY(window.btnCancelRun()->isHidden());
        if (group)
            QCOMPARE(window.vistaProg2()->value(), fails ? 1 : 3);
        if (!fails) {
            QVERIFY(window.vistaProg1()->value() == window.vistaProg1()->maximum() &&
                    window.label2()->isHidden());
            QCOMPARE(f.ui.opened.size() == 1 ? f.ui.opened[0].target : "<not opened>", folder);
            // the completion timer hides the panel, so the same selection is not archived twice
            QTRY_VERIFY(window.frame3D3()->isHidden());
            QVERIFY(window.pelmOpenThe()->property1() && !window.timer1()->isActive());
            return;
        }
        const QString text = f.ui.messageBoxes[0].text;
        // the line as the project's code page writes it, then the reason the core words
        QCOMPARE(text.section("\r\n", 1, 1), QString::fromUtf8("Line : Class=Gone; G\xC3\xB6ne.cls"));
        QVERIFY2(text.section("\r\n", 2).contains(QString::fromUtf8("G\xC3\xB6ne.cls")), qPrintable(text));
        QVERIFY(!window.timer1()->isActive() && (!group || window.label2()->text() == b));
    }

    // a store that cannot be written is told in the window's language, with the file and the reason
    void storeFailureInTheWindowsLanguage() {
        MainWindowFixture f;
        QFile::copy(CORVANE_LANGUAGE_FOLDER "/fra.lng", f.path("program/Lng/fra.lng"));
        f.write("program/Lng/Local.ini", "[LocaleID]\r\nForce=fra\r\n");
        const QString store = f.write("blocked", "x") + "/machine.settings";
        f.setup.settings.localMachineFile = PathBytes(store);
        const QString b = f.writeProject("b/B.vbp", "B", "2.0.0");
        MainWindow& window = f.open();
        // Qt's own buttons and dialogs speak the window's language too
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Annuler"));
        f.ui.queueMessageBoxAnswer(1);
        f.choose(b);
        window.btnValider()->click();
        QVERIFY(f.waitForRun());
        QVERIFY(!f.ui.messageBoxes.isEmpty());
        // one box: the warning, then the outcome with the archive's path
        QCOMPARE(f.ui.messageBoxes.size(), 1);
        const QString text = f.ui.messageBoxes[0].text;
        QVERIFY2(text.startsWith("Le dernier dossier de sauvegarde n'a pas pu être mémorisé : le fichier de réglages " +
                                 store + " ne peut pas être écrit (une partie du chemin n'est pas un dossier).\r\n\r\n"
                                         "Archivage terminé !\r\n" + f.path("b/Sources.Backup/")),
                 qPrintable(text));
    }

    // a second archive, an unzip or a new selection cannot start while a run goes on, and the status line
    // says why; closing the window then stops it and returns once the worker has ended
    void whileRunning() {
        MainWindowFixture f;
        MainWindow& window = f.open();
        // a module large enough that the run is still going when the clicks come
        QByteArray noise(24 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        f.write("a/Big.bas", noise);
        f.choose(f.writeProject("a/A.vbp", "A", "1.0.0", "Module=Big; Big.bas\r\n"));
        window.btnValider()->click();
        for (QWidget* command : std::initializer_list<QWidget*>{window.btnValider(), window.image1(4),
                                                                 window.dbPathDialog(), window.pelmButton1()})
            QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));
        QVERIFY(window.text1(3)->isReadOnly() && !window.frame3D3()->isHidden());
        QVERIFY(window.lblStatus()->text().startsWith("A backup is running"));
        // what reaches the window anyway (a dropped file, a start from elsewhere) is refused in words
        window.dbPathDialog()->setEnabled(true);
        window.dbPathDialog()->click();
        QVERIFY(f.ui.beeps == 1 && window.lblStatus()->text().startsWith("A backup is running"));
        // Quit asks first: "No" lets the run go on; Escape then stops it as Cancel does
        f.ui.queueMessageBoxAnswer(MsgBox::No);
        QVERIFY(!window.close() && window.isBusy());
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(f.waitForRun());
        QVERIFY(f.filesBelow(f.path("a/Sources.Backup")).isEmpty());
        QVERIFY(window.btnValider()->isEnabled() && window.image1(4)->isEnabled() &&
                !window.text1(3)->isReadOnly() && window.lblStatus()->text().isEmpty());
        // "Yes" stops it and closes
        window.btnValider()->click();
        f.ui.queueMessageBoxAnswer(MsgBox::Yes);
        QVERIFY(window.close());
        QVERIFY(!window.isBusy() && f.filesBelow(f.path("a/Sources.Backup")).isEmpty());
        QCOMPARE(f.ui.messageBoxes.size(), 2); // the two questions, nothing else
        QVERIFY(window.btnCancelRun()->isHidden() && !window.timer1()->isActive());
    }

    // The password is typed twice: a mismatch archives nothing and says so; the same text runs. Archive clicked
    // again before the panel hides: the name fixed at selection is taken by then, so the second backup is
    // numbered, the first one stays, and the box shows the name written. The timer of that run does not hide
    // a selection made after it, which starts with empty bars and a masked password.
    void runsOfOneSelection() {
        MainWindowFixture f;
        const QString b = f.writeProject("b/B.vbp", "B", "2.0.0"), c = f.writeProject("c/C.vbp", "C", "3.0.0");
        MainWindow& window = f.open();
        f.choose(b);
        window.text1(3)->setText("s\u00E9cret");
        f.ui.queuePassword(QString("s\u00E9creT"));
        window.btnValider()->click();
        QVERIFY(!window.isBusy());
        QCOMPARE(Messages(f), QStringList{"warning Corvane: The two passwords differ"});
        QVERIFY(f.filesBelow(f.path("b/Sources.Backup/")).isEmpty());
        f.ui.queuePassword(QString("s\u00E9cret"));
        f.ui.queueMessageBoxAnswer(1);
        window.btnValider()->click();
        QVERIFY(f.waitForRun());
        window.text1(3)->clear();
        f.ui.queueMessageBoxAnswer(1);
        window.btnValider()->click();
        QVERIFY(f.waitForRun() && window.timer1()->isActive());
        const QString second = "B 2.0.0.20250717095823 (2).zip";
        QCOMPARE(f.filesBelow(f.path("b/Sources.Backup/")), (QStringList{second, "B 2.0.0.20250717095823.zip"}));
        QCOMPARE(window.text1(1)->text(), second);
        QTest::mouseClick(window.alphaImgCtl2(), Qt::LeftButton); // the password shown
        f.choose(c);
        QTest::qWait(3 * f.setup.timer1Interval);
        QVERIFY(!window.frame3D3()->isHidden());
        QCOMPARE(window.text1(0)->text(), c);
        QVERIFY(window.vistaProg1()->value() == 0 && window.passwordMasked());
        QVERIFY(!window.pelmOpenThe()->isHidden()); // the backup just made is there to be opened
    }
};

QTEST_MAIN(TestMainWindowRuns)
#include "test_main_window_runs.moc"

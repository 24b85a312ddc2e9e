// the archive command of the main window: real archives written on the worker
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include "app/controls.h"
#include "app/jobs.h"
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
            << QStringList{"warning Corvane: The last backup folder could not be remembered", done}
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
        const QString b = f.writeProject("b/B.vbp", "B", "2.0.0", fails ? "Class=Gone; Gone.cls\r\n" : "");
        const QString c = f.writeProject("c/C.vbp", "C", "3.0.0");
        MainWindow& window = f.open();
        f.choose(group ? f.writeGroup("S.vbpgroup", "Suite", {a, b, c, "[PATH]" + f.path("out/")}) : b);
        window.btnValider()->click();
        QVERIFY(!window.btnCancelRun()->isHidden() && (!group || window.vistaProg2()->maximum() == 3));
        QVERIFY(f.waitForRun());

        const QString folder = group ? f.path("out/Suite/20250717095823/") : f.path("b/Sources.Backup/");
        QTEST(Messages(f), "messages");
        QTEST(f.filesBelow(folder), "archives");
        const SettingsResult lastDir =
            SettingsStore(f.setup.settings).RegGetSetting("Corvane", "Files", "LastDir", "<none>", true);
        QCOMPARE(lastDir.ok() ? lastDir.value() : "<error>", blocked ? "<error>" : PathBytes(folder));
        QVERIFY(f.ui.busyCalls == (QList<bool>{true, false}) && window.btnCancelRun()->isHidden());
        if (group)
            QCOMPARE(window.vistaProg2()->value(), fails ? 1 : 3);
        if (!fails) {
            QVERIFY(window.vistaProg1()->value() == window.vistaProg1()->maximum() &&
                    window.label2()->isHidden());
            // the completion timer hides the panel, so the same selection is not archived twice
            QTRY_VERIFY(window.frame3D3()->isHidden());
            QVERIFY(window.pelmOpenThe()->property1() && !window.timer1()->isActive());
            return;
        }
        const QString text = f.ui.messageBoxes[0].text;
        // the reason, after the line the core words
        QVERIFY2(text.section("\r\n", 2).contains("Gone.cls"), qPrintable(text));
        QVERIFY(!window.timer1()->isActive() && (!group || window.label2()->text() == b));
    }

    // Archive clicked again before the panel hides: the name fixed at selection is taken by then, so the
    // second backup is numbered, the first one stays, and the box shows the name written
    void archiveTwiceKeepsBoth() {
        MainWindowFixture f;
        const QString b = f.writeProject("b/B.vbp", "B", "2.0.0");
        MainWindow& window = f.open();
        f.choose(b);
        window.btnValider()->click();
        QVERIFY(f.waitForRun());
        window.btnValider()->click();
        QVERIFY(f.waitForRun());
        const QString second = "B 2.0.0.20250717095823 (2).zip";
        QCOMPARE(f.filesBelow(f.path("b/Sources.Backup/")),
                 (QStringList{second, "B 2.0.0.20250717095823.zip"}));
        QCOMPARE(window.text1(1)->text(), second);
    }

    // a second archive, an unzip or a new selection is refused while a run goes on; closing the window then
    // stops it and returns once the worker has ended (the Cancel button is timed with the large project)
    void whileRunning() {
        MainWindowFixture f;
        MainWindow& window = f.open();
        // a module large enough that the run is still going when the clicks come
        QByteArray noise(24 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        f.write("a/Big.bas", noise);
        f.choose(f.writeProject("a/A.vbp", "A", "1.0.0", "Module=Big; Big.bas\r\n"));
        window.btnValider()->click();
        window.btnValider()->click();
        QTest::mouseClick(window.image1(4), Qt::LeftButton);
        window.dbPathDialog()->click();
        QCOMPARE(f.ui.beeps, 3);
        QVERIFY(!window.frame3D3()->isHidden());
        window.close();
        QVERIFY(!window.isBusy() && f.filesBelow(f.path("a/Sources.Backup")).isEmpty());
        QVERIFY(f.ui.messageBoxes.isEmpty() && !f.ui.isBusy());
        QVERIFY(window.btnCancelRun()->isHidden() && !window.timer1()->isActive());
    }
};

QTEST_MAIN(TestMainWindowRuns)
#include "test_main_window_runs.moc"

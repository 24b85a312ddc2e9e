// the archive and unzip commands of the main window: real archives written and unpacked on the worker
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

#include "app/frame3d.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
#include "app/vista_prog.h"
#include "core/paths.h"
#include "core/settings_store.h"
#include "core/zip_component.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

void ClickCentre(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

std::string StoredLastDir(const MainWindowFixture& f) {
    SettingsStore store(f.setup.settings);
    const SettingsResult stored = store.RegGetSetting("Corvane", "Files", "LastDir", "<none>", true);
    return stored.ok() ? stored.value() : "<error>";
}

QStringList Texts(const QList<ScriptedServices::MessageBoxCall>& boxes) {
    QStringList texts;
    for (const auto& box : boxes)
        texts << box.title + ": " + box.text.section("\r\n", 0, 0);
    return texts;
}

// a project whose module is large enough that a run is still going when the next click comes
QString WriteLargeProject(MainWindowFixture& f, const QString& relative) {
    const QString project = f.writeProject(relative, "Large", "1.0.0", "Module=Big; Big.bas\r\n");
    QByteArray noise(24 << 20, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    f.write(QFileInfo(relative).path() + "/Big.bas", noise);
    return project;
}

QString WriteZip(const QString& path, const QList<QPair<QString, QByteArray>>& entries,
                 const QString& password) {
    ZipComponent zip;
    if (zip.NewZip(PathBytes(path)) != 1)
        qFatal("cannot start %s", qPrintable(path));
    zip.SetPassword(password.toStdString());
    for (const auto& entry : entries)
        zip.AppendBuffer(entry.first.toStdString(), entry.second.toStdString());
    if (zip.WriteZipAndClose() != 1)
        qFatal("cannot write %s: %s", qPrintable(path), zip.LastError().c_str());
    return path;
}

} // namespace

class TestMainWindowRuns : public QObject {
    Q_OBJECT

private slots:
    // --- archive ---

    void singleProjectArchived() {
        MainWindowFixture f;
        const QString project = f.writeProject("Dev/Billing/Billing.vbp", "Billing");
        MainWindow& window = f.open();
        f.choose(project);
        window.btnValider()->click();
        QVERIFY(window.isBusy());
        QVERIFY(!window.btnCancelRun()->isHidden());
        QVERIFY(f.waitForRun());

        const QString folder = f.path("Dev/Billing/Sources.Backup/");
        QCOMPARE(f.filesBelow(folder), QStringList{"Billing 2.1.7.20250717095823.zip"});
        QCOMPARE(Texts(f.ui.messageBoxes()), QStringList{"Corvane: Archiving complete !"});
        QCOMPARE(f.ui.messageBoxes()[0].style, MsgBox::Information);
        QCOMPARE(StoredLastDir(f), PathBytes(folder));
        QCOMPARE(f.ui.busyCalls(), (QList<bool>{true, false}));
        QVERIFY(window.btnCancelRun()->isHidden());
        QVERIFY(!window.vistaProg1()->isHidden());
        QCOMPARE(window.vistaProg1()->value(), window.vistaProg1()->maximum());
        QVERIFY(window.vistaProg2()->isHidden());

        // the completion timer hides the panel once, so the same selection is not archived twice
        QVERIFY(window.timer1()->isActive());
        QTRY_VERIFY(window.frame3D3()->isHidden());
        QVERIFY(!window.timer1()->isActive());
        QVERIFY(window.pelmOpenThe()->property1());
        window.btnValider()->click();
        QCOMPARE(f.ui.beeps(), 1);
    }

    void encryptedArchiveAsksForItsPassword() {
        MainWindowFixture f;
        const QString project = f.writeProject("a/A.vbp", "A");
        MainWindow& window = f.open();
        f.choose(project);
        window.text1(3)->setText("s3cret");
        window.btnValider()->click();
        QVERIFY(f.waitForRun());
        const QString archive = f.path("a/Sources.Backup/A 2.1.7.20250717095823.zip");
        QVERIFY(QFile::exists(archive));

        // the same window unpacks it again, asking for the password on the window's thread
        f.ui.queueFileChoice(archive);
        f.ui.queuePassword(QString("s3cret"));
        ClickCentre(window.image1(4));
        QVERIFY(f.waitForRun());
        const QString folder = archive.chopped(4);
        QCOMPARE(f.filesBelow(folder), (QStringList{"A 2.1.7.20250717095823.vbp", "Module1.bas"}));
        QCOMPARE(f.ui.passwordRequests().size(), 1);
        QCOMPARE(f.ui.opened().size(), 1);
        QCOMPARE(f.ui.opened()[0].target, folder);
        // the dialog starts in the folder of the last backup
        QCOMPARE(f.ui.fileRequests().last().initDir, f.path("a/Sources.Backup/"));
    }

    void refusedWithBeep_data() {
        QTest::addColumn<int>("state"); // 0 nothing chosen, 1 panel hidden again, 2 group without save path
        QTest::newRow("nothing chosen") << 0;
        QTest::newRow("panel hidden after a cancelled choice") << 1;
        QTest::newRow("group without save path") << 2;
    }

    void refusedWithBeep() {
        QFETCH(int, state);
        MainWindowFixture f;
        const QString project = f.writeProject("a/A.vbp", "A");
        MainWindow& window = f.open();
        if (state == 1) {
            f.choose(project);
            f.ui.queueFileChoice(std::nullopt);
            window.dbPathDialog()->click();
        }
        if (state == 2)
            f.choose(f.writeGroup("G.vbpgroup", "Suite", {}));
        window.btnValider()->click();
        QVERIFY(!window.isBusy());
        QCOMPARE(f.ui.beeps(), 1);
        QVERIFY(f.ui.messageBoxes().isEmpty());
        QCOMPARE(StoredLastDir(f), std::string("<none>"));
    }

    void singleProjectFails() {
        MainWindowFixture f;
        const QString project = f.writeProject("a/A.vbp", "A", "1.0.0", "Class=Gone; Gone.cls\r\n");
        MainWindow& window = f.open();
        f.choose(project);
        window.btnValider()->click();
        QVERIFY(f.waitForRun());

        QCOMPARE(f.ui.messageBoxes().size(), 1);
        const auto& box = f.ui.messageBoxes()[0];
        QCOMPARE(box.title, QString("Archive creation error"));
        QCOMPARE(box.style, MsgBox::Exclamation);
        const QStringList lines = box.text.split("\r\n");
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[1], QString("Line : Class=Gone; Gone.cls"));
        QVERIFY2(lines[2].contains("Gone.cls"), qPrintable(lines[2]));
        QVERIFY(f.filesBelow(f.path("a/Sources.Backup")).isEmpty());
        QVERIFY(!window.timer1()->isActive());
        QVERIFY(!window.frame3D3()->isHidden());
    }

    void groupRun_data() {
        QTest::addColumn<bool>("secondFails");
        QTest::newRow("all archived") << false;
        QTest::newRow("second of three fails") << true;
    }

    void groupRun() {
        QFETCH(bool, secondFails);
        MainWindowFixture f;
        const QString a = f.writeProject("a/A.vbp", "A", "1.0.0");
        const QString b =
            f.writeProject("b/B.vbp", "B", "2.0.0", secondFails ? "Class=Gone; Gone.cls\r\n" : "");
        const QString c = f.writeProject("c/C.vbp", "", "3.0.0");
        const QString group =
            f.writeGroup("Suite.vbpgroup", "Suite", {a, b, c, "[PATH]" + f.path("backups") + "/"});
        MainWindow& window = f.open();
        f.choose(group);
        window.btnValider()->click();
        QVERIFY(!window.vistaProg2()->isHidden());
        QCOMPARE(window.vistaProg2()->maximum(), 3);
        QVERIFY(f.waitForRun());

        const QString folder = f.path("backups/Suite/20250717095823/");
        QCOMPARE(StoredLastDir(f), PathBytes(folder));
        // a project without a name line is named after its full path
        const QString third =
            PathText(SanitizeFileName(PathBytes(c.chopped(4)))) + " 3.0.0.20250717095823.zip";
        const QStringList expected =
            secondFails ? QStringList{"A 1.0.0.20250717095823.zip"}
                        : QStringList{"A 1.0.0.20250717095823.zip", "B 2.0.0.20250717095823.zip", third};
        QStringList sortedExpected = expected;
        sortedExpected.sort();
        QCOMPARE(f.filesBelow(folder), sortedExpected);
        if (secondFails) {
            QCOMPARE(Texts(f.ui.messageBoxes()),
                     (QStringList{"Archive creation error: An error appears to have occurred...",
                                  "Corvane: An error occurred during archiving !"}));
            QCOMPARE(f.ui.messageBoxes()[1].style, MsgBox::Critical);
            QCOMPARE(window.vistaProg2()->value(), 1);
            QVERIFY(!window.label2()->isHidden());
            QCOMPARE(window.label2()->text(), b);
            QVERIFY(!window.timer1()->isActive());
        } else {
            QCOMPARE(Texts(f.ui.messageBoxes()), QStringList{"Corvane: Archiving complete !"});
            QCOMPARE(window.vistaProg2()->value(), 3);
            QVERIFY(window.label2()->isHidden());
            QVERIFY(window.timer1()->isActive());
        }
    }

    void secondRequestRefusedWhileRunning() {
        MainWindowFixture f;
        const QString project = WriteLargeProject(f, "a/A.vbp");
        MainWindow& window = f.open();
        f.choose(project);
        window.btnValider()->click();
        QVERIFY(window.isBusy());
        window.btnValider()->click();
        ClickCentre(window.image1(4)); // unzip
        window.dbPathDialog()->click();
        QCOMPARE(f.ui.beeps(), 3);
        QVERIFY(f.ui.fileRequests().size() == 1); // only the first choice asked for a file
        QVERIFY(f.waitForRun(120000));
        QCOMPARE(Texts(f.ui.messageBoxes()), QStringList{"Corvane: Archiving complete !"});
        QCOMPARE(f.filesBelow(f.path("a/Sources.Backup")).size(), 1);
    }

    void cancelledRunLeavesNoArchive_data() {
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("cancel button") << false;
        QTest::newRow("window closed") << true;
    }

    void cancelledRunLeavesNoArchive() {
        QFETCH(bool, byClosing);
        MainWindowFixture f;
        const QString project = WriteLargeProject(f, "a/A.vbp");
        MainWindow& window = f.open();
        f.choose(project);
        window.btnValider()->click();
        QVERIFY(window.isBusy());
        if (byClosing) {
            window.close(); // returns once the worker has ended
            QVERIFY(!window.isBusy());
        } else {
            window.btnCancelRun()->click();
            QVERIFY(f.waitForRun(120000));
        }
        QVERIFY(f.filesBelow(f.path("a/Sources.Backup")).isEmpty());
        QVERIFY(f.filesBelow(f.path("program")).filter(".vbp").isEmpty());
        QVERIFY(f.ui.messageBoxes().isEmpty());
        QVERIFY(!f.ui.isBusy());
        QVERIFY(window.btnCancelRun()->isHidden());
        QVERIFY(!window.timer1()->isActive());
        if (!byClosing)
            QVERIFY(!window.frame3D3()->isHidden()); // still selected, ready for another try
    }

    void lastDirNotWritableIsToldOnce() {
        MainWindowFixture f;
        f.write("blocked", "x");
        f.setup.settings.localMachineFile = PathBytes(f.path("blocked/machine.settings"));
        const QString project = f.writeProject("a/A.vbp", "A");
        MainWindow& window = f.open();
        f.choose(project);
        window.btnValider()->click();
        QVERIFY(f.waitForRun());
        QCOMPARE(f.ui.messageBoxes().size(), 2);
        QVERIFY(f.ui.messageBoxes()[0].text.startsWith("The last backup folder could not be remembered"));
        QCOMPARE(f.ui.messageBoxes()[1].text, QString("Archiving complete !"));
        QCOMPARE(f.filesBelow(f.path("a/Sources.Backup")).size(), 1);
    }

    // --- unzip ---

    void unzip_data() {
        QTest::addColumn<int>("archive"); // 0 plain, 1 encrypted ("pw"), 2 damaged, 3 not an archive name
        QTest::addColumn<QString>("fileName");      // chosen in the dialog
        QTest::addColumn<QStringList>("passwords"); // answers, "<cancel>" for a cancelled question
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("message");
        QTest::addColumn<QStringList>("files"); // below the extraction folder

        const QStringList all{"FileNotInRootPath/Lib/Util.bas", "Proj.vbp"};
        QTest::newRow("plain") << 0 << "Proj.zip" << QStringList{} << true << false << all;
        QTest::newRow("upper-case extension") << 0 << "Proj.ZIP" << QStringList{} << true << false << all;
        QTest::newRow("encrypted, right password")
            << 1 << "Proj.zip" << QStringList{"pw"} << true << false << all;
        QTest::newRow("encrypted, question cancelled")
            << 1 << "Proj.zip" << QStringList{"<cancel>"} << false << false << QStringList{};
        QTest::newRow("encrypted, wrong password")
            << 1 << "Proj.zip" << QStringList{"nope"} << false << true << QStringList{};
        QTest::newRow("damaged") << 2 << "Proj.zip" << QStringList{} << false << true << QStringList{};
    }

    void unzip() {
        QFETCH(int, archive);
        QFETCH(QString, fileName);
        QFETCH(QStringList, passwords);
        QFETCH(bool, opened);
        QFETCH(bool, message);
        QFETCH(QStringList, files);
        MainWindowFixture f;
        const QString path = f.path("backups/" + fileName);
        QDir().mkpath(f.path("backups"));
        if (archive == 2)
            f.write("backups/" + fileName, "PK\x03\x04 this is not the rest of an archive");
        else
            WriteZip(path, {{"Proj.vbp", "Type=Exe\r\n"}, {"FileNotInRootPath/Lib/Util.bas", "' util\r\n"}},
                     archive == 1 ? "pw" : "");
        for (const QString& answer : passwords)
            f.ui.queuePassword(answer == "<cancel>" ? std::nullopt : std::optional<QString>(answer));
        MainWindow& window = f.open();

        f.ui.queueFileChoice(path);
        ClickCentre(window.image1(4));
        QVERIFY(f.waitForRun());

        const QString folder = path.chopped(4);
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(f.filesBelow(folder), files);
        QCOMPARE(f.ui.opened().size(), opened ? 1 : 0);
        if (opened)
            QCOMPARE(f.ui.opened()[0].target, folder);
        QCOMPARE(f.ui.messageBoxes().size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(f.ui.messageBoxes()[0].title, QString("Corvane"));
            QCOMPARE(f.ui.messageBoxes()[0].style, MsgBox::Exclamation);
        }
        QCOMPARE(f.ui.busyCalls(), (QList<bool>{true, false}));

        const FileDialogRequest& asked = f.ui.fileRequests()[0];
        QCOMPARE(asked.title, QString("Choose the compressed project to unzip"));
        QCOMPARE(asked.filter, QString("Zipped Visual Basic Project|*.zip"));
        QCOMPARE(asked.flags, quint32(0x81000));
        QCOMPARE(asked.initDir, QString()); // nothing stored yet
    }

    void unzipEndsEarly_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("dialog cancelled") << true;
        QTest::newRow("not a zip name") << false;
    }

    void unzipEndsEarly() {
        QFETCH(bool, cancel);
        MainWindowFixture f;
        const QString other = f.write("backups/notes.txt", "x");
        MainWindow& window = f.open();
        f.ui.queueFileChoice(cancel ? std::nullopt : std::optional<QString>(other));
        ClickCentre(window.image1(4));
        QVERIFY(!window.isBusy());
        QCOMPARE(f.ui.beeps(), cancel ? 0 : 1);
        QCOMPARE(f.filesBelow(f.path("backups")), QStringList{"notes.txt"});
        QVERIFY(QDir(f.path("backups")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
        QVERIFY(f.ui.opened().isEmpty());
        QVERIFY(f.ui.busyCalls().isEmpty());
    }

    // --- the worker's pieces ---

    void throttle_data() {
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QList<int>>("times"); // milliseconds
        QTest::addColumn<QList<bool>>("posted");
        QTest::newRow("first report always")
            << QList<int>{0} << QList<int>{0} << QList<int>{0} << QList<bool>{true};
        QTest::newRow("same value never")
            << QList<int>{0, 0} << QList<int>{5, 5} << QList<int>{0, 500} << QList<bool>{true, false};
        QTest::newRow("changes within the interval held back")
            << QList<int>{0, 0, 0} << QList<int>{1, 2, 3} << QList<int>{0, 10, 45}
            << QList<bool>{true, false, true};
        QTest::newRow("a new step passes at once") << QList<int>{0, 1, 1} << QList<int>{9, 9, 9}
                                                   << QList<int>{0, 1, 2} << QList<bool>{true, true, false};
    }

    void throttle() {
        QFETCH(QList<int>, steps);
        QFETCH(QList<int>, values);
        QFETCH(QList<int>, times);
        QFETCH(QList<bool>, posted);
        ProgressThrottle throttle(std::chrono::milliseconds(40));
        const ProgressThrottle::TimePoint start{};
        for (int i = 0; i < steps.size(); ++i)
            QCOMPARE(throttle.shouldPost(steps[i], values[i], start + std::chrono::milliseconds(times[i])),
                     posted[i]);
    }

    void questionFromTheWorker() {
        BackgroundRun run;
        std::optional<QString> answer;
        bool done = false;
        QVERIFY(run.start(
            [&] {
                answer = run.ask<std::optional<QString>>([] { return std::optional<QString>("asked"); },
                                                         std::nullopt);
            },
            [&] { done = true; }));
        QVERIFY(!run.start([] {}, [] {}));
        QTRY_VERIFY(done);
        QCOMPARE(answer, std::optional<QString>("asked"));

        // after a cancel the question is not put and the worker ends without waiting on it
        bool asked = false;
        done = false;
        QVERIFY(run.start(
            [&] {
                while (!run.cancelRequested())
                    QThread::msleep(1);
                answer = run.ask<std::optional<QString>>(
                    [&] {
                        asked = true;
                        return std::optional<QString>("late");
                    },
                    std::nullopt);
            },
            [&] { done = true; }));
        run.cancelAndWait();
        QVERIFY(!run.isRunning());
        QVERIFY(!asked);
        QCOMPARE(answer, std::nullopt);
        QVERIFY(!done); // a cancelled-and-awaited run does not report back
    }
};

QTEST_MAIN(TestMainWindowRuns)
#include "test_main_window_runs.moc"

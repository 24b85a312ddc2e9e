// the archive and unzip commands of the main window: real archives written and unpacked on the worker
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
#include "core/settings_store.h"
#include "core/zip_component.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {
std::string StoredLastDir(const MainWindowFixture& f) {
    SettingsStore store(f.setup.settings);
    const SettingsResult stored = store.RegGetSetting("Corvane", "Files", "LastDir", "<none>", true);
    return stored.ok() ? stored.value() : "<error>";
}

// "title: first line" of every message box, in order
QStringList Messages(const MainWindowFixture& f) {
    QStringList texts;
    for (const auto& box : f.ui.messageBoxes())
        texts << box.title + ": " + box.text.section("\r\n", 0, 0);
    return texts;
}

void Unzip(MainWindowFixture& f, const QString& archive) {
    f.ui.queueFileChoice(archive);
    QTest::mouseClick(f.window->image1(4), Qt::LeftButton);
}
} // namespace

class TestMainWindowRuns : public QObject {
    Q_OBJECT

private slots:
    void singleProjectArchivedThenUnzipped() {
        MainWindowFixture f;
        MainWindow& window = f.open();
        f.choose(f.writeProject("a/A.vbp", "A"));
        window.text1(3)->setText("s3cret");
        window.btnValider()->click();
        QVERIFY(!window.btnCancelRun()->isHidden());
        QVERIFY(f.waitForRun());

        const QString folder = f.path("a/Sources.Backup/");
        QCOMPARE(f.filesBelow(folder), QStringList{"A 2.1.7.20250717095823.zip"});
        QCOMPARE(Messages(f), QStringList{"Corvane: Archiving complete !"});
        QCOMPARE(f.ui.messageBoxes()[0].style, MsgBox::Information);
        QCOMPARE(StoredLastDir(f), PathBytes(folder));
        QCOMPARE(f.ui.busyCalls(), (QList<bool>{true, false}));
        QVERIFY(window.btnCancelRun()->isHidden());
        QCOMPARE(window.vistaProg1()->value(), window.vistaProg1()->maximum());
        // the completion timer hides the panel, so the same selection is not archived twice
        QTRY_VERIFY(window.frame3D3()->isHidden());

        // unpacked beside itself: the dialog starts in the last backup folder, the password is asked
        f.ui.queuePassword(QString("s3cret"));
        Unzip(f, folder + "A 2.1.7.20250717095823.zip");
        QVERIFY(f.waitForRun());
        QCOMPARE(f.ui.fileRequests().last().initDir, folder);
        QCOMPARE(f.filesBelow(folder + "A 2.1.7.20250717095823"),
                 (QStringList{"A 2.1.7.20250717095823.vbp", "Module1.bas"}));
        QCOMPARE(f.ui.opened().at(0).target, folder + "A 2.1.7.20250717095823");
    }

    void outcomes_data() {
        QTest::addColumn<bool>("group");
        QTest::addColumn<bool>("fails"); // B lists a class that is not there
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("archives");
        const QString builder = "Archive creation error: An error appears to have occurred...";
        const QString a = "A 1.0.0.20250717095823.zip";
        QTest::newRow("single project fails") << false << true << QStringList{builder} << QStringList{};
        QTest::newRow("second of three in a group fails")
            << true << true << QStringList{builder, "Corvane: An error occurred during archiving !"}
            << QStringList{a};
        QTest::newRow("group archived")
            << true << false << QStringList{"Corvane: Archiving complete !"}
            << QStringList{a, "B 2.0.0.20250717095823.zip", "C 3.0.0.20250717095823.zip"};
    }

    void outcomes() {
        QFETCH(bool, group);
        QFETCH(bool, fails);
        MainWindowFixture f;
        const QString a = f.writeProject("a/A.vbp", "A", "1.0.0");
        const QString b = f.writeProject("b/B.vbp", "B", "2.0.0", fails ? "Class=Gone; Gone.cls\r\n" : "");
        const QString c = f.writeProject("c/C.vbp", "C", "3.0.0");
        MainWindow& window = f.open();
        f.choose(group ? f.writeGroup("S.vbpgroup", "Suite", {a, b, c, "[PATH]" + f.path("out/")}) : b);
        window.btnValider()->click();
        if (group)
            QCOMPARE(window.vistaProg2()->maximum(), 3);
        QVERIFY(f.waitForRun());

        const QString folder = group ? f.path("out/Suite/20250717095823/") : f.path("b/Sources.Backup/");
        QTEST(Messages(f), "messages");
        QTEST(f.filesBelow(folder), "archives");
        QCOMPARE(StoredLastDir(f), PathBytes(folder));
        if (group)
            QCOMPARE(window.vistaProg2()->value(), fails ? 1 : 3);
        if (!fails) {
            QVERIFY(window.label2()->isHidden());
            return;
        }
        const auto& builder = f.ui.messageBoxes()[0];
        QCOMPARE(builder.style, MsgBox::Exclamation);
        QCOMPARE(builder.text.section("\r\n", 1, 1), QString("Line : Class=Gone; Gone.cls"));
        QVERIFY2(builder.text.section("\r\n", 2).contains("Gone.cls"),
                 qPrintable(builder.text)); // the reason
        QVERIFY(!window.timer1()->isActive());
        if (group) {
            QCOMPARE(f.ui.messageBoxes()[1].style, MsgBox::Critical);
            QCOMPARE(window.label2()->text(), b);
        }
    }

    // a second archive, an unzip or a new selection is refused while a run goes on; then it is stopped
    void whileRunning_data() {
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("cancel button") << false;
        QTest::newRow("window closed") << true;
    }

    void whileRunning() {
        QFETCH(bool, byClosing);
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
        QCOMPARE(f.ui.beeps(), 3);
        QVERIFY(!window.frame3D3()->isHidden());
        if (byClosing)
            window.close(); // returns once the worker has ended
        else
            window.btnCancelRun()->click();
        QVERIFY(f.waitForRun());
        QVERIFY(f.filesBelow(f.path("a/Sources.Backup")).isEmpty());
        QVERIFY(f.ui.messageBoxes().isEmpty());
        QVERIFY(!f.ui.isBusy());
        QVERIFY(window.btnCancelRun()->isHidden());
        QVERIFY(!window.timer1()->isActive());
    }

    void lastDirNotWritableIsToldOnce() {
        MainWindowFixture f;
        f.write("blocked", "x"); // the settings file's folder is a plain file
        f.setup.settings.localMachineFile = PathBytes(f.path("blocked/machine.settings"));
        MainWindow& window = f.open();
        f.choose(f.writeProject("a/A.vbp", "A"));
        window.btnValider()->click();
        QVERIFY(f.waitForRun());
        QCOMPARE(Messages(f).size(), 2);
        QVERIFY(Messages(f)[0].startsWith("Corvane: The last backup folder could not be remembered"));
        QCOMPARE(Messages(f)[1], QString("Corvane: Archiving complete !"));
        QCOMPARE(f.filesBelow(f.path("a/Sources.Backup")).size(), 1);
    }

    void unzip_data() {
        QTest::addColumn<int>("archive"); // 0 plain, 1 encrypted with "pw", 2 damaged
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("message");
        QTest::addColumn<QString>("password"); // "" when none is asked, "<cancel>" for a cancelled question
        QTest::addColumn<QStringList>("files");
        const QStringList all{"FileNotInRootPath/Lib/Util.bas", "P.vbp"};
        QTest::newRow("upper-case extension") << 0 << "P.ZIP" << false << "" << all;
        QTest::newRow("password cancelled") << 1 << "P.zip" << false << "<cancel>" << QStringList{};
        QTest::newRow("wrong password") << 1 << "P.zip" << true << "nope" << QStringList{};
        QTest::newRow("damaged") << 2 << "P.zip" << true << "" << QStringList{};
    }

    void unzip() {
        QFETCH(int, archive);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, message);
        QFETCH(QStringList, files);
        MainWindowFixture f;
        const QString path = f.write("in/" + name, "PK\x03\x04 not the rest of an archive");
        if (archive != 2) {
            ZipComponent zip;
            QCOMPARE(zip.NewZip(PathBytes(path)), 1);
            zip.SetPassword(archive == 1 ? "pw" : "");
            zip.AppendBuffer("P.vbp", "Type=Exe\r\n");
            zip.AppendBuffer("FileNotInRootPath/Lib/Util.bas", "' util\r\n");
            QCOMPARE(zip.WriteZipAndClose(), 1);
        }
        if (!password.isEmpty())
            f.ui.queuePassword(password == "<cancel>" ? std::nullopt : std::optional<QString>(password));
        f.open();
        Unzip(f, path);
        QVERIFY(f.waitForRun());

        QCOMPARE(f.filesBelow(path.chopped(4)), files);
        QVERIFY(QFileInfo(path.chopped(4)).isDir());
        QCOMPARE(f.ui.opened().size(), files.isEmpty() ? 0 : 1);
        QCOMPARE(f.ui.messageBoxes().size(), message ? 1 : 0);
        const FileDialogRequest& asked = f.ui.fileRequests().at(0);
        QCOMPARE(asked.title, QString("Choose the compressed project to unzip"));
        QCOMPARE(asked.filter, QString("Zipped Visual Basic Project|*.zip"));
        QCOMPARE(asked.flags, quint32(0x81000));
    }

    void unzipRefusesOtherNames() {
        MainWindowFixture f;
        f.open();
        Unzip(f, f.write("in/notes.txt", "x"));
        QCOMPARE(f.ui.beeps(), 1);
        QCOMPARE(QDir(f.path("in")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"notes.txt"});
    }
};

QTEST_MAIN(TestMainWindowRuns)
#include "test_main_window_runs.moc"

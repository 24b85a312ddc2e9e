// the unzip command of the main window and the unzip job alone: real archives unpacked on the worker,
// the question about a folder that holds files, the password asked again, Cancel
#include <QProgressDialog>
#include <QPushButton>

#include "app/unzip_job.h"
#include "core/zip/zip.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {
// each entry a tiny project file; encrypted unless the password is empty
void WriteZip(const QString& path, const QStringList& entries, const char* password) {
    ZipComponent zip;
    QCOMPARE(zip.NewZip(PathBytes(path)), 1);
    zip.SetPassword(password);
    for (const QString& entry : entries)
        zip.AppendBuffer(entry.toStdString(), "Type=Exe\r\n");
    QCOMPARE(zip.WriteZipAndClose(), 1);
}
const QStringList kEntries{"FileNotInRootPath/Lib/Util.bas", "P.vbp"};
} // namespace

class TestMainWindowUnzip : public QObject {
    Q_OBJECT

private slots:
    void unzip_data() {
        QTest::addColumn<QString>("name");
        // 0 plain, 3 damaged, else encrypted
        QTest::addColumn<int>("archive");
        // the answers to the password question, "-" for a cancel
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<QString>("outcome"); // "opened", "told", "quiet" or "refused"
        QTest::newRow("upper-case extension") << "P.ZIP" << 0 << QStringList{} << "opened";
        QTest::newRow("password cancelled") << "P.zip" << 1 << QStringList{"-"} << "quiet";
        QTest::newRow("right password") << "P.zip" << 1 << QStringList{"pw"} << "opened";
        QTest::newRow("right at the third try") << "P.zip" << 1 << QStringList{"a", "b", "pw"} << "opened";
        QTest::newRow("wrong three times") << "P.zip" << 1 << QStringList{"a", "b", "c"} << "told";
        QTest::newRow("damaged") << "P.zip" << 3 << QStringList{} << "told";
        QTest::newRow("named ..zip") << "..zip" << 0 << QStringList{} << "told";
        QTest::newRow("not a zip name") << "P.txt" << 0 << QStringList{} << "refused";
    }

    // nothing but the opened folder is ever made: a refused, wrong-password or damaged archive leaves
    // no folder behind
    void unzip() {
        QFETCH(QString, name);
        QFETCH(int, archive);
        QFETCH(QStringList, passwords);
        QFETCH(QString, outcome);
        MainWindowFixture f;
        const QString path = f.write("in/" + name, "PK\x03\x04 not the rest of an archive");
        if (archive != 3 && QFile::remove(path)) // an archive never replaces a file of its name
            WriteZip(path, kEntries, archive == 0 ? "" : "pw");
        for (const QString& password : passwords)
            f.ui.queuePassword(password == "-" ? std::nullopt : std::optional(password));
        f.open();
        f.ui.queueFileChoice(path);
        QTest::mouseClick(f.window->image1(4), Qt::LeftButton);
        QVERIFY(f.waitForRun());
        QCOMPARE(f.filesBelow(path.chopped(4)), outcome == "opened" ? kEntries : QStringList{});
        QCOMPARE(QDir(f.path("in")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 outcome == "opened" ? QStringList({name.chopped(4), name}) : QStringList{name});
        // a "try again" before each further question, then the failure named with its reason
        int tries = 0;
        for (const auto& box : f.ui.messageBoxes)
            tries += box.text.startsWith("Wrong password for \"P.zip\". Try again.");
        QCOMPARE(tries, std::max<int>(0, int(passwords.size()) - 1));
        for (const QString& prompt : f.ui.passwordPrompts)
            QCOMPARE(prompt, QString("Password of \"%1\":").arg(name));
        QCOMPARE((QList<bool>{!f.ui.opened.isEmpty(), f.ui.messageBoxes.size() > tries, f.ui.beeps > 0}),
                 (QList<bool>{outcome == "opened", outcome == "told", outcome == "refused"}));
        if (outcome == "told")
            QVERIFY(f.ui.messageBoxes.last().text.startsWith(
                "The archive was not unpacked; no folder was changed.\r\n"));
    }

    // a folder that holds the user's edits is never replaced without asking, in the user's language (1036
    // reads the shipped French file); the answer is a button's index, "" unpacked nowhere
    void replaceQuestion() {
        const QString english = "The folder \"%1\" already holds files.\r\nReplace it with the archive's "
                                "content, or unpack into a new folder \"P (3)\" beside it?";
        const QString french = "Le dossier \"%1\" contient déjà des fichiers.\r\nLe remplacer par le contenu de "
                               "l'archive, ou décompresser dans un nouveau dossier \"P (3)\" à côté ?";
        for (const auto& [answer, unpackedInto, lcid] :
             {std::tuple(0, "P", 1033), {1, "P (3)", 1033}, {2, "", 1033}, {0, "P", 1036}}) {
            const QString question = lcid == 1036 ? french : english;
            const QStringList buttons = lcid == 1036 ? QStringList{"&Remplacer", "&Nouveau dossier", "Annuler"}
                                                     : QStringList{"&Replace", "&New folder", "Cancel"};
            MainWindowFixture f;
            QVERIFY(QFile::copy(QFINDTESTDATA("../../lng/fra.lng"), f.path("program/Lng/fra.lng")));
            f.setup.lcid = lcid;
            const QString path = f.path("in/P.zip");
            f.write("in/P/edited.bas", "my edits");
            f.write("in/P (2)/other.bas", "taken");
            WriteZip(path, kEntries, "");
            f.open();
            f.ui.queueFileChoice(path);
            f.ui.queueMessageBoxAnswer(answer);
            QTest::mouseClick(f.window->image1(4), Qt::LeftButton);
            QVERIFY(f.waitForRun());
            QCOMPARE(f.ui.messageBoxes.size(), 1);
            QCOMPARE(f.ui.messageBoxes[0].text, question.arg(f.path("in/P")));
            QCOMPARE(f.ui.choiceButtons, QList<QStringList>{buttons});
            QCOMPARE(f.filesBelow(f.path("in/P")), QString(unpackedInto) == "P" ? kEntries : QStringList{"edited.bas"});
            QCOMPARE(f.filesBelow(f.path("in/P (2)")), QStringList{"other.bas"});
            QCOMPARE(f.filesBelow(f.path("in/P (3)")), QString(unpackedInto) == "P (3)" ? kEntries : QStringList{});
            QCOMPARE(f.ui.opened.size(), *unpackedInto ? 1 : 0);
        }
    }

    // the system's common reasons reach the user in the window's language, however deep they arose: English
    // keeps the whole sentence, French says the path and the reason
    void failureInTheWindowsLanguage() {
        for (const auto& [lcid, detail] :
             {std::pair<int, QString>(1033, "Could not open the archive \"%1\": it is a folder, not a file."),
              {1036, "%1 \u2014 c'est un dossier, pas un fichier"}}) {
            MainWindowFixture f;
            QVERIFY(QFile::copy(QFINDTESTDATA("../../lng/fra.lng"), f.path("program/Lng/fra.lng")));
            f.setup.lcid = lcid;
            f.write("in/F.zip/inside.bas", "a folder named like an archive");
            f.open();
            f.ui.queueFileChoice(f.path("in/F.zip"));
            QTest::mouseClick(f.window->image1(4), Qt::LeftButton);
            QVERIFY(f.waitForRun());
            QCOMPARE(f.ui.messageBoxes.size(), 1);
            QVERIFY2(f.ui.messageBoxes[0].text.endsWith("\r\n" + detail.arg(f.path("in/F.zip"))),
                     qPrintable(f.ui.messageBoxes[0].text));
            QCOMPARE(f.filesBelow(f.path("in")), QStringList{"F.zip/inside.bas"});
        }
    }

    // the progress window's Cancel stops the job, clicked while the worker waits on the password; the
    // folder the archive would have replaced stays
    void progressAndCancel() {
        MainWindowFixture f;
        const QString path = f.path("in/P.zip");
        f.write("in/P/edited.bas", "my edits");
        WriteZip(path, kEntries, "pw");
        f.open();
        f.ui.queueFileChoice(path);
        f.ui.queueMessageBoxAnswer(0); // replace
        f.ui.queuePassword("pw");
        QProgressDialog* progress = nullptr;
        f.ui.whilePasswordAsked = [&] {
            progress = f.window->findChild<QProgressDialog*>();
            QVERIFY(progress != nullptr);
            QCOMPARE(progress->maximum(), UnzipJob::kProgressUnits);
            progress->findChild<QPushButton*>()->click();
        };
        QTest::mouseClick(f.window->image1(4), Qt::LeftButton);
        QVERIFY(f.waitForRun());
        QVERIFY(progress != nullptr);
        QCOMPARE(f.filesBelow(f.path("in/P")), QStringList{"edited.bas"});
        QVERIFY(f.ui.messageBoxes.size() == 1 && f.ui.opened.isEmpty() &&
                f.window->image1(4)->isEnabled());
        QCOMPARE(QDir(f.path("in")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (QStringList{"P", "P.zip"}));
    }

    // however far its worker has got, a cancelled job asks no password, reports no end and returns; it
    // runs once
    void unzipJobCancelledWhileAsking() {
        QTemporaryDir folder;
        const QString archive = folder.filePath("P.zip");
        WriteZip(archive, {"P.vbp"}, "pw");
        for (const int head : {0, 200}) { // ms the worker is given before the cancel
            UnzipJob job({archive, folder.filePath("P" + QString::number(head)), UnzipLimits()});
            int asked = 0, ended = 0;
            connect(&job, &UnzipJob::passwordNeeded, this,
                    [&](const QString&, int, std::optional<QString>* password) {
                        ++asked;
                        *password = "pw";
                    });
            connect(&job, &UnzipJob::ended, this, [&] { ++ended; });
            QVERIFY(job.start());
            QThread::msleep(head);
            job.cancelAndWait();
            QCoreApplication::processEvents(); // nothing is left to come either
            QVERIFY(asked == 0 && ended == 0 && !job.isRunning() && !job.start());
        }
    }
};

QTEST_MAIN(TestMainWindowUnzip)
#include "test_main_window_unzip.moc"

// the main window while it archives a project of 5,000 files: its event loop keeps turning, its progress
// keeps moving, and Cancel stops the run at once without leaving an archive behind
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <random>
#include <zip.h>

#include "app/frame3d.h"
#include "app/pelm_button.h"
#include "app/vista_prog.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

constexpr int kProjectFiles = 5000;
constexpr qint64 kLongestStall = 100;        // ms the event loop may go without turning
constexpr qint64 kLongestProgressWait = 250; // ms the window may go without showing new progress
constexpr qint64 kLongestCancel = 1000;      // ms from Cancel to the run's end

const char* const kWords[] = {"Dim", "As",      "String",  "Long", "If",    "Then",    "End",    "Sub",
                              "Set", "Private", "Invoice", "Me",   "Total", "Caption", "Nothing"};

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray SourceText(std::mt19937& random, const QByteArray& header) {
    QByteArray text = header;
    const int size = 1024 + static_cast<int>(random() % (7 * 1024));
    while (text.size() < size) {
        for (int words = 2 + static_cast<int>(random() % 8); words > 0; --words)
            text += QByteArray(kWords[random() % std::size(kWords)]) + ' ';
        text += "\r\n";
    }
    return text;
}

// root/App/App.vbp and exactly `files` files it names: forms (every other one with a .frx), modules,
// classes, and some modules in root/Shared reached through "..\"; 1 to 8 KiB each, the same bytes on
// every run.
QString WriteLargeProject(const QString& root, int files) {
    for (const char* folder : {"App/Forms", "App/Modules", "App/Classes", "Shared"})
        QDir(root).mkpath(folder);
    std::mt19937 random(20250717u);
    QByteArray vbp = "Type=Exe\r\n";
    for (int i = 0, written = 0; written < files; ++i) {
        const QByteArray name = QByteArray::number(10000 + i).mid(1);
        if (i % 3 == 0) {
            WriteFile(root + "/App/Forms/frm" + name + ".frm",
                      SourceText(random, "VERSION 5.00\r\nBegin VB.Form frm" + name + "\r\nEnd\r\n"));
            vbp += "Form=Forms\\frm" + name + ".frm\r\n";
            if (++written < files && i % 2 == 0) {
                QByteArray blob(1024 + static_cast<int>(random() % (7 * 1024)), '\0');
                for (char& byte : blob)
                    byte = static_cast<char>(random());
                WriteFile(root + "/App/Forms/frm" + name + ".frx", blob);
                ++written;
            }
        } else if (i % 3 == 1) {
            const bool shared = i % 100 == 1;
            WriteFile(root + (shared ? "/Shared/mod" : "/App/Modules/mod") + name + ".bas",
                      SourceText(random, "Attribute VB_Name = \"mod" + name + "\"\r\n"));
            vbp += "Module=mod" + name + "; " + (shared ? "..\\Shared\\mod" : "Modules\\mod") + name +
                   ".bas\r\n";
            ++written;
        } else {
            WriteFile(root + "/App/Classes/cls" + name + ".cls",
                      SourceText(random, "VERSION 1.0 CLASS\r\nAttribute VB_Name = \"cls" + name + "\"\r\n"));
            vbp += "Class=cls" + name + "; Classes\\cls" + name + ".cls\r\n";
            ++written;
        }
    }
    vbp += "Name=\"App\"\r\nMajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\n";
    WriteFile(root + "/App/App.vbp", vbp);
    return root + "/App/App.vbp";
}

qint64 EntriesIn(const QString& archive) {
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, nullptr);
    if (zip == nullptr)
        return -1;
    const qint64 entries = zip_get_num_entries(zip, 0);
    zip_discard(zip);
    return entries;
}

// What the window shows of a run's progress.
struct Shown {
    int bar1 = 0;
    int bar2 = 0;
    QString label;
    bool operator==(const Shown&) const = default;
};

Shown ShownBy(const MainWindow& window) {
    return {window.vistaProg1()->value(), window.vistaProg2()->value(), window.label2()->text()};
}

struct RunTimings {
    bool ended = false;
    qint64 longestStall = 0;        // between two ticks of the 10 ms timer, the click's own work included
    int barAtStall = 0;             // VistaProg1 when that stall ended, to tell where it came from
    qint64 longestProgressWait = 0; // between two changes of what is shown, from the click to the run's end
    int barAtProgressWait = 0;
    qint64 cancelToEnd = -1; // from the click on Cancel to the first tick that finds the run ended
};

// Clicks Btn_Valider and turns the event loop, ticking every 10 ms, until the run has ended or a minute
// has passed. At the first tick that finds VistaProg1 at `cancelAt` of its range or more, Cancel is
// clicked; a negative `cancelAt` lets the run complete.
RunTimings WatchRun(MainWindow& window, double cancelAt) {
    RunTimings timings;
    QEventLoop loop;
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    qint64 lastTick = 0, lastChange = 0, cancelledAt = -1;
    Shown shown;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        const Shown current = ShownBy(window);
        if (now - lastTick > timings.longestStall) {
            timings.longestStall = now - lastTick;
            timings.barAtStall = current.bar1;
        }
        lastTick = now;
        // the run's end counts as a change: the last report must not have come long before it
        if (!(current == shown) || !window.isBusy()) {
            if (now - lastChange > timings.longestProgressWait) {
                timings.longestProgressWait = now - lastChange;
                timings.barAtProgressWait = current.bar1;
            }
            lastChange = now;
            shown = current;
        }
        if (!window.isBusy()) {
            timings.ended = true;
            if (cancelledAt >= 0)
                timings.cancelToEnd = now - cancelledAt;
            loop.quit();
        } else if (cancelAt >= 0 && cancelledAt < 0 &&
                   current.bar1 >= cancelAt * window.vistaProg1()->maximum()) {
            cancelledAt = clock.elapsed();
            window.btnCancelRun()->click();
        }
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);

    shown = ShownBy(window);
    clock.start();
    ticker.start();
    window.btnValider()->click();
    loop.exec();
    return timings;
}

QString Describe(const RunTimings& t) {
    return QStringLiteral("longest stall %1 ms (bar at %2), longest wait for progress %3 ms (bar at %4), "
                          "cancel took %5 ms")
        .arg(t.longestStall)
        .arg(t.barAtStall)
        .arg(t.longestProgressWait)
        .arg(t.barAtProgressWait)
        .arg(t.cancelToEnd);
}

} // namespace

class TestResponsiveness : public QObject {
    Q_OBJECT

    // in memory where the machine has /dev/shm: writing 5,000 files to a busy disk takes half a minute,
    // and only the archive's own writing and flushing matter here; the backups go to the disk
    QTemporaryDir m_projects{QDir("/dev/shm").exists() ? "/dev/shm/corvane-responsiveness-XXXXXX"
                                                       : QDir::tempPath() + "/corvane-responsiveness-XXXXXX"};
    QString m_project;

    // a window with the large project chosen (or a group of it and a small project), its backups going
    // to "backup" below the fixture's folder
    void select(MainWindowFixture& f, bool group) {
        auto& window = f.open();
        if (group) {
            const QString small = f.writeProject("small/Small.vbp", "Small");
            f.choose(f.writeGroup("Big.vbpgroup", "Big", {m_project, "[PATH]" + f.path("backup/"), small}));
        } else {
            f.choose(m_project);
            window.text1(2)->setText(f.path("backup/"));
        }
        QVERIFY(!window.frame3D3()->isHidden());
    }

private slots:
    void initTestCase() {
        QElapsedTimer clock;
        clock.start();
        m_project = WriteLargeProject(m_projects.path(), kProjectFiles);
        qInfo("%d files written in %lld ms", kProjectFiles, clock.elapsed());
    }

    void completeRun_data() {
        QTest::addColumn<bool>("group");
        QTest::newRow("project") << false;
        QTest::newRow("group of it and a small one") << true;
    }

    void completeRun() {
        QFETCH(bool, group);
        MainWindowFixture f;
        select(f, group);
        const RunTimings timings = WatchRun(*f.window, -1);
        qInfo("%s", qPrintable(Describe(timings)));

        QVERIFY2(timings.ended, "the run did not end within a minute");
        QVERIFY2(timings.longestStall <= kLongestStall, qPrintable(Describe(timings)));
        QVERIFY2(timings.longestProgressWait <= kLongestProgressWait, qPrintable(Describe(timings)));
        const QStringList archives = f.filesBelow(f.path("backup"));
        QCOMPARE(archives.size(), group ? 2 : 1);
        // every file and the rewritten project file: a quick run that skipped work proves nothing
        QCOMPARE(EntriesIn(f.path("backup/") + archives.first()), kProjectFiles + 1);
    }

    void cancelledRun_data() {
        QTest::addColumn<bool>("group");
        QTest::addColumn<double>("cancelAt");
        QTest::newRow("project, reading its lines") << false << 0.1;
        QTest::newRow("project, writing") << false << 0.5;
        QTest::newRow("project, verifying") << false << 0.9;
        QTest::newRow("group, writing its first project") << true << 0.5;
    }

    void cancelledRun() {
        QFETCH(bool, group);
        QFETCH(double, cancelAt);
        MainWindowFixture f;
        select(f, group);
        const RunTimings timings = WatchRun(*f.window, cancelAt);
        qInfo("%s", qPrintable(Describe(timings)));

        QVERIFY2(timings.ended, "the run did not end within a minute");
        QVERIFY2(timings.cancelToEnd >= 0, "the run ended before Cancel was clicked");
        QVERIFY2(timings.cancelToEnd <= kLongestCancel, qPrintable(Describe(timings)));
        QVERIFY2(timings.longestStall <= kLongestStall, qPrintable(Describe(timings)));
        // neither the archive nor a temporary file of it
        QCOMPARE(f.filesBelow(f.path("backup")), QStringList());
        QVERIFY(f.ui.messageBoxes().isEmpty());
    }
};

QTEST_MAIN(TestResponsiveness)
#include "test_responsiveness.moc"

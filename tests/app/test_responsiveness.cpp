// the main window while it archives a project of 5,000 files: its event loop keeps turning, its progress
// keeps moving, and Cancel stops the run at once without leaving an archive behind
#include <QElapsedTimer>
#include <QEventLoop>
#include <random>
#include <zip.h>

#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

constexpr int kProjectFiles = 5000;
constexpr qint64 kLongestStall = 100;        // ms the event loop may go without turning
constexpr qint64 kLongestProgressWait = 250; // ms the window may go without showing new progress
constexpr qint64 kLongestCancel = 1000;      // ms from Cancel to the run's end

// root/App/App.vbp naming exactly `files` files of 1 to 8 KiB, the same bytes on every run: modules,
// classes and forms of source text and the forms' binary .frx, in turn
QString WriteLargeProject(const QString& root, int files) {
    const char* const words[] = {"Dim", "As", "String", "If", "Then", "End", "Sub", "Invoice", "Total"};
    const char* const kinds[][2] = {{"Modules/%1.bas", "Module=%1; Modules\\%1.bas\r\n"},
                                    {"Classes/%1.cls", "Class=%1; Classes\\%1.cls\r\n"},
                                    {"Forms/%1.frm", "Form=Forms\\%1.frm\r\n"},
                                    {"Forms/%1.frx", nullptr}};
    std::mt19937 random(20250717u);
    QString vbp = "Type=Exe\r\n";
    for (int i = 0; i < files; ++i) {
        const QString name = "x" + QString::number(i / 4);
        const bool binary = i % 4 == 3;
        QByteArray text = binary ? "" : "Attribute VB_Name = \"" + name.toLatin1() + "\"\r\n";
        for (const int size = 1024 + int(random() % (7 * 1024)); text.size() < size;)
            text += binary ? QByteArray(1, char(random()))
                           : words[random() % 9] + QByteArray(random() % 6 ? " " : "\r\n");
        WriteBytes(root + "/App/" + QString(kinds[i % 4][0]).arg(name), text);
        if (!binary)
            vbp += QString(kinds[i % 4][1]).arg(name);
    }
    WriteBytes(root + "/App/App.vbp",
               vbp.toLatin1() + "Name=\"App\"\r\nMajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\n");
    return root + "/App/App.vbp";
}

qint64 EntriesIn(const QString& archive) {
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, nullptr);
    const qint64 entries = zip ? zip_get_num_entries(zip, 0) : -1;
    return zip ? (zip_discard(zip), entries) : entries;
}

// ms since the start, and how long each thread (by id) has waited in all, ready to run but not run: on a
// machine busier than its processors such waits are the machine's, not the program's (Linux only)
struct Moment {
    qint64 at = 0;
    QHash<QString, qint64> waits;

    explicit Moment(qint64 ms) : at(ms) {
        const QDir threads("/proc/self/task");
        for (const QString& thread : threads.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile stat(threads.filePath(thread + "/schedstat"));
            if (stat.open(QIODevice::ReadOnly))
                waits.insert(thread, stat.readAll().split(' ').value(1).toLongLong() / 1000000);
        }
    }
    // the time since, less the longest wait of `thread`, or of any thread when empty (progress may wait for
    // the window's thread or a worker, one started meanwhile counting from its start)
    qint64 ownGapUntil(const Moment& later, const QString& thread = {}) const {
        qint64 waited = 0;
        for (auto it = later.waits.cbegin(); it != later.waits.cend(); ++it)
            if (thread.isEmpty() || it.key() == thread)
                waited = std::max(waited, it.value() - waits.value(it.key()));
        return later.at - at - std::min(waited, later.at - at);
    }
};

struct RunTimings {
    qint64 stall = 0;        // between two ticks, the click's own work included
    qint64 progressWait = 0; // between two changes shown, from the click to the run's end
    qint64 cancelToEnd = -1; // from the click on Cancel to the tick that finds the run ended
};

// Clicks Btn_Valider and turns the event loop, ticking every 10 ms, until the run has ended or a minute
// has passed. Cancel is clicked the moment VistaProg1 reaches `cancelAt` of its range: a tick could come
// only after the run's end, when the report and the end are handled in one pass of the event loop.
RunTimings WatchRun(MainWindow& window, double cancelAt) {
    RunTimings t;
    QEventLoop loop;
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    const QString windowThread = QFileInfo("/proc/thread-self").symLinkTarget().section('/', -1);
    const auto shownNow = [&] {
        return QStringList{QString::number(window.vistaProg1()->value()),
                           QString::number(window.vistaProg2()->value()), window.label2()->text()};
    };
    QStringList shown = shownNow();
    qint64 cancelledAt = -1;
    clock.start();
    Moment lastTick(0), lastChange(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const Moment now(clock.elapsed());
        t.stall = std::max(t.stall, lastTick.ownGapUntil(now, windowThread));
        lastTick = now;
        // the run's end counts as a change: the last report must not have come long before it
        if (shownNow() != shown || !window.isBusy()) {
            t.progressWait = std::max(t.progressWait, lastChange.ownGapUntil(now));
            lastChange = now;
            shown = shownNow();
        }
        if (!window.isBusy()) {
            t.cancelToEnd = cancelledAt < 0 ? -1 : now.at - cancelledAt;
            loop.quit();
        }
    });
    QObject::connect(window.vistaProg1(), &VistaProg::valueChanged, &loop, [&](int value) {
        if (cancelAt >= 0 && cancelledAt < 0 && window.isBusy() &&
            value >= cancelAt * window.vistaProg1()->maximum()) {
            cancelledAt = clock.elapsed();
            window.btnCancelRun()->click();
        }
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    ticker.start(10);
    window.btnValider()->click();
    loop.exec();
    return t;
}

} // namespace

class TestResponsiveness : public QObject {
    Q_OBJECT

    // in memory where the machine has /dev/shm: writing 5,000 files to a busy disk takes half a minute,
    // and only the archive's own writing and flushing matter here; the backups go to the disk
    QTemporaryDir m_projects{(QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) +
                             "/corvane-responsiveness-XXXXXX"};
    QString m_project;

private slots:
    void initTestCase() { m_project = WriteLargeProject(m_projects.path(), kProjectFiles); }

    void run_data() {
        QTest::addColumn<double>("cancelAt"); // VistaProg1's share at which Cancel is clicked, or never
        QTest::newRow("complete") << -1.0;
        QTest::newRow("cancel while reading the lines") << 0.1;
        QTest::newRow("cancel while writing") << 0.5;
        QTest::newRow("cancel as the archive is finished")
            << 0.72; // lands in the last writes, the flush or the read-back
    }

    void run() {
        QFETCH(double, cancelAt);
        MainWindowFixture f;
        MainWindow& window = f.open();
        f.choose(m_project);
        window.text1(2)->setText(f.path("backup/"));
        if (cancelAt < 0)
            f.ui.queueMessageBoxAnswer(1); // the completion box's OK
        const RunTimings t = WatchRun(window, cancelAt);
        const QByteArray text = "longest stall " + QByteArray::number(t.stall) + " ms, wait for progress " +
                                QByteArray::number(t.progressWait) + " ms, cancel " +
                                QByteArray::number(t.cancelToEnd) + " ms";
        qInfo("%s", text.constData());
        QVERIFY2(!window.isBusy() && t.stall <= kLongestStall, text.constData()); // ended within a minute
        const QStringList archives = f.filesBelow(f.path("backup"));
        if (cancelAt >= 0) {
            QVERIFY2(t.cancelToEnd >= 0 && t.cancelToEnd <= kLongestCancel, text.constData());
            QCOMPARE(archives, QStringList()); // neither the archive nor a temporary file of it
            QVERIFY(f.ui.messageBoxes.isEmpty() && window.btnCancelRun()->isHidden());
            return;
        }
        QVERIFY2(t.progressWait <= kLongestProgressWait && archives.size() == 1, text.constData());
        // every file and the rewritten project file: a quick run that skipped work proves nothing
        QCOMPARE(EntriesIn(f.path("backup/") + archives.first()), kProjectFiles + 1);
    }
};

QTEST_MAIN(TestResponsiveness)
#include "test_responsiveness.moc"

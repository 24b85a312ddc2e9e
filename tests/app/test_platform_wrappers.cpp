// the file dialog, folder browser and shell wrappers over scripted services, and the pure parts of
// the desktop services
#include <QTemporaryDir>
#include <QTest>

#include "app/common_dialog.h"
#include "app/message_box_style.h"
#include "app/shell_ex.h"
#include "app/ui_services.h"
#include "app/unicode_browse_folders.h"
#include "support/scripted_services.h"

using namespace corvane;

class TestPlatformWrappers : public QObject {
    Q_OBJECT

private slots:
    void nameFilters_data();
    void nameFilters();
    void messageBoxLook_data();
    void messageBoxLook();
    void answersOfButtons();

    void commonDialogPassesItsProperties();
    void commonDialogCancel_data();
    void commonDialogCancel();
    void commonDialogNeverProposesAnEarlierChoice();

    void browserSelectionReadsTheSameTwice();
    void browserCancel_data();
    void browserCancel();
    void browserInitialDirectory();
    void browserFlags_data();
    void browserFlags();
    void browserClear();

    void workingFolder_data();
    void workingFolder();
    void shellHandsTheRequestOver_data();
    void shellHandsTheRequestOver();
    void desktopRefusesWhatIsNotThere_data();
    void desktopRefusesWhatIsNotThere();

    void scriptedOkBoxesTakeNoAnswer();
    void scriptedRunningOutFailsTheTest();
};

// --- desktop services, the parts that need no dialog ---------------------------------------------

void TestPlatformWrappers::nameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("archive choice") << "Visual Basic Projects and Groups|*.vbp;*.vbpgroup|Visual Basic "
                                       "Project|*.vbp|VB Project Group|*.vbpgroup"
                                    << QStringList{"Visual Basic Projects and Groups (*.vbp *.vbpgroup)",
                                                   "Visual Basic Project (*.vbp)",
                                                   "VB Project Group (*.vbpgroup)"};
    QTest::newRow("one entry") << "Zipped Visual Basic Project|*.zip"
                               << QStringList{"Zipped Visual Basic Project (*.zip)"};
    QTest::newRow("spaces and empty patterns") << "Both | *.a ; ;*.b |" << QStringList{"Both (*.a *.b)"};
    QTest::newRow("description without patterns dropped") << "A|*.a|Lonely" << QStringList{"A (*.a)"};
    QTest::newRow("entry with empty patterns dropped") << "A||B|*.b" << QStringList{"B (*.b)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestPlatformWrappers::nameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(QtNameFilters(filter), expected);
}

void TestPlatformWrappers::messageBoxLook_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QMessageBox::StandardButtons>("buttons");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
    using B = QMessageBox;
    QTest::newRow("plain OK") << 0 << B::StandardButtons(B::Ok) << B::NoIcon << B::Ok;
    QTest::newRow("removal question 36") << 36 << (B::Yes | B::No) << B::Question << B::Yes;
    QTest::newRow("validation 48") << 48 << B::StandardButtons(B::Ok) << B::Warning << B::Ok;
    QTest::newRow("critical 16") << 16 << B::StandardButtons(B::Ok) << B::Critical << B::Ok;
    QTest::newRow("information 64") << 64 << B::StandardButtons(B::Ok) << B::Information << B::Ok;
    QTest::newRow("yes no cancel, second default")
        << 3 + 256 << (B::Yes | B::No | B::Cancel) << B::NoIcon << B::No;
    QTest::newRow("abort retry ignore, third default")
        << 2 + 512 + 16 << (B::Abort | B::Retry | B::Ignore) << B::Critical << B::Ignore;
    QTest::newRow("default beyond the buttons") << 1 + 512 << (B::Ok | B::Cancel) << B::NoIcon << B::Ok;
    QTest::newRow("retry cancel") << 5 << (B::Retry | B::Cancel) << B::NoIcon << B::Retry;
}

void TestPlatformWrappers::messageBoxLook() {
    QFETCH(int, style);
    QFETCH(QMessageBox::StandardButtons, buttons);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QMessageBox::StandardButton, defaultButton);
    const MessageBoxLook look = LookOfStyle(style);
    QCOMPARE(look.buttons, buttons);
    QCOMPARE(look.icon, icon);
    QCOMPARE(look.defaultButton, defaultButton);
}

void TestPlatformWrappers::answersOfButtons() {
    const QList<QPair<QMessageBox::StandardButton, int>> answers{
        {QMessageBox::Ok, 1},    {QMessageBox::Cancel, 2},  {QMessageBox::Abort, 3},
        {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5},  {QMessageBox::Yes, 6},
        {QMessageBox::No, 7},    {QMessageBox::NoButton, 2}};
    for (const auto& [button, answer] : answers)
        QCOMPARE(AnswerOfButton(button), answer);
}

// --- CommonDialog ------------------------------------------------------------------------------------

void TestPlatformWrappers::commonDialogPassesItsProperties() {
    ScriptedServices ui;
    ui.queueFileChoice(QStringLiteral("/dev/App/App.vbp"));
    CommonDialog dialog(ui);
    dialog.DialogTitle = QStringLiteral("Choose");
    dialog.FileName = QString();
    dialog.InitDir = QStringLiteral("/backups");
    dialog.Filter = QStringLiteral("Visual Basic Project|*.vbp");
    dialog.FilterIndex = 1;
    dialog.Flags = 0x81000;
    dialog.CancelError = true;

    QVERIFY(dialog.ShowOpen(nullptr));
    QCOMPARE(dialog.FileName, QStringLiteral("/dev/App/App.vbp"));
    QCOMPARE(dialog.LastError(), 0);
    QCOMPARE(ui.fileRequests().size(), 1);
    const FileDialogRequest& asked = ui.fileRequests().constFirst();
    QCOMPARE(asked.title, QStringLiteral("Choose"));
    QCOMPARE(asked.fileName, QString());
    QCOMPARE(asked.initDir, QStringLiteral("/backups"));
    QCOMPARE(asked.filter, QStringLiteral("Visual Basic Project|*.vbp"));
    QCOMPARE(asked.filterIndex, 1);
    QCOMPARE(asked.flags, 0x81000u);
}

void TestPlatformWrappers::commonDialogCancel_data() {
    QTest::addColumn<bool>("cancelError");
    QTest::addColumn<int>("error");
    QTest::newRow("cancel raises") << true << CommonDialog::kCancelErrorNumber;
    QTest::newRow("cancel returns an empty name") << false << 0;
}

void TestPlatformWrappers::commonDialogCancel() {
    QFETCH(bool, cancelError);
    QFETCH(int, error);
    ScriptedServices ui;
    ui.queueFileChoice(QStringLiteral("/a/first.vbp"));
    ui.queueFileChoice(std::nullopt);
    ui.queueFileChoice(QStringLiteral("/a/third.vbp"));
    CommonDialog dialog(ui);
    dialog.CancelError = cancelError;

    QVERIFY(dialog.ShowOpen(nullptr));
    QVERIFY(!dialog.ShowOpen(nullptr));
    QCOMPARE(dialog.FileName, QString());
    QCOMPARE(dialog.LastError(), error);
    // a later successful use forgets the cancel
    QVERIFY(dialog.ShowOpen(nullptr));
    QCOMPARE(dialog.FileName, QStringLiteral("/a/third.vbp"));
    QCOMPARE(dialog.LastError(), 0);
}

void TestPlatformWrappers::commonDialogNeverProposesAnEarlierChoice() {
    ScriptedServices ui;
    ui.queueFileChoice(QStringLiteral("/a/first.vbp"));
    ui.queueFileChoice(std::nullopt);
    ui.queueFileChoice(std::nullopt);
    CommonDialog dialog(ui);
    dialog.CancelError = true;
    QVERIFY(dialog.ShowOpen(nullptr));
    // the windows clear FileName before every use; the cancel clears it as well
    dialog.FileName = QString();
    QVERIFY(!dialog.ShowOpen(nullptr));
    QVERIFY(!dialog.ShowOpen(nullptr));
    QCOMPARE(ui.fileRequests().size(), 3);
    QCOMPARE(ui.fileRequests()[1].fileName, QString());
    QCOMPARE(ui.fileRequests()[2].fileName, QString());
}

// --- UnicodeBrowseFolders ------------------------------------------------------------------------------

void TestPlatformWrappers::browserSelectionReadsTheSameTwice() {
    ScriptedServices ui;
    ui.queueFolderChoice(QStringLiteral("/srv/backups"));
    UnicodeBrowseFolders browser(ui);
    browser.DialogTitle = QStringLiteral("Select the Folder to Archive the Sources to");
    browser.Flags = 65;
    QVERIFY(browser.ShowBrowseForFolder(nullptr, true));
    QCOMPARE(browser.SelectedFolder(false, false), QStringLiteral("/srv/backups"));
    QCOMPARE(browser.SelectedFolder(false, false), QStringLiteral("/srv/backups"));
    QCOMPARE(browser.LastError().number, 0);
    QCOMPARE(ui.folderRequests().constFirst().title, browser.DialogTitle);
    QCOMPARE(ui.folderRequests().constFirst().flags, 65u);
}

void TestPlatformWrappers::browserCancel_data() {
    QTest::addColumn<bool>("cancelError");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("description");
    QTest::newRow("cancel error set") << true << qint32(-2147221486) << "ShowBrowseForFolder"
                                      << "Canceled by user";
    QTest::newRow("windows' way") << false << qint32(0) << ""
                                  << "";
}

void TestPlatformWrappers::browserCancel() {
    QFETCH(bool, cancelError);
    QFETCH(qint32, number);
    QFETCH(QString, source);
    QFETCH(QString, description);
    ScriptedServices ui;
    ui.queueFolderChoice(QStringLiteral("/first"));
    ui.queueFolderChoice(std::nullopt);
    UnicodeBrowseFolders browser(ui);
    browser.CancelError = cancelError;
    QVERIFY(browser.ShowBrowseForFolder(nullptr));
    // the second run drops the first selection even though nothing new was chosen
    QVERIFY(!browser.ShowBrowseForFolder(nullptr));
    QCOMPARE(browser.SelectedFolder(), QString());
    QCOMPARE(browser.LastError().number, number);
    QCOMPARE(browser.LastError().source, source);
    QCOMPARE(browser.LastError().description, description);
}

void TestPlatformWrappers::browserInitialDirectory() {
    QTemporaryDir existing;
    QVERIFY(existing.isValid());
    const QStringList proposed{existing.path(), existing.path() + "/not/there", QString()};
    const QStringList passed{existing.path(), QString(), QString()};
    ScriptedServices ui;
    UnicodeBrowseFolders browser(ui);
    for (qsizetype i = 0; i < proposed.size(); ++i) {
        ui.queueFolderChoice(QStringLiteral("/x"));
        browser.InitialDirectory = proposed[i];
        QVERIFY(browser.ShowBrowseForFolder(nullptr));
        QCOMPARE(ui.folderRequests()[i].initialDirectory, passed[i]);
    }
}

void TestPlatformWrappers::browserFlags_data() {
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<quint32>("asked");
    QTest::newRow("the windows' 65") << 65u << 65u;
    QTest::newRow("web addresses bring their companions") << 0x81u << (0x81u | 0x4000u | 0x40u | 0x10u);
    QTest::newRow("shareable brings the new style") << 0x8000u << 0x8040u;
}

void TestPlatformWrappers::browserFlags() {
    QFETCH(quint32, flags);
    QFETCH(quint32, asked);
    ScriptedServices ui;
    ui.queueFolderChoice(std::nullopt);
    UnicodeBrowseFolders browser(ui);
    browser.Flags = flags;
    QVERIFY(!browser.ShowBrowseForFolder(nullptr));
    QCOMPARE(ui.folderRequests().constFirst().flags, asked);
    QCOMPARE(browser.Flags, flags);
}

void TestPlatformWrappers::browserClear() {
    ScriptedServices ui;
    ui.queueFolderChoice(std::nullopt);
    UnicodeBrowseFolders browser(ui);
    browser.DialogTitle = QStringLiteral("t");
    browser.Flags = 65;
    browser.InitialDirectory = QStringLiteral("/tmp");
    browser.CancelError = true;
    QVERIFY(!browser.ShowBrowseForFolder(nullptr));
    QVERIFY(browser.LastError().number != 0);
    browser.Clear();
    QCOMPARE(browser.DialogTitle, QString());
    QCOMPARE(browser.Flags, 0u);
    QCOMPARE(browser.InitialDirectory, QString());
    QVERIFY(!browser.CancelError);
    QCOMPARE(browser.LastError().number, 0);
}

// --- ShellEX --------------------------------------------------------------------------------------

void TestPlatformWrappers::workingFolder_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("folder");
    QTest::newRow("windows folder") << "D:\\Backups\\MyApp"
                                    << "D:\\Backups";
    QTest::newRow("drive root child") << "D:\\Backups"
                                      << "D:";
    QTest::newRow("this machine's folder") << "/home/u/Backups/MyApp"
                                           << "/home/u/Backups";
    QTest::newRow("trailing separator") << "/home/u/Backups/"
                                        << "/home/u/Backups";
    QTest::newRow("child of the root") << "/Backups"
                                       << "/";
    QTest::newRow("web address") << "https://example.org/help/index.html"
                                 << "";
    QTest::newRow("translation proxy address") << "http://translate.example/?u=https://x.org/a"
                                               << "";
    QTest::newRow("bare name") << "readme.txt"
                               << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestPlatformWrappers::workingFolder() {
    QFETCH(QString, file);
    QFETCH(QString, folder);
    QCOMPARE(ShellWorkingFolder(file), folder);
}

void TestPlatformWrappers::shellHandsTheRequestOver_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("verb");
    QTest::addColumn<qint64>("servicesResult");
    QTest::addColumn<qint64>("result");
    QTest::addColumn<bool>("handedOver");
    QTest::newRow("folder opened") << "/srv/b/MyApp"
                                   << "open" << qint64(321) << qint64(321) << true;
    QTest::newRow("verb in capitals") << "/srv/b/MyApp"
                                      << "OPEN" << qint64(5) << qint64(5) << true;
    QTest::newRow("no verb") << "https://example.org"
                             << "" << qint64(7) << qint64(7) << true;
    QTest::newRow("refused by the desktop") << "/srv/missing"
                                            << "open" << qint64(0) << qint64(0) << true;
    QTest::newRow("error inside") << "/srv/b"
                                  << "open" << qint64(-1) << qint64(-1) << true;
    QTest::newRow("odd negative is an error") << "/srv/b"
                                              << "open" << qint64(-9) << qint64(-1) << true;
    QTest::newRow("unknown verb") << "/srv/b"
                                  << "print" << qint64(5) << qint64(0) << false;
    QTest::newRow("empty name") << ""
                                << "open" << qint64(5) << qint64(0) << false;
}

void TestPlatformWrappers::shellHandsTheRequestOver() {
    QFETCH(QString, file);
    QFETCH(QString, verb);
    QFETCH(qint64, servicesResult);
    QFETCH(qint64, result);
    QFETCH(bool, handedOver);
    ScriptedServices ui;
    ui.setOpenResult(servicesResult);
    QCOMPARE(ShellEX(ui, file, QString(), verb, 1, nullptr), result);
    QCOMPARE(ui.opened().size(), handedOver ? 1 : 0);
    if (handedOver) {
        QCOMPARE(ui.opened().constFirst().target, file);
        QCOMPARE(ui.opened().constFirst().workingFolder, ShellWorkingFolder(file));
    }
}

void TestPlatformWrappers::desktopRefusesWhatIsNotThere_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("missing path") << "/nonexistent-corvane/folder";
    QTest::newRow("windows path on this machine") << "D:\\Backups\\MyApp";
    QTest::newRow("empty") << "";
}

void TestPlatformWrappers::desktopRefusesWhatIsNotThere() {
    QFETCH(QString, target);
    DesktopServices desktop;
    QCOMPARE(ShellEX(desktop, target, QString(), QStringLiteral("open"), 1, nullptr), qint64(0));
}

void TestPlatformWrappers::scriptedOkBoxesTakeNoAnswer() {
    ScriptedServices ui;
    ui.queueMessageBoxAnswer(MsgBox::No);
    QCOMPARE(ui.messageBox(nullptr, "done", "t", MsgBox::OkOnly + MsgBox::Information), MsgBox::Ok);
    QVERIFY(!ui.allAnswersUsed());
    QCOMPARE(ui.messageBox(nullptr, "sure?", "t", MsgBox::YesNo + MsgBox::Question), MsgBox::No);
    QVERIFY(ui.allAnswersUsed());
    QCOMPARE(ui.messageBoxes().size(), 2);
    QCOMPARE(ui.messageBoxes()[1].style, 36);
    ui.setBusyPointer(true);
    ui.setBusyPointer(true);
    ui.setBusyPointer(false);
    QVERIFY(!ui.isBusy());
    QCOMPARE(ui.busyCalls(), (QList<bool>{true, true, false}));
}

void TestPlatformWrappers::scriptedRunningOutFailsTheTest() {
    ScriptedServices ui;
    // the unscripted request must be reported as a failure of this test, which is expected here;
    // without that report the check after it would pass unexpectedly and fail the test
    QEXPECT_FAIL("", "no answer was queued", Continue);
    const auto chosen = ui.chooseOpenFile(nullptr, FileDialogRequest{});
    QVERIFY(!chosen.has_value());
    QCOMPARE(ui.fileRequests().size(), 1);
}

QTEST_MAIN(TestPlatformWrappers)
#include "test_platform_wrappers.moc"

// the file dialog, folder browser, message box and shell wrappers over scripted services
#include <QTemporaryDir>
#include <QTest>

#include "app/common_dialog.h"
#include "app/message_box_style.h"
#include "app/shell_ex.h"
#include "app/unicode_browse_folders.h"
#include "support/scripted_services.h"

using namespace corvane;
using B = QMessageBox;

class TestPlatformWrappers : public QObject {
    Q_OBJECT

private slots:
    void nameFilters() {
        QCOMPARE(QtNameFilters("Projects and Groups|*.vbp;*.vbpgroup|VB Project Group|*.vbpgroup"),
                 (QStringList{"Projects and Groups (*.vbp *.vbpgroup)", "VB Project Group (*.vbpgroup)"}));
        QCOMPARE(QtNameFilters("Both | *.a ; ;*.b |"), QStringList{"Both (*.a *.b)"});
        QCOMPARE(QtNameFilters("A|*.a|Lonely"), QStringList{"A (*.a)"});
        QCOMPARE(QtNameFilters("A||B|*.b"), QStringList{"B (*.b)"});
        QCOMPARE(QtNameFilters(""), QStringList{});
    }

    // buttons, icon and default button of each style; the pressed button comes back as the old answer number
    void messageBoxLook() {
        const struct {
            int style;
            B::StandardButtons buttons;
            B::Icon icon;
            B::StandardButton defaultButton;
        } rows[] = {{0, B::Ok, B::NoIcon, B::Ok},
                    {36, B::Yes | B::No, B::Question, B::Yes},
                    {48, B::Ok, B::Warning, B::Ok},
                    {64, B::Ok, B::Information, B::Ok},
                    {3 + 256, B::Yes | B::No | B::Cancel, B::NoIcon, B::No},
                    {2 + 512 + 16, B::Abort | B::Retry | B::Ignore, B::Critical, B::Ignore},
                    {5 + 512, B::Retry | B::Cancel, B::NoIcon, B::Retry}}; // default beyond the buttons
        for (const auto& row : rows) {
            const MessageBoxLook look = LookOfStyle(row.style);
            QVERIFY2(look.buttons == row.buttons && look.icon == row.icon &&
                         look.defaultButton == row.defaultButton,
                     qPrintable(QString::number(row.style)));
        }
        QCOMPARE((QList<int>{AnswerOfButton(B::Ok), AnswerOfButton(B::Retry), AnswerOfButton(B::No),
                             AnswerOfButton(B::NoButton)}),
                 (QList<int>{MsgBox::Ok, MsgBox::Retry, MsgBox::No, MsgBox::Cancel}));
    }

    // a cancel clears the name, so the earlier choice is not proposed to the next use, and is told as the
    // old error number
    void commonDialog() {
        ScriptedServices ui;
        for (const char* choice : {"/a/first.vbp", "", "/a/third.vbp"})
            ui.queueFileChoice(*choice ? std::optional<QString>(choice) : std::nullopt);
        CommonDialog dialog(ui);
        dialog.DialogTitle = "Choose";
        dialog.InitDir = "/backups";
        dialog.Filter = "Visual Basic Project|*.vbp";
        dialog.FilterIndex = 1;
        dialog.Flags = 0x81000;
        dialog.CancelError = true;
        QVERIFY(dialog.ShowOpen(nullptr) && dialog.FileName == "/a/first.vbp");
        QVERIFY(!dialog.ShowOpen(nullptr) && dialog.FileName.isEmpty());
        QCOMPARE(dialog.LastError(), CommonDialog::kCancelErrorNumber);
        QVERIFY(dialog.ShowOpen(nullptr) && dialog.LastError() == 0);
        const FileDialogRequest& asked = ui.fileRequests.constLast();
        QCOMPARE((QStringList{asked.fileName, asked.title, asked.initDir, asked.filter,
                              QString::number(asked.filterIndex), QString::number(asked.flags, 16)}),
                 (QStringList{"", "Choose", "/backups", dialog.Filter, "1", "81000"}));
    }

    // a second run drops the first selection though nothing new was chosen; a missing folder is not proposed
    void browser() {
        QTemporaryDir existing;
        ScriptedServices ui;
        ui.queueFolderChoice(QString("/srv/backups"));
        ui.queueFolderChoice(std::nullopt);
        UnicodeBrowseFolders browser(ui);
        browser.DialogTitle = "Select";
        browser.Flags = 0x81; // web addresses need their companion flags
        browser.CancelError = true;
        browser.InitialDirectory = existing.path();
        QVERIFY(browser.ShowBrowseForFolder(nullptr, true));
        QCOMPARE(browser.SelectedFolder(false, false), QString("/srv/backups"));
        browser.InitialDirectory = existing.path() + "/not/there";
        QVERIFY(!browser.ShowBrowseForFolder(nullptr) && browser.SelectedFolder().isEmpty());
        QCOMPARE(ui.folderRequests[0].title + "|" + ui.folderRequests[0].initialDirectory + "|" +
                     ui.folderRequests[1].initialDirectory,
                 "Select|" + existing.path() + "|");
        QCOMPARE(ui.folderRequests[0].flags, 0x81u | 0x4000u | 0x40u | 0x10u);
        const auto error = browser.LastError();
        QCOMPARE(QString::number(error.number) + "|" + error.source + "|" + error.description,
                 QString("-2147221486|ShowBrowseForFolder|Canceled by user"));
    }

    void workingFolder() {
        const QStringList cases{"D:\\Backups\\MyApp>D:\\Backups",
                                "D:\\Backups>D:",
                                "/home/u/Backups/MyApp>/home/u/Backups",
                                "/Backups>/",
                                "http://translate.example/?u=https://x.org/a>",
                                "readme.txt>"};
        for (const QString& row : cases)
            QCOMPARE(ShellWorkingFolder(row.section('>', 0, 0)), row.section('>', 1));
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
        QCOMPARE(run("/srv/missing", "open", 0), QString("0|/srv/missing|/srv"));
        QCOMPARE(run("/srv/b", "", -9), QString("-1|/srv/b|/srv")); // an error inside; no verb is "open"
        QCOMPARE(run("/srv/b", "print", 5), QString("0|-"));
        QCOMPARE(run("", "open", 5), QString("0|-"));
        DesktopServices desktop; // the real desktop refuses what is not there
        for (const QString& target : {QString("/nonexistent-corvane/f"), QString("D:\\Backups"), QString()})
            QCOMPARE(ShellEX(desktop, target, QString(), "open", 1, nullptr), qint64(0));
    }
};

QTEST_MAIN(TestPlatformWrappers)
#include "test_platform_wrappers.moc"

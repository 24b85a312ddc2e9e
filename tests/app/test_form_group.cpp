// the group editor: validation, list editing, file choices, saving and closing
#include <functional>

#include "app/form_group.h"
#include "core/locale/string_table.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(missing)");
}

// one shown editor with its scripted services and the main window's path box
struct Editor {
    ScriptedServices ui;
    StringTable strings;
    QLineEdit mainPath{"/earlier.vbp"};
    FormGroup form;

    Editor(const QStringList& fields, const QStringList& linked, const TranslationFile& language = {})
        : form(ui, strings, language, CodePage::Windows1252, &mainPath) {
        for (int i = 0; i < 4; ++i)
            form.text1(i)->setText(fields.value(i));
        form.list1()->addItems(linked);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    // the four boxes, then the list
    QStringList state() const {
        QStringList all;
        for (int i = 0; i < 4; ++i)
            all << form.text1(i)->text();
        for (int row = 0; row < form.list1()->count(); ++row)
            all << form.list1()->item(row)->text();
        return all;
    }
    QString focused() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() + ControlIndexSuffix(focus) : QString();
    }
};

} // namespace

class TestFormGroup : public QObject {
    Q_OBJECT

private slots:
    // one warning each time, and the window stays with its fields so that they can be mended, nothing
    // handed back; saving (as the main window's tests do) is proven where it succeeds
    void refusedSaveKeepsTheFields_data() {
        QTest::addColumn<int>("empty");     // the first empty field, every later box empty too; 4: the list
        QTest::addColumn<QString>("focus"); // where the empty field is told, the focus goes
        QTest::newRow("file name") << 0 << "Text10";
        QTest::newRow("group name") << 1 << "Text11";
        QTest::newRow("main project") << 2 << "Text12";
        QTest::newRow("no linked project") << 4 << "btn_Plus";
        QTest::newRow("file not writable: named") << 5 << QString();
        QTest::newRow("file not writable: the reason in French") << 6 << QString();
    }

    void refusedSaveKeepsTheFields() {
        QFETCH(int, empty);
        QTemporaryDir folder;
        QStringList fields{folder.filePath("missing/G.vbpgroup"), "Acc", "/p/Acc.vbp", "/b/"};
        for (int i = empty; i < 3; ++i)
            fields[i].clear();
        const QStringList linked = empty >= 5 ? QStringList{"/p/Lib.vbp"} : QStringList();
        const TranslationFile french{QFINDTESTDATA("../../lng/fra.lng"), CodePage::Windows1252};
        Editor editor(fields, linked, empty == 6 ? french : TranslationFile{});
        editor.form.btnGroup()->click();
        QCOMPARE(editor.state(), fields + linked);
        QVERIFY(editor.form.isVisible() && editor.mainPath.text() == "/earlier.vbp");
        QCOMPARE(editor.ui.messageBoxes.size(), 1);
        QCOMPARE(editor.ui.messageBoxes[0].style, MsgBox::OkOnly + MsgBox::Exclamation);
        if (empty == 5)
            QVERIFY(editor.ui.messageBoxes[0].text.contains(fields[0]));
        else if (empty == 6)
            QVERIFY2(editor.ui.messageBoxes[0].text.contains(
                         QString::fromUtf8("\u2014 aucun fichier ni dossier de ce nom")),
                     qPrintable(editor.ui.messageBoxes[0].text));
        else
            QTEST(editor.focused(), "focus");
    }

    // only a selected project goes, after a Yes; none stays selected, so a second click asks nothing (an
    // unscripted question fails the test)
    void removal() {
        const QStringList all{"/A.vbp", "/B.vbp", "/C.vbp"};
        for (const auto& [selected, answer, left] :
             {std::tuple(-1, 0, all), std::tuple(1, +MsgBox::Yes, QStringList{"/A.vbp", "/C.vbp"}),
              std::tuple(0, +MsgBox::No, all)}) {
            Editor editor({}, all);
            editor.form.list1()->setCurrentRow(selected);
            if (answer)
                editor.ui.queueMessageBoxAnswer(answer);
            editor.form.btnMoins()->click();
            editor.form.btnMoins()->click();
            QCOMPARE(editor.state().mid(4), left);
            QVERIFY(!answer || editor.ui.messageBoxes[0].text.endsWith("\r\n" + all[selected]));
        }
    }

    // "$" for the folder, then the focus after a Yes: a new file is asked about, a Yes empties the fields
    // under its name (a ".vbg" one becoming this program's) and a No keeps them; a Visual Basic group is
    // read, to be saved under this program's extension; choosing writes nothing
    void chooseGroupFile() {
        const auto choose = [](const QByteArray& content, const QString& name, int answer) {
            QTemporaryDir folder;
            if (!content.isEmpty())
                WriteBytes(folder.filePath(name), content);
            Editor editor({"/old.vbpgroup", "Typed", "/old/Old.vbp", "/old/bk/"}, {"/old/Lib.vbp"});
            editor.ui.queueFileChoice(folder.filePath(name));
            if (answer)
                editor.ui.queueMessageBoxAnswer(answer);
            editor.form.dbPathDialog()->click();
            QString shown = editor.state().join(',') + (answer == MsgBox::Yes ? " " + editor.focused() : "");
            if (QDir(folder.path()).count() != (content.isEmpty() ? 2u : 3u))
                shown += " and a file written";
            return shown.replace(folder.path(), "$");
        };
        QCOMPARE(choose("", "new.vbpgroup", MsgBox::No),
                 QString("/old.vbpgroup,Typed,/old/Old.vbp,/old/bk/,/old/Lib.vbp"));
        QCOMPARE(choose("", "mine.vbg", MsgBox::Yes), QString("$/mine.vbpgroup,,, Text11"));
        QCOMPARE(choose("", "bare", MsgBox::Yes), QString("$/bare.vbpgroup,,, Text11"));
        // a project is not a group: told so (an OK box takes no answer), and nothing changes
        QCOMPARE(choose("Type=Exe\r\n", "Acc.vbp", 0),
                 QString("/old.vbpgroup,Typed,/old/Old.vbp,/old/bk/,/old/Lib.vbp"));
        QCOMPARE(choose("G\r\n/p/A.vbp\r\n[PATH]/b/\r\n/p/L.vbp\r\n", "G.vbpgroup", 0),
                 QString("$/G.vbpgroup,G,/p/A.vbp,/b/,/p/L.vbp"));
        QCOMPARE(choose("VBGROUP 5.0\r\nProject=lib/Lib.vbp\r\nStartupProject=Acc.vbp\r\n", "Suite.VBG", 0),
                 QString("$/Suite.vbpgroup,Suite,$/Acc.vbp,$/Sources.Backup/,$/lib/Lib.vbp"));
    }

    // what each button asks its dialog for (the folder browser starts in the main project's folder); a cancel
    // changes nothing
    void dialogRequests() {
        const struct {
            const char* button;
            QString filter; // none: the folder browser
            int flags;
        } rows[] = {{"DBpathDialog", "VB Project Group|*.vbpgroup|VB Group|*.vbg", 0x80000},
                    {"SavepathDialog", "Visual Basic Project|*.vbp", 0x81000},
                    {"btn_Plus", "Visual Basic project|*.vbp", 0x81000},
                    {"SetPathDialog", QString(), 0x41}};
        for (const auto& row : rows) {
            QTemporaryDir folder;
            const QStringList fields{"", "G", folder.filePath("A.vbp"), "/b/"};
            Editor editor(fields, {"/p/L.vbp"});
            if (row.filter.isNull())
                editor.ui.queueFolderChoice(std::nullopt);
            else
                editor.ui.queueFileChoice(std::nullopt);
            editor.form.findChild<PelmButton*>(row.button)->click();
            QCOMPARE(editor.state(), fields + QStringList{"/p/L.vbp"});
            if (row.filter.isNull()) {
                QCOMPARE(editor.ui.folderRequests.size(), 1);
                QCOMPARE(int(editor.ui.folderRequests[0].flags), row.flags);
                QCOMPARE(editor.ui.folderRequests[0].initialDirectory, folder.path() + "/");
                continue;
            }
            QCOMPARE(editor.ui.fileRequests.size(), 1);
            const FileDialogRequest& asked = editor.ui.fileRequests[0];
            QCOMPARE(asked.filter, row.filter);
            QCOMPARE(int(asked.flags), row.flags);
            QVERIFY(asked.filterIndex == 1 && asked.fileName.isEmpty() && asked.initDir.isEmpty());
        }
    }

    // A group written on Windows in code page 1252 shows its accents; saved unchanged it stays byte for
    // byte as it was, and a changed field is written in that code page too, the others as they were
    void windowsGroupFileRoundTrip() {
        QTemporaryDir folder;
        const QString path = folder.filePath("Compta.vbpgroup");
        const QByteArray bytes = "Compta \xE9t\xE9\n/p/D\xE9v/A.vbp\n/p/L.vbp\n[PATH]/b/D\xE9v/\n";
        WriteBytes(path, bytes);
        for (const QString& name : {QString(), QString("Compta \u00E9t\u00E9 \u20AC")}) {
            Editor editor({}, {});
            editor.ui.queueFileChoice(path);
            editor.form.dbPathDialog()->click();
            QCOMPARE(editor.state(), QStringList({path, "Compta \u00E9t\u00E9", "/p/D\u00E9v/A.vbp",
                                                  "/b/D\u00E9v/", "/p/L.vbp"}));
            if (!name.isNull())
                editor.form.text1(1)->setText(name);
            editor.form.btnGroup()->click();
            QCOMPARE(editor.mainPath.text(), path);
            QCOMPARE(editor.form.result(), int(QDialog::Accepted));
            if (name.isNull())
                QCOMPARE(ReadBytes(path), bytes);
        }
        QCOMPARE(ReadBytes(path),
                 QByteArray("Compta \xE9t\xE9 \x80\r\n/p/D\xE9v/A.vbp\r\n[PATH]/b/D\xE9v/\r\n"
                            "/p/L.vbp\r\n"));
    }

    // A Visual Basic group is saved beside its ".vbpgroup" twin, never over it; a ".vbg" typed for a new
    // group names the ".vbpgroup" it would write, which exists here and is read; a file that appeared
    // since it was chosen is replaced only after a Yes
    void noGroupFileIsReplacedUnasked() {
        QTemporaryDir folder;
        const QByteArray mine = "Mine\r\n/p/M.vbp\r\n[PATH]/b/\r\n/p/L.vbp\r\n";
        WriteBytes(folder.filePath("Suite.vbpgroup"), mine);
        WriteBytes(folder.filePath("Suite.vbg"), "VBGROUP 5.0\r\nStartupProject=A.vbp\r\nProject=L.vbp\r\n");
        Editor fromVbg({}, {});
        fromVbg.ui.queueFileChoice(folder.filePath("Suite.vbg"));
        fromVbg.form.dbPathDialog()->click();
        QCOMPARE(fromVbg.form.text1(0)->text(), folder.filePath("Suite (2).vbpgroup"));
        fromVbg.form.btnGroup()->click();
        QVERIFY(!fromVbg.form.isVisible());
        QCOMPARE(ReadBytes(folder.filePath("Suite.vbpgroup")), mine);
        QVERIFY(ReadBytes(folder.filePath("Suite (2).vbpgroup")).startsWith("Suite\r\n"));

        Editor typed({}, {});
        typed.ui.queueFileChoice(folder.filePath("Suite.VBG"));
        typed.form.dbPathDialog()->click();
        QCOMPARE(typed.state(),
                 QStringList({folder.filePath("Suite.vbpgroup"), "Mine", "/p/M.vbp", "/b/", "/p/L.vbp"}));

        Editor late({}, {});
        late.ui.queueFileChoice(folder.filePath("Late.vbpgroup"));
        late.ui.queueMessageBoxAnswer(MsgBox::Yes);
        late.form.dbPathDialog()->click();
        late.form.text1(1)->setText("Late");
        late.form.text1(2)->setText("/p/A.vbp");
        late.form.list1()->addItem("/p/L.vbp");
        WriteBytes(folder.filePath("Late.vbpgroup"), mine);
        for (int answer : {+MsgBox::No, +MsgBox::Yes}) {
            late.ui.queueMessageBoxAnswer(answer);
            late.form.btnGroup()->click();
            QCOMPARE(late.ui.messageBoxes.last().text,
                     folder.filePath("Late.vbpgroup") +
                         "\r\nThis file already exists. Do you want to replace it ?");
            QCOMPARE(ReadBytes(folder.filePath("Late.vbpgroup")) == mine, answer == MsgBox::No);
            QCOMPARE(late.form.isVisible(), answer == MsgBox::No);
        }
    }

    // a paste loses its line breaks and control characters; a name that cannot be a folder, or that the
    // code page cannot hold, is refused with a message and the focus on it, and nothing is written
    void groupNameIsOneLineAndAFolderName() {
        QTemporaryDir folder;
        const QString path = folder.filePath("G.vbpgroup");
        Editor editor({path, "", "/p/A.vbp", "/b/"}, {"/p/L.vbp"});
        QCOMPARE(editor.focused(), QString("Text11"));
        editor.form.text1(1)->insert("Compta\r\n2024\t\u2028!");
        QCOMPARE(editor.form.text1(1)->text(), QString("Compta2024!"));
        // which names are folder names is the core's table; here, that each refusal is told
        for (const auto& [name, told] :
             {std::pair<QString, QString>("../x", "The group name is the name of its"),
              {"\u65E5", "This text cannot be stored in a project group file:\r\n\u65E5"}}) {
            editor.form.text1(1)->setText(name);
            editor.form.btnGroup()->click();
            QVERIFY2(editor.ui.messageBoxes.last().text.startsWith(told), qPrintable(name));
            QCOMPARE(editor.focused(), QString("Text11"));
        }
        QVERIFY(editor.form.isVisible() && !QFile::exists(path));
    }

    // Escape, "Return" and the title bar ask only when something changed since the file was last read
    // or saved: Cancel stays, No closes without writing, Yes saves and closes
    void closingAsksOnlyAboutChanges() {
        const std::function<void(FormGroup&)> ways[] = {
            [](FormGroup& form) { QTest::keyClick(&form, Qt::Key_Escape); },
            [](FormGroup& form) { form.btnAnnuler()->click(); }, [](FormGroup& form) { form.close(); }};
        for (const int answer : {0, +MsgBox::Cancel, +MsgBox::No, +MsgBox::Yes}) { // 0: nothing changed
            for (const auto& close : ways) {
                QTemporaryDir folder;
                const QString path = folder.filePath("G.vbpgroup");
                const bool changed = answer != 0;
                Editor editor(changed ? QStringList{path, "G", "/p/A.vbp", "/b/"} : QStringList(),
                              changed ? QStringList{"/p/L.vbp"} : QStringList());
                if (answer)
                    editor.ui.queueMessageBoxAnswer(answer);
                close(editor.form);
                QCOMPARE(editor.ui.messageBoxes.size(), changed ? 1 : 0);
                if (changed)
                    QCOMPARE(editor.ui.messageBoxes[0].style, MsgBox::YesNoCancel + MsgBox::Question);
                QCOMPARE(editor.form.isVisible(), answer == MsgBox::Cancel);
                QCOMPARE(QFile::exists(path), answer == MsgBox::Yes);
                QCOMPARE(editor.mainPath.text(), answer == MsgBox::Yes ? path : QString("/earlier.vbp"));
            }
        }
    }

    // the main project or a linked one (compared as the core's table shows) is not added again, and the
    // status text says why; a new project is added and clears it
    void aProjectIsInTheGroupOnce() {
        QTemporaryDir folder;
        const QStringList fields{"", "G", folder.filePath("A.vbp"), "/b/"};
        Editor editor(fields, {"/p/L.vbp"});
        for (const auto& [button, chosen, status] :
             {std::tuple(editor.form.btnPlus(), folder.path() + "/./A.vbp", true),
              {editor.form.savePathDialog(), "/p/L.vbp", true},
              {editor.form.btnPlus(), "/p/N.vbp", false}}) {
            editor.ui.queueFileChoice(chosen);
            button->click();
            QCOMPARE(editor.form.lblStatus()->text(),
                     status ? "This project is already in the group: " + chosen : QString());
        }
        QCOMPARE(editor.state(), fields + QStringList({"/p/L.vbp", "/p/N.vbp"}));
    }
};

QTEST_MAIN(TestFormGroup)
#include "test_form_group.moc"

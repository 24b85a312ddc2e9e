// the group editor: its controls, validation, list editing, file choices and saving
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/control_lookup.h"
#include "app/form_group.h"
#include "app/pelm_button.h"
#include "core/string_table.h"
#include "support/scripted_services.h"

using namespace corvane;

namespace {

const int kQuestion = MsgBox::YesNo + MsgBox::Question;
const int kWarning = MsgBox::OkOnly + MsgBox::Exclamation;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// one shown editor with its scripted services and the main window's path box
struct Editor {
    ScriptedServices ui;
    StringTable strings;
    QLineEdit mainPath{"/earlier.vbp"};
    std::unique_ptr<FormGroup> form;

    explicit Editor(const QString& languageFile = {}) {
        if (!languageFile.isEmpty())
            strings = StringTable::FromIniFile(IniFile::Load(QFile::encodeName(languageFile).toStdString()));
        form = std::make_unique<FormGroup>(ui, strings, languageFile, &mainPath);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void fill(const QStringList& fields, const QStringList& linked) {
        for (int i = 0; i < 4; ++i)
            form->text1(i)->setText(fields.value(i));
        form->list1()->clear();
        form->list1()->addItems(linked);
    }
    // the four boxes, then the list
    QStringList state() const {
        QStringList all;
        for (int i = 0; i < 4; ++i)
            all << form->text1(i)->text();
        for (int row = 0; row < form->list1()->count(); ++row)
            all << form->list1()->item(row)->text();
        return all;
    }
    QString focused() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() + ControlIndexSuffix(focus) : QString();
    }
};

const QStringList kFilled{"/g.vbpgroup", "Acc", "/p/Acc.vbp", "/b/"};

} // namespace

class TestFormGroup : public QObject {
    Q_OBJECT

private slots:
    void designedThenTranslated() {
        Editor plain;
        QCOMPARE(plain.form->windowTitle(), QString("Visual Basic\u00A9 project group to create:"));
        const QStringList labels{"Create or modify a Project Group",
                                 "Linked Projects :", "Main Project :", "Group name :", "Save Path :"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(findControlAs<QLabel>(plain.form.get(), "Label1", i)->text(), labels[i]);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(findControlAs<QLineEdit>(plain.form.get(), "Text1", i)->isReadOnly(), i != 1);
            const QImage picture = plain.form->text1(i)->grab().toImage();
            QCOMPARE(picture.pixelColor(picture.width() - 8, picture.height() / 2),
                     i != 1 ? QColor(224, 224, 224) : QColor(Qt::white));
        }
        // the fields run from top to bottom in this order
        int bottom = -1;
        const FormGroup& f = *plain.form;
        for (QWidget* field :
             std::array<QWidget*, 5>{f.text1(0), f.text1(1), f.text1(2), f.list1(), f.text1(3)}) {
            const QRect box(field->mapTo(plain.form.get(), QPoint()), field->size());
            QVERIFY(box.top() > bottom && plain.form->rect().contains(box));
            bottom = box.bottom();
        }

        QTemporaryDir folder;
        const QString file = folder.filePath("fra.lng");
        QVERIFY(WriteAll(
            file, "[frmMain]\r\nLabel13=Wrong window\r\n[frmGroup]\r\nForm=Groupe\r\nLabel14=Chemin :\r\n"
                  "Text10=No caption\r\nText10ToolTipText=Fichier\r\n"
                  "[Strings]\r\nString3=Erreur de saisie\r\nString4=Choisissez|le fichier\r\n"
                  "String5=\r\nString6=###END###\r\n"));
        Editor french(file);
        QCOMPARE(french.form->windowTitle(), QString("Groupe"));
        QCOMPARE(french.form->label1(4)->text(), QString("Chemin :"));
        QCOMPARE(french.form->label1(3)->text(), QString("Group name :"));
        QCOMPARE(french.form->text1(0)->text(), QString());
        QCOMPARE(french.form->text1(0)->toolTip(), QString("Fichier"));
        // messages come from the table, "|" as a line break; an empty entry is English
        french.form->btnGroup()->click();
        french.form->text1(0)->setText("/x.vbpgroup");
        french.form->btnGroup()->click();
        QCOMPARE(french.ui.messageBoxes()[0].text, QString("Choisissez\r\nle fichier"));
        QCOMPARE(french.ui.messageBoxes()[0].title, QString("Erreur de saisie"));
        QCOMPARE(french.ui.messageBoxes()[1].text, QString("Please enter the project group name !"));
    }

    void validationInOrder_data() {
        QTest::addColumn<int>("empty"); // the box left empty, 4 for the list
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("group file") << 0 << "Please select the project group file name !"
                                    << "Text10";
        QTest::newRow("name") << 1 << "Please enter the project group name !"
                              << "Text11";
        QTest::newRow("main project") << 2 << "Please choose the main project for the project group !"
                                      << "Text12";
        QTest::newRow("linked projects") << 4 << "A project group must contain multiple projects !"
                                         << "btn_Plus";
    }

    void validationInOrder() {
        QFETCH(int, empty);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Editor editor;
        // every later field empty too: only the first failure is reported
        QStringList fields = kFilled;
        for (int i = empty; i < 3; ++i)
            fields[i].clear();
        editor.fill(fields, {});
        editor.form->btnGroup()->click();

        QCOMPARE(editor.ui.messageBoxes().size(), 1);
        QCOMPARE(editor.ui.messageBoxes()[0].text, message);
        QCOMPARE(editor.ui.messageBoxes()[0].title, QString("Input error"));
        QCOMPARE(editor.ui.messageBoxes()[0].style, kWarning);
        QCOMPARE(editor.focused(), focus);
        QVERIFY(editor.form->isVisible());
        QCOMPARE(editor.state(), fields);
        QCOMPARE(editor.mainPath.text(), QString("/earlier.vbp"));
    }

    void removal_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("answer"); // 0: no question expected
        QTest::addColumn<QStringList>("after");
        QTest::newRow("nothing selected") << -1 << 0 << QStringList{"/A.vbp", "/B.vbp", "/C.vbp"};
        QTest::newRow("middle, yes") << 1 << int(MsgBox::Yes) << QStringList{"/A.vbp", "/C.vbp"};
        QTest::newRow("first, no") << 0 << int(MsgBox::No) << QStringList{"/A.vbp", "/B.vbp", "/C.vbp"};
    }

    void removal() {
        QFETCH(int, selected);
        QFETCH(int, answer);
        QFETCH(QStringList, after);
        Editor editor;
        editor.fill({}, {"/A.vbp", "/B.vbp", "/C.vbp"});
        editor.form->list1()->setCurrentRow(selected);
        if (answer)
            editor.ui.queueMessageBoxAnswer(answer);
        editor.form->btnMoins()->click();
        // nothing is selected afterwards, so a second click asks nothing
        editor.form->btnMoins()->click();

        QCOMPARE(editor.ui.messageBoxes().size(), answer ? 1 : 0);
        if (answer) {
            QCOMPARE(editor.ui.messageBoxes()[0].text, "Are you sure you want to delete the project :\r\n/" +
                                                           QString(QChar('A' + selected)) + ".vbp");
            QCOMPARE(editor.ui.messageBoxes()[0].title, QString("Deleting..."));
            QCOMPARE(editor.ui.messageBoxes()[0].style, kQuestion);
        }
        QCOMPARE(editor.state().mid(4), after);
    }

    void chooseGroupFile_data() {
        QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");        // 0: no question expected
        QTest::addColumn<QStringList>("after"); // boxes then list; "$" stands for the folder
        const QStringList typed{"/old.vbpgroup", "Typed", "/old/Old.vbp", "/old/bk/", "/old/Lib.vbp"};
        QTest::newRow("existing group replaces every field")
            << QByteArray("Acc suite\r\n/dev/Acc.vbp\r\n/dev/Lib.vbp\r\n\r\n[PATH]/bk/\r\n") << "g.vbpgroup"
            << 0 << QStringList{"$/g.vbpgroup", "Acc suite", "/dev/Acc.vbp", "/bk/", "/dev/Lib.vbp", ""};
        QTest::newRow("no save path line: the default")
            << QByteArray("Acc\r\n/dev/Acc.vbp\r\n") << "g.vbpgroup" << 0
            << QStringList{"$/g.vbpgroup", "Acc", "/dev/Acc.vbp", "/dev/Sources.Backup/"};
        QTest::newRow("one-line file keeps what was read")
            << QByteArray("Only a name\r\n") << "g.vbpgroup" << 0
            << QStringList{"$/g.vbpgroup", "Only a name", "", ""};
        QTest::newRow("new, yes") << QByteArray() << "new.vbpgroup" << int(MsgBox::Yes)
                                  << QStringList{"$/new.vbpgroup", "", "", ""};
        QTest::newRow("new, no") << QByteArray() << "new.vbpgroup" << int(MsgBox::No) << typed;
        QTest::newRow("new .vbg becomes ours")
            << QByteArray() << "mine.vbg" << int(MsgBox::Yes) << QStringList{"$/mine.vbpgroup", "", "", ""};
        QTest::newRow("Visual Basic group, saved under our extension")
            << QByteArray("VBGROUP 5.0\r\nProject=lib/Lib.vbp\r\nStartupProject=Acc.vbp\r\n") << "Suite.VBG"
            << 0
            << QStringList{"$/Suite.vbpgroup", "Suite", "$/Acc.vbp", "$/Sources.Backup/", "$/lib/Lib.vbp"};
    }

    void chooseGroupFile() {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(QStringList, after);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        QVERIFY(content.isEmpty() || WriteAll(path, content));
        after.replaceInStrings("$", folder.path());
        Editor editor;
        editor.fill({"/old.vbpgroup", "Typed", "/old/Old.vbp", "/old/bk/"}, {"/old/Lib.vbp"});
        editor.ui.queueFileChoice(path);
        if (answer)
            editor.ui.queueMessageBoxAnswer(answer);
        editor.form->dbPathDialog()->click();

        QCOMPARE(editor.ui.messageBoxes().size(), answer ? 1 : 0);
        if (answer) {
            QCOMPARE(editor.ui.messageBoxes()[0].text,
                     folder.filePath(GroupFileNameForVbg(name)) +
                         "\r\nThis file doesn't exist. Do you want to create it ? ");
            QCOMPARE(editor.ui.messageBoxes()[0].title, QString("Create a project group"));
            QCOMPARE(editor.ui.messageBoxes()[0].style, kQuestion);
        }
        if (answer == MsgBox::Yes)
            QCOMPARE(editor.focused(), QString("Text11"));
        QCOMPARE(editor.state(), after);
        QCOMPARE(QDir(folder.path()).count(), content.isEmpty() ? 2u : 3u); // nothing written by choosing
    }

    void fileDialogs_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<QStringList>("after"); // after choosing /new/New.vbp
        QTest::newRow("group file") << "DBpathDialog" << 0
                                    << "Choose the project group to create or modify..."
                                    << "VB Project Group|*.vbpgroup|VB Group|*.vbg" << 0x80000u
                                    << QStringList{"/new/New.vbp", "", "", ""};
        QTest::newRow("main project resets the save path")
            << "SavepathDialog" << 1
            << "Choose the main project for the Visual Basic\u00A9 group to be archived"
            << "Visual Basic Project|*.vbp" << 0x81000u
            << QStringList{"/g.vbpgroup", "Acc", "/new/New.vbp", "/new/Sources.Backup/", "/p/Acc.vbp"};
        QTest::newRow("linked project appended, even the main one")
            << "btn_Plus" << -1 << "Choose the project to add to the Visual Basic\u00A9 group to be archived."
            << "Visual Basic project|*.vbp" << 0x81000u
            << (kFilled + QStringList{"/p/Acc.vbp", "/new/New.vbp"});
    }

    void fileDialogs() {
        QFETCH(QString, button);
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        QFETCH(quint32, flags);
        QFETCH(QStringList, after);
        Editor editor;
        editor.fill(kFilled, {"/p/Acc.vbp"});
        auto* control = findControlAs<PelmButton>(editor.form.get(), button, index);
        QVERIFY(control);
        // a cancel and an empty name change nothing; the third choice is taken
        for (const std::optional<QString>& choice :
             {std::optional<QString>(), std::optional<QString>(""), std::optional<QString>("/new/New.vbp")}) {
            QCOMPARE(editor.state(), kFilled + QStringList{"/p/Acc.vbp"});
            editor.ui.queueFileChoice(choice);
            if (button == "DBpathDialog" && choice && !choice->isEmpty())
                editor.ui.queueMessageBoxAnswer(MsgBox::Yes); // no such file: the creation question
            control->click();
        }
        for (const FileDialogRequest& request : editor.ui.fileRequests()) {
            QCOMPARE(request.title, title);
            QCOMPARE(request.filter, filter);
            QCOMPARE(request.flags, flags);
            QCOMPARE(request.filterIndex, 1);
            QVERIFY(request.fileName.isEmpty());
        }
        QCOMPARE(editor.state(), after);
    }

    void backupFolderChoice_data() {
        QTest::addColumn<QString>("mainProject"); // "$" stands for an existing folder
        QTest::addColumn<QString>("initial");
        QTest::addColumn<std::optional<QString>>("chosen");
        QTest::addColumn<QString>("after");
        QTest::newRow("chosen") << "$/Acc.vbp"
                                << "$/" << std::optional<QString>("/mnt/b") << "/mnt/b/Sources.Backup/";
        QTest::newRow("chosen, ending in a separator")
            << "/missing/Acc.vbp"
            << "" << std::optional<QString>("/mnt/b/") << "/mnt/b/Sources.Backup/";
        QTest::newRow("cancelled") << ""
                                   << "" << std::optional<QString>() << "/kept/";
    }

    void backupFolderChoice() {
        QFETCH(QString, mainProject);
        QFETCH(QString, initial);
        QFETCH(std::optional<QString>, chosen);
        QFETCH(QString, after);
        QTemporaryDir folder;
        Editor editor;
        editor.fill({"/g.vbpgroup", "Acc", mainProject.replace("$", folder.path()), "/kept/"}, {});
        editor.form->btnPlus()->setFocus();
        editor.ui.queueFolderChoice(chosen);
        editor.form->setPathDialog()->click();

        const FolderRequest& request = editor.ui.folderRequests().at(0);
        QCOMPARE(request.title, QString("Select the Folder to Archive the Sources to"));
        QCOMPARE(request.flags, quint32(65));
        QCOMPARE(request.initialDirectory, initial.replace("$", folder.path()));
        QCOMPARE(editor.form->text1(3)->text(), after);
        QCOMPARE(editor.focused(), QString("Text11"));
    }

    void save_data() {
        QTest::addColumn<QString>("name"); // below the temporary folder; "ro:" a read-only file
        QTest::addColumn<QString>("groupName");
        QTest::addColumn<QByteArray>("expected"); // empty: the write fails
        QTest::newRow("five lines, replacing a longer file")
            << "Acc.vbpgroup"
            << "Accounting suite"
            << QByteArray("Accounting "
                          "suite\r\n/dev/Acc.vbp\r\n[PATH]/bk/\r\n/dev/Lib.vbp\r\n/dev/Caf\xC3\xA9.vbp\r\n");
        QTest::newRow("spaces for a name")
            << "Acc.vbpgroup"
            << "   "
            << QByteArray("   \r\n/dev/Acc.vbp\r\n[PATH]/bk/\r\n/dev/Lib.vbp\r\n"
                          "/dev/Caf\xC3\xA9.vbp\r\n");
        QTest::newRow("folder missing") << "missing/Acc.vbpgroup"
                                        << "Acc" << QByteArray();
        QTest::newRow("read-only file") << "ro:Acc.vbpgroup"
                                        << "Acc" << QByteArray();
    }

    void save() {
        QFETCH(QString, name);
        QFETCH(QString, groupName);
        QFETCH(QByteArray, expected);
        QTemporaryDir folder;
        const bool readOnly = name.startsWith("ro:");
        const QString path = folder.filePath(name.remove("ro:"));
        const QByteArray old("an older, longer group file\r\nwith\r\nmore\r\nlines\r\nthan\r\nnow\r\n");
        QVERIFY(name.contains('/') || WriteAll(path, old));
        if (readOnly)
            QFile::setPermissions(path, QFileDevice::ReadOwner);
        Editor editor;
        const QStringList fields{path, groupName, "/dev/Acc.vbp", "/bk/"};
        editor.fill(fields, {"/dev/Lib.vbp", "/dev/Caf\u00E9.vbp"});
        editor.form->btnGroup()->click();

        const bool written = !expected.isEmpty();
        QCOMPARE(ReadAll(path), written ? expected : readOnly ? old : QByteArray("<missing>"));
        QCOMPARE(editor.mainPath.text(), written ? path : QString("/earlier.vbp"));
        QCOMPARE(editor.form->isVisible(), !written);
        QCOMPARE(editor.ui.messageBoxes().size(), written ? 0 : 1);
        if (!written) {
            // a clear word and the window kept with its fields, so another file can be chosen
            QCOMPARE(editor.ui.messageBoxes()[0].title, QString("Corvane"));
            QCOMPARE(editor.ui.messageBoxes()[0].style, kWarning);
            QVERIFY(editor.ui.messageBoxes()[0].text.contains(path));
            QCOMPARE(editor.state(), (fields + QStringList{"/dev/Lib.vbp", "/dev/Caf\u00E9.vbp"}));
        } else {
            QCOMPARE(editor.form->result(), int(QDialog::Accepted));
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), written || readOnly ? 1 : 0);
    }

    void returnAndTitleBarWriteNothing() {
        QTemporaryDir folder;
        const QString path = folder.filePath("Acc.vbpgroup");
        for (bool titleBar : {false, true}) {
            Editor editor;
            editor.fill({path, "Acc", "/p/Acc.vbp", "/b/"}, {"/p/Lib.vbp"});
            if (titleBar)
                editor.form->close();
            else
                editor.form->btnAnnuler()->click();
            QVERIFY(!editor.form->isVisible());
            QCOMPARE(editor.form->result(), int(QDialog::Rejected));
            QCOMPARE(editor.mainPath.text(), QString("/earlier.vbp"));
            QVERIFY(!QFileInfo::exists(path));
        }
    }
};

QTEST_MAIN(TestFormGroup)
#include "test_form_group.moc"

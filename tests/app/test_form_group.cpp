// the group editor: its controls, validation, list editing, file choices and saving
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/control_lookup.h"
#include "app/form_group.h"
#include "app/frame3d.h"
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

QStringList Entries(const QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

// one editor with its scripted services, the string table and the main window's path box
struct Editor {
    ScriptedServices ui;
    StringTable strings;
    QLineEdit mainPath;
    std::unique_ptr<FormGroup> form;

    explicit Editor(const QString& languageFile = {}) {
        if (!languageFile.isEmpty())
            strings = StringTable::FromIniFile(IniFile::Load(QFile::encodeName(languageFile).toStdString()));
        form = std::make_unique<FormGroup>(ui, strings, languageFile, &mainPath);
    }
    // shown and active, so that focus moves can be seen
    bool showActive() {
        form->show();
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get());
    }
    void fill(const QString& file, const QString& name, const QString& main, const QString& folder,
              const QStringList& linked) {
        form->text1(0)->setText(file);
        form->text1(1)->setText(name);
        form->text1(2)->setText(main);
        form->text1(3)->setText(folder);
        form->list1()->clear();
        form->list1()->addItems(linked);
    }
    QStringList fields() const {
        return {form->text1(0)->text(), form->text1(1)->text(), form->text1(2)->text(),
                form->text1(3)->text()};
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
    void controlsAsDesigned_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("Label1(0)") << "Label1" << 0 << "Create or modify a Project Group" << false;
        QTest::newRow("Label1(1)") << "Label1" << 1 << "Linked Projects :" << false;
        QTest::newRow("Label1(2)") << "Label1" << 2 << "Main Project :" << false;
        QTest::newRow("Label1(3)") << "Label1" << 3 << "Group name :" << false;
        QTest::newRow("Label1(4)") << "Label1" << 4 << "Save Path :" << false;
        QTest::newRow("Text1(0)") << "Text1" << 0 << "" << true;
        QTest::newRow("Text1(1)") << "Text1" << 1 << "" << false;
        QTest::newRow("Text1(2)") << "Text1" << 2 << "" << true;
        QTest::newRow("Text1(3)") << "Text1" << 3 << "" << true;
        QTest::newRow("DBpathDialog(0)") << "DBpathDialog" << 0 << "..." << false;
        QTest::newRow("SavepathDialog(1)") << "SavepathDialog" << 1 << "..." << false;
        QTest::newRow("SetPathDialog(0)") << "SetPathDialog" << 0 << "..." << false;
        QTest::newRow("btn_Plus") << "btn_Plus" << -1 << "+" << false;
        QTest::newRow("btn_Moins") << "btn_Moins" << -1 << "\u2212" << false;
        QTest::newRow("btn_Group") << "btn_Group" << -1 << "Save and use this project group" << false;
        QTest::newRow("Btn_Annuler") << "Btn_Annuler" << -1 << "&Return" << false;
        QTest::newRow("List1") << "List1" << -1 << "" << false;
        QTest::newRow("Frame3D1") << "Frame3D1" << -1 << "" << false;
    }

    void controlsAsDesigned() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(bool, readOnly);
        Editor editor;
        QCOMPARE(editor.form->objectName(), QString("frmGroup"));
        QCOMPARE(editor.form->windowTitle(), QString("Visual Basic\u00A9 project group to create:"));
        QVERIFY(editor.form->isModal());
        auto* control = findControlAs<QWidget>(editor.form.get(), name, index);
        QVERIFY2(control, qPrintable(name));
        if (auto* label = qobject_cast<QLabel*>(control))
            QCOMPARE(label->text(), caption);
        else if (auto* box = qobject_cast<QLineEdit*>(control)) {
            QCOMPARE(box->isReadOnly(), readOnly);
            QVERIFY(box->text().isEmpty());
            // read-only boxes are grey, the name box white
            editor.form->show();
            const QImage picture = box->grab().toImage();
            const QColor ground = readOnly ? QColor(224, 224, 224) : QColor(Qt::white);
            QCOMPARE(picture.pixelColor(picture.width() - 8, picture.height() / 2), ground);
        } else
            QCOMPARE(control->property("Caption").toString(), caption);
    }

    void fieldsRunTopToBottom() {
        Editor editor;
        editor.form->show();
        QWidget* order[] = {editor.form->text1(0), editor.form->text1(1), editor.form->text1(2),
                            editor.form->list1(), editor.form->text1(3)};
        int previousBottom = -1;
        for (QWidget* field : order) {
            const QRect box(field->mapTo(editor.form.get(), QPoint(0, 0)), field->size());
            QVERIFY2(box.top() > previousBottom, qPrintable(field->objectName()));
            QVERIFY(editor.form->rect().contains(box));
            previousBottom = box.bottom();
        }
    }

    void translatedFromItsSection() {
        QTemporaryDir folder;
        const QString file = folder.filePath("fra.lng");
        QVERIFY(WriteAll(
            file, "[frmMain]\r\nLabel14=Wrong window\r\n"
                  "[frmGroup]\r\nForm=Groupe\r\nLabel14=Chemin :\r\nBtn_Annuler=&Retour\r\n"
                  "Text10=No caption\r\nText10ToolTipText=Fichier\r\nSetPathDialog0ToolTipText=Dossier\r\n"
                  "[Strings]\r\nString3=Erreur de saisie\r\nString4=Choisissez|le fichier\r\n"
                  "String5=\r\nString6=###END###\r\n"));
        Editor editor(file);
        QCOMPARE(editor.form->windowTitle(), QString("Groupe"));
        QCOMPARE(editor.form->label1(4)->text(), QString("Chemin :"));
        QCOMPARE(editor.form->btnAnnuler()->caption(), QString("&Retour"));
        QCOMPARE(editor.form->text1(0)->text(), QString());
        QCOMPARE(editor.form->text1(0)->toolTip(), QString("Fichier"));
        QCOMPARE(editor.form->setPathDialog()->toolTip(), QString("Dossier"));
        QCOMPARE(editor.form->label1(3)->text(), QString("Group name :"));

        // messages come from the table, "|" as a line break; an empty entry is English
        editor.form->btnGroup()->click();
        editor.form->text1(0)->setText("/x.vbpgroup");
        editor.form->btnGroup()->click();
        QCOMPARE(editor.ui.messageBoxes().size(), 2);
        QCOMPARE(editor.ui.messageBoxes()[0].text, QString("Choisissez\r\nle fichier"));
        QCOMPARE(editor.ui.messageBoxes()[0].title, QString("Erreur de saisie"));
        QCOMPARE(editor.ui.messageBoxes()[1].text, QString("Please enter the project group name !"));
    }

    void validationInOrder_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("linked");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QStringList one{"/p/Lib.vbp"};
        QTest::newRow("nothing filled")
            << QStringList{"", "", "", ""} << QStringList{} << "Please select the project group file name !"
            << "Text10";
        QTest::newRow("no file, rest filled") << QStringList{"", "Acc", "/p/Acc.vbp", "/b/"} << one
                                              << "Please select the project group file name !"
                                              << "Text10";
        QTest::newRow("no name") << QStringList{"/g.vbpgroup", "", "/p/Acc.vbp", "/b/"} << one
                                 << "Please enter the project group name !"
                                 << "Text11";
        QTest::newRow("no main project") << QStringList{"/g.vbpgroup", "Acc", "", "/b/"} << one
                                         << "Please choose the main project for the project group !"
                                         << "Text12";
        QTest::newRow("empty list") << QStringList{"/g.vbpgroup", "Acc", "/p/Acc.vbp", "/b/"} << QStringList{}
                                    << "A project group must contain multiple projects !"
                                    << "btn_Plus";
    }

    void validationInOrder() {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, linked);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Editor editor;
        QVERIFY(editor.showActive());
        editor.fill(fields[0], fields[1], fields[2], fields[3], linked);
        editor.mainPath.setText("/earlier.vbp");
        editor.form->btnGroup()->click();

        QCOMPARE(editor.ui.messageBoxes().size(), 1);
        QCOMPARE(editor.ui.messageBoxes()[0].text, message);
        QCOMPARE(editor.ui.messageBoxes()[0].title, QString("Input error"));
        QCOMPARE(editor.ui.messageBoxes()[0].style, kWarning);
        QCOMPARE(editor.focused(), focus);
        QVERIFY(editor.form->isVisible());
        QCOMPARE(editor.fields(), fields);
        QCOMPARE(Entries(editor.form->list1()), linked);
        QCOMPARE(editor.mainPath.text(), QString("/earlier.vbp"));
    }

    void removal_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("after");
        const QStringList all{"/a/A.vbp", "/b/B.vbp", "/c/C.vbp"};
        QTest::newRow("nothing selected") << -1 << 0 << 0 << all;
        QTest::newRow("middle, yes") << 1 << MsgBox::Yes << 1 << QStringList{"/a/A.vbp", "/c/C.vbp"};
        QTest::newRow("last, yes") << 2 << MsgBox::Yes << 1 << QStringList{"/a/A.vbp", "/b/B.vbp"};
        QTest::newRow("first, no") << 0 << MsgBox::No << 1 << all;
    }

    void removal() {
        QFETCH(int, selected);
        QFETCH(int, answer);
        QFETCH(int, questions);
        QFETCH(QStringList, after);
        Editor editor;
        editor.form->list1()->addItems({"/a/A.vbp", "/b/B.vbp", "/c/C.vbp"});
        if (selected >= 0)
            editor.form->list1()->setCurrentRow(selected);
        if (questions > 0)
            editor.ui.queueMessageBoxAnswer(answer);
        editor.form->btnMoins()->click();

        QCOMPARE(editor.ui.messageBoxes().size(), questions);
        if (questions > 0) {
            const auto& asked = editor.ui.messageBoxes()[0];
            QCOMPARE(asked.text, "Are you sure you want to delete the project :\r\n/" +
                                     QString(QChar('a' + selected)) + "/" + QChar('A' + selected) + ".vbp");
            QCOMPARE(asked.title, QString("Deleting..."));
            QCOMPARE(asked.style, kQuestion);
        }
        QCOMPARE(Entries(editor.form->list1()), after);
        QVERIFY(editor.form->list1()->selectedItems().isEmpty());
        // with nothing selected afterwards, a second click asks nothing
        editor.form->btnMoins()->click();
        QCOMPARE(editor.ui.messageBoxes().size(), questions);
    }

    void chooseGroupFile_data() {
        QTest::addColumn<QByteArray>("content"); // "<none>": the file does not exist
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");         // 0: no question expected
        QTest::addColumn<QStringList>("fields"); // "$" stands for the folder
        QTest::addColumn<QStringList>("linked");
        const QStringList typed{"/old.vbpgroup", "Typed", "/old/Old.vbp", "/old/Sources.Backup/"};
        const QStringList oldList{"/old/Lib.vbp"};
        QTest::newRow("existing group replaces every field")
            << QByteArray("Acc suite\r\n/dev/Acc.vbp\r\n[PATH]/bk/\r\n/dev/Lib.vbp\r\n\r\n/dev/Ui.vbp\r\n")
            << "g.vbpgroup" << 0 << QStringList{"$/g.vbpgroup", "Acc suite", "/dev/Acc.vbp", "/bk/"}
            << QStringList{"/dev/Lib.vbp", "", "/dev/Ui.vbp"};
        QTest::newRow("existing group without save path gets the default")
            << QByteArray("Acc\r\n/dev/Acc.vbp\r\n/dev/Lib.vbp\r\n") << "g.vbpgroup" << 0
            << QStringList{"$/g.vbpgroup", "Acc", "/dev/Acc.vbp", "/dev/Sources.Backup/"}
            << QStringList{"/dev/Lib.vbp"};
        QTest::newRow("one-line file keeps what was read")
            << QByteArray("Only a name\r\n") << "short.vbpgroup" << 0
            << QStringList{"$/short.vbpgroup", "Only a name", "", ""} << QStringList{};
        QTest::newRow("new name, yes empties the fields")
            << QByteArray("<none>") << "new.vbpgroup" << int(MsgBox::Yes)
            << QStringList{"$/new.vbpgroup", "", "", ""} << QStringList{};
        QTest::newRow("new name, no keeps everything")
            << QByteArray("<none>") << "new.vbpgroup" << int(MsgBox::No) << typed << oldList;
        QTest::newRow("new name typed as .vbg becomes ours")
            << QByteArray("<none>") << "mine.vbg" << int(MsgBox::Yes)
            << QStringList{"$/mine.vbpgroup", "", "", ""} << QStringList{};
        QTest::newRow("Visual Basic group read, saved under our extension")
            << QByteArray(
                   "VBGROUP 5.0\r\nProject=lib/Lib.vbp\r\nStartupProject=Acc.vbp\r\nProject=ui/Ui.vbp\r\n")
            << "Suite.VBG" << 0 << QStringList{"$/Suite.vbpgroup", "Suite", "$/Acc.vbp", "$/Sources.Backup/"}
            << QStringList{"$/lib/Lib.vbp", "$/ui/Ui.vbp"};
    }

    void chooseGroupFile() {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, linked);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        if (content != "<none>")
            QVERIFY(WriteAll(path, content));
        fields.replaceInStrings("$", folder.path());
        linked.replaceInStrings("$", folder.path());

        Editor editor;
        QVERIFY(editor.showActive());
        editor.fill("/old.vbpgroup", "Typed", "/old/Old.vbp", "/old/Sources.Backup/", {"/old/Lib.vbp"});
        editor.ui.queueFileChoice(path);
        if (answer != 0)
            editor.ui.queueMessageBoxAnswer(answer);
        editor.form->dbPathDialog()->click();

        const FileDialogRequest& request = editor.ui.fileRequests().at(0);
        QCOMPARE(request.title, QString("Choose the project group to create or modify..."));
        QCOMPARE(request.filter, QString("VB Project Group|*.vbpgroup|VB Group|*.vbg"));
        QCOMPARE(request.flags, quint32(0x80000));
        QCOMPARE(request.filterIndex, 1);
        QVERIFY(request.fileName.isEmpty());
        QCOMPARE(editor.ui.messageBoxes().size(), answer != 0 ? 1 : 0);
        if (answer != 0) {
            QCOMPARE(editor.ui.messageBoxes()[0].text,
                     folder.filePath(GroupFileNameForVbg(name)) +
                         "\r\nThis file doesn't exist. Do you want to create it ? ");
            QCOMPARE(editor.ui.messageBoxes()[0].title, QString("Create a project group"));
            QCOMPARE(editor.ui.messageBoxes()[0].style, kQuestion);
        }
        if (answer == MsgBox::Yes)
            QCOMPARE(editor.focused(), QString("Text11"));
        QCOMPARE(editor.fields(), fields);
        QCOMPARE(Entries(editor.form->list1()), linked);
        // nothing is written by choosing
        QCOMPARE(QFileInfo::exists(folder.filePath(GroupFileNameForVbg(name))),
                 content != "<none>" && GroupFileNameForVbg(name) == name);
    }

    void cancelledChoicesChangeNothing() {
        Editor editor;
        editor.fill("/g.vbpgroup", "Acc", "/p/Acc.vbp", "/b/", {"/p/Lib.vbp"});
        for (PelmButton* button : {editor.form->dbPathDialog(), editor.form->savePathDialog(),
                                   editor.form->btnPlus(), editor.form->dbPathDialog()}) {
            editor.ui.queueFileChoice(std::nullopt);
            button->click();
        }
        editor.ui.queueFileChoice(QString()); // an empty name is no choice either
        editor.form->btnPlus()->click();
        editor.ui.queueFolderChoice(std::nullopt);
        editor.form->setPathDialog()->click();
        QCOMPARE(editor.fields(), (QStringList{"/g.vbpgroup", "Acc", "/p/Acc.vbp", "/b/"}));
        QCOMPARE(Entries(editor.form->list1()), QStringList{"/p/Lib.vbp"});
        QVERIFY(editor.ui.messageBoxes().isEmpty());
    }

    void mainProjectResetsSavePath() {
        Editor editor;
        editor.fill("/g.vbpgroup", "Acc", "", "", {});
        editor.ui.queueFolderChoice("/mnt/backups");
        editor.form->setPathDialog()->click();
        QCOMPARE(editor.form->text1(3)->text(), QString("/mnt/backups/Sources.Backup/"));

        editor.ui.queueFileChoice("/dev/acc/Acc.vbp");
        editor.form->savePathDialog()->click();
        const FileDialogRequest& request = editor.ui.fileRequests().at(0);
        QCOMPARE(request.title,
                 QString("Choose the main project for the Visual Basic\u00A9 group to be archived"));
        QCOMPARE(request.filter, QString("Visual Basic Project|*.vbp"));
        QCOMPARE(request.flags, quint32(0x81000));
        QCOMPARE(editor.form->text1(2)->text(), QString("/dev/acc/Acc.vbp"));
        QCOMPARE(editor.form->text1(3)->text(), QString("/dev/acc/Sources.Backup/"));
        QCOMPARE(editor.form->text1(1)->text(), QString("Acc"));
    }

    void backupFolderChoice_data() {
        QTest::addColumn<QString>("mainProject");
        QTest::addColumn<QString>("initial"); // "$" stands for an existing folder
        QTest::addColumn<std::optional<QString>>("chosen");
        QTest::addColumn<QString>("folderAfter");
        QTest::newRow("chosen, beside the main project")
            << "$/Acc.vbp"
            << "$/" << std::optional<QString>("/mnt/b") << "/mnt/b/Sources.Backup/";
        QTest::newRow("chosen with a trailing separator")
            << "$/Acc.vbp"
            << "$/" << std::optional<QString>("/mnt/b/") << "/mnt/b/Sources.Backup/";
        QTest::newRow("no main project, cancelled") << ""
                                                    << "" << std::optional<QString>() << "/kept/";
        QTest::newRow("main project in a missing folder")
            << "/nowhere/at/all/Acc.vbp"
            << "" << std::optional<QString>("/x") << "/x/Sources.Backup/";
    }

    void backupFolderChoice() {
        QFETCH(QString, mainProject);
        QFETCH(QString, initial);
        QFETCH(std::optional<QString>, chosen);
        QFETCH(QString, folderAfter);
        QTemporaryDir folder;
        mainProject.replace("$", folder.path());
        initial.replace("$", folder.path());
        Editor editor;
        QVERIFY(editor.showActive());
        editor.fill("/g.vbpgroup", "Acc", mainProject, "/kept/", {});
        editor.form->btnPlus()->setFocus();
        editor.ui.queueFolderChoice(chosen);
        editor.form->setPathDialog()->click();

        const FolderRequest& request = editor.ui.folderRequests().at(0);
        QCOMPARE(request.title, QString("Select the Folder to Archive the Sources to"));
        QCOMPARE(request.flags, quint32(65));
        QCOMPARE(request.initialDirectory, initial);
        QCOMPARE(editor.form->text1(3)->text(), folderAfter);
        QCOMPARE(editor.focused(), QString("Text11"));
    }

    void addLinkedProjects() {
        Editor editor;
        editor.form->text1(2)->setText("/p/Acc.vbp");
        for (const char* path : {"/p/Lib.vbp", "/p/Acc.vbp", "/p/Lib.vbp"}) {
            editor.ui.queueFileChoice(path);
            editor.form->btnPlus()->click();
        }
        QCOMPARE(Entries(editor.form->list1()), (QStringList{"/p/Lib.vbp", "/p/Acc.vbp", "/p/Lib.vbp"}));
        QCOMPARE(editor.ui.fileRequests().size(), 3);
        for (const FileDialogRequest& request : editor.ui.fileRequests()) {
            QCOMPARE(request.title,
                     QString("Choose the project to add to the Visual Basic\u00A9 group to be archived."));
            QCOMPARE(request.filter, QString("Visual Basic project|*.vbp"));
            QCOMPARE(request.flags, quint32(0x81000));
        }
    }

    void saveWritesTheFileAndHandsItBack_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("linked");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("five lines in order")
            << "Accounting suite" << QStringList{"/dev/Lib/Lib.vbp", "/dev/Ui/Ui.vbp"}
            << QByteArray("Accounting suite\r\n/dev/Acc/Acc.vbp\r\n[PATH]/dev/Acc/Sources.Backup/\r\n"
                          "/dev/Lib/Lib.vbp\r\n/dev/Ui/Ui.vbp\r\n");
        QTest::newRow("spaces for a name, main project twice, file name bytes")
            << "   " << QStringList{"/dev/Acc/Acc.vbp", "/dev/Caf\u00E9.vbp"}
            << QByteArray("   \r\n/dev/Acc/Acc.vbp\r\n[PATH]/dev/Acc/Sources.Backup/\r\n"
                          "/dev/Acc/Acc.vbp\r\n/dev/Caf\xC3\xA9.vbp\r\n");
    }

    void saveWritesTheFileAndHandsItBack() {
        QFETCH(QString, name);
        QFETCH(QStringList, linked);
        QFETCH(QByteArray, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath("Acc.vbpgroup");
        QVERIFY(WriteAll(path, "an older, longer group file\r\nwith\r\nmore\r\nlines\r\nthan\r\nnow\r\n"));
        Editor editor;
        editor.form->show();
        editor.fill(path, name, "/dev/Acc/Acc.vbp", "/dev/Acc/Sources.Backup/", linked);
        editor.form->btnGroup()->click();

        QCOMPARE(ReadAll(path), expected);
        QVERIFY(editor.ui.messageBoxes().isEmpty());
        QCOMPARE(editor.mainPath.text(), path);
        QVERIFY(!editor.form->isVisible());
        QCOMPARE(editor.form->result(), int(QDialog::Accepted));
    }

    void unwritableFileKeepsTheWindowOpen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("folder missing") << "missing/Acc.vbpgroup" << false;
        QTest::newRow("read-only file") << "Acc.vbpgroup" << true;
        QTest::newRow("a folder of that name") << "folder.vbpgroup" << false;
    }

    void unwritableFileKeepsTheWindowOpen() {
        QFETCH(QString, name);
        QFETCH(bool, readOnly);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        if (readOnly) {
            QVERIFY(WriteAll(path, "Old\r\n"));
            QFile::setPermissions(path, QFileDevice::ReadOwner);
        }
        if (name.startsWith("folder"))
            QVERIFY(QDir(folder.path()).mkdir(name));
        Editor editor;
        editor.form->show();
        editor.mainPath.setText("/earlier.vbp");
        editor.fill(path, "Acc", "/p/Acc.vbp", "/b/", {"/p/Lib.vbp"});
        editor.form->btnGroup()->click();

        QCOMPARE(editor.ui.messageBoxes().size(), 1);
        QCOMPARE(editor.ui.messageBoxes()[0].title, QString("Corvane"));
        QCOMPARE(editor.ui.messageBoxes()[0].style, kWarning);
        QVERIFY2(editor.ui.messageBoxes()[0].text.contains(path),
                 qPrintable(editor.ui.messageBoxes()[0].text));
        QVERIFY(editor.form->isVisible());
        QCOMPARE(editor.fields(), (QStringList{path, "Acc", "/p/Acc.vbp", "/b/"}));
        QCOMPARE(editor.mainPath.text(), QString("/earlier.vbp"));
        if (readOnly)
            QCOMPARE(ReadAll(path), QByteArray("Old\r\n"));
        // no temporary file is left beside it
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), readOnly ? 1 : 0);
    }

    void returnAndCloseWriteNothing_data() {
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("Return") << false;
        QTest::newRow("title bar") << true;
    }

    void returnAndCloseWriteNothing() {
        QFETCH(bool, titleBar);
        QTemporaryDir folder;
        const QString path = folder.filePath("Acc.vbpgroup");
        Editor editor;
        editor.form->show();
        editor.mainPath.setText("/earlier.vbpgroup");
        editor.fill(path, "Acc", "/p/Acc.vbp", "/b/", {"/p/Lib.vbp"});
        if (titleBar)
            editor.form->close();
        else
            editor.form->btnAnnuler()->click();
        QVERIFY(!editor.form->isVisible());
        QCOMPARE(editor.form->result(), int(QDialog::Rejected));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(editor.mainPath.text(), QString("/earlier.vbpgroup"));
        QVERIFY(editor.ui.messageBoxes().isEmpty());
    }
};

QTEST_MAIN(TestFormGroup)
#include "test_form_group.moc"

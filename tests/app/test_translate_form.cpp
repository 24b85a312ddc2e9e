// window translation from language files, and the start-up command line
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/app_startup.h"
#include "app/control_lookup.h"
#include "app/form_main.h"
#include "app/image_control.h"
#include "app/translate_form.h"
#include "support/main_window_fixture.h"

using namespace corvane;

class TestTranslateForm : public QObject {
    Q_OBJECT

private slots:
    void appliesLanguageFile() {
        // as translators write them: ANSI bytes, CR LF line ends, the section name in any case
        QTemporaryDir folder;
        WriteBytes(folder.filePath("fra.lng"),
                   "[frmGroup]\r\nForm=Groupe\r\n[FRMMAIN]\r\nForm=Archiveur de sources\r\n"
                   "Label14=Hors tableau\r\nText10=Pas de titre\r\nText10ToolTipText=Chemin du projet\r\n"
                   "Label11=Nom du fichier :\r\nBtn_Valider=&Archiver|maintenant\r\nFrame3D2=\r\n"
                   "Image14ToolTipText=D\xe9\x63ompresser \x80\r\nDBpathDialog0=Choisir un fichier\r\n"
                   "DBpathDialog0ToolTipText=Projet ou groupe\r\nSavepathDialog=Sans indice\r\n"
                   "AlphaImgCtl2=Pas de titre\r\nTimer1=Minuterie\r\nTimer1ToolTipText=Minuterie\r\n");
        FormMain window;
        TranslateForm(&window, folder.filePath("fra.lng"));
        QCOMPARE(window.windowTitle(), QString("Archiveur de sources"));
        // a label's text, a text box's text or a button's caption, then the tool tip
        const auto shown = [&](const char* name, int index) {
            QObject* control = findControl(&window, name, index);
            const bool texted = qobject_cast<QLabel*>(control) || qobject_cast<QLineEdit*>(control);
            return control->property(texted ? "text" : "Caption").toString() + "|" +
                   control->property("toolTip").toString();
        };
        QCOMPARE(shown("Label1", 1), QString("Nom du fichier :|"));
        QCOMPARE(shown("Text1", 0), QString("|Chemin du projet")); // a text box takes no caption
        QCOMPARE(shown("Btn_Valider", -1), QString("&Archiver|maintenant|"));
        QCOMPARE(shown("Frame3D2", -1),
                 QString("Corvane, free VB6 backup tool \u00A9 2024-|")); // empty: kept
        QCOMPARE(shown("Image1", 4), QString("|D\u00E9compresser \u20AC"));
        QCOMPARE(shown("DBpathDialog", 0), QString("Choisir un fichier|Projet ou groupe"));
        QCOMPARE(shown("SavepathDialog", 1), QString("...|")); // a key without the index misses it
        for (int i = 0; i < 4; ++i) // another window's fifth label names no control here
            QVERIFY(window.label1(i)->text() != "Hors tableau");
        QVERIFY(window.alphaImgCtl2()->property("Caption").isNull()); // no new property either
    }

    // every control once, Qt's own parts not; with every key missing, as from a missing file, nothing changes
    void readsEachKeyOnceInOneSection() {
        FormMain window, designed;
        QStringList keys;
        QSet<QString> sections;
        TranslateForm(&window, "/x/eng.lng",
                      [&](const std::string& section, const std::string& key, const std::string& defaultValue,
                          const std::string& file) {
                          sections << QString::fromStdString(section);
                          keys << QString::fromStdString(key);
                          return std::string(defaultValue.empty() && file == "/x/eng.lng" ? ""
                                                                                          : "wrong call");
                      });
        QCOMPARE(sections, QSet<QString>{"frmMain"});
        QCOMPARE(keys.first(), QString("Form"));
        for (const char* key : {"Text10", "Label11ToolTipText", "SavepathDialog1", "Timer1", "AlphaImgCtl2"})
            QCOMPARE(keys.count(key), 1);
        QCOMPARE(keys.size(), 1 + 2 * WindowControls(&window).size());
        QVERIFY(!keys.contains("qt_scrollarea_viewport"));
        QCOMPARE(window.windowTitle(), designed.windowTitle());
        const QList<QObject*> before = WindowControls(&designed), after = WindowControls(&window);
        for (int i = 0; i < before.size(); ++i)
            for (const char* property : {"Caption", "text", "toolTip"})
                QCOMPARE(after[i]->property(property), before[i]->property(property));
    }

    // every mark goes, each argument stays whole; "--screenshot" without a file is no option
    void commandLine() {
        const QStringList cases{"||-",
                                "\"C:\\Dev\\Acc\\Acc.vbpgroup\"|C:\\Dev\\Acc\\Acc.vbpgroup|-",
                                "a b;\"c\";x\"\"y|a b c xy|-",
                                " a ;| a  |-",
                                "--state;selected;--screenshot;o.png;--lang;deu;g|g|o.png",
                                "--screenshot|--screenshot|-"};
        for (const QString& row : cases) {
            const QString given = row.section('|', 0, 0);
            const AppStartup startup = ReadStartup(given.isEmpty() ? QStringList() : given.split(';'));
            QCOMPARE(startup.gCommandLine + "|" + (startup.screenshot ? startup.screenshot->file : "-"),
                     row.section('|', 1));
        }
    }
};

QTEST_MAIN(TestTranslateForm)
#include "test_translate_form.moc"

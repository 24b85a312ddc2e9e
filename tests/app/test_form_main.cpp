// the main window's form alone: its controls, their states, its own handlers and its translation
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/controls.h"
#include "app/form_main.h"
#include "app/window_texts.h"
#include "support/main_window_fixture.h"

using namespace corvane;

namespace {

// records which handlers ran instead of running the commands behind them
class ProbeForm : public FormMain {
public:
    QStringList calls;
    int ends = 0;

protected:
    void endProgram() override { ++ends; }
    void onDBpathDialogClick() override { calls << "DBpathDialog"; }
    void onSavepathDialogClick() override { calls << "SavepathDialog"; }
    void onPelmButton1Click() override { calls << "PelmButton1"; }
    void onPelmOpenTheClick() override { calls << "PelmOpenThe"; }
    void onFrame3D2Click() override { calls << "Frame3D2"; }
    void onBtnValiderClick() override { calls << "Btn_Valider"; }
    void showVersionBox() override { calls << "version"; }
    void openHelpPage() override { calls << "help"; }
    void runUnzip() override { calls << "unzip"; }
};

void ClickCentre(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

} // namespace

class TestFormMain : public QObject {
    Q_OBJECT

private slots:
    // the controls shown at first, by name and index; every control inside the window
    void initialState() {
        FormMain window;
        QStringList shown;
        for (QObject* object : WindowControls(&window)) {
            auto* control = qobject_cast<QWidget*>(object);
            if (control && control->isVisibleTo(&window))
                shown << control->objectName() + ControlIndexSuffix(control);
            if (control)
                QVERIFY(window.rect().contains(control->mapTo(&window, control->rect().bottomRight())));
        }
        QCOMPARE(shown.join(' '),
                 QString("Frame3D1 DBpathDialog0 lblOR PelmButton1 Label3 lblLabel4 Image12 Image13 "
                         "Image14 Frame3D2 Image10 Image11 Btn_Annuler Btn_Valider"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(window.text1(i)->isReadOnly(), i < 3);
    }

    void passwordToggleTwice() {
        FormMain window;
        const QString secret = "s3cr\u20ACt \"x\"";
        window.text1(3)->setText(secret);
        const QImage masked = window.alphaImgCtl2()->picture().toImage();
        ClickCentre(window.alphaImgCtl2());
        QVERIFY(window.text1(3)->displayText() == secret &&
                window.alphaImgCtl2()->picture().toImage() != masked);
        ClickCentre(window.alphaImgCtl2());
        QVERIFY(window.passwordMasked() && window.text1(3)->text() == secret);
        QCOMPARE(window.alphaImgCtl2()->picture().toImage(), masked);
    }

    // the logos do nothing; Quit closes the window and ends the program
    void clicksReachTheirCommands() {
        ProbeForm window;
        window.pelmOpenThe()->show();
        window.savePathDialog()->show();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (QWidget* control : QList<QWidget*>{
                 window.image1(0), window.image1(1), window.image1(2), window.image1(3), window.image1(4),
                 window.dbPathDialog(), window.savePathDialog(), window.pelmButton1(), window.pelmOpenThe(),
                 window.frame3D2(), window.btnValider()}) {
            // the panel would cover the last-folder button: it is shown only for the controls it holds
            window.frame3D3()->setVisible(window.frame3D3()->isAncestorOf(control));
            ClickCentre(control); // the foot frame's middle is its caption, clear of its two pictures
            window.calls << "|";
        }
        QCOMPARE(window.calls.join(""), QString("|version|help||unzip|DBpathDialog|SavepathDialog|"
                                                "PelmButton1|PelmOpenThe|Frame3D2|Btn_Valider|"));
        QCOMPARE(window.ends, 0);
        ClickCentre(window.btnAnnuler());
        QVERIFY(!window.isVisible() && window.ends == 1 && window.calls.size() == 20);
    }

    // as translators write them: ANSI bytes, CR LF line ends, the section name in any case; the version texts
    // replace what the file gives, and the year completes the translated range
    void loadTranslatesThenSetsVersionTexts() {
        QTemporaryDir folder;
        WriteBytes(
            folder.filePath("fra.lng"),
            "[frmGroup]\r\nForm=Groupe\r\n[FRMMAIN]\r\nForm=Archiveur de sources\r\nText10=Pas de titre\r\n"
            "Text10ToolTipText=Chemin du projet\r\nLabel11=Nom du fichier "
            ":\r\nBtn_Valider=&Archiver|maintenant\r\n"
            "PelmButton1=\r\nImage14ToolTipText=D\xe9\x63ompresser \x80\r\nDBpathDialog0=Choisir un "
            "fichier\r\n"
            "DBpathDialog0ToolTipText=Projet ou groupe\r\nSavepathDialog=Sans indice\r\nTimer1=Minuterie\r\n"
            "lblLabel4=Ausgabe\r\nLabel3ToolTipText=Produkt\r\nFrame3D2=Notice "
            "1999-\r\nImage11ToolTipText=Zip\r\n");
        FormMain window;
        window.ApplyLoadInputs({folder.filePath("fra.lng"), "Version 2.0.0", "1.7.3", 2025});
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
        QCOMPARE(shown("PelmButton1", -1), QString("Create or modify a project group|")); // empty: kept
        QCOMPARE(shown("Image1", 4), QString("|D\u00E9compresser \u20AC"));
        QCOMPARE(shown("DBpathDialog", 0), QString("Choisir un fichier|Projet ou groupe"));
        QCOMPARE(shown("SavepathDialog", 1), QString("...|")); // a key without the index misses it
        const QString pad(4, ' '), version = pad + "Version 2.0.0" + pad;
        QCOMPARE(shown("lblLabel4", -1) + shown("Label3", -1), "Version 2.0.0|Corvane|" + version);
        QVERIFY(window.image1(3)->toolTip() == version && window.frame3D2()->toolTip() == version);
        QCOMPARE(window.image1(1)->toolTip(), pad + "Toolbox version 1.7.3" + pad);
        QCOMPARE(window.frame3D2()->caption(), QString("Notice 1999-2025"));
    }

    // every mark goes, each argument stays whole; the picture tool's options are nothing to the program
    void commandLine() {
        const QStringList cases{
            "|", "\"C:\\Dev\\Acc\\Acc.vbpgroup\"|C:\\Dev\\Acc\\Acc.vbpgroup", "a b;\"c\";x\"\"y|a b c xy",
            " a ;| a  ", "--state;selected;--screenshot;o.png;g|--state selected --screenshot o.png g"};
        for (const QString& row : cases) {
            const QString given = row.section('|', 0, 0);
            QCOMPARE(CommandLineText(given.isEmpty() ? QStringList() : given.split(';')),
                     row.section('|', 1));
        }
    }

    // a click counts only when the press and the release are both on the control: dragging off cancels
    void clickNeedsReleaseInside() {
        ProbeForm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (QWidget* control : QList<QWidget*>{window.btnValider(), window.frame3D2(), window.image1(4)}) {
            const QPoint centre = control->rect().center();
            for (const QPoint release : {centre + QPoint(2, 1), QPoint(-30, -30)}) {
                QTest::mousePress(control, Qt::LeftButton, {}, centre);
                QTest::mouseRelease(control, Qt::LeftButton, {}, release);
            }
            QTest::mouseClick(control, Qt::RightButton, {}, centre);
        }
        QCOMPARE(window.calls, (QStringList{"Btn_Valider", "Frame3D2", "unzip"}));
    }
};

QTEST_MAIN(TestFormMain)
#include "test_form_main.moc"

// the main window: its controls as designed, its two states and the handlers that are its own
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "app/control_lookup.h"
#include "app/form_main.h"
#include "app/frame3d.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
#include "app/vista_prog.h"

using namespace corvane;

namespace {

// records which handlers ran instead of running the commands behind them
class ProbeForm : public FormMain {
public:
    QStringList calls;
    int ticks = 0;
    int ends = 0;

protected:
    void onTimer1Tick() override {
        ++ticks;
        FormMain::onTimer1Tick();
    }
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

QString DesignedText(QObject* control) {
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    return control->property("Caption").toString();
}

// the corners of what a control shows (a label's text, a whole picture) that the panel hides
int CoveredCorners(QWidget* panel, QWidget* beneath) {
    QRect area = beneath->geometry();
    if (auto* label = qobject_cast<QLabel*>(beneath)) {
        const QPoint centre = area.center();
        area.setSize(QFontMetrics(label->font()).size(0, label->text()));
        area.moveCenter(centre);
    }
    int covered = 0;
    for (const QPoint corner : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()}) {
        QWidget* top = beneath->parentWidget()->childAt(corner);
        covered += top == panel || panel->isAncestorOf(top);
    }
    return covered;
}

void ClickCentre(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

} // namespace

class TestFormMain : public QObject {
    Q_OBJECT

private slots:
    void windowIdentity() {
        FormMain window;
        QCOMPARE(window.objectName(), QString("frmMain"));
        QCOMPARE(window.windowTitle(), QString("Visual Basic 6 Sources Archiver"));
        QCOMPARE(window.size(), QSize(932, 441));
        QVERIFY(!window.windowIcon().isNull());
        window.FormLoad({{}, "Version 2.0.0", "1.7.3", 2031});
        QVERIFY(window.frame3D2()->caption().endsWith("\u00A9 2024-2031"));
        QCOMPARE(window.windowTitle(), QString("Visual Basic 6 Sources Archiver"));
    }

    void designedControls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("parentName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<bool>("shown");

        const QString panel = "Frame3D3", main = "Frame3D1", foot = "Frame3D2", window = "frmMain";
        QTest::newRow("Frame3D2") << "Frame3D2" << -1 << window
                                  << "Corvane, free VB6 backup tool \u00A9 2024-"
                                  << "" << true;
        QTest::newRow("Image1(0)") << "Image1" << 0 << foot << ""
                                   << "" << true;
        QTest::newRow("Image1(1)") << "Image1" << 1 << foot << ""
                                   << "" << true;
        QTest::newRow("Frame3D1") << "Frame3D1" << -1 << window << ""
                                  << "" << true;
        QTest::newRow("Frame3D3") << "Frame3D3" << -1 << main << ""
                                  << "" << false;
        QTest::newRow("Label1(0)") << "Label1" << 0 << panel
                                   << "Visual Basic\u00A9 Project or Project Group to Back Up:"
                                   << "" << true;
        QTest::newRow("Text1(0)") << "Text1" << 0 << panel << ""
                                  << "" << true;
        QTest::newRow("Label1(1)") << "Label1" << 1 << panel << "Backup file name :"
                                   << "" << true;
        QTest::newRow("Text1(1)") << "Text1" << 1 << panel << ""
                                  << "" << true;
        QTest::newRow("Label1(2)") << "Label1" << 2 << panel << "Save Path :"
                                   << "" << true;
        QTest::newRow("Text1(2)") << "Text1" << 2 << panel << ""
                                  << "" << true;
        QTest::newRow("SavepathDialog(1)") << "SavepathDialog" << 1 << panel << "..."
                                           << "" << false;
        QTest::newRow("Label1(3)") << "Label1" << 3 << panel << "Password :"
                                   << "" << true;
        QTest::newRow("Text1(3)") << "Text1" << 3 << panel << ""
                                  << "" << true;
        QTest::newRow("AlphaImgCtl2") << "AlphaImgCtl2" << -1 << panel << ""
                                      << "" << true;
        QTest::newRow("Label2") << "Label2" << -1 << panel << "Label2"
                                << "" << false;
        QTest::newRow("VistaProg1") << "VistaProg1" << -1 << panel << ""
                                    << "" << false;
        QTest::newRow("VistaProg2") << "VistaProg2" << -1 << panel << ""
                                    << "" << false;
        QTest::newRow("List1") << "List1" << -1 << main << ""
                               << "" << false;
        QTest::newRow("DBpathDialog(0)")
            << "DBpathDialog" << 0 << main << "Choose a project group or source file on disk"
            << "" << true;
        QTest::newRow("lblOR") << "lblOR" << -1 << main << "OR"
                               << "" << true;
        QTest::newRow("PelmButton1") << "PelmButton1" << -1 << main << "Create or modify a project group"
                                     << "" << true;
        QTest::newRow("PelmOpenThe") << "PelmOpenThe" << -1 << main << "Open the last backup folder..."
                                     << "" << false;
        QTest::newRow("Label3") << "Label3" << -1 << main << "Corvane"
                                << "" << true;
        QTest::newRow("lblLabel4") << "lblLabel4" << -1 << main << "Version "
                                   << "" << true;
        QTest::newRow("Image1(2)") << "Image1" << 2 << main << ""
                                   << "" << true;
        QTest::newRow("Image1(3)") << "Image1" << 3 << main << ""
                                   << "" << true;
        QTest::newRow("Image1(4)") << "Image1" << 4 << main << ""
                                   << "Unzip..." << true;
        QTest::newRow("Btn_Valider") << "Btn_Valider" << -1 << window << "&Archive"
                                     << "" << true;
        QTest::newRow("Btn_Annuler") << "Btn_Annuler" << -1 << window << "&Quit"
                                     << "" << true;
    }

    void designedControls() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, parentName);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        QFETCH(bool, shown);

        FormMain window;
        auto* control = findControlAs<QWidget>(&window, name, index);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->parentWidget()->objectName(), parentName);
        QCOMPARE(DesignedText(control), text);
        QCOMPARE(control->toolTip(), toolTip);
        QCOMPARE(!control->isHidden(), shown);
        QVERIFY(window.rect().contains(control->mapTo(&window, control->rect().bottomRight())));
    }

    void twipArrangement_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Frame3D1") << "Frame3D1" << -1 << QRect(0, 0, 932, 351);
        QTest::newRow("PelmButton1") << "PelmButton1" << -1 << QRect(118, 12, 686, 37);
        QTest::newRow("Frame3D3") << "Frame3D3" << -1 << QRect(77, 120, 767, 219);
        QTest::newRow("Label3") << "Label3" << -1 << QRect(3, 216, 928, 25);
        QTest::newRow("Image1(3)") << "Image1" << 3 << QRect(441, 141, 64, 64);
        // the designed 48-pixel box overhangs the window by 4 pixels and is cut to fit
        QTest::newRow("Image1(2)") << "Image1" << 2 << QRect(888, 3, 44, 48);
        QTest::newRow("Btn_Annuler") << "Btn_Annuler" << -1 << QRect(84, 379, 141, 34);
        QTest::newRow("Frame3D2") << "Frame3D2" << -1 << QRect(280, 379, 352, 40);
        QTest::newRow("Btn_Valider") << "Btn_Valider" << -1 << QRect(689, 379, 144, 34);
        QTest::newRow("Text1(0)") << "Text1" << 0 << QRect(272, 12, 451, 25);
        QTest::newRow("Text1(3)") << "Text1" << 3 << QRect(272, 127, 451, 25);
    }

    void twipArrangement() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QRect, pixels);
        FormMain window;
        auto* control = findControlAs<QWidget>(&window, name, index);
        QVERIFY(control);
        QCOMPARE(control->geometry(), pixels);
    }

    void textBoxLook() {
        FormMain window;
        window.show();
        for (int index = 0; index < 4; ++index) {
            QLineEdit* box = window.text1(index);
            QCOMPARE(box->isReadOnly(), index < 3);
            QCOMPARE(box->echoMode() == QLineEdit::Password, index == 3);
            const QImage picture = box->grab().toImage();
            const QColor ground = index < 3 ? QColor(224, 224, 224) : QColor(Qt::white);
            QCOMPARE(picture.pixelColor(picture.width() - 8, picture.height() / 2), ground);
        }
        QLineEdit* path = window.text1(0);
        QVERIFY(path->font().weight() >= QFont::DemiBold);
        path->setText(QString(40, QChar(0x2588))); // full blocks: their colour is the text colour
        const QImage picture = path->grab().toImage();
        QCOMPARE(picture.pixelColor(40, picture.height() / 2), QColor(128, 0, 0));
    }

    void panelCoversProductArea_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("Label3") << "Label3" << -1;
        QTest::newRow("lblLabel4") << "lblLabel4" << -1;
        QTest::newRow("Image1(3)") << "Image1" << 3;
    }

    void panelCoversProductArea() {
        QFETCH(QString, name);
        QFETCH(int, index);
        FormMain window;
        auto* beneath = findControlAs<QWidget>(&window, name, index);
        QCOMPARE(CoveredCorners(window.frame3D3(), beneath), 0);
        QCOMPARE(beneath->parentWidget()->childAt(beneath->geometry().center()), beneath);
        window.frame3D3()->show();
        QCOMPARE(CoveredCorners(window.frame3D3(), beneath), 4);
    }

    void timer1IsDesignedDisabled() {
        FormMain window;
        QTimer* timer = findControlAs<QTimer>(&window, "Timer1");
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 3000);
        QVERIFY(timer->isSingleShot());
        QVERIFY(!timer->isActive());
    }

    void timer1FiresOnceAndHidesPanel() {
        ProbeForm window;
        window.frame3D3()->show();
        QVERIFY(!window.pelmOpenThe()->property1());
        window.timer1()->setInterval(30);
        window.timer1()->start();
        QVERIFY(!window.frame3D3()->isHidden());
        QTRY_COMPARE(window.ticks, 1);
        QVERIFY(window.frame3D3()->isHidden());
        QVERIFY(window.pelmOpenThe()->property1());
        QVERIFY(!window.timer1()->isActive());
        QTest::qWait(150);
        QCOMPARE(window.ticks, 1);
        // a selection after the tick is not touched until the timer is enabled again
        window.frame3D3()->show();
        QTest::qWait(80);
        QVERIFY(!window.frame3D3()->isHidden());
    }

    void quitClosesAndEnds() {
        ProbeForm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ClickCentre(window.btnAnnuler());
        QVERIFY(!window.isVisible());
        QCOMPARE(window.ends, 1);
        QVERIFY(window.calls.isEmpty());
    }

    void passwordToggleTwice() {
        FormMain window;
        QLineEdit* password = window.text1(3);
        password->setText("s3cr\u20ACt \"x\"");
        const QImage masked = window.alphaImgCtl2()->picture().toImage();
        QVERIFY(window.passwordMasked());

        ClickCentre(window.alphaImgCtl2());
        QVERIFY(!window.passwordMasked());
        QCOMPARE(password->displayText(), QString("s3cr\u20ACt \"x\""));
        QVERIFY(window.alphaImgCtl2()->picture().toImage() != masked);

        ClickCentre(window.alphaImgCtl2());
        QVERIFY(window.passwordMasked());
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(password->text(), QString("s3cr\u20ACt \"x\""));
        QCOMPARE(window.alphaImgCtl2()->picture().toImage(), masked);
    }

    void text1ChangeRule_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("buttonShown");
        QTest::addColumn<int>("changed");
        QTest::addColumn<QString>("newText");
        QTest::addColumn<bool>("shownAfter");
        QTest::newRow("path cleared") << "C:\\a.vbp" << true << 0 << "" << false;
        QTest::newRow("other box, path kept") << "C:\\a.vbp" << true << 2 << "D:\\" << true;
        QTest::newRow("password typed, no path") << "" << true << 3 << "x" << false;
        QTest::newRow("name cleared, path kept") << "C:\\a.vbp" << true << 1 << "" << true;
        QTest::newRow("never shown again") << "C:\\a.vbp" << false << 0 << "C:\\b.vbp" << false;
    }

    void text1ChangeRule() {
        QFETCH(QString, path);
        QFETCH(bool, buttonShown);
        QFETCH(int, changed);
        QFETCH(QString, newText);
        QFETCH(bool, shownAfter);
        FormMain window;
        for (int i = 0; i < 4; ++i)
            window.text1(i)->setText(i == 0 ? path : QString("old"));
        window.savePathDialog()->setVisible(buttonShown);
        window.text1(changed)->setText(newText);
        QCOMPARE(!window.savePathDialog()->isHidden(), shownAfter);
    }

    void clicksReachTheirCommands_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("command");
        QTest::newRow("Image1(0) logo") << "Image1" << 0 << "";
        QTest::newRow("Image1(1) version") << "Image1" << 1 << "version";
        QTest::newRow("Image1(2) help") << "Image1" << 2 << "help";
        QTest::newRow("Image1(3) logo") << "Image1" << 3 << "";
        QTest::newRow("Image1(4) unzip") << "Image1" << 4 << "unzip";
        QTest::newRow("DBpathDialog") << "DBpathDialog" << 0 << "DBpathDialog";
        QTest::newRow("SavepathDialog") << "SavepathDialog" << 1 << "SavepathDialog";
        QTest::newRow("PelmButton1") << "PelmButton1" << -1 << "PelmButton1";
        QTest::newRow("PelmOpenThe") << "PelmOpenThe" << -1 << "PelmOpenThe";
        QTest::newRow("Frame3D2") << "Frame3D2" << -1 << "Frame3D2";
        QTest::newRow("Btn_Valider") << "Btn_Valider" << -1 << "Btn_Valider";
    }

    void clicksReachTheirCommands() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, command);
        ProbeForm window;
        auto* control = findControlAs<QWidget>(&window, name, index);
        QVERIFY(control);
        // the panel is shown only for the controls it holds: it would cover the last-folder button
        window.frame3D3()->setVisible(window.frame3D3()->isAncestorOf(control));
        window.pelmOpenThe()->show();
        window.savePathDialog()->show();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // the foot frame's middle is its caption, clear of the two pictures at its ends
        ClickCentre(control);
        QCOMPARE(window.calls, command.isEmpty() ? QStringList() : QStringList{command});
        QCOMPARE(window.ends, 0);
    }

    void versionTextsFollowTranslation() {
        QTemporaryDir folder;
        const QString file = folder.filePath("eng.lng");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("[frmMain]\r\nlblLabel4=Ausgabe\r\nLabel3ToolTipText=Produkt\r\nFrame3D2=Notice 1999-\r\n"
                  "Image11ToolTipText=Zip\r\nLabel3=Corvane Pro\r\n");
        out.close();

        FormMain window;
        window.FormLoad({file, "Version 2.0.0", "1.7.3", 2025});
        const QString pad(4, ' ');
        QCOMPARE(window.lblLabel4()->text(), QString("Version 2.0.0"));
        QCOMPARE(window.label3()->toolTip(), pad + "Version 2.0.0" + pad);
        QCOMPARE(window.label3()->text(), QString("Corvane Pro"));
        QCOMPARE(window.image1(3)->toolTip(), pad + "Version 2.0.0" + pad);
        QCOMPARE(window.image1(1)->toolTip(), pad + "Toolbox version 1.7.3" + pad);
        QCOMPARE(window.frame3D2()->toolTip(), pad + "Version 2.0.0" + pad);
        // the year completes the translated caption's range
        QCOMPARE(window.frame3D2()->caption(), QString("Notice 1999-2025"));
    }
};

QTEST_MAIN(TestFormMain)
#include "test_form_main.moc"

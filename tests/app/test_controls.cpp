// the stand-in controls: what the windows rely on of each
#include <QSignalSpy>
#include <QtTest>

#include "app/frame3d.h"
#include "app/icons.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
#include "app/translate_form.h"
#include "app/vista_prog.h"

using namespace corvane;

namespace {
// a press at one point and a release at another, the way a user drags off a control to cancel
void PressRelease(QWidget* widget, QPoint press, QPoint release) {
    QTest::mousePress(widget, Qt::LeftButton, {}, press);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, release);
}
} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void progressClamps_data() {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::addColumn<double>("fraction");
        QTest::newRow("inside") << 4 << 1 << 1 << 0.25;
        QTest::newRow("full") << 3 << 3 << 3 << 1.0;
        QTest::newRow("above") << 3 << 7 << 3 << 1.0;
        QTest::newRow("below") << 10 << -2 << 0 << 0.0;
        QTest::newRow("empty group") << 0 << 0 << 0 << 0.0;
        QTest::newRow("negative maximum") << -5 << 1 << 0 << 0.0;
    }

    void progressClamps() {
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, expected);
        QFETCH(double, fraction);
        VistaProg bar;
        bar.setMaximum(maximum);
        bar.setValue(value);
        QCOMPARE(bar.value(), expected);
        QCOMPARE(bar.fraction(), fraction);
    }

    void progressShrinkingMaximumPullsValue() {
        VistaProg bar;
        bar.setMaximum(10);
        bar.setValue(8);
        bar.setMaximum(5);
        QCOMPARE(bar.value(), 5);
        bar.setProperty("Value", 2);
        QCOMPARE(bar.value(), 2);
    }

    void progressPaintsItsShare() {
        VistaProg bar;
        bar.resize(200, 12);
        bar.setMaximum(4);
        bar.setValue(1);
        const QImage picture = bar.grab().toImage();
        const QColor filled = picture.pixelColor(20, 6);
        const QColor empty = picture.pixelColor(150, 6);
        QVERIFY2(filled.green() > filled.red() + 40, "the done part is green");
        QVERIFY(qAbs(empty.red() - empty.blue()) < 20);
    }

    void clicks_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("releaseInside");
        QTest::addColumn<int>("clicks");
        for (const char* kind : {"button", "frame", "image"}) {
            QTest::addRow("%s click", kind) << kind << true << 1;
            QTest::addRow("%s dragged off", kind) << kind << false << 0;
        }
    }

    void clicks() {
        QFETCH(QString, kind);
        QFETCH(bool, releaseInside);
        QFETCH(int, clicks);
        QWidget window;
        QWidget* control = nullptr;
        std::unique_ptr<QSignalSpy> spy;
        if (kind == "button") {
            auto* button = new PelmButton(&window);
            spy = std::make_unique<QSignalSpy>(button, &PelmButton::clicked);
            control = button;
        } else if (kind == "frame") {
            auto* frame = new Frame3D(&window);
            spy = std::make_unique<QSignalSpy>(frame, &Frame3D::clicked);
            control = frame;
        } else {
            auto* image = new ImageControl(&window);
            image->setPicture(HelpPicture(32));
            spy = std::make_unique<QSignalSpy>(image, &ImageControl::clicked);
            control = image;
        }
        control->setGeometry(10, 10, 80, 30);
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PressRelease(control, {40, 15}, releaseInside ? QPoint(45, 16) : QPoint(150, 60));
        QCOMPARE(spy->count(), clicks);
    }

    void captions_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("hasCaption");
        QTest::newRow("button") << "button" << true;
        QTest::newRow("frame") << "frame" << true;
        QTest::newRow("progress bar") << "progress" << false;
        QTest::newRow("image") << "image" << false;
    }

    void captions() {
        QFETCH(QString, kind);
        QFETCH(bool, hasCaption);
        std::unique_ptr<QWidget> control;
        if (kind == "button")
            control = std::make_unique<PelmButton>();
        else if (kind == "frame")
            control = std::make_unique<Frame3D>();
        else if (kind == "progress")
            control = std::make_unique<VistaProg>();
        else
            control = std::make_unique<ImageControl>();
        QCOMPARE(SetControlCaption(control.get(), "Titre|deux"), hasCaption);
        QCOMPARE(control->property("Caption").toString(), hasCaption ? QString("Titre|deux") : QString());
    }

    void buttonMnemonicAndHighlight() {
        QWidget window;
        auto* button = new PelmButton(&window);
        button->setCaption("&Archive");
        QCOMPARE(button->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
        button->resize(140, 34);
        const QImage plain = button->grab().toImage();
        button->setProperty("Property1", true);
        QVERIFY(button->property1());
        QVERIFY(button->grab().toImage() != plain);
        button->setProperty1(false);
        QCOMPARE(button->grab().toImage(), plain);
    }

    void picturesAreDrawn_data() {
        QTest::addColumn<QPixmap>("picture");
        QTest::newRow("logo") << ProductLogo(48);
        QTest::newRow("help") << HelpPicture(48);
        QTest::newRow("unzip") << UnzipPicture(48);
        QTest::newRow("version") << VersionPicture(48);
        QTest::newRow("eye") << EyePicture(48, false);
        QTest::newRow("crossed eye") << EyePicture(48, true);
    }

    void picturesAreDrawn() {
        QFETCH(QPixmap, picture);
        const QImage image = picture.toImage();
        QCOMPARE(image.size(), QSize(48, 48));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0); // transparent corner
        QVERIFY(image.pixelColor(24, 30).alpha() > 0);
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"

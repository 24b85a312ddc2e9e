// the stand-in controls: what the windows rely on of each
#include <QSignalSpy>
#include <QtTest>

#include "app/frame3d.h"
#include "app/icons.h"
#include "app/image_control.h"
#include "app/pelm_button.h"
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
        bar.setMaximum(maximum / 2); // a smaller maximum pulls the value down with it
        QCOMPARE(bar.value(), qMin(expected, qMax(0, maximum / 2)));
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
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"

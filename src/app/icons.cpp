// drawing of the program's pictures, declared with the controls that show them
#include "app/controls.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace corvane {

namespace {
const QColor kBlue(0x2f, 0x7d, 0xd8);
const QColor kDeepBlue(0x1b, 0x4f, 0x9c);
const QColor kGreen(0x2f, 0x9e, 0x44);
const QColor kInk(0x33, 0x44, 0x58);

QPixmap Draw(int size, const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    paint(painter);
    return pixmap;
}

void RoundBadge(QPainter& painter, const QColor& top, const QColor& bottom) {
    QLinearGradient fill(0, 2, 0, 62);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(3, 3, 58, 58));
}

void CentredGlyph(QPainter& painter, const QString& glyph, qreal pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(static_cast<int>(pixelSize));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, 64, 64), Qt::AlignCenter, glyph);
}

// an archive box with a zip fastener down its front: the product's sign
void ArchiveBox(QPainter& painter, const QColor& body, const QColor& line) {
    painter.setPen(QPen(line, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(13, 24, 38, 30), 3, 3);
    painter.drawRoundedRect(QRectF(10, 14, 44, 11), 3, 3);
    painter.setPen(QPen(line, 3, Qt::SolidLine, Qt::FlatCap));
    for (int y = 28; y < 50; y += 6) {
        painter.drawLine(QPointF(28.5, y), QPointF(32, y));
        painter.drawLine(QPointF(32, y + 3), QPointF(35.5, y + 3));
    }
}
} // namespace

QPixmap ProductLogo(int size) {
    return Draw(size, [](QPainter& painter) {
        QLinearGradient fill(0, 0, 0, 64);
        fill.setColorAt(0, kBlue);
        fill.setColorAt(1, kDeepBlue);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(2, 2, 60, 60), 13, 13);
        ArchiveBox(painter, QColor(255, 255, 255, 235), kDeepBlue);
    });
}

QPixmap HelpPicture(int size) {
    return Draw(size, [](QPainter& painter) {
        RoundBadge(painter, kBlue.lighter(115), kDeepBlue);
        CentredGlyph(painter, QStringLiteral("?"), 40);
    });
}

QPixmap VersionPicture(int size) {
    return Draw(size, [](QPainter& painter) {
        RoundBadge(painter, QColor(0x6c, 0x7f, 0x96), kInk);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(28, 13, 8, 8));
        painter.drawRoundedRect(QRectF(28.5, 25, 7, 26), 2, 2);
    });
}

QPixmap UnzipPicture(int size) {
    return Draw(size, [](QPainter& painter) {
        painter.translate(-4, 2);
        ArchiveBox(painter, QColor(0xf6, 0xe7, 0xb8), QColor(0x8a, 0x6a, 0x1c));
        // a green badge with the arrow out of the box, legible down to 24 pixels
        painter.resetTransform();
        painter.scale(painter.device()->width() / 64.0, painter.device()->height() / 64.0);
        painter.setPen(QPen(Qt::white, 3));
        painter.setBrush(kGreen);
        painter.drawEllipse(QPointF(47, 45), 15, 15);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        QPainterPath arrow;
        arrow.moveTo(47, 34);
        arrow.lineTo(56, 44);
        arrow.lineTo(50.5, 44);
        arrow.lineTo(50.5, 54);
        arrow.lineTo(43.5, 54);
        arrow.lineTo(43.5, 44);
        arrow.lineTo(38, 44);
        arrow.closeSubpath();
        painter.drawPath(arrow);
    });
}

QPixmap EyePicture(int size, bool crossed) {
    return Draw(size, [crossed](QPainter& painter) {
        QPainterPath eye;
        eye.moveTo(4, 32);
        eye.quadTo(32, 4, 60, 32);
        eye.quadTo(32, 60, 4, 32);
        painter.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::white);
        painter.drawPath(eye);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBlue);
        painter.drawEllipse(QPointF(32, 32), 11, 11);
        painter.setBrush(kInk);
        painter.drawEllipse(QPointF(32, 32), 5, 5);
        if (crossed) {
            painter.setPen(QPen(Qt::white, 9, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(12, 54), QPointF(52, 10));
            painter.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 4.5, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(12, 54), QPointF(52, 10));
        }
    });
}

QIcon WindowIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ProductLogo(size));
    return icon;
}

} // namespace corvane

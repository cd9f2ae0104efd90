#include "console/app/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

namespace artwork {
namespace {

// Everything is drawn on a 32 x 32 grid and scaled to the size asked for.
constexpr qreal Grid = 32.0;

const QColor Body(0x4a, 0x55, 0x68);
const QColor Paper(0xfd, 0xfd, 0xf8);
const QColor Ink(0x2d, 0x37, 0x48);
const QColor Green(0x2f, 0x9e, 0x44);
const QColor Red(0xd6, 0x33, 0x33);
const QColor Amber(0xf0, 0x9a, 0x1a);
const QColor Grey(0x9a, 0xa3, 0xad);

// A receipt printer seen from the front, a slip of paper coming out on top.
void printer(QPainter& p, const QColor& light) {
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRect(QRectF(9, 2, 14, 15)); // the slip
    p.setPen(QPen(Grey, 1.2));
    for (qreal y : {6.0, 9.0, 12.0})
        p.drawLine(QPointF(12, y), QPointF(20, y));
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Body);
    p.drawRoundedRect(QRectF(3, 13, 26, 15), 3, 3);
    p.setBrush(Ink);
    p.drawRect(QRectF(8, 16, 16, 2.5)); // the paper slot
    p.setBrush(light);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(22, 21.5, 4, 4));
}

void disc(QPainter& p, const QColor& fill) {
    p.setPen(QPen(fill.darker(140), 1.5));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2, 2, 28, 28));
}

// Two plug halves: joined when the link is open, apart when it is not.
void plug(QPainter& p, bool joined) {
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
    const qreal gap = joined ? 0 : 3;
    p.drawLine(QPointF(6, 16), QPointF(11 - gap, 16));
    p.drawLine(QPointF(21 + gap, 16), QPointF(26, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(10 - gap, 11, 6, 10), 1.5, 1.5);
    p.drawRoundedRect(QRectF(16 + gap, 11, 6, 10), 1.5, 1.5);
    if (!joined) {
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 6), QPointF(17, 9));
        p.drawLine(QPointF(17, 23), QPointF(15, 26));
    }
}

// Sending: an amber disc with three bars of data, one of them lit.
void sendingFrame(QPainter& p, int lit) {
    disc(p, Amber);
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(i == lit ? QColor(Qt::white) : QColor(255, 255, 255, 90));
        QPainterPath arrow;
        const qreal x = 7 + i * 6.5;
        arrow.moveTo(x, 10);
        arrow.lineTo(x + 5, 16);
        arrow.lineTo(x, 22);
        arrow.lineTo(x + 2.5, 16);
        arrow.closeSubpath();
        p.drawPath(arrow);
    }
}

void sendArrow(QPainter& p) {
    QPainterPath plane;
    plane.moveTo(3, 15);
    plane.lineTo(29, 4);
    plane.lineTo(20, 28);
    plane.lineTo(15, 19);
    plane.closeSubpath();
    p.setPen(QPen(Green.darker(150), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Green);
    p.drawPath(plane);
    p.setPen(QPen(Qt::white, 1.4));
    p.drawLine(QPointF(15, 19), QPointF(29, 4));
}

void stopSquare(QPainter& p) {
    disc(p, Red);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(10.5, 10.5, 11, 11), 1.5, 1.5);
}

void exitDoor(QPainter& p) {
    p.setPen(QPen(Ink, 1.6));
    p.setBrush(QColor(0xc9, 0x8b, 0x4b));
    p.drawRect(QRectF(5, 3, 14, 26));
    p.setBrush(Ink);
    p.drawEllipse(QRectF(15, 15, 2.5, 2.5));
    p.setPen(QPen(Red, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(17, 9), QPointF(29, 9));
    p.drawLine(QPointF(25, 5), QPointF(29, 9));
    p.drawLine(QPointF(25, 13), QPointF(29, 9));
}

bool draw(QPainter& p, int id) {
    switch (id) {
    case LinkOpen:
        disc(p, Green);
        plug(p, true);
        return true;
    case NoLink:
        disc(p, Grey);
        plug(p, false);
        return true;
    case WindowIcon:
    case AboutIcon:
        printer(p, Green);
        return true;
    case BusyWindowIcon:
        printer(p, Amber);
        return true;
    case SendFrame1:
    case SendFrame2:
    case SendFrame3:
        sendingFrame(p, id - SendFrame1);
        return true;
    case ExitButton:
        exitDoor(p);
        return true;
    case SendButton:
        sendArrow(p);
        return true;
    case SendBusyButton:
        stopSquare(p);
        return true;
    default:
        return false;
    }
}

} // namespace

QPixmap picture(int resourceId, QSize size) {
    if (size.isEmpty())
        size = QSize(32, 32);
    // Each picture is drawn once per size: the window icon, the button states
    // and the animation frames are asked for again and again.
    const QString key = QStringLiteral("quorvane-art-%1-%2x%3")
                            .arg(resourceId)
                            .arg(size.width())
                            .arg(size.height());
    QPixmap pm;
    if (QPixmapCache::find(key, &pm))
        return pm;
    pm = QPixmap(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Square pictures, centred in whatever the control gives them.
    const qreal side = qMin(size.width(), size.height());
    p.translate((size.width() - side) / 2.0, (size.height() - side) / 2.0);
    p.scale(side / Grid, side / Grid);
    draw(p, resourceId);
    p.end();
    QPixmapCache::insert(key, pm);
    return pm;
}

QIcon icon(int resourceId) {
    QIcon result;
    for (int side : {16, 24, 32, 48, 64})
        result.addPixmap(picture(resourceId, QSize(side, side)));
    return result;
}

} // namespace artwork

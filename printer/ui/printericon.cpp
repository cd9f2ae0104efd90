#include "printer/ui/printericon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace posprinter {

QImage printerIconImage(int side) {
    // Drawn on a 32 px grid in the colours of Quorvane's pictures.
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 32.0, side / 32.0);
    const QColor ink(0x2d, 0x37, 0x48);
    QPainterPath receipt;
    receipt.moveTo(7, 2);
    receipt.lineTo(25, 2);
    receipt.lineTo(25, 28);
    for (int i = 0; i < 6; ++i) { // the torn edge
        receipt.lineTo(25 - 3 * i - 1.5, 30);
        receipt.lineTo(25 - 3 * (i + 1), 28);
    }
    receipt.closeSubpath();
    p.setPen(QPen(ink, 1.2));
    p.setBrush(QColor(0xfd, 0xfd, 0xf8));
    p.drawPath(receipt);
    p.setPen(QPen(QColor(0x9a, 0xa3, 0xad), 1.6, Qt::SolidLine, Qt::FlatCap));
    for (const double y : {6.5, 10.0, 13.5})
        p.drawLine(QPointF(10, y), QPointF(y == 10.0 ? 18 : 22, y));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const double bars[][2] = {{10, 1.2},   {12, 0.6},   {13.4, 1.6}, {16, 0.6},
                              {17.6, 1.2}, {19.6, 0.6}, {21, 1.0}};
    for (const auto& bar : bars)
        p.drawRect(QRectF(bar[0], 17.5, bar[1], 7));
    return image;
}

QIcon printerIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(printerIconImage(side)));
    return icon;
}

} // namespace posprinter

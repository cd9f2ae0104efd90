// Renders a program's icon for the hicolor theme from the program's own
// artwork, so the installed icons never drift from the window icons.
//
//   poskit_iconrender PROGRAM DIR SIZE...   writes DIR/PROGRAM-SIZE.png

#include "blackmark/ui/ticketsamples.h"
#include "console/app/artwork.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

// Ostrelle's icon is pixel art at 32 px: enlarge it by whole pixels (blocks
// stay crisp), then smooth it down to sizes that are not a whole multiple.
QImage fromPixelArt(const QImage& art, int side) {
    const int factor = (side + art.width() - 1) / art.width();
    QImage image = art.scaled(art.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (image.width() != side)
        image = image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

// The virtual printer's icon until its window has artwork of its own: a
// receipt with a torn edge, a few lines of text and a barcode, drawn on the
// same 32 px grid and in the same colours as Quorvane's pictures.
QImage virtualPrinterIcon(int side) {
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

std::optional<QImage> render(const QString& program, int side) {
    if (program == QLatin1String("quorvane"))
        return artwork::picture(artwork::WindowIcon, QSize(side, side)).toImage();
    if (program == QLatin1String("halmbrook"))
        return halmbrook::applicationIcon().pixmap(QSize(side, side)).toImage();
    if (program == QLatin1String("ostrelle")) {
        const QImage art(QStringLiteral(":/ostrelle/ostrelle.png"));
        if (art.isNull())
            return std::nullopt;
        return fromPixelArt(art, side);
    }
    if (program == QLatin1String("posprinter"))
        return virtualPrinterIcon(side);
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: poskit_iconrender PROGRAM DIR SIZE...\n");
        return 2;
    }
    const QString& program = args.at(1);
    const QString& dir = args.at(2);
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int side = args.at(i).toInt(&ok);
        const std::optional<QImage> image = ok && side > 0 ? render(program, side) : std::nullopt;
        const QString path = QStringLiteral("%1/%2-%3.png").arg(dir, program).arg(side);
        if (!image || image->size() != QSize(side, side) || !image->save(path)) {
            std::fprintf(stderr, "poskit_iconrender: cannot make %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}

// Renders a program's icon for the hicolor theme from the program's own
// artwork, so the installed icons never drift from the window icons.
//
//   poskit_iconrender PROGRAM DIR SIZE...   writes DIR/PROGRAM-SIZE.png

#include "blackmark/ui/ticketsamples.h"
#include "console/app/artwork.h"
#include "printer/ui/printericon.h"

#include <QGuiApplication>
#include <QImage>
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
        return posprinter::printerIconImage(side);
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

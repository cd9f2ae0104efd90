#include "blackmark/ui/ticketsamples.h"

#include "platform/dialog/templatedialog.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QPolygonF>

#include <array>
#include <cmath>

namespace halmbrook {
namespace {

// Both pictures show a strip of tickets as it leaves the printer, top first:
// the previous ticket's tail, one whole ticket between two cutting lines and
// the next ticket's head. Positions along the ticket are fractions of its length.
struct SampleLayout {
    QSize size;        // design size, px
    int drawnWidth;    // the picture proper; the rest stays clear for the window's
                       // controls that reach into the rectangle
    double printStart; // first printed line
    double markTop;    // leading edge of the mark: where the sensor detects it
    double markBottom;
    const char* note; // one line telling the two layouts apart
};

const SampleLayout& layoutFor(int bitmapId) {
    // Sample 1: the start offset is measured from the print start forward to
    // the mark, which lies further down the ticket. Sample 2: the mark leads
    // and printing starts the offset after it.
    static const SampleLayout sample1{QSize(551, 221),           484, 0.17, 0.62, 0.73,
                                      "黑标位于起始打印位置下方"};
    static const SampleLayout sample2{QSize(477, 309),           414, 0.40, 0.11, 0.20,
                                      "黑标位于起始打印位置上方"};
    return bitmapId == TicketSample2Bitmap ? sample2 : sample1;
}

const QColor Ink(0x20, 0x20, 0x20);
const QColor CutColor(0xD0, 0x20, 0x20);
const QColor StartColor(0x10, 0x80, 0x30);
const QColor DetectColor(0x10, 0x50, 0xC0);
const QColor PaperEdge(0x80, 0x80, 0x80);
const QColor PrintedLine(0xA8, 0xA8, 0xA8);

QFont pictureFont(double pixelSize, bool bold = false) {
    QFont font = dialog::templateFont({}, 9);
    font.setPixelSize(static_cast<int>(std::lround(pixelSize)));
    font.setBold(bold);
    return font;
}

void arrowHead(QPainter& p, QPointF tip, double dy) {
    const QPolygonF head{tip, tip + QPointF(-3.5, -dy), tip + QPointF(3.5, -dy)};
    p.drawPolygon(head);
}

// A vertical dimension between two heights, with arrow heads at both ends.
void dimension(QPainter& p, double x, double y1, double y2, const QColor& color) {
    p.setPen(QPen(color, 1.2));
    p.setBrush(color);
    p.drawLine(QPointF(x, y1 + 1), QPointF(x, y2 - 1));
    arrowHead(p, QPointF(x, y1), -7);
    arrowHead(p, QPointF(x, y2), 7);
}

// Text whose left edge is at x and whose middle is at y, on a clear ground.
void label(QPainter& p, double x, double y, const QString& text, const QColor& color,
           const QColor& ground) {
    const QFontMetricsF fm(p.font());
    const QRectF box(x, y - fm.height() / 2, fm.horizontalAdvance(text) + 4, fm.height());
    p.fillRect(box, ground);
    p.setPen(color);
    p.drawText(box.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}

// A torn paper end: a zigzag across the strip.
QPolygonF tornEdge(double left, double right, double y, double depth, bool top) {
    QPolygonF edge;
    const int teeth = std::max(4, static_cast<int>((right - left) / 9));
    for (int i = 0; i <= teeth; ++i) {
        const double x = left + (right - left) * i / teeth;
        edge << QPointF(x, y + ((i % 2) != 0 ? (top ? depth : -depth) : 0.0));
    }
    return edge;
}

} // namespace

QSize ticketSampleDesignSize(int bitmapId) {
    return layoutFor(bitmapId).size;
}

void paintTicketSample(QPainter& p, int bitmapId) {
    const SampleLayout& L = layoutFor(bitmapId);
    const double w = L.drawnWidth;
    const double h = L.size.height();
    const QColor ground(0xFB, 0xFB, 0xF8);

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, 0, w, h), ground);
    p.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));

    const double fontPx = 12.5;
    p.setFont(pictureFont(fontPx));
    const QFontMetricsF fm(p.font());

    // Vertical frame: a little of the neighbours above and below the ticket.
    const double margin = 4;
    const double partial = std::max(fm.height() + 8, h * 0.10);
    const double t1 = margin + partial;     // cutting line above the ticket
    const double t2 = h - margin - partial; // cutting line below it
    const double len = t2 - t1;
    const auto at = [&](double fraction) { return t1 + fraction * len; };

    // Horizontal frame: length dimension | paper strip | offset dimensions | line labels.
    const double stripLeft = 8 + fm.horizontalAdvance(QStringLiteral("票据长度")) + 18;
    const double stripWidth = std::min(130.0, w * 0.24);
    const double stripRight = stripLeft + stripWidth;
    const double labelX = w - 10 - fm.horizontalAdvance(QStringLiteral("黑标检测位置")) - 6;

    // The paper, torn off above and below.
    const double paperTop = margin + 2;
    const double paperBottom = h - margin - 2;
    QPolygonF paper = tornEdge(stripLeft, stripRight, paperTop + 3, 3, true);
    QPolygonF bottom = tornEdge(stripLeft, stripRight, paperBottom - 3, 3, false);
    std::reverse(bottom.begin(), bottom.end());
    paper << bottom;
    p.setPen(QPen(PaperEdge, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(paper);

    // Printed lines and marks repeat with every ticket; clip them to the paper.
    p.save();
    QPainterPath clip;
    clip.addPolygon(paper);
    p.setClipPath(clip);
    const double markWidth = stripWidth * 0.2;
    const double textLeft = stripLeft + markWidth + 10;
    const double textRight = stripRight - 8;
    static constexpr std::array<double, 7> Widths{1.0, 0.7, 0.85, 0.55, 0.9, 0.6, 0.75};
    for (int k = -1; k <= 1; ++k) {
        const double shift = k * len;
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRect(
            QRectF(stripLeft, at(L.markTop) + shift, markWidth, (L.markBottom - L.markTop) * len));
        // Text runs from the print start to just before the next cutting line.
        const double lineGap = 9;
        int i = 0;
        for (double y = at(L.printStart) + shift; y < t2 + shift - 8; y += lineGap, ++i) {
            const double lw = (textRight - textLeft) * Widths[static_cast<std::size_t>(i) % 7];
            p.setPen(QPen(i == 0 ? StartColor : PrintedLine, 3, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(textLeft, y + 2), QPointF(textLeft + lw, y + 2));
        }
    }
    p.restore();

    // The three kinds of position, as lines across the strip out to their labels.
    const auto positionLine = [&](double y, const QColor& color, Qt::PenStyle style,
                                  const QString& text) {
        p.setPen(QPen(color, 1.4, style));
        p.drawLine(QPointF(stripLeft - 4, y), QPointF(labelX - 2, y));
        label(p, labelX, y, text, color, ground);
    };
    const QString cutText = QStringLiteral("切/撕纸位置");
    positionLine(t1, CutColor, Qt::DashLine, cutText);
    positionLine(t2, CutColor, Qt::DashLine, cutText);
    positionLine(at(L.printStart), StartColor, Qt::SolidLine, QStringLiteral("起始打印位置"));
    positionLine(at(L.markTop), DetectColor, Qt::SolidLine, QStringLiteral("黑标检测位置"));

    // The mark, named beside the strip where no line passes.
    p.setPen(Ink);
    const double markMid = at((L.markTop + L.markBottom) / 2);
    const QString markText = QStringLiteral("黑标");
    p.drawText(QRectF(stripLeft - fm.horizontalAdvance(markText) - 16, markMid - fm.height() / 2,
                      fm.horizontalAdvance(markText) + 2, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, markText);
    p.drawLine(QPointF(stripLeft - 13, markMid), QPointF(stripLeft + markWidth / 2, markMid));

    // Ticket length, left of the strip.
    const double lengthX = stripLeft - 10;
    dimension(p, lengthX, t1, t2, Ink);
    const double lengthMid = (at(L.markBottom) + t2) / 2 > at(0.5) ? at(0.3) : at(0.6);
    p.setPen(Ink);
    p.drawText(QRectF(4, lengthMid - fm.height() / 2, lengthX - 8, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("票据长度"));

    // The two offsets, both measured from the detection position. The longer
    // one sits nearer the strip so neither label crosses the other arrow.
    const double detect = at(L.markTop);
    const double start = at(L.printStart);
    const double nearX = stripRight + 16;
    const double farX = stripRight + 44;
    dimension(p, nearX, detect, t2, CutColor);
    label(p, nearX + 5, (detect + t2) / 2, QStringLiteral("切/撕纸位置偏移量"), CutColor, ground);
    dimension(p, farX, std::min(detect, start), std::max(detect, start), StartColor);
    label(p, farX + 5, (detect + start) / 2, QStringLiteral("起始打印位置偏移量"), StartColor,
          ground);

    // Feed direction, in the torn-off head of the strip.
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Ink);
    const double feedY = paperTop + partial / 2;
    const QString feedText = QStringLiteral("走纸方向");
    const double feedX = 8;
    p.drawLine(QPointF(feedX + 4, feedY + 6), QPointF(feedX + 4, feedY - 4));
    arrowHead(p, QPointF(feedX + 4, feedY - 7), -6);
    p.drawText(QRectF(feedX + 12, feedY - fm.height() / 2, fm.horizontalAdvance(feedText) + 4,
                      fm.height()),
               Qt::AlignLeft | Qt::AlignVCenter, feedText);

    // Which layout this is, in words, along the bottom.
    p.setFont(pictureFont(fontPx, true));
    p.setPen(Ink);
    p.drawText(QRectF(stripRight + 10, h - margin - partial + 4, w - stripRight - 16, partial - 4),
               Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8(L.note));
    p.restore();
}

QPixmap ticketSamplePixmap(int bitmapId, QSize logicalSize, qreal pixelRatio) {
    if (bitmapId != TicketSample1Bitmap && bitmapId != TicketSample2Bitmap)
        return {};
    if (logicalSize.isEmpty())
        logicalSize = ticketSampleDesignSize(bitmapId);
    QPixmap pixmap(logicalSize * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QSize design = ticketSampleDesignSize(bitmapId);
    p.scale(static_cast<double>(logicalSize.width()) / design.width(),
            static_cast<double>(logicalSize.height()) / design.height());
    paintTicketSample(p, bitmapId);
    return pixmap;
}

QIcon applicationIcon() {
    // A ticket with its black mark and a dashed cutting line.
    // Drawn once: the window, the About box and its picture all show it.
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString key = QStringLiteral("halmbrook-icon-%1").arg(side);
        QPixmap pixmap;
        if (QPixmapCache::find(key, &pixmap)) {
            icon.addPixmap(pixmap);
            continue;
        }
        pixmap = QPixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = side / 32.0;
        p.scale(s, s);
        p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2, 18, 28));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRect(QRectF(7.6, 17, 4.4, 6));
        p.setPen(QPen(QColor(0x9A, 0x9A, 0x9A), 1.6, Qt::SolidLine, Qt::FlatCap));
        for (const double y : {7.0, 10.5, 14.0})
            p.drawLine(QPointF(14, y), QPointF(y == 10.5 ? 20 : 23, y));
        p.setPen(QPen(CutColor, 1.8, Qt::DashLine, Qt::FlatCap));
        p.drawLine(QPointF(3, 26), QPointF(29, 26));
        p.end();
        QPixmapCache::insert(key, pixmap);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace halmbrook

#include "console/widgets/xpedit.h"

namespace xpedit {

void paintFrame(QPainter& p, const QRect& bounds, const FrameLook& look, const QPalette& pal) {
    const QRect outer = bounds.adjusted(0, 0, -1, -1);
    p.setPen(look.focused && look.writable ? OuterFocused : Outer);
    p.setBrush(Qt::NoBrush);
    p.drawRect(outer);

    // The inner line: white around a field that takes typing; the edit's own
    // background otherwise, where it does not show. Beside a scroll bar it
    // takes the bar's face.
    const QRect inner = bounds.adjusted(1, 1, -1, -1);
    const QColor line = look.writable ? QColor(Qt::white) : look.background;
    const QColor face = pal.color(QPalette::Button);
    p.setPen(line);
    p.drawLine(inner.topLeft(), inner.topRight());
    p.drawLine(inner.topLeft(), inner.bottomLeft());
    p.setPen(look.writable && look.horizontalBar ? face : line);
    p.drawLine(inner.bottomLeft(), inner.bottomRight());
    p.setPen(look.writable && look.verticalBar ? face : line);
    p.drawLine(inner.topRight(), inner.bottomRight());
}

} // namespace xpedit

#include "console/widgets/iconbutton.h"

#include "console/app/artwork.h"

#include <QEnterEvent>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

QColor shiftedColour(QColor colour, int offset) {
    const int r = colour.red();
    const int g = colour.green();
    const int b = colour.blue();
    if (offset > 0)
        offset = std::min(offset, 255 - std::max({r, g, b}));
    else if (offset < 0)
        offset = std::max(offset, -std::min({r, g, b}));
    return QColor(r + offset, g + offset, b + offset);
}

IconButton::IconButton(QWidget* parent) : QPushButton(parent) {
    const QPalette& pal = palette();
    for (int i = 0; i < ColourCount; i += 2) {
        m_colours[static_cast<std::size_t>(i)] = pal.color(QPalette::Button);
        m_colours[static_cast<std::size_t>(i + 1)] = pal.color(QPalette::ButtonText);
    }
    setFlat(true);
}

void IconButton::setIconResource(int resourceId) {
    m_iconResource = resourceId;
    m_picture = artwork::icon(resourceId);
    // Also the button's own icon, for whoever asks a QPushButton for it.
    setIcon(m_picture);
    setProperty("iconResource", resourceId);
    update();
}

IconButton::ShiftResult IconButton::shiftColour(int index, int offset, bool repaint) {
    if (index < 0 || index >= ColourCount)
        return BadIndex;
    if (offset < -255 || offset > 255)
        return BadOffset;
    QColor& c = m_colours[static_cast<std::size_t>(index)];
    c = shiftedColour(c, offset);
    if (repaint)
        update();
    return Shifted;
}

QColor IconButton::colour(int index) const {
    if (index < 0 || index >= ColourCount)
        return {};
    return m_colours[static_cast<std::size_t>(index)];
}

void IconButton::setTooltipText(const QString& text, bool activate) {
    m_tipText = text;
    setToolTip(activate ? m_tipText : QString());
}

void IconButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    // Only a flat button follows the mouse, and not when the mouse comes in
    // with the left button held (a drag that started elsewhere).
    if (isFlat() && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        m_mouseOver = true;
        update();
    }
}

void IconButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    clearMouseOver();
}

void IconButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    clearMouseOver();
}

void IconButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        clearMouseOver();
}

bool IconButton::event(QEvent* event) {
    // A modal box opening over the window cancels the hover as well.
    if (event->type() == QEvent::WindowBlocked)
        clearMouseOver();
    return QPushButton::event(event);
}

void IconButton::clearMouseOver() {
    if (!m_mouseOver)
        return;
    m_mouseOver = false;
    update();
}

namespace {

// A one-pixel edge: `topLeft` on the top and left sides, `bottomRight` on
// the bottom and right ones.
void drawEdge(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

void IconButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const bool pressed = isDown();
    const bool focused = hasFocus();
    const bool flat = isFlat();
    const auto colourAt = [this](int i) { return m_colours[static_cast<std::size_t>(i)]; };

    QRect r = rect();
    // 1. A raised button that has the focus or is the default one: a black frame.
    if (!flat && (focused || isDefault())) {
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }

    // 2. The background.
    QColor background = colourAt(BackgroundNormal);
    if (m_mouseOver || pressed)
        background = colourAt(BackgroundOver);
    else if (focused)
        background = colourAt(BackgroundFocused);
    p.fillRect(r, background);

    // 3. The border.
    const QColor highlight = pal.color(QPalette::Light);
    const QColor light = pal.color(QPalette::Midlight);
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor darkShadow = pal.color(QPalette::Shadow);
    if (!pressed) {
        if (!flat) {
            drawEdge(p, r, highlight, darkShadow);
            drawEdge(p, r.adjusted(1, 1, -1, -1), light, shadow);
        } else if (m_mouseOver) {
            drawEdge(p, r, highlight, shadow);
        }
    } else if (!flat) {
        p.setPen(shadow);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
        drawEdge(p, r, shadow, highlight);
    }

    // 4. The icon: three pixels from the left beside a caption, else in the
    // middle; its own size, made smaller only where the button is lower.
    const QPoint shift = pressed ? QPoint(1, 1) : QPoint(0, 0);
    const QRect whole = rect();
    const QString caption = text();
    QRect captionArea = whole;
    if (!m_picture.isNull()) {
        const int side = std::max(0, std::min(IconSize, r.height() - 4));
        QRect iconRect(0, 0, side, side);
        if (caption.isEmpty())
            iconRect.moveCenter(whole.center());
        else
            iconRect.moveTo(whole.left() + 3, whole.top() + (whole.height() - side) / 2);
        captionArea.setLeft(iconRect.right() + 1);
        m_picture.paint(&p, iconRect.translated(shift), Qt::AlignCenter,
                        isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }

    // 5. The caption, wrapped and centred in what is left; embossed when off.
    if (!caption.isEmpty()) {
        const int flags = Qt::AlignCenter | Qt::TextWordWrap;
        const QRect area = captionArea.translated(shift);
        if (isEnabled()) {
            p.setPen(m_mouseOver || pressed ? colourAt(TextOver) : colourAt(TextNormal));
            p.drawText(area, flags, caption);
        } else {
            p.setPen(highlight);
            p.drawText(area.translated(1, 1), flags, caption);
            p.setPen(shadow);
            p.drawText(area, flags, caption);
        }
    }

    // 6. A raised button with the focus: a dotted rectangle three pixels in.
    if (focused && !flat) {
        QPen dots(pal.color(QPalette::ButtonText));
        dots.setStyle(Qt::DotLine);
        p.setPen(dots);
        p.drawRect(whole.adjusted(3, 3, -4, -4));
    }
}

#pragma once

// The console's Send and Exit buttons: a push button that draws itself with
// an icon beside its caption, six colours of its own (background and text
// with the mouse over it, at rest and focused) and either a raised
// three-dimensional border or a flat face that shows an edge only while the
// mouse is over it. The border and frame colours come from the palette, so
// the button follows the desktop's theme; it stays a QPushButton to
// handlers, tests and screen readers.

#include <QColor>
#include <QIcon>
#include <QPushButton>

#include <array>

class IconButton : public QPushButton {
public:
    enum ColourIndex : int {
        BackgroundOver = 0,
        TextOver = 1,
        BackgroundNormal = 2,
        TextNormal = 3,
        BackgroundFocused = 4,
        TextFocused = 5,
    };
    static constexpr int ColourCount = 6;
    // What shiftColour answers.
    enum ShiftResult : int { Shifted = 0, BadIndex = 3, BadOffset = 5 };

    explicit IconButton(QWidget* parent = nullptr);

    // The console's picture of that number (see artwork.h); repaints.
    void setIconResource(int resourceId);
    [[nodiscard]] int iconResource() const { return m_iconResource; }

    // Adds the same offset (-255..255) to the red, green and blue of a state
    // colour, cut down so that no channel leaves 0..255.
    ShiftResult shiftColour(int index, int offset, bool repaint = true);
    [[nodiscard]] QColor colour(int index) const;

    // The tip shown over the button; an inactive tip keeps its text but does
    // not show.
    void setTooltipText(const QString& text, bool activate = true);

    [[nodiscard]] bool isMouseOver() const { return m_mouseOver; }

    // The icon's own size, before it is fitted to the button's height.
    static constexpr int IconSize = 32;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void clearMouseOver();

    std::array<QColor, ColourCount> m_colours;
    QIcon m_picture;
    int m_iconResource = 0;
    QString m_tipText;
    bool m_mouseOver = false;
};

// The one rule of shiftColour, on a colour value: the offset cut down so that
// no channel of `colour` leaves 0..255, added to all three.
[[nodiscard]] QColor shiftedColour(QColor colour, int offset);

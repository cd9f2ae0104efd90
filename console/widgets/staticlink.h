#pragma once

// A one-line label that works as a link: blue, red while the mouse is over
// it, a hand cursor, and a click hands its target to the desktop, after which
// it turns purple; when the desktop cannot open it, a beep.

#include <QBasicTimer>
#include <QColor>
#include <QLabel>

#include <functional>

class CStaticLink : public QLabel {
public:
    static constexpr QColor Unvisited{0, 0, 255};
    static constexpr QColor Hover{255, 0, 0};
    static constexpr QColor Visited{128, 0, 128};
    static constexpr int HoverCheckMs = 100;

    // Hands a target to the desktop; false when it could not be opened.
    using Opener = std::function<bool(const QString& target)>;

    // link: what a click opens; empty means the label's own text.
    explicit CStaticLink(QString link = {}, QWidget* parent = nullptr);

    void setOpener(Opener opener) { m_opener = std::move(opener); }
    [[nodiscard]] QString link() const { return m_link; }
    // What a click opens.
    [[nodiscard]] QString target() const;
    [[nodiscard]] QColor colour() const { return m_colour; }
    // Opens the target, as a click does.
    void open();
    // A tick of the hover timer: back to blue once the mouse has left.
    void hoverTick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void setColour(const QColor& colour);
    void startHover();

    QString m_link;
    QColor m_colour = Unvisited;
    bool m_hover = false;
    Opener m_opener;
    QBasicTimer m_hoverTimer;
};

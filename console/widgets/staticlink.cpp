#include "console/widgets/staticlink.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

CStaticLink::CStaticLink(QString link, QWidget* parent) : QLabel(parent), m_link(std::move(link)) {
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

QString CStaticLink::target() const {
    // The kit keeps no string table, so after the link text the label's own
    // text is the target.
    return m_link.isEmpty() ? text() : m_link;
}

void CStaticLink::open() {
    if (!m_opener || !m_opener(target())) {
        QApplication::beep();
        return;
    }
    setColour(Visited);
}

void CStaticLink::hoverTick() {
    if (rect().contains(mapFromGlobal(QCursor::pos())))
        return;
    m_hoverTimer.stop();
    m_hover = false;
    setColour(Unvisited);
}

void CStaticLink::paintEvent(QPaintEvent*) {
    // The text only: the label's own font, its own alignment, no background.
    QPainter p(this);
    p.setFont(font());
    p.setPen(m_colour);
    const int m = margin();
    p.drawText(contentsRect().adjusted(m, m, -m, -m), alignment().toInt(), text());
}

void CStaticLink::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    startHover();
}

void CStaticLink::mouseMoveEvent(QMouseEvent* event) {
    QLabel::mouseMoveEvent(event);
    startHover();
}

void CStaticLink::startHover() {
    if (m_hover)
        return;
    m_hover = true;
    setColour(Hover);
    m_hoverTimer.start(HoverCheckMs, this);
}

void CStaticLink::mousePressEvent(QMouseEvent* event) {
    // Taken, so the release that makes the click comes back here.
    if (event->button() == Qt::LeftButton)
        event->accept();
    else
        QLabel::mousePressEvent(event);
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        open();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void CStaticLink::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_hoverTimer.timerId())
        hoverTick();
    else
        QLabel::timerEvent(event);
}

void CStaticLink::setColour(const QColor& colour) {
    m_colour = colour;
    update();
}

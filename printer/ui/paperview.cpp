#include "printer/ui/paperview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace posprinter {

PaperView::PaperView(const ReceiptRenderer& renderer, QWidget* parent)
    : QWidget(parent), m_renderer(renderer) {
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    refresh();
}

int PaperView::paperWidth() const {
    int width = geometryOf(m_renderer.paper()).paperDots;
    for (const Receipt& r : m_receipts)
        width = std::max(width, r.image.width());
    return width;
}

int PaperView::contentHeight() const {
    int height = Margin;
    for (const Receipt& r : m_receipts)
        height += r.image.height() + Gap;
    if (m_renderer.hasOpenReceipt())
        height += m_renderer.openHeight();
    return height + Margin;
}

QSize PaperView::sizeHint() const {
    return {paperWidth() + 2 * Margin, contentHeight()};
}

void PaperView::addReceipts(std::vector<Receipt> receipts) {
    for (Receipt& r : receipts) {
        m_rollDots += r.image.height();
        m_receipts.push_back(std::move(r));
    }
    while (m_receipts.size() > MaxReceipts || (m_receipts.size() > 1 && m_rollDots > MaxRollDots)) {
        m_rollDots -= m_receipts.front().image.height();
        m_receipts.pop_front();
        m_selected = m_selected > 0 ? m_selected - 1 : -1;
    }
    refresh();
}

void PaperView::refresh() {
    const QSize size = sizeHint();
    setMinimumSize(size);
    resize(size);
    update();
}

void PaperView::clear() {
    m_receipts.clear();
    m_rollDots = 0;
    m_selected = -1;
    refresh();
}

QImage PaperView::chosenImage() const {
    if (m_selected >= 0 && m_selected < static_cast<int>(m_receipts.size()))
        return m_receipts[static_cast<std::size_t>(m_selected)].image;
    if (m_renderer.hasOpenReceipt())
        return m_renderer.openImage();
    return m_receipts.empty() ? QImage() : m_receipts.back().image;
}

void PaperView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect dirty = event->rect();
    const int left = Margin;
    int y = Margin;
    const auto paper = [&](const QImage& image, int height, bool picked) {
        const QRect area(left, y, image.width(), height);
        if (area.intersects(dirty)) {
            p.fillRect(area.translated(3, 3), QColor(0, 0, 0, 60));
            const QRect part = area.intersected(dirty);
            p.drawImage(part.topLeft(), image, part.translated(-left, -y));
            if (picked) {
                p.setPen(QPen(QColor(30, 110, 220), 3));
                p.drawRect(area.adjusted(-2, -2, 1, 1));
            }
        }
    };
    for (std::size_t i = 0; i < m_receipts.size(); ++i) {
        const Receipt& r = m_receipts[i];
        paper(r.image, r.image.height(), static_cast<int>(i) == m_selected);
        y += r.image.height();
        // The cut: a dashed line and what kind of cut it was.
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        p.drawLine(left, y + Gap / 2, left + r.image.width() - 70, y + Gap / 2);
        const QString mark = r.ending.isEmpty() ? QString() : QStringLiteral("✂ %1").arg(r.ending);
        p.drawText(QRect(left, y, r.image.width(), Gap), Qt::AlignRight | Qt::AlignVCenter, mark);
        y += Gap;
    }
    if (m_renderer.hasOpenReceipt())
        paper(m_renderer.canvas(), m_renderer.openHeight(), false);
}

void PaperView::mousePressEvent(QMouseEvent* event) {
    int y = Margin;
    const int at = event->position().toPoint().y();
    m_selected = -1;
    for (std::size_t i = 0; i < m_receipts.size(); ++i) {
        const int h = m_receipts[i].image.height();
        if (at >= y && at < y + h) {
            m_selected = static_cast<int>(i);
            break;
        }
        y += h + Gap;
    }
    update();
}

} // namespace posprinter

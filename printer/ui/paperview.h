#pragma once

// The paper roll: finished receipts one under another, each ending at its
// cut, and under them the receipt being printed. A click picks a receipt.

#include "printer/render/receiptrenderer.h"

#include <QWidget>

#include <deque>

namespace posprinter {

class PaperView final : public QWidget {
    Q_OBJECT
public:
    // The oldest receipts leave the roll past this many, or past this much paper.
    static constexpr std::size_t MaxReceipts = 200;
    static constexpr int MaxRollDots = 100000;

    PaperView(const ReceiptRenderer& renderer, QWidget* parent = nullptr);

    void addReceipts(std::vector<Receipt> receipts);
    // Call when the renderer's paper changed.
    void refresh();
    void clear();

    [[nodiscard]] const std::deque<Receipt>& receipts() const { return m_receipts; }
    // The picked receipt, else the newest; the open one counts when it is the newest.
    [[nodiscard]] QImage chosenImage() const;
    [[nodiscard]] int selected() const { return m_selected; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    static constexpr int Margin = 16;
    static constexpr int Gap = 28;
    [[nodiscard]] int contentHeight() const;
    [[nodiscard]] int paperWidth() const;

    const ReceiptRenderer& m_renderer;
    std::deque<Receipt> m_receipts;
    int m_selected = -1;
    int m_rollDots = 0;
};

} // namespace posprinter

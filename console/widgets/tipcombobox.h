#pragma once

// The recent-file box: a combo box whose field and drop-down list show an
// entry that does not fit in full, in a tip laid exactly over it while the
// mouse rests on it. Each tip watches the mouse with an 80 ms timer and goes
// once the mouse has left its field or list.

#include <QBasicTimer>
#include <QComboBox>
#include <QLabel>
#include <QPointer>

#include <functional>

class QAbstractItemView;

// One tip window with the timer that takes it away again.
class TrackingTip : public QObject {
    Q_OBJECT

public:
    static constexpr int TrackMs = 80;

    // stillOver tells on each tick whether the mouse is still where the tip
    // belongs; the tip takes its font from `owner`.
    TrackingTip(QWidget& owner, std::function<bool()> stillOver);
    ~TrackingTip() override;

    // Shows the whole text with its top-left corner at a screen position, in
    // the given colours, and starts tracking.
    void show(const QString& text, QPoint screenPos, const QColor& background,
              const QColor& foreground);
    void hide();
    [[nodiscard]] bool isShown() const;
    [[nodiscard]] bool isTracking() const { return m_timer.isActive(); }
    [[nodiscard]] QString text() const;
    [[nodiscard]] QLabel* window() const { return m_window; }
    // A tick of the timer: the tip goes once the mouse has left.
    void tick();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QWidget& m_owner;
    std::function<bool()> m_stillOver;
    QPointer<QLabel> m_window;
    QBasicTimer m_timer;
};

// The drop-down list's half: attached to the list the first time it opens.
class TipListBox : public QObject {
    Q_OBJECT

public:
    explicit TipListBox(QAbstractItemView& list);

    [[nodiscard]] TrackingTip& tip() { return m_tip; }
    // What a mouse move to `pos` in the list's viewport does.
    void mouseMovedTo(QPoint pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView& m_list;
    // Held from the start: the filter sees the viewport's last events while
    // the list is being destroyed, when the list's own calls are no longer safe.
    QPointer<QWidget> m_viewport;
    TrackingTip m_tip;
};

class TipComboBox : public QComboBox {
public:
    explicit TipComboBox(QWidget* parent = nullptr);

    // The field: the box without its drop button.
    [[nodiscard]] QRect fieldRect() const;
    [[nodiscard]] TrackingTip& fieldTip() { return m_tip; }
    // The list's half once the list has been opened, else nullptr.
    [[nodiscard]] TipListBox* listTips() const { return m_listTips; }
    // What a mouse move to `pos` (in the box's coordinates) does.
    void mouseMovedTo(QPoint pos);

    void showPopup() override;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchField();

    TrackingTip m_tip;
    TipListBox* m_listTips = nullptr;
    QPointer<QLineEdit> m_watchedField;
};

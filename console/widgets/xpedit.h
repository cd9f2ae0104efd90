#pragma once

// The console's edits with a thin flat frame: a blue-grey line at the edge,
// blue while the edit has the focus and takes typing, and a line just inside
// it in the edit's own background, so the platform's sunken frame never
// shows. CXPEdit<QLineEdit> serves the one-line edits and
// CXPEdit<QPlainTextEdit> the send and receive areas; either stays the plain
// Qt edit to handlers, tests and screen readers.

#include <QAbstractScrollArea>
#include <QColor>
#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <type_traits>

namespace xpedit {

inline constexpr QColor Outer{127, 157, 185};
inline constexpr QColor OuterFocused{127, 157, 255};
// The frame is two lines, one pixel each.
inline constexpr int FrameWidth = 2;

struct FrameLook {
    bool focused = false;  // the edit's focus flag
    bool writable = false; // enabled and not read-only
    QColor background;     // the edit's own background, for the inner line when not writable
    bool verticalBar = false;
    bool horizontalBar = false;
};

// Paints the two lines of the frame inside `bounds`.
void paintFrame(QPainter& painter, const QRect& bounds, const FrameLook& look, const QPalette& pal);

} // namespace xpedit

template <class Edit> class CXPEdit : public Edit {
public:
    explicit CXPEdit(QWidget* parent = nullptr) : Edit(parent) {
        if constexpr (std::is_base_of_v<QAbstractScrollArea, Edit>) {
            // Room for exactly the two lines; the viewport and the scroll bars
            // sit inside them.
            this->setFrameStyle(QFrame::Box | QFrame::Plain);
            this->setLineWidth(xpedit::FrameWidth);
        }
    }

    [[nodiscard]] bool hasFocusFlag() const { return m_focus; }

protected:
    bool event(QEvent* e) override {
        const bool done = Edit::event(e);
        // After the edit's own painting, the frame over its edge.
        if (e->type() == QEvent::Paint) {
            QPainter painter(this);
            xpedit::paintFrame(painter, this->rect(), look(), this->palette());
        }
        return done;
    }
    void focusInEvent(QFocusEvent* e) override {
        m_focus = true;
        Edit::focusInEvent(e);
        this->update();
    }
    void focusOutEvent(QFocusEvent* e) override {
        m_focus = false;
        Edit::focusOutEvent(e);
        this->update();
    }

private:
    [[nodiscard]] xpedit::FrameLook look() const {
        xpedit::FrameLook l;
        l.focused = m_focus;
        l.writable = this->isEnabled() && !this->isReadOnly();
        const QPalette::ColorGroup group =
            this->isEnabled() ? QPalette::Active : QPalette::Disabled;
        if constexpr (std::is_base_of_v<QAbstractScrollArea, Edit>) {
            const QWidget* area = this->viewport();
            l.background = area->palette().color(group, area->backgroundRole());
            l.verticalBar = this->verticalScrollBar()->isVisible();
            l.horizontalBar = this->horizontalScrollBar()->isVisible();
        } else {
            l.background = this->palette().color(group, this->backgroundRole());
        }
        return l;
    }

    bool m_focus = false;
};

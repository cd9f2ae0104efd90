#include "console/widgets/tipcombobox.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimerEvent>

// --- TrackingTip

TrackingTip::TrackingTip(QWidget& owner, std::function<bool()> stillOver)
    : m_owner(owner), m_stillOver(std::move(stillOver)) {}

TrackingTip::~TrackingTip() {
    delete m_window.data();
}

void TrackingTip::show(const QString& text, QPoint screenPos, const QColor& background,
                       const QColor& foreground) {
    if (!m_window) {
        // A window of its own above everything, the text as it is (no
        // mnemonics, no markup), no room around it beyond a one-pixel border.
        m_window =
            new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        m_window->setObjectName(QStringLiteral("tip"));
        m_window->setTextFormat(Qt::PlainText);
        m_window->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_window->setLineWidth(1);
        m_window->setMargin(0);
        m_window->setContentsMargins(0, 0, 0, 0);
        m_window->setAttribute(Qt::WA_ShowWithoutActivating);
        m_window->setAutoFillBackground(true);
    }
    m_window->setFont(m_owner.font());
    QPalette pal = m_window->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, foreground);
    m_window->setPalette(pal);
    m_window->setText(text);
    m_window->resize(m_window->sizeHint());
    m_window->move(screenPos);
    m_window->show();
    m_timer.start(TrackMs, this);
}

void TrackingTip::hide() {
    m_timer.stop();
    if (m_window)
        m_window->hide();
}

bool TrackingTip::isShown() const {
    return m_window && m_window->isVisible();
}

QString TrackingTip::text() const {
    return m_window ? m_window->text() : QString();
}

void TrackingTip::tick() {
    if (!m_stillOver())
        hide();
}

void TrackingTip::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer.timerId())
        tick();
    else
        QObject::timerEvent(event);
}

// --- TipListBox

TipListBox::TipListBox(QAbstractItemView& list)
    : QObject(&list), m_list(list), m_viewport(list.viewport()), m_tip(list, [this] {
          const QWidget* area = m_viewport.data();
          return area != nullptr && area->isVisible() &&
                 area->rect().contains(area->mapFromGlobal(QCursor::pos()));
      }) {
    m_list.setMouseTracking(true);
    m_viewport->installEventFilter(this);
}

void TipListBox::mouseMovedTo(QPoint pos) {
    const QModelIndex index = m_list.indexAt(pos);
    if (!index.isValid()) {
        m_tip.hide();
        return;
    }
    // The part of the entry the list shows: a list view's item is as wide as
    // its text, however much of it the list can show.
    const QRect entry = m_list.visualRect(index).intersected(m_list.viewport()->rect());
    const QString text = index.data(Qt::DisplayRole).toString();
    if (m_list.fontMetrics().horizontalAdvance(text) > entry.width() - 3) {
        const QPalette& pal = m_list.palette();
        m_tip.show(text, m_list.viewport()->mapToGlobal(entry.topLeft()),
                   pal.color(QPalette::Highlight), pal.color(QPalette::HighlightedText));
    } else {
        m_tip.hide();
    }
}

bool TipListBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_viewport && event->type() == QEvent::MouseMove)
        mouseMovedTo(static_cast<QMouseEvent*>(event)->position().toPoint());
    return QObject::eventFilter(watched, event);
}

// --- TipComboBox

TipComboBox::TipComboBox(QWidget* parent)
    : QComboBox(parent), m_tip(*this, [this] {
          return isVisible() && fieldRect().contains(mapFromGlobal(QCursor::pos()));
      }) {
    setMouseTracking(true);
}

QRect TipComboBox::fieldRect() const {
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    const QRect button =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, this);
    QRect field = rect();
    if (button.isValid()) {
        if (button.left() > field.center().x())
            field.setRight(button.left() - 1);
        else
            field.setLeft(button.right() + 1); // right to left
    }
    return field;
}

void TipComboBox::mouseMovedTo(QPoint pos) {
    const QRect field = fieldRect();
    const QString text = currentText();
    if (!field.contains(pos) || fontMetrics().horizontalAdvance(text) <= field.width() - 6) {
        m_tip.hide();
        return;
    }
    const bool focused = hasFocus() || (lineEdit() && lineEdit()->hasFocus());
    const QPalette& pal = palette();
    m_tip.show(text, mapToGlobal(field.topLeft() + QPoint(1, 3)),
               pal.color(focused ? QPalette::Highlight : QPalette::Base),
               pal.color(focused ? QPalette::HighlightedText : QPalette::Text));
}

void TipComboBox::showPopup() {
    if (!m_listTips)
        m_listTips = new TipListBox(*view());
    QComboBox::showPopup();
}

void TipComboBox::mouseMoveEvent(QMouseEvent* event) {
    QComboBox::mouseMoveEvent(event);
    mouseMovedTo(event->position().toPoint());
}

void TipComboBox::showEvent(QShowEvent* event) {
    QComboBox::showEvent(event);
    watchField();
}

void TipComboBox::childEvent(QChildEvent* event) {
    QComboBox::childEvent(event);
    if (event->polished())
        watchField();
}

// An editable box gets its line edit after it is made (and polished once it
// shows); the mouse moves over the field go to that edit.
void TipComboBox::watchField() {
    QLineEdit* field = lineEdit();
    if (!field || field == m_watchedField)
        return;
    field->setMouseTracking(true);
    field->installEventFilter(this);
    m_watchedField = field;
}

bool TipComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watchedField && event->type() == QEvent::MouseMove)
        mouseMovedTo(
            m_watchedField->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint()));
    return QComboBox::eventFilter(watched, event);
}

#include "platform/dialog/templatedialog.h"

#include "platform/dialog/ipaddress.h"
#include "platform/dialog/widgetrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimerEvent>
#include <QVBoxLayout>

namespace dialog {
namespace {

// Letters typed into an upper-case control come out as capitals, the way an
// upper-case edit style behaves; digits-only edits refuse anything else.
class CaseValidator final : public QValidator {
public:
    CaseValidator(bool digitsOnly, bool upperCase, QObject* parent)
        : QValidator(parent), m_digitsOnly(digitsOnly), m_upperCase(upperCase) {}

    State validate(QString& input, int&) const override {
        if (m_upperCase)
            input = input.toUpper();
        if (m_digitsOnly) {
            for (QChar c : input)
                if (c < u'0' || c > u'9')
                    return Invalid;
        }
        return Acceptable;
    }

private:
    bool m_digitsOnly;
    bool m_upperCase;
};

} // namespace

QRect toPixels(const QRect& du, double unit) {
    const int left = qRound(du.x() * unit);
    const int top = qRound(du.y() * unit);
    const int right = qRound((du.x() + du.width()) * unit);
    const int bottom = qRound((du.y() + du.height()) * unit);
    return QRect(left, top, right - left, bottom - top);
}

double pixelsPerUnit(const QWidget* onScreenOf) {
    const QScreen* screen = onScreenOf ? onScreenOf->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return 1.5 * (dpi > 0 ? dpi : 96.0) / 96.0;
}

QFont templateFont(const QString& family, int pointSize) {
    QStringList families;
    if (!family.isEmpty())
        families << family;
    // The templates name the Windows song face; on Linux any CJK face will do.
    families << fallbackFamilies();
    QFont f;
    f.setFamilies(families);
    f.setPointSize(pointSize > 0 ? pointSize : 9);
    return f;
}

void fitText(QLabel& label) {
    QFont font = label.font();
    const int m = label.margin();
    const QRect room = label.contentsRect().adjusted(m, m, -m, -m);
    // Measured the way it is drawn, by a painter on the screen's own pixels:
    // at 125 % lines wrap differently than font metrics alone say.
    QImage canvas(1, 1, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(label.devicePixelRatioF());
    QPainter painter(&canvas);
    const int flags = Qt::AlignLeft | Qt::AlignTop | (label.wordWrap() ? Qt::TextWordWrap : 0);
    const auto fits = [&](const QFont& f) {
        painter.setFont(f);
        return painter.boundingRect(QRect(0, 0, room.width(), 100000), flags, label.text())
                   .height() <= room.height();
    };
    while (!fits(font) && font.pointSizeF() > 6.5)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != label.font())
        label.setFont(font);
}

TemplateDialog::TemplateDialog(const DialogTemplate& layout, ImageSource images, QWidget* parent,
                               ControlFactory controls)
    : QDialog(parent), m_template(layout), m_images(std::move(images)),
      m_controlFactory(std::move(controls)) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(layout.caption);
    setFont(templateFont(layout.fontFamily, layout.pointSize));
    // A dialog unit is a share of the dialog font's size: 1.5 px is the unit
    // of the tools' 9 pt dialogs, and a larger font makes larger units.
    m_unit = pixelsPerUnit(parent) * (layout.pointSize > 0 ? layout.pointSize : 9) / 9.0;

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->setSizeConstraint(QLayout::SetFixedSize); // not resizable
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(qRound(layout.size.width() * m_unit),
                           qRound(layout.size.height() * m_unit));
    box->addWidget(m_client);

    std::vector<QWidget*> groups;
    for (const auto& c : m_template.controls) {
        QWidget* w = create(c);
        w->setObjectName(c.id == NoId ? QString() : QStringLiteral("c%1").arg(c.id));
        w->setGeometry(toPixels(c.rect, m_unit));
        if (c.has(style::Disabled))
            w->setEnabled(false);
        if (c.has(style::Hidden))
            w->hide();
        if (c.id != NoId)
            m_controls[c.id] = w;
        if (c.kind == ControlKind::GroupBox)
            groups.push_back(w);
        wire(c, w);
    }
    // A group box only frames its neighbours; keep it beneath them so it
    // never takes their clicks.
    for (auto it = groups.rbegin(); it != groups.rend(); ++it)
        (*it)->lower();
}

TemplateDialog::~TemplateDialog() = default;

template <class Widget> Widget* TemplateDialog::make(const ControlTemplate& c) {
    if (m_controlFactory) {
        QWidget* own = m_controlFactory(c, m_client);
        if (auto* typed = qobject_cast<Widget*>(own))
            return typed;
        delete own; // not of the kind the template asks for
    }
    return new Widget(m_client);
}

QWidget* TemplateDialog::create(const ControlTemplate& c) {
    switch (c.kind) {
    case ControlKind::Button: {
        auto* b = make<QPushButton>(c);
        b->setText(c.caption);
        b->setAccessibleName(c.caption);
        if (c.has(style::Default))
            b->setDefault(true);
        return b;
    }
    case ControlKind::CheckBox: {
        auto* b = new QCheckBox(c.caption, m_client);
        b->setAccessibleName(c.caption);
        return b;
    }
    case ControlKind::RadioButton: {
        auto* b = new QRadioButton(c.caption, m_client);
        b->setAccessibleName(c.caption);
        return b;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(c.caption, m_client);
    case ControlKind::Static: {
        auto* l = make<QLabel>(c);
        l->setTextFormat(Qt::PlainText);
        l->setText(c.caption);
        Qt::Alignment h = Qt::AlignLeft;
        if (c.has(style::Right))
            h = Qt::AlignRight;
        else if (c.has(style::Center))
            h = Qt::AlignHCenter;
        l->setAlignment(h | Qt::AlignVCenter);
        if (c.has(style::Border)) {
            // A box, then a pixel of space. Its right and bottom sides sit one
            // pixel in: at scalings such as 125 % the widget's last pixel falls
            // between two screen pixels and a side drawn there is cut off.
            l->setFrameStyle(QFrame::Box | QFrame::Plain);
            l->setFrameRect(l->rect().adjusted(0, 0, -1, -1));
            l->setMargin(1);
        }
        return l;
    }
    case ControlKind::Image: {
        auto* l = new QLabel(m_client);
        l->setAlignment(Qt::AlignCenter);
        const int resourceId = c.caption.toInt();
        l->setProperty("imageResource", resourceId);
        if (m_images)
            l->setPixmap(m_images(resourceId, toPixels(c.rect, m_unit).size()));
        return l;
    }
    case ControlKind::Edit: {
        if (c.has(style::MultiLine)) {
            auto* e = make<QPlainTextEdit>(c);
            e->setReadOnly(c.has(style::ReadOnly));
            e->setVerticalScrollBarPolicy(c.has(style::VScroll) ? Qt::ScrollBarAlwaysOn
                                                                : Qt::ScrollBarAsNeeded);
            e->setProperty("upperCase", c.has(style::UpperCase));
            e->setTabChangesFocus(true);
            return e;
        }
        auto* e = make<QLineEdit>(c);
        e->setText(c.caption);
        e->setReadOnly(c.has(style::ReadOnly));
        if (c.has(style::Number) || c.has(style::UpperCase))
            e->setValidator(new CaseValidator(c.has(style::Number), c.has(style::UpperCase), e));
        return e;
    }
    case ControlKind::ComboBox: {
        auto* b = make<QComboBox>(c);
        b->addItems(c.items);
        b->setMaxVisibleItems(18);
        if (c.has(style::DropDown)) {
            b->setEditable(true);
            b->setInsertPolicy(QComboBox::NoInsert);
            if (c.has(style::UpperCase))
                b->lineEdit()->setValidator(new CaseValidator(false, true, b));
        }
        // A fresh combo box has no item selected until someone selects one.
        b->setCurrentIndex(-1);
        ignoreWheelUnlessFocused(*b);
        return b;
    }
    case ControlKind::IpAddress:
        return makeIpAddressEdit(m_client);
    }
    return new QWidget(m_client);
}

void TemplateDialog::wire(const ControlTemplate& c, QWidget* w) {
    if (c.id == NoId)
        return;
    const int id = c.id;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        // Push buttons, check boxes and radio buttons alike.
        connect(b, &QAbstractButton::clicked, this, [this, id] { onCommand(id, Notify::Clicked); });
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        connect(combo, &QComboBox::activated, this,
                [this, id] { onCommand(id, Notify::SelChange); });
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        connect(line, &QLineEdit::textChanged, this,
                [this, id] { onCommand(id, Notify::EditChange); });
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
        connect(text, &QPlainTextEdit::textChanged, this,
                [this, id] { onCommand(id, Notify::EditChange); });
    }
}

QWidget* TemplateDialog::control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QPushButton* TemplateDialog::button(int id) const {
    return qobject_cast<QPushButton*>(control(id));
}
QCheckBox* TemplateDialog::checkBox(int id) const {
    return qobject_cast<QCheckBox*>(control(id));
}
QRadioButton* TemplateDialog::radioButton(int id) const {
    return qobject_cast<QRadioButton*>(control(id));
}
QComboBox* TemplateDialog::comboBox(int id) const {
    return qobject_cast<QComboBox*>(control(id));
}
QLineEdit* TemplateDialog::lineEdit(int id) const {
    return qobject_cast<QLineEdit*>(control(id));
}
QPlainTextEdit* TemplateDialog::textEdit(int id) const {
    return qobject_cast<QPlainTextEdit*>(control(id));
}
QLabel* TemplateDialog::label(int id) const {
    return qobject_cast<QLabel*>(control(id));
}

const ControlTemplate* TemplateDialog::controlTemplate(int id) const {
    return m_template.find(id);
}

void TemplateDialog::showControls(std::span<const int> ids, bool visible) {
    for (int id : ids)
        if (QWidget* w = control(id))
            w->setVisible(visible);
}

void TemplateDialog::enableControls(std::span<const int> ids, bool enabled) {
    for (int id : ids)
        if (QWidget* w = control(id))
            w->setEnabled(enabled);
}

bool TemplateDialog::isShown(int id) const {
    const QWidget* w = control(id);
    return w && !w->isHidden();
}

bool TemplateDialog::isEnabled(int id) const {
    const QWidget* w = control(id);
    return w && w->isEnabled();
}

bool TemplateDialog::isChecked(int id) const {
    const auto* b = qobject_cast<const QAbstractButton*>(control(id));
    return b != nullptr && b->isCheckable() && b->isChecked();
}

void TemplateDialog::setChecked(int id, bool checked) {
    auto* b = qobject_cast<QAbstractButton*>(control(id));
    if (b != nullptr && b->isCheckable())
        b->setChecked(checked);
}

void TemplateDialog::toggleCheck(int id) {
    setChecked(id, !isChecked(id));
}

void TemplateDialog::setCaption(int id, const QString& caption) {
    QWidget* w = control(id);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(caption);
        b->setAccessibleName(caption);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(caption);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(caption);
    }
}

QString TemplateDialog::caption(int id) const {
    const QWidget* w = control(id);
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    return {};
}

void TemplateDialog::setImage(int id, int resourceId) {
    QLabel* l = label(id);
    if (!l)
        return;
    l->setProperty("imageResource", resourceId);
    if (m_images)
        l->setPixmap(m_images(resourceId, l->size()));
}

void TemplateDialog::setMenuTemplate(const MenuTemplate& menu) {
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        m_menuBar->setObjectName(QStringLiteral("menu%1").arg(menu.id));
        layout()->setMenuBar(m_menuBar);
    }
    m_menuBar->clear();
    m_menuActions.clear();
    std::function<void(QWidget*, const MenuTemplate&)> fill = [&](QWidget* into,
                                                                  const MenuTemplate& m) {
        for (const auto& child : m.children) {
            switch (child.kind) {
            case MenuTemplate::Kind::Popup: {
                QMenu* sub = nullptr;
                if (auto* bar = qobject_cast<QMenuBar*>(into))
                    sub = bar->addMenu(child.caption);
                else
                    sub = static_cast<QMenu*>(into)->addMenu(child.caption);
                fill(sub, child);
                break;
            }
            case MenuTemplate::Kind::Separator:
                if (auto* menuWidget = qobject_cast<QMenu*>(into))
                    menuWidget->addSeparator();
                break;
            case MenuTemplate::Kind::Item: {
                auto* action = new QAction(child.caption, into);
                action->setObjectName(QStringLiteral("m%1").arg(child.id));
                into->addAction(action);
                const int id = child.id;
                connect(action, &QAction::triggered, this,
                        [this, id] { onCommand(id, Notify::Menu); });
                m_menuActions[id] = action;
                break;
            }
            }
        }
    };
    fill(m_menuBar, menu);
}

QAction* TemplateDialog::menuAction(int commandId) const {
    const auto it = m_menuActions.find(commandId);
    return it == m_menuActions.end() ? nullptr : it->second;
}

void TemplateDialog::startWindowTimer(int id, int milliseconds) {
    m_timers[id].start(milliseconds < 0 ? 0 : milliseconds, this);
}

void TemplateDialog::stopWindowTimer(int id) {
    const auto it = m_timers.find(id);
    if (it != m_timers.end())
        it->second.stop();
}

bool TemplateDialog::isWindowTimerActive(int id) const {
    const auto it = m_timers.find(id);
    return it != m_timers.end() && it->second.isActive();
}

void TemplateDialog::onCommand(int, Notify) {}

void TemplateDialog::onTimer(int) {}

void TemplateDialog::timerEvent(QTimerEvent* event) {
    for (auto& [id, timer] : m_timers) {
        if (timer.isActive() && timer.timerId() == event->timerId()) {
            onTimer(id);
            return;
        }
    }
    QDialog::timerEvent(event);
}

} // namespace dialog

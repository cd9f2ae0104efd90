#include "platform/dialog/widgetrules.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QTranslator>

namespace dialog {
namespace {

class WheelGuard final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && !widget->hasFocus()) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

class ToolTipRefresher final : public QObject {
public:
    ToolTipRefresher(QWidget& widget, std::function<QString()> tip)
        : QObject(&widget), m_tip(std::move(tip)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip)
            static_cast<QWidget*>(watched)->setToolTip(m_tip());
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<QString()> m_tip;
};

} // namespace

QObject* refreshToolTipOnShow(QWidget& widget, std::function<QString()> tip) {
    widget.setToolTip(tip());
    auto* refresher = new ToolTipRefresher(widget, std::move(tip));
    widget.installEventFilter(refresher);
    return refresher;
}

void ignoreWheelUnlessFocused(QComboBox& combo) {
    combo.setFocusPolicy(Qt::StrongFocus);
    // One guard per box, owned by it.
    combo.installEventFilter(new WheelGuard(&combo));
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                            const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons) {
    auto box = std::make_unique<QMessageBox>(icon, title, QString(), buttons, owner);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    return box;
}

bool installQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

QStringList fallbackFamilies() {
    return {QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("FreeSans")};
}

} // namespace dialog

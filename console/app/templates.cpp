#include "console/app/templates.h"

#include <QDebug>

// Outside any namespace, as Qt's resource initialiser requires.
static void initResources() {
    Q_INIT_RESOURCE(quorvane);
}

namespace templates {
namespace {

QString pathOf(const char* name) {
    initResources();
    return QStringLiteral(":/quorvane/") + QLatin1String(name);
}

template <typename T> T orEmpty(std::optional<T> parsed, const dialog::ParseError& error) {
    if (!parsed) {
        qWarning("template: %s", qPrintable(error.message));
        return T{};
    }
    return std::move(*parsed);
}

} // namespace

const dialog::DialogTemplate& dialog(Dialog id) {
    static const auto load = [](const char* name) {
        dialog::ParseError error;
        return orEmpty(dialog::loadDialogTemplate(pathOf(name), &error), error);
    };
    static const dialog::DialogTemplate about = load("dialog100.tpl");
    static const dialog::DialogTemplate main = load("dialog102.tpl");
    static const dialog::DialogTemplate cutCommand = load("dialog171.tpl");
    switch (id) {
    case AboutBox:
        return about;
    case CutCommandBox:
        return cutCommand;
    case MainWindow:
        break;
    }
    return main;
}

const dialog::MenuTemplate& menu(int) {
    static const dialog::MenuTemplate main = [] {
        dialog::ParseError error;
        return orEmpty(dialog::loadMenuTemplate(pathOf("menu130.tpl"), &error), error);
    }();
    return main;
}

} // namespace templates

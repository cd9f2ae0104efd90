// Dialog and menu templates, given any text.
//  - The parsers refuse what the dialog code cannot take: a rectangle or size
//    outside 16 bits (its edges and pixels would overflow), popups nested
//    deeper than MaxMenuDepth (the recursive menu code would run out of stack).
//  - What they accept is a template that, written out again as template text,
//    parses to the same template; control ids are unique, and a menu's command
//    ids are its items in order.
//  - What they refuse comes with the line of the error.

#include "fuzzcheck.h"
#include "platform/dialog/dialogtemplate.h"

#include <pthread.h>

#include <array>
#include <string>
#include <utility>

namespace {

using namespace dialog;

constexpr size_t SmallStack = 64 * 1024;

constexpr std::array<std::pair<ControlKind, const char*>, 8> Kinds{{
    {ControlKind::Button, "BUTTON"},
    {ControlKind::CheckBox, "CHECKBOX"},
    {ControlKind::GroupBox, "GROUPBOX"},
    {ControlKind::Static, "STATIC"},
    {ControlKind::Image, "IMAGE"},
    {ControlKind::Edit, "EDIT"},
    {ControlKind::ComboBox, "COMBOBOX"},
    {ControlKind::IpAddress, "IPADDRESS"},
}};

constexpr std::array<std::pair<unsigned, const char*>, 12> Flags{{
    {style::Hidden, "HIDDEN"},
    {style::Disabled, "DISABLED"},
    {style::Default, "DEFAULT"},
    {style::MultiLine, "MULTILINE"},
    {style::VScroll, "VSCROLL"},
    {style::WantReturn, "WANTRETURN"},
    {style::ReadOnly, "READONLY"},
    {style::UpperCase, "UPPERCASE"},
    {style::Number, "NUMBER"},
    {style::DropDown, "DROPDOWN"},
    {style::Right, "RIGHT"},
    {style::Center, "CENTER"},
}};

QString quoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

QString number(int n) {
    return QString::number(n);
}

bool inUnits(int v) {
    return v >= MinDialogUnits && v <= MaxDialogUnits;
}

QString written(const DialogTemplate& d) {
    QString out = QStringLiteral("DIALOG %1 %2 %3\nCAPTION %4\nFONT %5 %6\n")
                      .arg(number(d.id), number(d.size.width()), number(d.size.height()),
                           quoted(d.caption), number(d.pointSize), quoted(d.fontFamily));
    if (d.menuId != 0)
        out += QStringLiteral("MENU %1\n").arg(d.menuId);
    for (const ControlTemplate& c : d.controls) {
        for (const auto& [kind, name] : Kinds)
            if (kind == c.kind)
                out += QLatin1String(name);
        out += QStringLiteral(" %1 %2 %3 %4 %5 %6")
                   .arg(number(c.id), quoted(c.caption), number(c.rect.x()), number(c.rect.y()),
                        number(c.rect.width()), number(c.rect.height()));
        for (const auto& [flag, name] : Flags)
            if (c.has(flag))
                out += QLatin1Char(' ') + QLatin1String(name);
        if (!c.items.isEmpty())
            out += QStringLiteral(" ITEMS");
        for (const QString& item : c.items)
            out += QLatin1Char(' ') + quoted(item);
        out += u'\n';
    }
    return out;
}

bool same(const DialogTemplate& a, const DialogTemplate& b) {
    if (a.id != b.id || a.size != b.size || a.caption != b.caption ||
        a.fontFamily != b.fontFamily || a.pointSize != b.pointSize || a.menuId != b.menuId ||
        a.controls.size() != b.controls.size())
        return false;
    for (size_t i = 0; i < a.controls.size(); ++i) {
        const ControlTemplate& x = a.controls[i];
        const ControlTemplate& y = b.controls[i];
        if (x.kind != y.kind || x.id != y.id || x.caption != y.caption || x.items != y.items ||
            x.rect != y.rect || x.style != y.style)
            return false;
    }
    return true;
}

bool same(const MenuTemplate& a, const MenuTemplate& b);

// Parses text; a refusal must name the line of its error.
template <typename Parse> auto parseOrRefuse(Parse parse, QStringView text) {
    ParseError error;
    auto parsed = parse(text, &error);
    FUZZ_CHECK(parsed || error.message.startsWith(QStringLiteral("line ")),
               "refused without a line: " + fuzz::printable(error.message));
    return parsed;
}

// What was parsed, written out as template text, parses to the same.
template <typename Parse, typename Template>
void checkReadsBack(Parse parse, const Template& parsed, const QString& written) {
    ParseError error;
    const auto again = parse(written, &error);
    FUZZ_CHECK(again && same(parsed, *again), "written out, it reads differently:\n" +
                                                  fuzz::printable(written) + "\n" +
                                                  fuzz::printable(error.message));
}

void checkDialog(QStringView text) {
    const auto parsed = parseOrRefuse(parseDialogTemplate, text);
    if (!parsed)
        return;
    const DialogTemplate& d = *parsed;
    FUZZ_CHECK(inUnits(d.size.width()) && inUnits(d.size.height()), "dialog size out of range");
    for (size_t i = 0; i < d.controls.size(); ++i) {
        const ControlTemplate& c = d.controls[i];
        FUZZ_CHECK(inUnits(c.rect.x()) && inUnits(c.rect.y()) && inUnits(c.rect.width()) &&
                       inUnits(c.rect.height()),
                   "rectangle out of range in control " + std::to_string(c.id));
        // The edges, as the dialog places a control: no overflow on the way.
        FUZZ_CHECK(c.rect.x() + c.rect.width() - 1 == c.rect.right() &&
                       c.rect.y() + c.rect.height() - 1 == c.rect.bottom(),
                   "edges do not match the rectangle");
        for (size_t j = 0; j < i && c.id != NoId; ++j)
            FUZZ_CHECK(d.controls[j].id != c.id, "id used twice: " + std::to_string(c.id));
    }
    checkReadsBack(parseDialogTemplate, d, written(d));
}

void writeMenu(const MenuTemplate& m, QString& out) {
    for (const MenuTemplate& child : m.children) {
        switch (child.kind) {
        case MenuTemplate::Kind::Item:
            out += QStringLiteral("ITEM %1 %2\n").arg(number(child.id), quoted(child.caption));
            break;
        case MenuTemplate::Kind::Separator:
            out += QStringLiteral("SEPARATOR\n");
            break;
        case MenuTemplate::Kind::Popup:
            out += QStringLiteral("POPUP %1\n").arg(quoted(child.caption));
            writeMenu(child, out);
            out += QStringLiteral("END\n");
            break;
        }
    }
}

// Depth of nested popups, and the items' ids in order; without recursion, so
// that only the code under test can run out of stack.
int walk(const MenuTemplate& menu, std::vector<int>& ids) {
    int deepest = 0;
    std::vector<std::pair<const MenuTemplate*, int>> todo{{&menu, 0}};
    while (!todo.empty()) {
        const auto [m, depth] = todo.back();
        todo.pop_back();
        deepest = std::max(deepest, depth);
        if (m->kind == MenuTemplate::Kind::Item)
            ids.push_back(m->id);
        for (auto child = m->children.rbegin(); child != m->children.rend(); ++child)
            todo.emplace_back(&*child, depth + (child->kind == MenuTemplate::Kind::Popup ? 1 : 0));
    }
    return deepest;
}

bool same(const MenuTemplate& a, const MenuTemplate& b) {
    if (a.kind != b.kind || a.id != b.id || a.caption != b.caption ||
        a.children.size() != b.children.size())
        return false;
    for (size_t i = 0; i < a.children.size(); ++i)
        if (!same(a.children[i], b.children[i]))
            return false;
    return true;
}

void checkMenu(QStringView text) {
    const auto parsed = parseOrRefuse(parseMenuTemplate, text);
    if (!parsed)
        return;
    const std::vector<int> commandIds = parsed->commandIds();
    std::vector<int> ids;
    const int depth = walk(*parsed, ids);
    FUZZ_CHECK(depth <= MaxMenuDepth, "popups nested " + std::to_string(depth) + " deep");
    FUZZ_CHECK(commandIds == ids, "command ids are not the items in order");

    QString again = QStringLiteral("MENU %1\n").arg(parsed->id);
    writeMenu(*parsed, again);
    checkReadsBack(parseMenuTemplate, *parsed, again);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Template files are UTF-8.
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkDialog(text);
    // Menus are recursive: the checks run on a thread with a small stack, so
    // recursion without a bound shows at the depth a short input reaches, not
    // only past tens of thousands of levels on the main thread's 8 MB.
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, SmallStack);
    pthread_t thread;
    auto run = [](void* arg) -> void* {
        checkMenu(*static_cast<const QString*>(arg));
        return nullptr;
    };
    if (pthread_create(&thread, &attr, run, const_cast<QString*>(&text)) != 0)
        std::abort();
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    return 0;
}

#include "platform/dialog/dialogtemplate.h"

#include <QFile>

#include <array>
#include <utility>

namespace dialog {
namespace {

// One line split into words; a quoted word may hold spaces and \" or \\.
struct Token {
    QString text;
    bool quoted = false;
};

bool tokenize(QStringView line, std::vector<Token>& out, QString& error) {
    out.clear();
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        const QChar c = line[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        if (c == u'"') {
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < n) {
                QChar d = line[i++];
                if (d == u'\\' && i < n) {
                    t.text += line[i++];
                    continue;
                }
                if (d == u'"') {
                    closed = true;
                    break;
                }
                t.text += d;
            }
            if (!closed) {
                error = QStringLiteral("unterminated string");
                return false;
            }
        } else {
            while (i < n && !line[i].isSpace())
                t.text += line[i++];
        }
        out.push_back(std::move(t));
    }
    return true;
}

std::optional<int> toInt(const Token& t) {
    if (t.quoted)
        return std::nullopt;
    bool ok = false;
    const int v = t.text.toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

bool inDialogUnits(int v) {
    return v >= MinDialogUnits && v <= MaxDialogUnits;
}

std::optional<ControlKind> kindOf(const QString& word) {
    static const std::array<std::pair<const char*, ControlKind>, 9> kinds{{
        {"BUTTON", ControlKind::Button},
        {"CHECKBOX", ControlKind::CheckBox},
        {"GROUPBOX", ControlKind::GroupBox},
        {"STATIC", ControlKind::Static},
        {"IMAGE", ControlKind::Image},
        {"EDIT", ControlKind::Edit},
        {"COMBOBOX", ControlKind::ComboBox},
        {"IPADDRESS", ControlKind::IpAddress},
        {"RADIO", ControlKind::RadioButton},
    }};
    for (const auto& [name, kind] : kinds)
        if (word == QLatin1String(name))
            return kind;
    return std::nullopt;
}

std::optional<unsigned> flagOf(const QString& word) {
    static const std::array<std::pair<const char*, unsigned>, 13> flags{{
        {"HIDDEN", style::Hidden},
        {"DISABLED", style::Disabled},
        {"DEFAULT", style::Default},
        {"MULTILINE", style::MultiLine},
        {"VSCROLL", style::VScroll},
        {"WANTRETURN", style::WantReturn},
        {"READONLY", style::ReadOnly},
        {"UPPERCASE", style::UpperCase},
        {"NUMBER", style::Number},
        {"DROPDOWN", style::DropDown},
        {"RIGHT", style::Right},
        {"CENTER", style::Center},
        {"BORDER", style::Border},
    }};
    for (const auto& [name, flag] : flags)
        if (word == QLatin1String(name))
            return flag;
    return std::nullopt;
}

bool fail(ParseError* error, int lineNo, const QString& what) {
    if (error)
        error->message = QStringLiteral("line %1: %2").arg(lineNo).arg(what);
    return false;
}

bool parseControl(const std::vector<Token>& tok, ControlKind kind, ControlTemplate& c,
                  QString& what) {
    if (tok.size() < 7 || !tok[2].quoted) {
        what = QStringLiteral("expected <KIND> <id> \"caption\" <x> <y> <w> <h>");
        return false;
    }
    std::array<int, 5> v{};
    const std::array<size_t, 5> at{1, 3, 4, 5, 6};
    for (size_t k = 0; k < at.size(); ++k) {
        const auto n = toInt(tok[at[k]]);
        if (!n) {
            what = QStringLiteral("not a number: %1").arg(tok[at[k]].text);
            return false;
        }
        if (k > 0 && !inDialogUnits(*n)) {
            what = QStringLiteral("out of range: %1").arg(*n);
            return false;
        }
        v[k] = *n;
    }
    c.kind = kind;
    c.id = v[0];
    c.caption = tok[2].text;
    c.rect = QRect(v[1], v[2], v[3], v[4]);
    bool inItems = false;
    for (size_t k = 7; k < tok.size(); ++k) {
        if (inItems) {
            if (!tok[k].quoted) {
                what = QStringLiteral("items must be quoted");
                return false;
            }
            c.items << tok[k].text;
            continue;
        }
        if (!tok[k].quoted && tok[k].text == QLatin1String("ITEMS")) {
            inItems = true;
            continue;
        }
        const auto flag = tok[k].quoted ? std::nullopt : flagOf(tok[k].text);
        if (!flag) {
            what = QStringLiteral("unknown flag: %1").arg(tok[k].text);
            return false;
        }
        c.style |= *flag;
    }
    return true;
}

template <typename Visit> bool eachLine(QStringView text, ParseError* error, Visit visit) {
    int lineNo = 0;
    std::vector<Token> tok;
    for (QStringView line : text.split(u'\n')) {
        ++lineNo;
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QString what;
        if (!tokenize(line, tok, what) || !visit(tok, what))
            return fail(error, lineNo, what);
    }
    return true;
}

void collectIds(const MenuTemplate& m, std::vector<int>& out) {
    for (const auto& child : m.children) {
        if (child.kind == MenuTemplate::Kind::Item)
            out.push_back(child.id);
        else if (child.kind == MenuTemplate::Kind::Popup)
            collectIds(child, out);
    }
}

std::optional<QString> readUtf8(const QString& path, ParseError* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            error->message = QStringLiteral("cannot read %1").arg(path);
        return std::nullopt;
    }
    return QString::fromUtf8(f.readAll());
}

} // namespace

const ControlTemplate* DialogTemplate::find(int controlId) const {
    for (const auto& c : controls)
        if (c.id == controlId)
            return &c;
    return nullptr;
}

std::vector<int> MenuTemplate::commandIds() const {
    std::vector<int> ids;
    collectIds(*this, ids);
    return ids;
}

std::optional<DialogTemplate> parseDialogTemplate(QStringView text, ParseError* error) {
    DialogTemplate d;
    bool haveHeader = false;
    const bool ok = eachLine(text, error, [&](const std::vector<Token>& tok, QString& what) {
        const QString& word = tok[0].text;
        if (!haveHeader) {
            if (word != QLatin1String("DIALOG") || tok.size() != 4 || !toInt(tok[1]) ||
                !toInt(tok[2]) || !toInt(tok[3])) {
                what = QStringLiteral("expected DIALOG <id> <width> <height>");
                return false;
            }
            if (!inDialogUnits(*toInt(tok[2])) || !inDialogUnits(*toInt(tok[3]))) {
                what = QStringLiteral("dialog size out of range");
                return false;
            }
            d.id = *toInt(tok[1]);
            d.size = QSize(*toInt(tok[2]), *toInt(tok[3]));
            haveHeader = true;
            return true;
        }
        if (word == QLatin1String("CAPTION") && tok.size() == 2 && tok[1].quoted) {
            d.caption = tok[1].text;
            return true;
        }
        if (word == QLatin1String("FONT") && tok.size() == 3 && toInt(tok[1]) && tok[2].quoted) {
            d.pointSize = *toInt(tok[1]);
            d.fontFamily = tok[2].text;
            return true;
        }
        if (word == QLatin1String("MENU") && tok.size() == 2 && toInt(tok[1])) {
            d.menuId = *toInt(tok[1]);
            return true;
        }
        const auto kind = tok[0].quoted ? std::nullopt : kindOf(word);
        if (!kind) {
            what = QStringLiteral("unknown statement: %1").arg(word);
            return false;
        }
        ControlTemplate c;
        if (!parseControl(tok, *kind, c, what))
            return false;
        if (c.id != NoId && d.find(c.id)) {
            what = QStringLiteral("id %1 used twice").arg(c.id);
            return false;
        }
        d.controls.push_back(std::move(c));
        return true;
    });
    if (!ok)
        return std::nullopt;
    if (!haveHeader) {
        fail(error, 0, QStringLiteral("no DIALOG line"));
        return std::nullopt;
    }
    return d;
}

std::optional<MenuTemplate> parseMenuTemplate(QStringView text, ParseError* error) {
    MenuTemplate root;
    root.kind = MenuTemplate::Kind::Popup;
    bool haveHeader = false;
    // Path of open popups; pointers stay valid because a popup is only
    // appended to while it is the innermost one.
    std::vector<MenuTemplate*> open;
    const bool ok = eachLine(text, error, [&](const std::vector<Token>& tok, QString& what) {
        const QString& word = tok[0].text;
        if (!haveHeader) {
            if (word != QLatin1String("MENU") || tok.size() != 2 || !toInt(tok[1])) {
                what = QStringLiteral("expected MENU <id>");
                return false;
            }
            root.id = *toInt(tok[1]);
            open.push_back(&root);
            haveHeader = true;
            return true;
        }
        if (open.empty()) {
            what = QStringLiteral("text after the menu's last END");
            return false;
        }
        MenuTemplate& parent = *open.back();
        if (word == QLatin1String("POPUP") && tok.size() == 2 && tok[1].quoted) {
            if (open.size() > static_cast<size_t>(MaxMenuDepth)) {
                what = QStringLiteral("popups nested deeper than %1").arg(MaxMenuDepth);
                return false;
            }
            MenuTemplate p;
            p.kind = MenuTemplate::Kind::Popup;
            p.caption = tok[1].text;
            parent.children.push_back(std::move(p));
            open.push_back(&parent.children.back());
            return true;
        }
        if (word == QLatin1String("ITEM") && tok.size() == 3 && toInt(tok[1]) && tok[2].quoted) {
            MenuTemplate item;
            item.id = *toInt(tok[1]);
            item.caption = tok[2].text;
            parent.children.push_back(std::move(item));
            return true;
        }
        if (word == QLatin1String("SEPARATOR") && tok.size() == 1) {
            MenuTemplate sep;
            sep.kind = MenuTemplate::Kind::Separator;
            parent.children.push_back(std::move(sep));
            return true;
        }
        if (word == QLatin1String("END") && tok.size() == 1 && open.size() > 1) {
            open.pop_back();
            return true;
        }
        what = QStringLiteral("unexpected: %1").arg(word);
        return false;
    });
    if (!ok)
        return std::nullopt;
    if (!haveHeader || open.size() != 1) {
        fail(error, 0,
             haveHeader ? QStringLiteral("POPUP without END") : QStringLiteral("no MENU line"));
        return std::nullopt;
    }
    return root;
}

std::optional<DialogTemplate> loadDialogTemplate(const QString& path, ParseError* error) {
    const auto text = readUtf8(path, error);
    return text ? parseDialogTemplate(*text, error) : std::nullopt;
}

std::optional<MenuTemplate> loadMenuTemplate(const QString& path, ParseError* error) {
    const auto text = readUtf8(path, error);
    return text ? parseMenuTemplate(*text, error) : std::nullopt;
}

} // namespace dialog

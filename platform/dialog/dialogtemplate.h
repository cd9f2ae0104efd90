#pragma once

// Declarative dialog and menu templates, kept as small text files in the
// resources much like a resource script.
//
// Dialog template:
//   DIALOG <id> <width> <height>          size in dialog units
//   CAPTION "text"
//   FONT <points> "family"
//   MENU <id>                             optional
//   <KIND> <id> "caption" <x> <y> <w> <h> [FLAG ...] [ITEMS "a" "b" ...]
// Menu template:
//   MENU <id>
//   POPUP "caption" ... END               nests
//   ITEM <id> "caption" | SEPARATOR
//
// Kinds: BUTTON CHECKBOX RADIO GROUPBOX STATIC IMAGE EDIT COMBOBOX IPADDRESS.
// Radio buttons next to each other in one dialog form one group.
// An id of -1 marks a control nobody addresses (a plain label). An IMAGE's
// caption is the number of the image resource it shows.
// Flags: HIDDEN DISABLED DEFAULT (default button) MULTILINE VSCROLL WANTRETURN
// READONLY UPPERCASE NUMBER (digits only) DROPDOWN (editable combo box)
// RIGHT CENTER (static text alignment) BORDER (a static with a frame). '#'
// starts a comment line.

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace dialog {

enum class ControlKind {
    Button,
    CheckBox,
    GroupBox,
    Static,
    Image,
    Edit,
    ComboBox,
    IpAddress,
    RadioButton,
};

namespace style {
enum : unsigned {
    Hidden = 1u << 0,
    Disabled = 1u << 1,
    Default = 1u << 2,
    MultiLine = 1u << 3,
    VScroll = 1u << 4,
    WantReturn = 1u << 5,
    ReadOnly = 1u << 6,
    UpperCase = 1u << 7,
    Number = 1u << 8,
    DropDown = 1u << 9,
    Right = 1u << 10,
    Center = 1u << 11,
    Border = 1u << 12,
};
} // namespace style

inline constexpr int NoId = -1;

struct ControlTemplate {
    ControlKind kind = ControlKind::Static;
    int id = NoId;
    QString caption;
    QStringList items;
    QRect rect; // dialog units
    unsigned style = 0;

    [[nodiscard]] bool has(unsigned flag) const { return (style & flag) != 0; }
};

struct DialogTemplate {
    int id = 0;
    QSize size; // dialog units
    QString caption;
    QString fontFamily;
    int pointSize = 9;
    int menuId = 0; // 0: no menu
    std::vector<ControlTemplate> controls;

    [[nodiscard]] const ControlTemplate* find(int controlId) const;
};

struct MenuTemplate {
    enum class Kind { Item, Separator, Popup };
    Kind kind = Kind::Item;
    int id = 0;
    QString caption;
    std::vector<MenuTemplate> children; // of a popup, and of the menu itself

    // Every command id of the menu and its popups, in order.
    [[nodiscard]] std::vector<int> commandIds() const;
};

// Limits a template must keep, as a resource script does: every coordinate and
// size fits 16 bits, so the rectangle's edges and their pixels never overflow,
// and popups nest no deeper than the recursive menu code can follow.
inline constexpr int MinDialogUnits = -32768;
inline constexpr int MaxDialogUnits = 32767;
inline constexpr int MaxMenuDepth = 16;

// Parse results carry the first error as "line N: what" when they fail.
struct ParseError {
    QString message;
};

[[nodiscard]] std::optional<DialogTemplate> parseDialogTemplate(QStringView text,
                                                                ParseError* error = nullptr);
[[nodiscard]] std::optional<MenuTemplate> parseMenuTemplate(QStringView text,
                                                            ParseError* error = nullptr);

// Read a template file (usually a ":/" resource path) as UTF-8.
[[nodiscard]] std::optional<DialogTemplate> loadDialogTemplate(const QString& path,
                                                               ParseError* error = nullptr);
[[nodiscard]] std::optional<MenuTemplate> loadMenuTemplate(const QString& path,
                                                           ParseError* error = nullptr);

} // namespace dialog

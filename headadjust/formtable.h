#pragma once

// The controls of Ostrelle's form as data: kind, container, caption, place in
// twips, tab index and whether each starts enabled. The form builds its
// widgets from this table; the names are the widgets' object names.

#include <QRect>
#include <QString>

#include <span>

namespace headadjust {

enum class ControlKind { Frame, OptionButton, ComboBox, CommandButton, Label };

struct ControlEntry {
    const char* name;
    ControlKind kind;
    const char* container;   // "mainform" or the name of a frame listed before it
    const char16_t* caption; // caption, or the initial text of a combo box
    QRect twips;             // left, top, width, height relative to the container
    int tabIndex;
    bool enabledAtStart;
};

inline constexpr const char* FormName = "mainform";
inline constexpr int FormWidthTwips = 5580;
inline constexpr int FormHeightTwips = 2685;

// In container order: every frame comes before the controls inside it.
[[nodiscard]] std::span<const ControlEntry> formControls();

// 15 twips a pixel at 96 dots per inch, scaled with the screen's resolution.
[[nodiscard]] int twipsToPixels(int twips, double dotsPerInch);
[[nodiscard]] QRect twipsToPixels(const QRect& twips, double dotsPerInch);

} // namespace headadjust

#include "console/widgets/consolewidgets.h"

#include "console/widgets/iconbutton.h"
#include "console/widgets/tipcombobox.h"
#include "console/widgets/xpedit.h"

#include <algorithm>

namespace widgets {
namespace {

template <std::size_t N> bool listed(const std::array<int, N>& table, int id) {
    return std::find(table.begin(), table.end(), id) != table.end();
}

} // namespace

dialog::TemplateDialog::ControlFactory consoleControls() {
    return [](const dialog::ControlTemplate& c, QWidget* parent) -> QWidget* {
        using dialog::ControlKind;
        if (c.kind == ControlKind::Button && listed(IconButtons, c.id))
            return new IconButton(parent);
        if (c.kind == ControlKind::Edit && listed(XPEdits, c.id)) {
            if (c.has(dialog::style::MultiLine))
                return new CXPEdit<QPlainTextEdit>(parent);
            return new CXPEdit<QLineEdit>(parent);
        }
        if (c.kind == ControlKind::ComboBox && listed(TipComboBoxes, c.id))
            return new TipComboBox(parent);
        return nullptr;
    };
}

} // namespace widgets

#pragma once

// Which of the console's controls draw themselves, by id, and the factory
// that makes them as the dialog builds its controls. A control joins its
// kind with one line in a table here.
//
// The widgets carry no Q_OBJECT of their own: to Qt, to screen readers and
// to every handler and test they are still the plain QPushButton, QLineEdit,
// QPlainTextEdit, QComboBox and QLabel of the template (same meta-object),
// and code that sets them up finds them with dynamic_cast.

#include "console/app/controlids.h"
#include "platform/dialog/templatedialog.h"

#include <array>
#include <cstddef>

namespace widgets {

// IconButton
inline constexpr std::array<int, 2> IconButtons{ids::SendButton, ids::Exit};

// CXPEdit: the send and receive areas, the ten queue entries, the timed-send
// numbers and the insert row.
inline constexpr auto XPEdits = [] {
    std::array<int, 17> all{ids::SendArea, ids::ReceiveArea};
    std::size_t n = 2;
    for (int id : ids::EntryEdits)
        all[n++] = id;
    for (int id : {ids::Count, ids::Interval, ids::StartNumber, ids::AddCount, ids::AddContent})
        all[n++] = id;
    return all;
}();

// TipComboBox
inline constexpr std::array<int, 1> TipComboBoxes{ids::RecentFiles};

// The main window's controls of the tables above.
[[nodiscard]] dialog::TemplateDialog::ControlFactory consoleControls();

} // namespace widgets

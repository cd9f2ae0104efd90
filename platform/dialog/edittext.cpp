#include "platform/dialog/edittext.h"

#include "platform/codepage.h"

#include <QPlainTextEdit>
#include <QVariant>

namespace edittext {
namespace {
constexpr char StyleProperty[] = "poskitLineEnd";

codepage::LineEnd styleOf(const QPlainTextEdit& edit) {
    return edit.property(StyleProperty).toInt() == static_cast<int>(codepage::LineEnd::Lf)
               ? codepage::LineEnd::Lf
               : codepage::LineEnd::CrLf;
}
} // namespace

void setBytes(QPlainTextEdit& edit, std::string_view bytes) {
    const auto style = codepage::detectLineEnd(bytes);
    edit.setProperty(StyleProperty, static_cast<int>(style));
    edit.setPlainText(codepage::toEditText(bytes, style));
}

std::string bytes(const QPlainTextEdit& edit) {
    return codepage::fromEditText(edit.toPlainText(), styleOf(edit));
}

} // namespace edittext

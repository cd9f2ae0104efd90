#include "platform/dialog/edittext.h"

#include "platform/codepage.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVariant>

#include <algorithm>

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

// Offsets of the text as shown count its characters, a line break as one;
// each character stands for whole bytes, so a prefix converts on its own.
ByteRange selection(const QPlainTextEdit& edit) {
    const QTextCursor cursor = edit.textCursor();
    const QString text = edit.toPlainText();
    const auto bytesBefore = [&](int position) {
        return codepage::fromEditText(QStringView(text).left(position), styleOf(edit)).size();
    };
    return {bytesBefore(cursor.selectionStart()), bytesBefore(cursor.selectionEnd())};
}

void select(QPlainTextEdit& edit, ByteRange range) {
    const std::string all = bytes(edit);
    const auto position = [&](std::size_t offset) {
        const auto prefix = std::string_view(all).substr(0, offset);
        return static_cast<int>(codepage::toEditText(prefix, styleOf(edit)).size());
    };
    const int last = static_cast<int>(edit.toPlainText().size());
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(std::min(position(range.start), last));
    cursor.setPosition(std::min(position(range.end), last), QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
}

} // namespace edittext

#pragma once

// Byte-exact text in a multi-line edit control. The control remembers the
// line-end style of the bytes it was given (see platform/codepage.h), so what
// is read back is what was put in, and lines the user types end the same way
// as the text's own lines: CR LF unless the text had LF line ends only.

#include <cstddef>
#include <string>
#include <string_view>

class QPlainTextEdit;

namespace edittext {

void setBytes(QPlainTextEdit& edit, std::string_view bytes);
[[nodiscard]] std::string bytes(const QPlainTextEdit& edit);

// The selection as byte offsets into bytes(edit); start == end at a caret.
struct ByteRange {
    std::size_t start = 0;
    std::size_t end = 0;
};
[[nodiscard]] ByteRange selection(const QPlainTextEdit& edit);
// Selects from byte offset start to end (the caret at end); offsets beyond
// the text are taken as its end.
void select(QPlainTextEdit& edit, ByteRange range);

} // namespace edittext

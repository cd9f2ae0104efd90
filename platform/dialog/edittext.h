#pragma once

// Byte-exact text in a multi-line edit control. The control remembers the
// line-end style of the bytes it was given (see platform/codepage.h), so what
// is read back is what was put in, and lines the user types end the same way
// as the text's own lines: CR LF unless the text had LF line ends only.

#include <string>
#include <string_view>

class QPlainTextEdit;

namespace edittext {

void setBytes(QPlainTextEdit& edit, std::string_view bytes);
[[nodiscard]] std::string bytes(const QPlainTextEdit& edit);

} // namespace edittext

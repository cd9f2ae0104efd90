#pragma once

// Byte-exact text in a multi-line edit control. The control remembers the
// line-end style of the bytes it was given (see platform/codepage.h), so what
// is read back is what was put in, and lines the user types end the same way
// as the text's own lines: CR LF unless the text had LF line ends only.

#include <QTimer>

#include <cstddef>
#include <functional>
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

// bytes = bytes(edit), for a field read again and again (at every timer tick):
// when neither the edit's text nor the field has changed since the last read,
// a long text is not converted again. The field counts as unchanged while it
// keeps the buffer and size that read gave it.
void readInto(QPlainTextEdit& edit, std::string& bytes);

// For a handler that takes an edit's text at every change: a long text is
// taken once typing pauses instead of at every key, as a whole conversion per
// key would make typing in it lag.
class PausedRead {
public:
    static constexpr int LongText = 1 << 18; // characters
    static constexpr int PauseMs = 250;

    explicit PausedRead(std::function<void()> read);

    // True when the edit's text is long: the read then runs once the edit
    // has had no change for PauseMs. False when the caller reads now.
    [[nodiscard]] bool later(const QPlainTextEdit* edit);

private:
    QTimer m_timer;
};

} // namespace edittext

#pragma once

// The receive area: bytes a printer sends back, shown as "%02X " or "%c "
// pieces in a read-only edit with the upper-case style.
//
// The receive text is kept here as bytes, and the edit only shows it: each
// poll appends its new pieces at the end instead of setting the whole text
// again, so a poll costs the same whether the area holds a kilobyte or many
// megabytes. The shown text is cut into paragraphs of at most BlockChars
// characters, at piece boundaries, because the edit lays out a changed
// paragraph whole; the bytes kept here have no such breaks, and text() is
// what the area holds.

#include "console/send/hextext.h"

#include <string>
#include <string_view>

class QPlainTextEdit;

class ReceiveDisplay {
public:
    static constexpr int BlockChars = 3000;

    explicit ReceiveDisplay(QPlainTextEdit& area);

    // Appends the pieces of the bytes read; returns whether any text was added
    // (a NUL in text mode adds nothing). Leaves the caret at the end, in view.
    bool append(std::string_view received, HexText::DisplayMode mode);

    [[nodiscard]] const std::string& text() const { return m_text; }
    // Keeps the text as given (up to a NUL) and shows it with its ASCII
    // letters in capitals; the second byte of a two-byte character stays.
    void setText(std::string_view text);
    void clear() { setText({}); }

private:
    void show(std::string_view pieces);

    QPlainTextEdit& m_area;
    std::string m_text;
};

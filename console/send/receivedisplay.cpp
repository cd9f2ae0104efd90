#include "console/send/receivedisplay.h"

#include "platform/codepage.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {

// The area's upper-case style. A received piece is one byte and a space, so
// every letter in it is a character of its own: pieces are kept as shown.
void toUpperAscii(std::string& s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
}

// Text put into the area whole may hold two-byte characters whose second
// byte is a letter's code; only decoded ASCII letters are shown in capitals.
void toUpperAscii(QString& s) {
    for (QChar& c : s) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
}

} // namespace

ReceiveDisplay::ReceiveDisplay(QPlainTextEdit& area) : m_area(area) {
    m_area.setReadOnly(true);
    m_area.setUndoRedoEnabled(false);
}

bool ReceiveDisplay::append(std::string_view received, HexText::DisplayMode mode) {
    std::string pieces;
    pieces.reserve(received.size() * 3);
    for (char byte : received)
        pieces += HexText::displayPiece(static_cast<unsigned char>(byte), mode);
    if (pieces.empty())
        return false;
    toUpperAscii(pieces);
    m_text += pieces;
    show(pieces);
    return true;
}

void ReceiveDisplay::setText(std::string_view text) {
    // Kept as given, so a text loaded and saved again comes back unchanged.
    m_text.assign(codepage::untilNul(text));
    m_area.clear();
    show(m_text);
}

void ReceiveDisplay::show(std::string_view pieces) {
    // Lone CR and LF bytes show as their symbols; nothing here is a line end.
    QString shown = codepage::toEditText(pieces, codepage::LineEnd::CrLf);
    toUpperAscii(shown);
    QTextCursor cursor(m_area.document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    qsizetype from = 0;
    while (from < shown.size()) {
        int room = BlockChars - cursor.block().length() + 1;
        if (room <= 0) {
            cursor.insertBlock();
            room = BlockChars;
        }
        qsizetype take = std::min<qsizetype>(room, shown.size() - from);
        // Break only after a piece's space, so a piece never spans two lines.
        if (from + take < shown.size()) {
            const qsizetype space = shown.lastIndexOf(QLatin1Char(' '), from + take - 1);
            if (space >= from)
                take = space - from + 1;
            else if (cursor.block().length() > 1)
                take = 0; // the next piece starts a new paragraph
        }
        if (take == 0) {
            cursor.insertBlock();
            continue;
        }
        cursor.insertText(shown.mid(from, take));
        from += take;
    }
    cursor.endEditBlock();
    m_area.setTextCursor(cursor);
    m_area.ensureCursorVisible();
}

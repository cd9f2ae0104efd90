#include "console/send/receivedisplay.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <gtest/gtest.h>

using namespace std::string_literals;
using Mode = HexText::DisplayMode;

TEST(ReceiveDisplay, AppendsPiecesByMode) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, Mode>> batches;
        std::string expected;
    };
    const Case cases[] = {
        {"hex", {{"\x10\x04\x12", Mode::Hex}}, "10 04 12 "},
        {"text, shown upper case", {{"\x41\x62", Mode::Text}}, "A B "},
        {"text, a NUL adds nothing", {{"\x41\x00"s, Mode::Text}}, "A "},
        {"hex shows NUL", {{"\x00"s, Mode::Hex}}, "00 "},
        {"mode switch keeps earlier pieces",
         {{"ab", Mode::Text}, {"ab", Mode::Hex}, {"c", Mode::Text}},
         "A B 61 62 C "},
        {"GBK character as two bytes", {{"\xB7\xA2", Mode::Text}}, "\xB7 \xA2 "},
    };
    for (const auto& c : cases) {
        QPlainTextEdit area;
        ReceiveDisplay display(area);
        for (const auto& [bytes, mode] : c.batches)
            display.append(bytes, mode);
        EXPECT_EQ(display.text(), c.expected) << c.name;
    }
}

TEST(ReceiveDisplay, LoneNulChangesNothing) {
    QPlainTextEdit area;
    ReceiveDisplay display(area);
    display.append("X", Mode::Text);
    const QString before = area.toPlainText();
    EXPECT_FALSE(display.append("\0"s, Mode::Text));
    EXPECT_EQ(area.toPlainText(), before);
    EXPECT_EQ(display.text(), "X ");
}

TEST(ReceiveDisplay, AreaShowsTheTextWithTheCaretAtTheEnd) {
    QPlainTextEdit area;
    area.resize(300, 100);
    ReceiveDisplay display(area);
    display.append("\x0d\x0a", Mode::Text);
    display.append("hi", Mode::Text);
    // CR and LF are shown as their symbols, never as line ends.
    EXPECT_EQ(area.toPlainText(), QStringLiteral("\u240D \u240A H I "));
    EXPECT_EQ(display.text(), "\r \n H I ");
    EXPECT_EQ(area.textCursor().position(), area.document()->characterCount() - 1);
    EXPECT_FALSE(area.textCursor().hasSelection());
    EXPECT_TRUE(area.isReadOnly());
}

TEST(ReceiveDisplay, LongTextIsShownInParagraphsButKeptWhole) {
    QPlainTextEdit area;
    ReceiveDisplay display(area);
    std::string expected;
    for (int tick = 0; tick < 200; ++tick) {
        std::string batch(100, '\0');
        for (int i = 0; i < 100; ++i)
            batch[static_cast<size_t>(i)] = static_cast<char>(tick + i);
        display.append(batch, Mode::Hex);
        for (unsigned char b : batch)
            expected += HexText::displayPiece(b, Mode::Hex);
    }
    EXPECT_EQ(display.text(), expected);
    EXPECT_GT(area.document()->blockCount(), 1);
    // Every paragraph holds whole pieces and stays within the limit.
    QString joined;
    for (QTextBlock b = area.document()->begin(); b.isValid(); b = b.next()) {
        EXPECT_LE(b.length() - 1, ReceiveDisplay::BlockChars);
        EXPECT_TRUE(b.text().endsWith(QLatin1Char(' ')));
        joined += b.text();
    }
    EXPECT_EQ(joined, QString::fromLatin1(expected));

    display.clear();
    EXPECT_TRUE(display.text().empty());
    EXPECT_TRUE(area.toPlainText().isEmpty());
}

// Text loaded whole (the stored receive text, a file) is kept byte for byte;
// only ASCII letters that are characters of their own are shown in capitals,
// never the second byte of a two-byte character.
TEST(ReceiveDisplay, LoadedTextIsKeptAsGivenAndShownInCapitals) {
    struct Case {
        const char* name;
        std::string loaded;
        QString shown;
    };
    const Case cases[] = {
        {"letters", "abc xyz", QStringLiteral("ABC XYZ")},
        {"trail byte 0x61", "\xB0\x61", QStringLiteral("\u766E")}, // 癮, not 癆
        {"trail bytes among letters",
         "a\xB0\x7A"
         "b",
         QStringLiteral("A\u7695B")}, // 皕
        {"a letter after an undecodable byte", "\xB0 a", QStringLiteral("\uF7B0 A")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QPlainTextEdit area;
        ReceiveDisplay display(area);
        display.setText(c.loaded);
        EXPECT_EQ(display.text(), c.loaded);
        EXPECT_EQ(area.toPlainText(), c.shown);
    }
    // Pieces appended later follow the kept text unchanged.
    QPlainTextEdit area;
    ReceiveDisplay display(area);
    display.setText("\xB0\x61");
    display.append("b", HexText::DisplayMode::Text);
    EXPECT_EQ(display.text(), "\xB0\x61"
                              "B ");
    EXPECT_EQ(area.toPlainText(), QStringLiteral("\u766EB "));
}

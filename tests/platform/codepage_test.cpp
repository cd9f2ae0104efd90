#include "platform/codepage.h"
#include "platform/dialog/edittext.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace std::string_literals;

namespace {

std::string randomBytes(std::mt19937& rng, size_t maxLen, bool withLineEnds) {
    std::uniform_int_distribution<int> len(0, static_cast<int>(maxLen));
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<int> pick(0, 9);
    std::string s(static_cast<size_t>(len(rng)), 'x');
    for (auto& c : s) {
        c = static_cast<char>(byte(rng));
        if (withLineEnds && pick(rng) == 0)
            c = pick(rng) < 5 ? '\r' : '\n';
    }
    return s;
}

std::string throughEdit(const std::string& bytes) {
    QPlainTextEdit edit;
    edittext::setBytes(edit, bytes);
    // What the widget holds, taken out and put back as a person's copy would be.
    return edittext::bytes(edit);
}

} // namespace

TEST(Codepage, EverySingleByteRoundTrips) {
    for (int b = 1; b < 256; ++b) {
        const std::string s(1, static_cast<char>(b));
        EXPECT_EQ(codepage::fromUnicode(codepage::toUnicode(s)), s) << "byte " << b;
        EXPECT_EQ(throughEdit(s), s) << "byte " << b << " through an edit";
    }
}

TEST(Codepage, EveryDoubleBytePairRoundTrips) {
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x01; trail <= 0xFF; ++trail) {
            const std::string s{static_cast<char>(lead), static_cast<char>(trail)};
            ASSERT_EQ(codepage::fromUnicode(codepage::toUnicode(s)), s) << lead << "," << trail;
        }
    }
}

TEST(Codepage, ChineseCaptionsDecodeAsGbk) {
    // "发送" in GBK is B7 A2 CB CD.
    EXPECT_EQ(codepage::toUnicode("\xB7\xA2\xCB\xCD"), QStringLiteral("发送"));
    for (const QString& caption :
         {QStringLiteral("请先连接端口!"), QStringLiteral("此通讯端口已被占用或损坏!"),
          QStringLiteral("停止发送(当前%d/%d)"), QStringLiteral("十六进制发送")}) {
        const std::string bytes = codepage::fromUnicode(caption);
        size_t expected = 0;
        for (QChar c : caption)
            expected += c.unicode() < 0x80 ? 1 : 2;
        EXPECT_EQ(bytes.size(), expected);
        EXPECT_EQ(codepage::toUnicode(bytes), caption);
    }
}

TEST(Codepage, InvalidBytesAreKeptNotReplaced) {
    const std::string s =
        "A\x80\xFF\x81\x20\xFE"s; // 0x80, 0xFF, a lead with a bad trail, a last lead
    const QString text = codepage::toUnicode(s);
    EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(codepage::fromUnicode(text), s);
}

TEST(Codepage, SingleByte80IsTheEuroSign) {
    const QString euro(QChar(char16_t{0x20AC}));
    const struct {
        std::string bytes;
        QString text;
    } cases[] = {
        {"\x80"s, euro},
        {"12\x80"s, QStringLiteral("12") + euro},
        {"\x80\xB7\xA2"s, euro + QStringLiteral("发")},
        {"\xB7\xA2\x80\x80"s, QStringLiteral("发") + euro + euro},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(codepage::toUnicode(c.bytes), c.text);
        EXPECT_EQ(codepage::fromUnicode(c.text), c.bytes) << "a typed euro sign is one byte";
    }
}

TEST(Codepage, TextEndsAtNul) {
    EXPECT_EQ(codepage::toUnicode("AB\0CD"s), QStringLiteral("AB"));
    EXPECT_EQ(throughEdit("AB\0CD"s), "AB");
}

TEST(Codepage, CharactersOutsideGbkBecomeQuestionMarks) {
    EXPECT_EQ(codepage::fromUnicode(QString::fromUtf8("a\xF0\x9F\x98\x80"
                                                      "b")),
              "a?b");
}

TEST(Codepage, RandomBytesRoundTrip) {
    std::mt19937 rng(936);
    for (int i = 0; i < 2000; ++i) {
        const std::string s = randomBytes(rng, 64, false);
        ASSERT_EQ(codepage::fromUnicode(codepage::toUnicode(s)), s);
    }
}

TEST(Codepage, LineEndsSurviveAnEditControl) {
    const std::string cases[] = {
        "",
        "one line",
        "a\r\nb\r\n",
        "a\nb\n",
        "a\rb",
        "\r\n\r\n\r\n",
        "\n\n",
        "\r",
        "mixed\r\nlf\nand cr\rend",
        "\xC4\xE3\xBA\xC3\r\n\xCA\xC0\xBD\xE7\r", // 你好 CR LF 世界 CR
        "lf first\nthen crlf\r\n",
        "\r\r\n\n",
    };
    for (const auto& s : cases)
        EXPECT_EQ(throughEdit(s), s) << "case " << testing::PrintToString(s);
}

TEST(Codepage, RandomTextsSurviveAnEditControl) {
    std::mt19937 rng(20261211);
    QPlainTextEdit edit;
    for (int i = 0; i < 300; ++i) {
        const std::string s = randomBytes(rng, 80, true);
        edittext::setBytes(edit, s);
        ASSERT_EQ(edittext::bytes(edit), s) << testing::PrintToString(s);
    }
}

TEST(Codepage, TypedLinesFollowTheTextsLineEnds) {
    QPlainTextEdit edit;
    edittext::setBytes(edit, "first");
    edit.appendPlainText(QStringLiteral("typed"));
    EXPECT_EQ(edittext::bytes(edit), "first\r\ntyped");

    edittext::setBytes(edit, "a\nb");
    edit.appendPlainText(QStringLiteral("c"));
    EXPECT_EQ(edittext::bytes(edit), "a\nb\nc");

    edittext::setBytes(edit, "a\r\nb");
    edit.appendPlainText(QStringLiteral("c"));
    EXPECT_EQ(edittext::bytes(edit), "a\r\nb\r\nc");
}

TEST(Codepage, LoneCrIsVisible) {
    EXPECT_EQ(codepage::toEditText("a\rb", codepage::LineEnd::CrLf),
              QStringLiteral("a") + QChar(codepage::CrSymbol) + QStringLiteral("b"));
    EXPECT_EQ(codepage::toEditText("a\r\nb\nc", codepage::LineEnd::CrLf),
              QStringLiteral("a\nb") + QChar(codepage::LfSymbol) + QStringLiteral("c"));
}

// A field read again and again keeps its long text when neither side has
// changed, and takes the edit's text whenever either has.
TEST(Codepage, RepeatedReadsOfALongTextConvertOnlyChanges) {
    QPlainTextEdit edit;
    const std::string text = std::string(8000, 'a') + "\xC4\xE3\r\nend";
    edittext::setBytes(edit, text);
    std::string field;
    edittext::readInto(edit, field);
    ASSERT_EQ(field, text);

    const char* buffer = field.data();
    edittext::readInto(edit, field);
    EXPECT_EQ(field.data(), buffer) << "an unchanged text was converted again";
    EXPECT_EQ(field, text);

    edit.appendPlainText(QStringLiteral("typed"));
    edittext::readInto(edit, field);
    EXPECT_EQ(field, text + "\r\ntyped");

    field = std::string(9000, 'b'); // changed by the program, not shown
    edittext::readInto(edit, field);
    EXPECT_EQ(field, text + "\r\ntyped");

    // Short texts are read every time.
    edittext::setBytes(edit, "ab");
    std::string shortField = "ab";
    edittext::readInto(edit, shortField);
    shortField = "xy";
    edittext::readInto(edit, shortField);
    EXPECT_EQ(shortField, "ab");
}

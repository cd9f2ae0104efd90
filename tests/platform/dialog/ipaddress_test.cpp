#include "platform/dialog/ipaddress.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace dialog;

// What the control holds is always four decimal fields: no partial address
// is left for a resolver to read in its shorthand form.
TEST(IpAddress, TheTextIsFourDecimalFields) {
    const std::pair<const char*, const char*> cases[] = {
        {"192.168.1.20", "192.168.1.20"},
        {"192.168.1", "192.168.1.0"}, // not 192.168.0.1
        {"127.0.1", "127.0.1.0"},     // not 127.0.0.1
        {"10", "10.0.0.0"},           // not 0.0.0.10
        {"10..3.", "10.0.3.0"},
        {"192.168.001.010", "192.168.1.10"}, // decimal, never octal
        {"0.0.0.0", "0.0.0.0"},
        {"255.255.255.255", "255.255.255.255"},
        {"", ""},
        {"...", ""},
        // Text the control cannot hold.
        {"1.2.3.4.5", ""},
        {"256.1.1.1", ""},
        {"1.2.3.1000", ""},
        {"0x7f.1", ""},
        {" 1.2.3.4", ""},
        {"-1.2.3.4", ""},
    };
    for (const auto& [typed, text] : cases)
        EXPECT_EQ(ipAddressText(QString::fromLatin1(typed)), QString::fromLatin1(text)) << typed;
}

TEST(IpAddress, TypingKeepsToFourFieldsOfAtMost255) {
    const std::pair<const char*, const char*> cases[] = {
        {"127.0.0.1", "127.0.0.1"},
        {"1921681100", "192.168.110.0"}, // a fourth digit starts the next field
        {"192.168.1.300", "192.168.1.30"},
        {"256", "25"},
        {"1.2.3.4.5", "1.2.3.45"},
        {"1.2.3.2554", "1.2.3.255"},
        {"a1-b.2 ,3", "1.23"},
    };
    for (const auto& [keys, shown] : cases) {
        SCOPED_TRACE(keys);
        QWidget window;
        QLineEdit* edit = makeIpAddressEdit(&window);
        window.show();
        QTest::keyClicks(edit, QString::fromLatin1(keys));
        EXPECT_EQ(edit->text(), QString::fromLatin1(shown));
    }
}

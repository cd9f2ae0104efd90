#include "headadjust/formtable.h"
#include "headadjust/headcommands.h"
#include "headadjust/mainform.h"
#include "headadjust/messenger.h"
#include "printerends.h"
#include "tests/support/cancelprobe.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;
using namespace headadjust;
using namespace ostrelletest;
using testsupport::VirtualPrinter;

namespace {

class FakeMessenger final : public Messenger {
public:
    void showMessage(QWidget*, const QString& text) override { messages.push_back(text); }
    std::vector<QString> messages;
};

// Each test gets its own port map: COM1, COM2, LPT1 and LPT2 are pseudo-terminals;
// COM3 and COM4 name devices that do not exist.
class OstrelleForm : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(com1 && com2 && lpt1 && lpt2);
        const std::string map = m_dir.filePath(QStringLiteral("ports.conf")).toStdString();
        std::ofstream(map) << "# test ports\n"
                           << "COM1 = " << com1->devicePath() << "\n"
                           << "COM2 = " << com2->devicePath() << "\n"
                           << "COM3 = " << m_dir.path().toStdString() << "/missing\n"
                           << "COM4 = " << m_dir.path().toStdString() << "/missing\n"
                           << "LPT1 = " << lpt1->devicePath() << "\n"
                           << "LPT2 = " << lpt2->devicePath() << "\n";
        ::setenv("POSKIT_PORTS", map.c_str(), 1);
        form = std::make_unique<MainForm>(messenger);
    }

    template <typename W = QWidget> W* ctl(const char* name) {
        W* w = form->findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { ctl<QPushButton>(name)->click(); }
    void setText(const char* name, const QString& text) { ctl<QComboBox>(name)->setEditText(text); }
    void connectSerial(const QString& port, const QString& speed = QStringLiteral("9600")) {
        ctl<QRadioButton>("Option1")->click();
        setText("Port", port);
        setText("Speed", speed);
        click("NT");
    }
    void connectParallel(const QString& port) {
        ctl<QRadioButton>("Option2")->click();
        setText("LPort", port);
        click("NT");
    }
    static std::string concat(const Writes& writes) {
        std::string all;
        for (const Write& w : writes)
            all += w;
        return all;
    }

    // Pseudo-terminals all four: a parallel device file is written the same way.
    std::unique_ptr<VirtualPrinter> com1 = VirtualPrinter::serial();
    std::unique_ptr<VirtualPrinter> com2 = VirtualPrinter::serial();
    std::unique_ptr<VirtualPrinter> lpt1 = VirtualPrinter::serial();
    std::unique_ptr<VirtualPrinter> lpt2 = VirtualPrinter::serial();
    FakeMessenger messenger;
    std::unique_ptr<MainForm> form;

private:
    QTemporaryDir m_dir;
};

const QString NoChannel = QStringLiteral("端口没有打开,数据未发送!");
const QString ChooseAPort = QStringLiteral("请选择一个可用通讯端口!");

} // namespace

TEST_F(OstrelleForm, EnabledStatesFollowLoadShowConnectAndDisconnect) {
    struct Row {
        const char* name;
        bool loaded, shown, connected, disconnected;
    };
    const Row rows[] = {
        {"Option1", true, true, false, true},      {"Option2", true, true, false, true},
        {"Port", false, true, false, true},        {"Speed", false, true, false, true},
        {"LPort", false, false, false, false},     {"NT", true, true, false, true},
        {"Disconnect", false, false, true, false}, {"Prn", false, false, true, false},
        {"Command3", false, false, true, false},   {"test", false, false, true, false},
        {"Frame3", false, false, true, false},     {"Combo1", false, false, true, false},
        {"Label1", false, false, false, false},    {"et", true, true, true, true},
        {"Frame1", true, true, true, true},        {"Frame2", true, true, true, true},
        {"Label2", true, true, true, true},        {"Label6", true, true, true, true},
    };
    const auto check = [&](bool Row::*column, const char* state) {
        for (const Row& row : rows)
            EXPECT_EQ(ctl(row.name)->isEnabled(), row.*column) << row.name << " " << state;
    };

    check(&Row::loaded, "loaded");
    EXPECT_FALSE(ctl<QRadioButton>("Option1")->isChecked());
    EXPECT_FALSE(ctl<QRadioButton>("Option2")->isChecked());

    form->show();
    check(&Row::shown, "shown");
    EXPECT_TRUE(ctl<QRadioButton>("Option1")->isChecked());
    EXPECT_EQ(form->focusWidget(), ctl("Option1"));

    click("NT");
    check(&Row::connected, "connected");
    EXPECT_TRUE(messenger.messages.empty());
    EXPECT_TRUE(form->channel().serialOpen());

    click("Disconnect");
    check(&Row::disconnected, "disconnected");
    EXPECT_FALSE(form->channel().active().has_value());
}

TEST_F(OstrelleForm, ControlsCarryTheirCaptionsListsAndPlaces) {
    form->show();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ostrelle"));
    EXPECT_EQ(form->size(), QSize(372, 179)); // 5580 x 2685 twips at 96 dpi
    EXPECT_EQ(ctl<QGroupBox>("Frame1")->title(), QStringLiteral("选择端口"));
    EXPECT_EQ(ctl<QGroupBox>("Frame3")->title(), QStringLiteral("机头参数设置"));
    EXPECT_EQ(ctl<QRadioButton>("Option2")->text(), QStringLiteral("并口"));
    EXPECT_EQ(ctl<QPushButton>("Prn")->text(), QStringLiteral("可选参数效果打印"));
    EXPECT_EQ(ctl<QLabel>("Label4")->text(), QStringLiteral("2.执行可选参数效果打印"));
    // Prn belongs to the form and lies over Frame2; Combo1 sits in Frame3.
    EXPECT_EQ(ctl("Prn")->parentWidget(), form.get());
    EXPECT_EQ(ctl("Prn")->geometry(), QRect(160, 16, 113, 25));
    EXPECT_EQ(ctl("Combo1")->parentWidget(), ctl("Frame3"));
    EXPECT_EQ(ctl("Combo1")->geometry(), QRect(8, 32, 73, 20));

    const auto items = [&](const char* name) {
        QStringList list;
        auto* combo = ctl<QComboBox>(name);
        for (int i = 0; i < combo->count(); ++i)
            list << combo->itemText(i);
        return list;
    };
    QStringList values;
    for (int n = 0; n <= 13; ++n)
        values << QString::number(n);
    EXPECT_EQ(items("Combo1"), values);
    EXPECT_EQ(items("Port"), QStringList({QStringLiteral("COM1"), QStringLiteral("COM2"),
                                          QStringLiteral("COM3"), QStringLiteral("COM4")}));
    EXPECT_EQ(items("Speed"), QStringList({QStringLiteral("9600"), QStringLiteral("19200"),
                                           QStringLiteral("38400")}));
    EXPECT_EQ(items("LPort"), QStringList({QStringLiteral("LPT1"), QStringLiteral("LPT2")}));
    EXPECT_EQ(ctl<QComboBox>("Combo1")->currentText(), QStringLiteral("4"));
    EXPECT_EQ(ctl<QComboBox>("Port")->currentText(), QStringLiteral("COM1"));
    EXPECT_EQ(ctl<QComboBox>("Speed")->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(ctl<QComboBox>("LPort")->currentText(), QStringLiteral("LPT1"));
}

TEST_F(OstrelleForm, TabOrderFollowsTheTabIndexes) {
    const std::vector<std::string> expected = {"Option1", "Option2", "Port",       "Speed",
                                               "LPort",   "Prn",     "Disconnect", "Command3",
                                               "Combo1",  "et",      "NT",         "test"};
    std::vector<std::string> seen;
    QWidget* w = ctl("Option1");
    for (int guard = 0; guard < 200 && seen.size() < expected.size(); ++guard) {
        const std::string name = w->objectName().toStdString();
        if (std::find(expected.begin(), expected.end(), name) != expected.end() &&
            std::find(seen.begin(), seen.end(), name) == seen.end())
            seen.push_back(name);
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(OstrelleForm, SerialOperationsArriveByteExactAtTheChosenSpeed) {
    form->show();
    connectSerial(QStringLiteral("COM1"), QStringLiteral("19200"));
    ASSERT_TRUE(form->channel().serialOpen());
    EXPECT_EQ(form->commPortNumber(), 1);
    EXPECT_EQ(form->speedText(), QStringLiteral("19200"));
    const termios line = lineSettings(*com1);
    EXPECT_EQ(cfgetospeed(&line), B19200);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB), 0u);

    click("Prn");
    EXPECT_EQ(take(*com1, 7 + 1), "\x1D\x28\x41\x02\x00\x00\x04\x0A"s);

    const struct {
        const char16_t* text;
        std::string bytes;
    } values[] = {{u"4", "\x1D\x43\x04\x0A"s},
                  {u"0", "\x1D\x43\x00\x0A"s},
                  {u"10", "\x1D\x43\x0A\x0A"s},
                  {u" 13 ", "\x1D\x43\x0D\x0A"s}};
    for (const auto& v : values) {
        setText("Combo1", QString::fromUtf16(v.text));
        click("Command3");
        EXPECT_EQ(take(*com1, v.bytes.size()), v.bytes) << QString::fromUtf16(v.text).toStdString();
    }

    click("test");
    const std::string test = take(*com1, 840);
    EXPECT_EQ(test.size(), 840u);
    EXPECT_EQ(test, concat(PrintEffectTest(ChannelKind::Serial)));
    EXPECT_TRUE(staysQuiet(*com1)) << "nothing after line 20";
    EXPECT_TRUE(messenger.messages.empty());
}

TEST_F(OstrelleForm, ReconnectReadsTheSpeedAgain) {
    form->show();
    connectSerial(QStringLiteral("COM1"), QStringLiteral("9600"));
    const termios before = lineSettings(*com1);
    EXPECT_EQ(cfgetospeed(&before), B9600);
    click("Disconnect");
    setText("Speed", QStringLiteral("38400"));
    click("NT");
    EXPECT_EQ(form->speedText(), QStringLiteral("38400"));
    const termios line = lineSettings(*com1);
    EXPECT_EQ(cfgetospeed(&line), B38400);
    click("Prn");
    EXPECT_EQ(take(*com1, 8).size(), 8u);
}

TEST_F(OstrelleForm, ParallelEffectTestGetsOneMoreLineFeedAndDisconnectKeepsLPortDisabled) {
    form->show();
    connectParallel(QStringLiteral("LPT1"));
    ASSERT_EQ(form->channel().active(), ChannelKind::Parallel);
    EXPECT_EQ(form->commPortNumber(), 0) << "the serial choice was never made";
    click("test");
    const std::string test = take(*lpt1, 841);
    EXPECT_EQ(test.size(), 841u);
    EXPECT_EQ(test, concat(PrintEffectTest(ChannelKind::Serial)) + "\n");
    EXPECT_TRUE(staysQuiet(*lpt1)) << "nothing after the last line feed";

    click("Disconnect");
    EXPECT_TRUE(ctl<QRadioButton>("Option2")->isChecked());
    EXPECT_TRUE(ctl("Port")->isEnabled());
    EXPECT_TRUE(ctl("Speed")->isEnabled());
    EXPECT_FALSE(ctl("LPort")->isEnabled());

    // A new connect still goes by LPort's text, though the box is disabled.
    click("NT");
    ASSERT_EQ(form->channel().active(), ChannelKind::Parallel);
    setText("Combo1", QStringLiteral("7"));
    click("Command3");
    EXPECT_EQ(take(*lpt1, 4), "\x1D\x43\x07\x0A"s);
    EXPECT_TRUE(messenger.messages.empty());
}

TEST_F(OstrelleForm, SecondParallelPortGetsTheParameterEffectPrint) {
    form->show();
    connectParallel(QStringLiteral("LPT2"));
    ASSERT_EQ(form->channel().active(), ChannelKind::Parallel);
    click("Prn");
    EXPECT_EQ(take(*lpt2, 8), "\x1D\x28\x41\x02\x00\x00\x04\x0A"s);
    EXPECT_TRUE(staysQuiet(*lpt1));
    EXPECT_TRUE(messenger.messages.empty());
}

TEST_F(OstrelleForm, PortTextOutsideTheListKeepsThePreviousPortNumber) {
    form->show();
    connectSerial(QStringLiteral("COM2"));
    EXPECT_EQ(form->commPortNumber(), 2);
    click("Disconnect");
    connectSerial(QStringLiteral("COM9"));
    EXPECT_EQ(form->commPortNumber(), 2);
    click("Prn");
    EXPECT_EQ(take(*com2, 8).size(), 8u);
    EXPECT_TRUE(staysQuiet(*com1));
}

TEST_F(OstrelleForm, WithoutAChannelNothingIsSentAndTheUserIsTold) {
    form->show();
    // Before any serial connect a Port text outside the list leaves port number 0.
    connectSerial(QStringLiteral("com1"));
    EXPECT_EQ(form->commPortNumber(), 0);
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0], ChooseAPort);
    EXPECT_FALSE(form->channel().active().has_value());

    for (const char* button : {"Prn", "Command3", "test"}) {
        messenger.messages.clear();
        click(button);
        ASSERT_EQ(messenger.messages.size(), 1u) << button;
        EXPECT_EQ(messenger.messages[0], NoChannel) << button;
    }
    EXPECT_TRUE(staysQuiet(*com1));

    // Still connected as far as the window goes: the user can disconnect or exit.
    EXPECT_TRUE(ctl("Disconnect")->isEnabled());
    EXPECT_TRUE(ctl("et")->isEnabled());
    click("Disconnect");
    EXPECT_TRUE(ctl("NT")->isEnabled());
}

TEST_F(OstrelleForm, PortsThatCannotBeOpenedAreReportedAndLeaveTheToolUsable) {
    form->show();
    const struct {
        bool serial;
        const char16_t* port;
        const char16_t* speed;
        const char16_t* messageStart;
    } cases[] = {
        {true, u"COM3", u"9600", u"此通讯端口已被占用或损坏!"},
        {true, u"COM1", u"12345", u"“12345”不是可用的波特率"},
        {true, u"COM1", u"", u"“”不是可用的波特率"},
        {false, u"LPT3", u"9600", u"请选择一个可用通讯端口!"},
    };
    for (const auto& c : cases) {
        const QString port = QString::fromUtf16(c.port);
        SCOPED_TRACE(port.toStdString() + " " + QString::fromUtf16(c.speed).toStdString());
        messenger.messages.clear();
        if (c.serial)
            connectSerial(port, QString::fromUtf16(c.speed));
        else
            connectParallel(port);
        ASSERT_EQ(messenger.messages.size(), 1u);
        EXPECT_TRUE(messenger.messages[0].startsWith(QString::fromUtf16(c.messageStart)))
            << messenger.messages[0].toStdString();
        EXPECT_FALSE(form->channel().active().has_value());
        EXPECT_TRUE(ctl("Disconnect")->isEnabled());
        click("Disconnect");
        EXPECT_TRUE(ctl("NT")->isEnabled());
    }
    // The message names the device the port map gave, so a wrong map is easy to see.
    connectSerial(QStringLiteral("COM3"));
    ASSERT_FALSE(messenger.messages.empty());
    EXPECT_TRUE(messenger.messages.back().contains(QStringLiteral("missing")));
    EXPECT_TRUE(staysQuiet(*com1));
}

TEST_F(OstrelleForm, HeadParameterOutsideZeroTo127IsRefusedAndNothingSent) {
    form->show();
    connectSerial(QStringLiteral("COM1"));
    for (const char16_t* text : {u"128", u"-1", u"abc", u"", u"4.5", u"1e2"}) {
        SCOPED_TRACE(QString::fromUtf16(text).toStdString());
        messenger.messages.clear();
        setText("Combo1", QString::fromUtf16(text));
        click("Command3");
        ASSERT_EQ(messenger.messages.size(), 1u);
        EXPECT_EQ(messenger.messages[0], QStringLiteral("请填入一个在0和127之间的整数。"));
    }
    EXPECT_TRUE(staysQuiet(*com1));
    setText("Combo1", QStringLiteral("127"));
    click("Command3");
    EXPECT_EQ(take(*com1, 4), "\x1D\x43\x7F\x0A"s);
}

TEST_F(OstrelleForm, AFailedWriteIsReportedOnceAndEndsTheOperation) {
    form->show();
    connectSerial(QStringLiteral("COM1"));
    ASSERT_TRUE(form->channel().serialOpen());
    com1->vanish();
    click("test");
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_TRUE(
        messenger.messages[0].startsWith(QStringLiteral("数据发送失败,请检查打印机和端口!")))
        << messenger.messages[0].toStdString();
    click("Disconnect");
    EXPECT_TRUE(ctl("NT")->isEnabled());
}

TEST_F(OstrelleForm, ExitClosesTheWindowAndReleasesThePort) {
    form->show();
    connectSerial(QStringLiteral("COM1"));
    ASSERT_TRUE(form->channel().serialOpen());
    click("et");
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->channel().active().has_value());
}

TEST_F(OstrelleForm, TheWheelOverAnUnfocusedBoxChangesNothing) {
    form->show();
    connectSerial(QStringLiteral("COM1"));
    click("Disconnect"); // Port and Speed enabled again, Combo1 disabled
    ctl("NT")->setFocus();
    for (const char* name : {"Port", "Speed"}) {
        auto* combo = ctl<QComboBox>(name);
        const QString before = combo->currentText();
        const QPointF at(combo->width() / 2.0, combo->height() / 2.0);
        QWheelEvent wheel(at, combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &wheel);
        EXPECT_EQ(combo->currentText(), before) << name;
    }
}

TEST_F(OstrelleForm, EnterOnAFocusedButtonClicksItAndAPlusSignIsTaken) {
    form->show();
    connectSerial(QStringLiteral("COM1"));
    setText("Combo1", QStringLiteral("+4"));
    ctl("Command3")->setFocus();
    QTest::keyClick(ctl("Command3"), Qt::Key_Return);
    EXPECT_EQ(take(*com1, 4), "\x1D\x43\x04\x0A"s);
    ctl("Prn")->setFocus();
    QTest::keyClick(ctl("Prn"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(take(*com1, 8), "\x1D\x28\x41\x02\x00\x00\x04\x0A"s);
    EXPECT_TRUE(messenger.messages.empty());
}

TEST_F(OstrelleForm, AStalledPrinterLeavesTheWindowAliveAndCancelEndsTheWrite) {
    form->show();
    connectSerial(QStringLiteral("COM1"));
    ASSERT_TRUE(com1->stallWithFullLine());
    com1->clearReceived();

    const auto probe = testsupport::CancelProbe::run(*form, [&] { click("test"); });
    ASSERT_TRUE(probe.firstTick.has_value());
    EXPECT_LT(*probe.firstTick, std::chrono::milliseconds(100)) << "the event loop kept turning";
    EXPECT_TRUE(probe.dialogShown) << "a progress dialog with Cancel after ~300 ms";
    EXPECT_EQ(probe.cancelText, QStringLiteral("取消"));
    EXPECT_LT(probe.afterCancel(), std::chrono::seconds(1));
    EXPECT_TRUE(messenger.messages.empty()) << "a cancel is the user's own choice";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // What went out is an exact prefix of the effect test, after the filler.
    com1->setReading(true);
    QTest::qWait(300);
    std::string got = com1->received();
    got.erase(0, std::min(got.size(), got.find_first_not_of('f')));
    const std::string all = concat(PrintEffectTest(ChannelKind::Serial));
    EXPECT_LT(got.size(), all.size());
    EXPECT_EQ(got, all.substr(0, got.size()));

    // The tool goes on as before.
    com1->clearReceived();
    click("Prn");
    EXPECT_EQ(take(*com1, 8), "\x1D\x28\x41\x02\x00\x00\x04\x0A"s);
}

TEST_F(OstrelleForm, ATimedOutWriteSaysSo) {
    form->show();
    connectSerial(QStringLiteral("COM1"));
    ASSERT_TRUE(com1->stallWithFullLine());
    click("test"); // the write gives up after OutputChannel::WriteDeadline
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0], QStringLiteral("数据发送失败,请检查打印机和端口!\n写入超时"));
}

TEST_F(OstrelleForm, ClosingTheWindowDuringAStalledWriteEndsItAndReleasesThePort) {
    form->show();
    connectSerial(QStringLiteral("COM1"));
    ASSERT_TRUE(com1->stallWithFullLine());
    QTimer::singleShot(100, form.get(), [&] { form->close(); });
    const auto started = std::chrono::steady_clock::now();
    click("test");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->channel().active().has_value());
    EXPECT_TRUE(messenger.messages.empty());
}

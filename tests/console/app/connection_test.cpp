#include "console/link/printerlink.h"
#include "platform/serialport.h"
#include "tests/console/app/consolewindow.h"
#include "tests/support/printer/recordingchannel.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <termios.h>

#include <functional>
#include <vector>

namespace {

termios lineOf(const testsupport::VirtualPrinter& p) {
    termios t{};
    EXPECT_EQ(tcgetattr(p.slaveFd(), &t), 0);
    return t;
}

const std::vector<int> SerialControls{
    ids::BaudLabel, ids::ParityLabel, ids::DataBitsLabel, ids::StopBitsLabel, ids::FlowLabel,
    ids::BaudCombo, ids::ParityCombo, ids::DataBitsCombo, ids::StopBitsCombo, ids::FlowCombo};
const std::vector<int> NetworkControls{ids::IpAddress, ids::IpLabel, ids::TcpPortLabel,
                                       ids::TcpPort};

bool allShown(const TestConsoleDialog& w, const std::vector<int>& ids, bool shown) {
    for (int id : ids)
        if (w.isShown(id) != shown)
            return false;
    return true;
}

} // namespace

TEST_F(ConsoleWindowTest, StartsConnectedToCom1WithTheDefaultSettings) {
    open();
    EXPECT_TRUE(prompter.shown().empty());
    expectConnected();
    EXPECT_EQ(window->link()->kind(), PortKind::Serial);

    const termios t = lineOf(*printer);
    EXPECT_EQ(cfgetospeed(&t), B38400);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);

    // The combo boxes show what was opened; the port's tip where it leads.
    const std::vector<std::pair<int, QString>> shown = {
        {ids::PortCombo, QStringLiteral("COM1")},   {ids::BaudCombo, QStringLiteral("38400")},
        {ids::ParityCombo, QStringLiteral("NONE")}, {ids::DataBitsCombo, QStringLiteral("8")},
        {ids::StopBitsCombo, QStringLiteral("1")},  {ids::FlowCombo, QStringLiteral("NONE")}};
    for (const auto& [id, text] : shown)
        EXPECT_EQ(window->comboBox(id)->currentText(), text) << id;
    EXPECT_TRUE(window->comboBox(ids::PortCombo)
                    ->toolTip()
                    .contains(QString::fromStdString(printer->devicePath())))
        << window->comboBox(ids::PortCombo)->toolTip().toStdString();
    EXPECT_TRUE(allShown(*window, SerialControls, true));
    EXPECT_TRUE(allShown(*window, NetworkControls, false));
}

TEST_F(ConsoleWindowTest, StartsDisconnectedWhenCom1CannotBeOpened) {
    struct Case {
        const char* name;
        bool busy; // held by another program rather than missing
    };
    for (const Case& c : {Case{"missing", false}, Case{"busy", true}}) {
        SCOPED_TRACE(c.name);
        window.reset();
        prompter.clear();
        platform::SerialPort holder;
        if (c.busy) {
            writePortMap(printer->devicePath());
            ASSERT_TRUE(holder.open(printer->devicePath()));
        } else {
            writePortMap(missing("com1"));
        }
        open();
        EXPECT_EQ(prompter.messages(), std::vector<QString>{PortBusy});
        expectDisconnected();
        // The choice stays, so the next click of "连接" tries COM1 again.
        EXPECT_EQ(window->comboBox(ids::PortCombo)->currentIndex(), 0);
        EXPECT_EQ(window->portSettings().port, 1);
        holder.close();
        writePortMap(printer->devicePath());
        click(ids::ConnectButton);
        expectConnected();
        EXPECT_EQ(prompter.messages().size(), 1u);
    }
}

TEST_F(ConsoleWindowTest, SerialSettingChangesReopenThePortAtOnce) {
    open();
    struct Case {
        int combo;
        int index;
        const char* stored;
        std::function<bool(const termios&)> line;
    };
    const std::vector<Case> cases = {
        // "43000" opens at 57600 and keeps its own item.
        {ids::BaudCombo, 8, "43000,", [](const termios& t) { return cfgetospeed(&t) == B57600; }},
        {ids::BaudCombo, 11, "115200,",
         [](const termios& t) { return cfgetospeed(&t) == B115200; }},
        // A pseudo-terminal forces 8 data bits and no parity bit; what it keeps
        // of these two is the setting strings and the combo items.
        {ids::ParityCombo, 2, "E,", nullptr},
        {ids::DataBitsCombo, 2, "7,", nullptr},
        {ids::ParityCombo, 1, "O,", [](const termios& t) { return (t.c_cflag & PARODD) != 0; }},
        {ids::StopBitsCombo, 2, "2", [](const termios& t) { return (t.c_cflag & CSTOPB) != 0; }},
        {ids::FlowCombo, 3, "XonXoff\n",
         [](const termios& t) { return (t.c_iflag & IXON) && (t.c_iflag & IXOFF); }},
        {ids::FlowCombo, 1, "CtsRts\n",
         [](const termios& t) { return (t.c_cflag & CRTSCTS) != 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.combo) + " item " + std::to_string(c.index));
        pick(c.combo, c.index);
        EXPECT_TRUE(prompter.shown().empty());
        expectConnected();
        if (c.line) {
            EXPECT_TRUE(c.line(lineOf(*printer)));
        }
        EXPECT_EQ(window->comboBox(c.combo)->currentIndex(), c.index);
        EXPECT_EQ(settingField(window->portSettings(),
                               c.combo == ids::BaudCombo       ? SerialSetting::Baud
                               : c.combo == ids::ParityCombo   ? SerialSetting::Parity
                               : c.combo == ids::DataBitsCombo ? SerialSetting::DataBits
                               : c.combo == ids::StopBitsCombo ? SerialSetting::StopBits
                                                               : SerialSetting::FlowControl),
                  c.stored);
    }
    const PortSettings& s = window->portSettings();
    EXPECT_EQ(s.boad, "115200,");
    EXPECT_EQ(s.check, "O,");
    EXPECT_EQ(s.data, "7,");
    EXPECT_EQ(s.stop, "2");
    EXPECT_EQ(s.control, "CtsRts\n");

    // Changing a setting while disconnected opens the port too.
    click(ids::ConnectButton);
    expectDisconnected();
    pick(ids::BaudCombo, 8);
    expectConnected();
    const termios fast = lineOf(*printer);
    EXPECT_EQ(cfgetospeed(&fast), B57600);
    EXPECT_EQ(window->comboBox(ids::BaudCombo)->currentText(), QStringLiteral("43000"));
}

TEST_F(ConsoleWindowTest, ThePortChoiceShowsItsControlsAndConnects) {
    open();
    const QString lpt1 = QStringLiteral("请确保无任何驱动占用LPT1，若有，请在设备管理器中将此端口设"
                                        "置为“使用指派给本端口的任何中断”");
    const QString lpt2 = QString(lpt1).replace(QStringLiteral("LPT1"), QStringLiteral("LPT2"));
    struct Case {
        int index;
        bool serial;
        bool network;
        std::vector<QString> messages;
        bool connected;
    };
    const std::vector<Case> cases = {
        // An empty address fails without a message.
        {17, false, true, {}, false},
        {0, true, false, {}, true},
        {14, false, false, {lpt1, PortBusy}, false},
        {17, false, true, {}, false},
        {15, false, false, {lpt2, PortBusy}, false},
        {16, false, false, {PortBusy}, false}, // no USB printer present
        {1, true, false, {PortBusy}, false},   // COM2 does not exist
        {0, true, false, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("item " + std::to_string(c.index));
        prompter.clear();
        pick(ids::PortCombo, c.index);
        EXPECT_EQ(prompter.messages(), c.messages);
        EXPECT_TRUE(allShown(*window, SerialControls, c.serial));
        EXPECT_TRUE(allShown(*window, NetworkControls, c.network));
        EXPECT_EQ(window->portSettings().port, c.index + 1);
        EXPECT_EQ(window->comboBox(ids::PortCombo)->currentIndex(), c.index);
        if (c.connected)
            expectConnected();
        else
            expectDisconnected();
    }
}

TEST_F(ConsoleWindowTest, EthernetConnectsToTheAddressAndPortOfItsControls) {
    auto tcp = testsupport::VirtualPrinter::tcp();
    ASSERT_NE(tcp, nullptr);
    open();
    window->lineEdit(ids::IpAddress)->setText(QStringLiteral("127.0.0.1"));
    window->lineEdit(ids::TcpPort)->setText(QString::number(tcp->port()));
    pick(ids::PortCombo, 17);
    EXPECT_TRUE(prompter.shown().empty());
    expectConnected();
    EXPECT_EQ(window->link()->kind(), PortKind::Network);
    EXPECT_TRUE(tcp->waitForConnections(1, std::chrono::seconds(5)));
    EXPECT_EQ(window->link()->write("AB", 2), 2);
    EXPECT_TRUE(tcp->waitForCount(2, std::chrono::seconds(5)));
    EXPECT_EQ(tcp->received(), "AB");

    // Back to COM1: the serial port is opened and written, nothing of the
    // network link remains.
    pick(ids::PortCombo, 0);
    expectConnected();
    EXPECT_EQ(window->link()->kind(), PortKind::Serial);
    EXPECT_EQ(window->link()->write("CD", 2), 2);
    EXPECT_TRUE(printer->waitForCount(2, std::chrono::seconds(5)));
    EXPECT_EQ(printer->received(), "CD");
}

// The address control yields four fields, a blank one read as 0: a partly
// typed address is not the shorthand a resolver would make of it.
TEST_F(ConsoleWindowTest, EthernetReadsTheAddressControlAsFourFields) {
    auto tcp = testsupport::VirtualPrinter::tcp(); // on 127.0.0.1
    ASSERT_NE(tcp, nullptr);
    struct Case {
        const char* typed;
        const char* address; // tried
        bool connected;
    };
    const Case cases[] = {
        {"127.0.0.1", "127.0.0.1", true},
        {"127.0.1", "127.0.1.0", false}, // inet_aton's shorthand is 127.0.0.1
        {"127.1", "127.1.0.0", false},
        {"", "", false},
    };
    open();
    window->lineEdit(ids::TcpPort)->setText(QString::number(tcp->port()));
    pick(ids::PortCombo, 17); // no address yet: stays disconnected
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        if (window->isConnected())
            click(ids::ConnectButton);
        QLineEdit* address = window->lineEdit(ids::IpAddress);
        address->clear();
        QTest::keyClicks(address, QString::fromLatin1(c.typed));
        click(ids::ConnectButton);
        EXPECT_EQ(window->portSettings().ipAddress, c.address);
        EXPECT_EQ(window->isConnected(), c.connected);
        EXPECT_TRUE(prompter.shown().empty());
    }
    EXPECT_EQ(tcp->connections(), 1);
}

TEST_F(ConsoleWindowTest, TheConnectButtonToggles) {
    open();
    expectConnected();
    QElapsedTimer clock;
    clock.start();
    click(ids::ConnectButton);
    EXPECT_GE(clock.elapsed(), 200); // the pause after closing
    expectDisconnected();
    // The port is free for others now.
    platform::SerialPort other;
    EXPECT_TRUE(other.open(printer->devicePath()));
    other.close();

    // Text typed over the port box changes nothing; connecting shows the
    // port's name again.
    window->comboBox(ids::PortCombo)->setEditText(QStringLiteral("XYZ"));
    click(ids::ConnectButton);
    expectConnected();
    EXPECT_EQ(window->comboBox(ids::PortCombo)->currentText(), QStringLiteral("COM1"));
    EXPECT_EQ(window->link()->kind(), PortKind::Serial);
    EXPECT_EQ(window->portSettings(), PortSettings{});
    const termios line = lineOf(*printer);
    EXPECT_EQ(cfgetospeed(&line), B38400);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(ConsoleWindowTest, NoPortChosenChangesNothing) {
    open();
    click(ids::ConnectButton);
    window->portSettings().port = 0;
    click(ids::ConnectButton);
    EXPECT_EQ(prompter.messages(), std::vector<QString>{QStringLiteral("请选择一个可用通讯端口!")});
    expectDisconnected();
}

TEST_F(ConsoleWindowTest, LosingTheLinkEndsATimedRun) {
    struct Case {
        const char* name;
        std::function<void(ConsoleWindowTest&)> lose;
        bool ends;
    };
    const std::vector<Case> cases = {
        {"disconnect", [](ConsoleWindowTest& t) { t.click(ids::ConnectButton); }, true},
        {"failed reconnect", [](ConsoleWindowTest& t) { t.pick(ids::PortCombo, 1); }, true},
        {"reconnect", [](ConsoleWindowTest& t) { t.pick(ids::BaudCombo, 5); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        // A run in progress, as the send engine leaves it.
        window->sendJob().active = true;
        window->startWindowTimer(timers::Send, 60000);
        window->startWindowTimer(timers::Animation, 60000);
        window->setSendButtonBusy(QStringLiteral("停止发送(当前1/3)"));
        window->showControl(ids::SendFrame2, true);

        c.lose(*this);
        EXPECT_EQ(window->sendJob().active, !c.ends);
        EXPECT_EQ(window->isWindowTimerActive(timers::Send), !c.ends);
        EXPECT_EQ(window->isWindowTimerActive(timers::Animation), !c.ends);
        EXPECT_EQ(window->isShown(ids::SendFrame2), !c.ends);
        if (c.ends) {
            EXPECT_EQ(window->button(ids::SendButton)->text(), QStringLiteral("发送"));
            EXPECT_EQ(window->button(ids::SendButton)->toolTip(), QStringLiteral("发送"));
            EXPECT_EQ(window->button(ids::SendButton)->property("iconResource").toInt(), 168);
            expectDisconnected();
        }
    }
}

TEST_F(ConsoleWindowTest, TheClosingOfAnAdoptedLinkIsTheDisconnect) {
    writePortMap(missing("com1"));
    open();
    auto channel = std::make_unique<testsupport::RecordingChannel>();
    const auto record = channel->record();
    window->adoptLink(PrinterLink(PortKind::Serial, std::move(channel)));
    expectConnected();
    EXPECT_EQ(window->link()->write("xy", 2), 2);
    EXPECT_EQ(record->writes, std::vector<std::string>{"xy"});
    click(ids::ConnectButton);
    EXPECT_TRUE(record->closed);
    expectDisconnected();
}

TEST_F(ConsoleWindowTest, ThePortTipSaysWhereThePortLeadsWhenItShows) {
    open();
    QComboBox* ports = window->comboBox(ids::PortCombo);
    const std::string other = missing("adapter");
    writePortMap(other);
    QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), ports->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(ports, &tip);
    EXPECT_TRUE(ports->toolTip().startsWith(QStringLiteral("COM1 → ")));
    EXPECT_TRUE(ports->toolTip().contains(QString::fromStdString(other)))
        << ports->toolTip().toStdString();
    pick(ids::PortCombo, 16);
    EXPECT_TRUE(ports->toolTip().contains(QStringLiteral("USB")));
}

// The connection as a part on its own: the window's template with a form
// over it, no window and no pty.
#include "console/link/connectionpanel.h"
#include "console/link/printerlink.h"
#include "tests/support/consoleform/partform.h"
#include "tests/support/printer/recordingchannel.h"
#include "tests/support/printer/testportmap.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

const QString PortBusy = QStringLiteral("此通讯端口已被占用或损坏!");

class ConnectionPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        stage.show();
        panel.registerCommands(stage.commands);
        panel.opened.add([this] { note("opened"); });
        panel.closed.add([this] { note("closed"); });
        stage.prompter.whileMessageOpen = [this](const QString&) { note("message"); };
    }

    // Where the sequence stands when a step runs: caption, flag, status
    // image, receive poll.
    void note(const char* step) {
        const dialog::TemplateDialog& d = stage;
        steps.push_back(std::string(step) + ": " + d.caption(ids::ConnectButton).toStdString() +
                        (panel.isConnected() ? " connected" : " not connected") +
                        (d.isShown(ids::LinkOpenImage) ? " link-image" : "") +
                        (d.isShown(ids::NoLinkImage) ? " no-link-image" : "") +
                        (d.isWindowTimerActive(timers::ReceivePoll) ? " polling" : ""));
    }
    void clickConnect() { QTest::mouseClick(stage.button(ids::ConnectButton), Qt::LeftButton); }

    testsupport::PartForm stage;
    ConnectionPanel panel{stage.form};
    std::vector<std::string> steps;
};

} // namespace

TEST_F(ConnectionPanelTest, HooksRunAtTheirPointsOfConnectDisconnectAndAFailedConnect) {
    // A failed connect: the closed state, then the hook, then the message.
    clickConnect();
    EXPECT_EQ(steps, (std::vector<std::string>{"closed: 连接 not connected no-link-image",
                                               "message: 连接 not connected no-link-image"}));
    EXPECT_EQ(stage.prompter.messages(), std::vector<QString>{PortBusy});
    EXPECT_EQ(panel.link(), nullptr);

    // A link that opens: its state is shown before the hook runs.
    steps.clear();
    auto channel = std::make_unique<testsupport::RecordingChannel>();
    const auto record = channel->record();
    panel.adoptLink(PrinterLink(PortKind::Serial, std::move(channel)));
    EXPECT_EQ(steps, std::vector<std::string>{"opened: 断开 connected link-image polling"});
    for (int id : ids::SerialGroup)
        EXPECT_TRUE(stage.isShown(id)) << id;

    // A disconnect: the link is closed and the poll stopped before the hook;
    // no message.
    steps.clear();
    stage.prompter.clear();
    clickConnect();
    EXPECT_TRUE(record->closed);
    EXPECT_EQ(steps, std::vector<std::string>{"closed: 连接 not connected no-link-image"});
    EXPECT_TRUE(stage.prompter.messages().empty());

    // No port chosen: a message and nothing else, no hook.
    steps.clear();
    panel.settings().port = 0;
    clickConnect();
    EXPECT_EQ(steps, std::vector<std::string>{"message: 连接 not connected no-link-image"});
}

TEST_F(ConnectionPanelTest, ThePortTipTellsEachKindOfPortInChinese) {
    QTemporaryDir dir;
    ASSERT_TRUE(testsupport::useTestPortMap(dir.path(), "/dev/ttyUSB0"));
    const std::string usb2 = testsupport::missingDevice(dir.path(), "usb2");
    const std::string map = dir.filePath(QStringLiteral("ports.conf")).toStdString();
    QComboBox* ports = stage.comboBox(ids::PortCombo);
    const struct {
        int port;
        bool usbPresent;
        std::string tip;
    } cases[] = {
        {1, false, "COM1 → /dev/ttyUSB0 (来自 " + map + ")"},
        {15, false,
         "LPT1 → " + testsupport::missingDevice(dir.path(), "LPT1") + " (来自 " + map + ")"},
        {17, false, "USB：没有找到 USB 打印机(USB1..USB10)"},
        {17, true, "USB2 → " + usb2 + " (来自 " + map + ")"},
        {18, false, "TCP：连接到下面的 IP 地址和端口"},
    };
    for (const auto& c : cases) {
        if (c.usbPresent)
            std::ofstream(usb2).flush();
        ports->setCurrentIndex(-1);
        ports->setCurrentIndex(portlist::comboIndex(c.port));
        EXPECT_EQ(ports->toolTip().toStdString(), c.tip) << c.port;
    }
}

// The send engine and the receive panel as parts on their own: the window's
// template with a form over it and a recording link, no window and no pty.
#include "console/link/connectionpanel.h"
#include "console/link/printerlink.h"
#include "console/send/receivepanel.h"
#include "console/send/sendengine.h"
#include "platform/dialog/edittext.h"
#include "tests/support/consoleform/partform.h"
#include "tests/support/printer/recordingchannel.h"
#include "tests/support/printer/waitforwrites.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using Writes = std::vector<std::string>;

namespace {

class SendPartsTest : public ::testing::Test {
public:
    void SetUp() override {
        stage.show();
        connection.registerCommands(stage.commands);
        send.registerCommands(stage.commands);
        receive.registerCommands(stage.commands);
        connection.closed.add([this] { send.endRun(); });
        adoptRecorder();
    }
    // A fresh recording link, as a connect would give.
    void adoptRecorder() {
        auto channel = std::make_unique<testsupport::RecordingChannel>();
        record = channel->record();
        connection.adoptLink(PrinterLink(PortKind::Serial, std::move(channel)));
    }
    // A click or a tick, and then its writes go out and what follows them runs.
    void click(int id) {
        QTest::mouseClick(stage.button(id), Qt::LeftButton);
        settle();
    }
    void tick(int timerId) {
        stage.onTimer(timerId);
        settle();
    }
    void settle() { ASSERT_TRUE(testsupport::waitForWrites(connection.writer())); }
    void check(int id, bool on) {
        if (stage.isChecked(id) != on)
            stage.checkBox(id)->click(); // a person's click, handler included
    }
    // A timed run of three copies, started.
    void startRun() {
        edittext::setBytes(*stage.textEdit(ids::SendArea), "A");
        check(ids::TimedSend, true);
        stage.lineEdit(ids::Count)->setText(QStringLiteral("3"));
        stage.lineEdit(ids::Interval)->setText(QStringLiteral("1000"));
        click(ids::SendButton);
        stage.onTimer(timers::Animation); // a frame of the animation is showing
        ASSERT_TRUE(send.job().active);
    }
    [[nodiscard]] bool anyFrameShown() const {
        for (int id : ids::SendFrames)
            if (stage.isShown(id))
                return true;
        return false;
    }

    testsupport::PartForm stage;
    ConnectionPanel connection{stage.form};
    SendEngine send{stage.form, connection};
    ReceivePanel receive{stage.form, connection};
    std::shared_ptr<testsupport::RecordingChannel::Record> record;
};

const std::string Cut = "\x1D\x56\x42\x11";

} // namespace

TEST_F(SendPartsTest, SendsThroughTheTableAndTheConnectionsLink) {
    edittext::setBytes(*stage.textEdit(ids::SendArea), "Hi##1b 40##");
    check(ids::AutoCut, true);
    stage.onCommand(menu::Send, dialog::Notify::Menu);
    settle();
    EXPECT_EQ(record->writes, (Writes{"Hi", "\x1B\x40", Cut}));
    EXPECT_EQ(stage.caption(ids::SendButton), QStringLiteral("发送"));

    // The poll reads what the printer sent back into the receive area.
    check(ids::HexDisplay, true);
    record->toRead = "\x10\x04";
    stage.onTimer(timers::ReceivePoll);
    EXPECT_EQ(receive.text(), "10 04 ");
    stage.onCommand(menu::HexDisplay, dialog::Notify::Menu);
    record->toRead = "OK";
    stage.onTimer(timers::ReceivePoll);
    EXPECT_EQ(receive.text(), "10 04 O K ");
}

// The three ends of a run leave the window differently.
TEST_F(SendPartsTest, AStoppedAFinishedAndALostRunEndTheirOwnWay) {
    struct Case {
        const char* name;
        void (*end)(SendPartsTest&);
        bool cut;             // the cut follows the last copy
        bool linkImage;       // the link image is back on top
        bool animationActive; // the animation ends only at its next frame
    };
    const Case cases[] = {
        {"stopped", [](SendPartsTest& t) { t.click(ids::SendButton); }, false, true, false},
        {"finished",
         [](SendPartsTest& t) {
             t.tick(timers::Send);
             t.tick(timers::Send);
         },
         true, true, true},
        {"link lost", [](SendPartsTest& t) { t.click(ids::ConnectButton); }, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!connection.isConnected())
            adoptRecorder();
        check(ids::AutoCut, true);
        startRun();
        record->writes.clear();
        c.end(*this);
        EXPECT_FALSE(send.job().active);
        EXPECT_EQ(!record->writes.empty() && record->writes.back() == Cut, c.cut);
        EXPECT_EQ(stage.caption(ids::SendButton), QStringLiteral("发送"));
        EXPECT_FALSE(stage.isWindowTimerActive(timers::Send));
        EXPECT_EQ(stage.isWindowTimerActive(timers::Animation), c.animationActive);
        EXPECT_EQ(stage.isShown(ids::LinkOpenImage), c.linkImage);
        EXPECT_FALSE(anyFrameShown());
        stage.stopWindowTimer(timers::Animation);
    }
}

// Typing in a long send text: the field takes the text once typing pauses,
// not at every key; a read of the fields takes it at once. A short text still
// follows each key.
TEST_F(SendPartsTest, ALongSendTextIsTakenOnceTypingPauses) {
    QPlainTextEdit* area = stage.textEdit(ids::SendArea);
    const std::string& field = stage.form.fields().sendText;
    const std::string big(edittext::PausedRead::LongText + 10, 'x');
    edittext::setBytes(*area, big);
    ASSERT_TRUE(stage.form.readControls());
    area->setFocus();
    area->moveCursor(QTextCursor::End);

    QTest::keyClick(area, Qt::Key_Y);
    EXPECT_EQ(field, big) << "the whole text was taken at the key";
    ASSERT_TRUE(stage.form.readControls());
    EXPECT_EQ(field, big + "y");

    QTest::keyClick(area, Qt::Key_Z);
    EXPECT_TRUE(QTest::qWaitFor([&] { return field == big + "yz"; }, 5000));

    edittext::setBytes(*area, "ab");
    area->moveCursor(QTextCursor::End);
    QTest::keyClick(area, Qt::Key_C);
    EXPECT_EQ(field, "abc");
}

// A link whose far end is gone, found by the poll or by a write, runs the
// disconnect sequence (the run ends too) and says so once, naming the port.
TEST_F(SendPartsTest, ALostLinkIsShownAsLostOnce) {
    struct Case {
        const char* name;
        void (*lose)(SendPartsTest&);
    };
    const Case cases[] = {
        {"the poll finds the line hung up",
         [](SendPartsTest& t) {
             t.record->gone = true;
             t.stage.onTimer(timers::ReceivePoll);
             t.stage.onTimer(timers::ReceivePoll);
         }},
        {"a write finds the device gone",
         [](SendPartsTest& t) {
             t.record->writeResult = 0;
             t.record->writeError = EIO;
             t.tick(timers::Send);
             t.tick(timers::Send);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!connection.isConnected())
            adoptRecorder();
        startRun();
        stage.prompter.clear();
        c.lose(*this);
        settle();
        EXPECT_FALSE(connection.isConnected());
        EXPECT_EQ(connection.link(), nullptr);
        EXPECT_TRUE(record->closed);
        EXPECT_EQ(stage.caption(ids::ConnectButton), QStringLiteral("连接"));
        EXPECT_TRUE(stage.isShown(ids::NoLinkImage));
        EXPECT_FALSE(stage.isShown(ids::LinkOpenImage));
        EXPECT_FALSE(stage.isWindowTimerActive(timers::ReceivePoll));
        EXPECT_FALSE(send.job().active);
        EXPECT_EQ(stage.caption(ids::SendButton), QStringLiteral("发送"));
        ASSERT_EQ(stage.prompter.messages().size(), 1U);
        EXPECT_TRUE(stage.prompter.messages()[0].startsWith(
            QStringLiteral("与打印机的连接已断开(COM1)，请检查打印机和连线后重新连接!")))
            << stage.prompter.messages()[0].toStdString();
    }
}

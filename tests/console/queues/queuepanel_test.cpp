// The queue panel as a part: its operations through the controls, a queue's
// send over a recording link, and the switch between the panel and the
// insert row.
#include "console/link/connectionpanel.h"
#include "console/link/printerlink.h"
#include "console/queues/queuepanel.h"
#include "console/send/sendengine.h"
#include "platform/dialog/edittext.h"
#include "tests/support/consoleform/partform.h"
#include "tests/support/printer/recordingchannel.h"
#include "tests/support/printer/waitforwrites.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using Writes = std::vector<std::string>;

namespace {

class QueuePanelTest : public ::testing::Test {
public:
    void SetUp() override {
        stage.show();
        connection.registerCommands(stage.commands);
        send.registerCommands(stage.commands);
        panel.registerCommands(stage.commands);
        // The panel on show, as a settings load with showqueue "TRUE" leaves it.
        panel.queues().takePanelSetting("TRUE");
        panel.switchArrangement();
    }
    void connect() {
        auto channel = std::make_unique<testsupport::RecordingChannel>();
        record = channel->record();
        connection.adoptLink(PrinterLink(PortKind::Serial, std::move(channel)));
    }
    void click(int id) { QTest::mouseClick(stage.button(id), Qt::LeftButton); }
    void check(int id, bool on) {
        if (stage.isChecked(id) != on)
            stage.checkBox(id)->click();
    }
    QPlainTextEdit& area() { return *stage.textEdit(ids::SendArea); }
    // The send text with a selection made as a person would.
    void setSendText(const std::string& bytes, std::size_t start, std::size_t end) {
        edittext::setBytes(area(), bytes);
        edittext::select(area(), {start, end});
    }
    [[nodiscard]] std::string sendText() { return edittext::bytes(area()); }
    [[nodiscard]] std::pair<std::size_t, std::size_t> selection() {
        const edittext::ByteRange r = edittext::selection(area());
        return {r.start, r.end};
    }
    void setEntry(std::size_t queue, const QString& text) {
        stage.lineEdit(ids::QueueRows[queue].entry)->setText(text);
    }
    [[nodiscard]] QString entry(std::size_t queue) {
        return stage.lineEdit(ids::QueueRows[queue].entry)->text();
    }
    void choose(int queue) { stage.comboBox(ids::QueueChoice)->setCurrentIndex(queue); }

    testsupport::PartForm stage;
    ConnectionPanel connection{stage.form};
    SendEngine send{stage.form, connection};
    QueuePanel panel{stage.form, connection, send};
    std::shared_ptr<testsupport::RecordingChannel::Record> record;
};

} // namespace

TEST_F(QueuePanelTest, StoreClearAndReplaceWorkOnTheirQueue) {
    edittext::setBytes(area(), "line 1\r\nline 2");
    check(ids::QueueRows[3].hex, true);
    click(ids::QueueRows[3].copy);
    EXPECT_EQ(stage.form.fields().entryTexts[3], "line 1\r\nline 2");
    EXPECT_TRUE(stage.isChecked(ids::QueueRows[3].hex)); // the flag as it was
    for (std::size_t i = 0; i < 10; ++i)
        if (i != 3) {
            EXPECT_TRUE(entry(i).isEmpty()) << i;
        }

    // Clear empties the chosen queue and keeps its flag.
    choose(3);
    click(ids::QueueClear);
    EXPECT_TRUE(entry(3).isEmpty());
    EXPECT_TRUE(stage.isChecked(ids::QueueRows[3].hex));

    // Replace puts the queue in place of the send text; an empty queue empties it.
    setEntry(6, QStringLiteral("from seven"));
    choose(6);
    click(ids::QueueReplace);
    EXPECT_EQ(sendText(), "from seven");
    choose(3);
    click(ids::QueueReplace);
    EXPECT_EQ(sendText(), "");

    // With no queue chosen (the selector's text edited), nothing changes.
    setEntry(0, QStringLiteral("kept"));
    edittext::setBytes(area(), "send");
    choose(-1);
    click(ids::QueueClear);
    click(ids::QueueReplace);
    click(ids::QueueAppend);
    EXPECT_EQ(entry(0), QStringLiteral("kept"));
    EXPECT_EQ(sendText(), "send");
}

TEST_F(QueuePanelTest, InsertPutsTheQueueAtTheSelectionInTheArea) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t start, end;
        std::string expected;
        std::pair<std::size_t, std::size_t> selected;
    };
    const Case cases[] = {
        {"caret after c", "abcdef", 3, 3, "abcXYdef", {5, 5}},
        {"cd selected", "abcdef", 2, 4, "abXYcdef", {4, 6}},
        {"caret at the start", "abc", 0, 0, "XYabc", {2, 2}},
        {"caret at the end", "abc", 3, 3, "abcXY", {5, 5}},
        // Offsets are bytes: a GBK character is two, a line end CR LF two.
        {"after a Chinese line", "\xD6\xD0\r\nab", 4, 4, "\xD6\xD0\r\nXYab", {6, 6}},
    };
    setEntry(1, QStringLiteral("XY"));
    choose(1);
    for (const Case& c : cases) {
        setSendText(c.text, c.start, c.end);
        click(ids::QueueAppend);
        EXPECT_EQ(sendText(), c.expected) << c.name;
        EXPECT_EQ(selection(), c.selected) << c.name;
    }
}

TEST_F(QueuePanelTest, TheInsertRowInsertsItsContentCountTimes) {
    panel.switchArrangement(); // the insert row on show
    ASSERT_TRUE(stage.isShown(ids::AddButton));
    struct Case {
        QString count;
        std::string expected;
        std::size_t prompts;
    };
    const Case cases[] = {
        {QStringLiteral("3"), "xababab", 0}, {QStringLiteral("1"), "xab", 0},
        {QStringLiteral("0"), "x", 0},       {QStringLiteral("1000"), "x", 0},
        {QStringLiteral("1001"), "x", 1}, // refused by the range check
    };
    stage.lineEdit(ids::AddContent)->setText(QStringLiteral("ab"));
    for (const Case& c : cases) {
        stage.prompter.clear();
        setSendText("x", 1, 1);
        stage.lineEdit(ids::AddCount)->setText(c.count);
        click(ids::AddButton);
        EXPECT_EQ(sendText(), c.expected) << c.count.toStdString();
        EXPECT_EQ(stage.prompter.messages().size(), c.prompts) << c.count.toStdString();
    }
    EXPECT_EQ(stage.prompter.messages().front(),
              QStringLiteral("“请填入一个在0和1000之间的整数。”"));
    stage.lineEdit(ids::AddCount)->setText(QStringLiteral("2"));
    setSendText("x", 1, 1);
    click(ids::AddButton);
    EXPECT_EQ(selection(), (std::pair<std::size_t, std::size_t>{5, 5})); // caret at the end
    EXPECT_EQ(stage.focusWidget(), &area());
}

TEST_F(QueuePanelTest, ASendWritesTheQueueThenTheCut) {
    connect();
    struct Case {
        const char* name;
        QString text;
        bool hex, hexSend, noCommand, autoCut;
        Writes expected;
    };
    const std::string cut = "\x1D\x56\x42\x11";
    const Case cases[] = {
        {"plain, with the cut", QStringLiteral("AB"), false, false, false, true, {"AB", cut}},
        {"plain, no cut", QStringLiteral("AB"), false, false, false, false, {"AB"}},
        {"hex queue, hex sending off", QStringLiteral("41 42"), true, false, false, false, {"AB"}},
        {"plain queue, hex sending on",
         QStringLiteral("41 42"),
         false,
         true,
         false,
         false,
         {"41 42"}},
        {"no-command mode keeps ##",
         QStringLiteral("a##41##"),
         false,
         false,
         true,
         false,
         {"a##41##"}},
        {"empty queue: only the cut", QString(), false, false, false, true, {cut}},
    };
    for (const Case& c : cases) {
        record->writes.clear();
        setEntry(4, c.text);
        check(ids::QueueRows[4].hex, c.hex);
        check(ids::HexSend, c.hexSend);
        check(ids::NoCommandMode, c.noCommand);
        check(ids::AutoCut, c.autoCut);
        click(ids::QueueRows[4].send);
        ASSERT_TRUE(testsupport::waitForWrites(connection.writer())) << c.name;
        EXPECT_EQ(record->writes, c.expected) << c.name;
    }
    EXPECT_TRUE(stage.prompter.messages().empty());
}

TEST_F(QueuePanelTest, ASendWithoutALinkSaysSoAndWritesNothing) {
    setEntry(0, QStringLiteral("AB"));
    click(ids::QueueRows[0].send);
    EXPECT_EQ(stage.prompter.messages(), std::vector<QString>{QStringLiteral("请先连接端口！")});
}

TEST_F(QueuePanelTest, TheSwitchShowsThePanelOrTheInsertRow) {
    auto panelShown = [&] {
        std::vector<int> ids{ids::QueueGroup, ids::QueueChoice, ids::QueueClear, ids::QueueAppend,
                             ids::QueueReplace};
        for (const ids::QueueRow& r : ids::QueueRows)
            ids.insert(ids.end(), {r.label, r.hex, r.entry, r.send, r.copy});
        return std::all_of(ids.begin(), ids.end(), [&](int id) { return stage.isShown(id); });
    };
    auto rowShown = [&] {
        return stage.isShown(ids::AddButton) && stage.isShown(ids::AddContent) &&
               stage.isShown(ids::AddCount);
    };
    edittext::setBytes(area(), "abc\r\ndef");
    const int narrow = stage.layoutTemplate().size.width();

    // SetUp showed the panel.
    EXPECT_TRUE(panelShown());
    EXPECT_FALSE(rowShown());
    EXPECT_EQ(stage.caption(ids::QueueToggle), QStringLiteral("隐藏"));
    EXPECT_EQ(panel.queues().panelSetting, "TRUE");
    EXPECT_GT(stage.clientArea()->width(), narrow * stage.unit());
    EXPECT_FALSE(stage.isShown(ids::QueueToggle)); // the switch button stays hidden

    panel.switchArrangement();
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(rowShown());
    EXPECT_EQ(stage.caption(ids::QueueToggle), QStringLiteral("显示数据队列"));
    EXPECT_EQ(panel.queues().panelSetting, "FALSE");
    EXPECT_EQ(stage.clientArea()->width(), qRound(narrow * stage.unit()));
    // The caret at the end of the send area, which has the focus.
    EXPECT_EQ(stage.focusWidget(), &area());
    EXPECT_EQ(selection(), (std::pair<std::size_t, std::size_t>{8, 8}));

    panel.switchArrangement();
    EXPECT_TRUE(panelShown());
}

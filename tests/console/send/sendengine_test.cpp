// The send engine and the receive display, driven through the console's window.
#include "console/send/receivedisplay.h"
#include "platform/dialog/edittext.h"
#include "tests/console/app/consolewindow.h"
#include "tests/support/printer/recordingchannel.h"
#include "tests/support/printer/waitforwrites.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <optional>

using namespace std::string_literals;
using Writes = std::vector<std::string>;

namespace {

// A channel that notes the Send button's caption at every write, so a test
// sees what the window showed while each copy went out. The write runs on the
// link's write thread; the caption is read on the window's.
class CaptionSpyChannel final : public LinkChannel {
public:
    struct Write {
        std::string bytes;
        QString caption;
    };
    CaptionSpyChannel(QPushButton* button, std::shared_ptr<std::vector<Write>> log)
        : m_button(button), m_log(std::move(log)) {}
    platform::SegmentReport writeSegment(std::string_view bytes,
                                         const platform::WriteControl&) override {
        QString caption;
        QMetaObject::invokeMethod(
            m_button, [&] { caption = m_button->text(); }, Qt::BlockingQueuedConnection);
        m_log->push_back({std::string(bytes), caption});
        return {bytes.size(), 0, {}};
    }
    std::int32_t read(char*, std::int32_t) override { return 0; }
    void close() override {}

private:
    QPushButton* m_button;
    std::shared_ptr<std::vector<Write>> m_log;
};

class SendEngineTest : public ConsoleWindowTest {
protected:
    void SetUp() override {
        ConsoleWindowTest::SetUp();
        open();
        ASSERT_TRUE(window->isConnected());
        useRecordingChannel();
    }

    void useRecordingChannel() {
        auto channel = std::make_unique<testsupport::RecordingChannel>();
        record = channel->record();
        window->adoptLink(PrinterLink(PortKind::Serial, std::move(channel)));
    }
    std::shared_ptr<std::vector<CaptionSpyChannel::Write>> useCaptionSpy() {
        auto log = std::make_shared<std::vector<CaptionSpyChannel::Write>>();
        window->adoptLink(PrinterLink(PortKind::Serial, std::make_unique<CaptionSpyChannel>(
                                                            window->button(ids::SendButton), log)));
        return log;
    }

    void setBox(int id, bool on) {
        QCheckBox* box = window->checkBox(id);
        ASSERT_NE(box, nullptr);
        if (box->isChecked() != on)
            box->click(); // a person's click, handler included
    }
    void setEdit(int id, const QString& text) { window->lineEdit(id)->setText(text); }
    void setSendText(const std::string& bytes) {
        edittext::setBytes(*window->textEdit(ids::SendArea), bytes);
    }
    // A timed run: count, interval, first number (numbering on when given), sheets.
    void timed(int count, int interval, std::optional<int> start, int sheets) {
        setBox(ids::TimedSend, true);
        setEdit(ids::Count, QString::number(count));
        setEdit(ids::Interval, QString::number(interval));
        setBox(ids::Numbering, start.has_value());
        if (start)
            setEdit(ids::StartNumber, QString::number(*start));
        setEdit(ids::Sheets, QString::number(sheets));
    }
    [[nodiscard]] QString sendCaption() const { return window->button(ids::SendButton)->text(); }
    void expectIdle() {
        EXPECT_EQ(sendCaption(), QStringLiteral("发送"));
        EXPECT_EQ(window->button(ids::SendButton)->toolTip(), QStringLiteral("发送"));
        EXPECT_FALSE(window->sendJob().active);
        EXPECT_FALSE(window->isWindowTimerActive(timers::Send));
        EXPECT_FALSE(window->isWindowTimerActive(timers::Animation));
    }

    std::shared_ptr<testsupport::RecordingChannel::Record> record;
};

const std::string Cut = "\x1D\x56\x42\x11";

} // namespace

TEST_F(SendEngineTest, TimedRunWritesNumberedCopiesSheetsAndTheCutInOrder) {
    auto log = useCaptionSpy();
    setSendText("ABC");
    timed(3, 1000, 7, 2);
    click(ids::SendButton);
    EXPECT_EQ(sendCaption(), QStringLiteral("停止发送(当前1/3)"));
    EXPECT_EQ(window->button(ids::SendButton)->toolTip(), QStringLiteral("停止发送"));
    EXPECT_TRUE(window->isWindowTimerActive(timers::Send));
    EXPECT_TRUE(window->isWindowTimerActive(timers::Animation));
    tick(timers::Send);
    EXPECT_EQ(sendCaption(), QStringLiteral("停止发送(当前2/3)"));
    tick(timers::Send);
    window->onTimer(timers::Animation); // the animation ends at its next frame
    expectIdle();

    const std::vector<std::pair<std::string, QString>> expected = {
        {"\nNO.7\nABC", QStringLiteral("停止发送(当前0/3)")},
        {"\nNO.7\nABC", QStringLiteral("停止发送(当前0/3)")},
        {"\nNO.8\nABC", QStringLiteral("停止发送(当前1/3)")},
        {"\nNO.8\nABC", QStringLiteral("停止发送(当前1/3)")},
        {"\nNO.9\nABC", QStringLiteral("停止发送(当前2/3)")},
        {"\nNO.9\nABC", QStringLiteral("停止发送(当前2/3)")},
        {Cut, QStringLiteral("停止发送(当前3/3)")},
    };
    ASSERT_EQ(log->size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((*log)[i].bytes, expected[i].first) << i;
        EXPECT_EQ((*log)[i].caption, expected[i].second) << i;
    }
}

TEST_F(SendEngineTest, SingleCopyRunSendsTheCutOneTickLater) {
    setSendText("X");
    timed(1, 500, std::nullopt, 1);
    click(ids::SendButton);
    EXPECT_EQ(record->writes, Writes{"X"});
    EXPECT_TRUE(window->sendJob().active);
    tick(timers::Send);
    EXPECT_EQ(record->writes, (Writes{"X", Cut}));
    window->onTimer(timers::Animation);
    expectIdle();
}

TEST_F(SendEngineTest, SecondClickStopsWithoutCutAndTheNextRunStartsAgain) {
    setSendText("A");
    timed(5, 1000, 7, 1);
    click(ids::SendButton);
    tick(timers::Send);
    click(ids::SendButton); // stop after copy 2 of 5
    expectIdle();
    EXPECT_EQ(record->writes, (Writes{"\nNO.7\nA", "\nNO.8\nA"}));
    EXPECT_TRUE(window->isShown(ids::LinkOpenImage));
    for (int id : {ids::SendFrame1, ids::SendFrame2, ids::SendFrame3})
        EXPECT_FALSE(window->isShown(id)) << id;

    record->writes.clear();
    click(ids::SendButton);
    EXPECT_EQ(record->writes, Writes{"\nNO.7\nA"});
    EXPECT_EQ(sendCaption(), QStringLiteral("停止发送(当前1/5)"));
}

TEST_F(SendEngineTest, TurningTimedSendingOffStopsTheRun) {
    setSendText("A");
    timed(5, 1000, std::nullopt, 1);
    click(ids::SendButton);
    setBox(ids::TimedSend, false);
    expectIdle();
    EXPECT_EQ(record->writes, Writes{"A"});
    for (int id : {ids::Count, ids::Interval, ids::Numbering, ids::StartNumber, ids::Sheets})
        EXPECT_FALSE(window->isEnabled(id)) << id;
    // On again: the next click starts a new run at once.
    setBox(ids::TimedSend, true);
    click(ids::SendButton);
    EXPECT_EQ(record->writes, (Writes{"A", "A"}));
    EXPECT_TRUE(window->sendJob().active);
}

TEST_F(SendEngineTest, EditsDuringARunTakeEffectFromTheNextCopy) {
    setSendText("one");
    timed(2, 1000, std::nullopt, 1);
    setBox(ids::AutoCut, false);
    click(ids::SendButton);
    setSendText("two");
    setEdit(ids::Sheets, QStringLiteral("2"));
    tick(timers::Send);
    EXPECT_EQ(record->writes, (Writes{"one", "two", "two"}));
}

TEST_F(SendEngineTest, ChoiceOfConversionForTheSendArea) {
    struct Case {
        const char* name;
        std::string text;
        bool hex, noCommand;
        std::optional<int> number;
        Writes expected;
    };
    const Case cases[] = {
        {"hex with number 12", "1B 40", true, false, 12, {"\x12\x1B\x40"}},
        {"hex with number 5 sends no byte", "1B 40", true, false, 5, {""}},
        {"command text", "ABC##1b 40##DEF", false, false, std::nullopt, {"ABC", "\x1B\x40", "DEF"}},
        {"no-command mode", "ABC##1b 40##DEF", false, true, std::nullopt, {"ABC##1b 40##DEF"}},
        {"hex ignores no-command mode", "41 42", true, true, std::nullopt, {"AB"}},
    };
    setBox(ids::AutoCut, false);
    for (const auto& c : cases) {
        record->writes.clear();
        setBox(ids::HexSend, false);
        setBox(ids::NoCommandMode, c.noCommand);
        setBox(ids::HexSend, c.hex);
        setSendText(c.text);
        if (c.number)
            timed(1, 1000, c.number, 1);
        else
            setBox(ids::TimedSend, false);
        click(ids::SendButton);
        EXPECT_EQ(record->writes, c.expected) << c.name;
        if (window->sendJob().active)
            click(ids::SendButton);
    }
}

TEST_F(SendEngineTest, HexSendingDisablesNoCommandModeAndTheMenusFlipTheBoxes) {
    setBox(ids::HexSend, true);
    EXPECT_FALSE(window->isEnabled(ids::NoCommandMode));
    setBox(ids::HexSend, false);
    EXPECT_TRUE(window->isEnabled(ids::NoCommandMode));

    window->onCommand(menu::HexSend, dialog::Notify::Menu);
    EXPECT_TRUE(window->checkBox(ids::HexSend)->isChecked());
    EXPECT_FALSE(window->isEnabled(ids::NoCommandMode));
    window->onCommand(menu::HexSend, dialog::Notify::Menu);
    EXPECT_FALSE(window->checkBox(ids::HexSend)->isChecked());
    EXPECT_TRUE(window->isEnabled(ids::NoCommandMode));

    const bool hexDisplay = window->checkBox(ids::HexDisplay)->isChecked();
    window->onCommand(menu::HexDisplay, dialog::Notify::Menu);
    EXPECT_NE(window->checkBox(ids::HexDisplay)->isChecked(), hexDisplay);
}

TEST_F(SendEngineTest, SingleSendWithTheCut) {
    setSendText("Hi");
    setBox(ids::TimedSend, false);
    setBox(ids::AutoCut, true);
    click(ids::SendButton);
    EXPECT_EQ(record->writes, (Writes{"Hi", Cut}));
    expectIdle();
    EXPECT_EQ(window->property("largeIcon").toInt(), 155);

    record->writes.clear();
    window->cutCommand() = "1b 69";
    click(ids::SendButton);
    EXPECT_EQ(record->writes, (Writes{"Hi", "\x1B\x69"}));
}

// A number the window's check rejects is still the number the click works
// with, as long as it fits in 32 bits: a count below 1 makes the click a
// single send, a start number below 1 starts the numbering there. After a
// run of 3 copies numbered from 7, a person types new values and clicks.
TEST_F(SendEngineTest, ARejectedCountOrStartNumberIsTheOneTheClickUses) {
    struct Case {
        const char* name;
        const char* count;
        const char* start;
        Writes writes; // at the click
        int runOf;     // copies of the run the click starts; 0: none
    };
    const Case cases[] = {
        {"count 0: a single send", "0", "7", {"A", Cut}, 0},
        {"count -5: a single send", "-5", "7", {"A", Cut}, 0},
        {"start 0: numbered from 0", "2", "0", {"\nNO.0\nA"}, 2},
        {"start -3: numbered from -3", "2", "-3", {"\nNO.-3\nA"}, 2},
        {"count above the range: a run that long", "1000000", "7", {"\nNO.7\nA"}, 1000000},
        // Beyond 32 bits nothing is stored: the run of 3 again.
        {"count beyond 32 bits", "99999999999", "7", {"\nNO.7\nA"}, 3},
    };
    const QString range = QStringLiteral("“请填入一个在1和999999之间的整数。”");
    setSendText("A");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        timed(3, 1000, 7, 1);
        click(ids::SendButton);
        tick(timers::Send);
        tick(timers::Send);
        window->onTimer(timers::Animation);
        expectIdle();
        record->writes.clear();
        prompter.clear();

        setEdit(ids::Count, QString::fromLatin1(c.count));
        setEdit(ids::StartNumber, QString::fromLatin1(c.start));
        click(ids::SendButton);
        EXPECT_EQ(record->writes, c.writes);
        EXPECT_EQ(prompter.messages(), std::vector<QString>{range});
        EXPECT_EQ(sendCaption(), c.runOf == 0 ? QStringLiteral("发送")
                                              : QStringLiteral("停止发送(当前1/%1)").arg(c.runOf));
        if (window->sendJob().active)
            click(ids::SendButton);
    }
}

TEST_F(SendEngineTest, DisconnectedSendSaysSoAndSendsNothing) {
    window->toggleConnection();
    ASSERT_FALSE(window->isConnected());
    prompter.clear();
    setSendText("A");
    setBox(ids::TimedSend, true);
    click(ids::SendButton);
    EXPECT_EQ(prompter.messages(), std::vector<QString>{QStringLiteral("请先连接端口!")});
    EXPECT_TRUE(record->writes.empty());
    expectIdle();
}

TEST_F(SendEngineTest, DisconnectMidRunEndsItWithoutCut) {
    setSendText("A");
    timed(5, 1000, std::nullopt, 1);
    click(ids::SendButton);
    window->toggleConnection();
    expectIdle();
    EXPECT_EQ(record->writes, Writes{"A"});
    for (int id : {ids::SendFrame1, ids::SendFrame2, ids::SendFrame3})
        EXPECT_FALSE(window->isShown(id)) << id;
}

TEST_F(SendEngineTest, AnimationCyclesFramesAndIcons) {
    setSendText("A");
    timed(3, 1000, std::nullopt, 1);
    click(ids::SendButton);
    const std::pair<int, int> expected[] = {{ids::SendFrame1, 162},
                                            {ids::SendFrame2, 155},
                                            {ids::SendFrame3, 162},
                                            {ids::SendFrame1, 155}};
    for (const auto& [frame, icon] : expected) {
        window->onTimer(timers::Animation);
        for (int id : {ids::SendFrame1, ids::SendFrame2, ids::SendFrame3})
            EXPECT_EQ(window->isShown(id), id == frame) << frame;
        EXPECT_EQ(window->property("largeIcon").toInt(), icon);
    }
    tick(timers::Send);
    tick(timers::Send); // the last copy: the next animation tick ends the animation
    window->onTimer(timers::Animation);
    EXPECT_FALSE(window->isWindowTimerActive(timers::Animation));
    EXPECT_EQ(window->property("largeIcon").toInt(), 155);
    for (int id : {ids::SendFrame1, ids::SendFrame2, ids::SendFrame3})
        EXPECT_FALSE(window->isShown(id));
}

TEST_F(SendEngineTest, IntervalAndSheetsAreCorrectedAsTyped) {
    const std::pair<QString, QString> interval[] = {
        {QStringLiteral("-5"), QStringLiteral("0")},
        {QStringLiteral("9999999"), QStringLiteral("7200000")},
        {QStringLiteral("7200000"), QStringLiteral("7200000")},
        {QStringLiteral("250"), QStringLiteral("250")},
        {QStringLiteral("-"), QStringLiteral("-")}, // half typed: left alone
    };
    for (const auto& [typed, shown] : interval) {
        setEdit(ids::Interval, typed);
        EXPECT_EQ(window->lineEdit(ids::Interval)->text(), shown) << typed.toStdString();
    }
    const std::pair<QString, QString> sheets[] = {
        {QStringLiteral("150"), QStringLiteral("99")},
        {QStringLiteral("100"), QStringLiteral("100")},
        {QStringLiteral("101"), QStringLiteral("99")},
        {QStringLiteral("0"), QStringLiteral("1")},
        {QStringLiteral("7"), QStringLiteral("7")},
    };
    for (const auto& [typed, shown] : sheets) {
        setEdit(ids::Sheets, typed);
        EXPECT_EQ(window->lineEdit(ids::Sheets)->text(), shown) << typed.toStdString();
    }
}

TEST_F(SendEngineTest, TimedSendAndNumberingEnableTheirFields) {
    setBox(ids::Numbering, false);
    setBox(ids::TimedSend, true);
    for (int id : {ids::Count, ids::CountLabel, ids::Interval, ids::IntervalLabel, ids::Numbering,
                   ids::SheetsLabel, ids::Sheets})
        EXPECT_TRUE(window->isEnabled(id)) << id;
    EXPECT_FALSE(window->isEnabled(ids::StartNumber));
    setBox(ids::Numbering, true);
    EXPECT_TRUE(window->isEnabled(ids::StartNumber));
    EXPECT_TRUE(window->isEnabled(ids::StartNumberLabel));
    setBox(ids::TimedSend, false);
    EXPECT_FALSE(window->isEnabled(ids::StartNumber));
    setBox(ids::Numbering, false);
    setBox(ids::Numbering, true); // numbering alone does not enable its field
    EXPECT_FALSE(window->isEnabled(ids::StartNumber));
}

TEST_F(SendEngineTest, ReceivePollShowsWhatThePrinterSent) {
    auto area = [&] { return window->receiveText(); };
    setBox(ids::HexDisplay, true);
    record->toRead = "\x10\x04\x12";
    window->onTimer(timers::ReceivePoll);
    EXPECT_EQ(area(), "10 04 12 ");

    setBox(ids::HexDisplay, false);
    record->toRead = "\x41\x62";
    window->onTimer(timers::ReceivePoll);
    EXPECT_EQ(area(), "10 04 12 A B ");

    record->toRead = "\0"s;
    const QString shown = window->textEdit(ids::ReceiveArea)->toPlainText();
    window->onTimer(timers::ReceivePoll);
    EXPECT_EQ(window->textEdit(ids::ReceiveArea)->toPlainText(), shown);

    window->setReceiveText("");
    setBox(ids::HexDisplay, true);
    record->toRead = std::string(250, '\x7F');
    for (int tick = 1; tick <= 3; ++tick) {
        window->onTimer(timers::ReceivePoll);
        EXPECT_EQ(area().size(), 3u * std::min(100 * tick, 250)) << tick;
    }
    const QPlainTextEdit* edit = window->textEdit(ids::ReceiveArea);
    EXPECT_EQ(edit->textCursor().position(), edit->document()->characterCount() - 1);
}

// The real thing: a pty printer behind COM1.
TEST_F(ConsoleWindowTest, SingleSendReachesThePrinterAndItsAnswerIsShown) {
    open();
    ASSERT_TRUE(window->isConnected());
    const std::string gbk =
        "\xC4\xE3\xBA\xC3\xA3\xAC\xB4\xF2\xD3\xA1\xBB\xFA\r\nLine 2"; // 你好，打印机
    edittext::setBytes(*window->textEdit(ids::SendArea), gbk);
    window->checkBox(ids::AutoCut)->setChecked(true);
    click(ids::SendButton);
    const std::string expected = gbk + "\x1D\x56\x42\x11";
    ASSERT_TRUE(printer->waitForCount(expected.size(), std::chrono::seconds(5)));
    EXPECT_EQ(printer->received(), expected);

    window->checkBox(ids::HexDisplay)->setChecked(true);
    ASSERT_TRUE(printer->sendBack("\x14\x00\x00\x0F"s));
    std::string shown;
    for (int i = 0; i < 50 && shown.size() < 12; ++i) {
        QTest::qWait(20);
        window->onTimer(timers::ReceivePoll);
        shown = window->receiveText();
    }
    EXPECT_EQ(shown, "14 00 00 0F ");
}

TEST_F(SendEngineTest, ARunGoesOnOverTheNewLinkAfterAReconnect) {
    setSendText("A");
    timed(3, 1000, std::nullopt, 1);
    setBox(ids::AutoCut, false);
    click(ids::SendButton);
    pick(ids::BaudCombo, 5); // 9600: the port is opened anew, on the pty printer
    ASSERT_TRUE(window->isConnected());
    EXPECT_TRUE(window->sendJob().active);
    tick(timers::Send);
    EXPECT_EQ(record->writes, Writes{"A"}); // the old link got the first copy only
    ASSERT_TRUE(printer->waitForCount(1, std::chrono::seconds(5)));
    EXPECT_EQ(printer->received(), "A");
    EXPECT_EQ(sendCaption(), QStringLiteral("停止发送(当前2/3)"));
}

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A send text long enough to stall on a printer that stopped reading, with no
// filler byte in it.
std::string longText(char tag) {
    std::string text(16 * 1024, tag);
    for (std::size_t i = 0; i < text.size(); i += 64)
        text[i] = static_cast<char>('0' + i / 64 % 10);
    return text;
}

// What the printer received after the filler its full line held.
std::string payloadOf(const testsupport::VirtualPrinter& printer) {
    const std::string all = printer.received();
    return all.substr(std::min(all.find_first_not_of('f'), all.size()));
}

// How soon a zero-timer gets its turn while the window's writes wait.
std::optional<Clock::duration> zeroTimerDelay(QWidget& window) {
    const auto started = Clock::now();
    std::optional<Clock::duration> fired;
    QTimer::singleShot(0, &window, [&] { fired = Clock::now() - started; });
    (void)QTest::qWaitFor([&] { return fired.has_value(); }, 1000);
    return fired;
}

} // namespace

// A printer that stops reading (its paper ran out): the window keeps turning,
// the Send button shows the bytes sent and stops the send, Disconnect and the
// close box end the write at once, and what went out is the front of the text.
TEST_F(ConsoleWindowTest, AStalledPrinterLeavesTheWindowAliveAndEveryStopWorks) {
    struct Case {
        const char* name;
        void (*stop)(ConsoleWindowTest&);
    };
    const Case cases[] = {
        {"Send",
         [](ConsoleWindowTest& t) {
             QTest::mouseClick(t.window->button(ids::SendButton), Qt::LeftButton);
         }},
        {"Disconnect",
         [](ConsoleWindowTest& t) {
             QTest::mouseClick(t.window->button(ids::ConnectButton), Qt::LeftButton);
         }},
        {"close box",
         [](ConsoleWindowTest& t) {
             t.window->close();
             t.window.reset();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        printer = testsupport::VirtualPrinter::serial();
        ASSERT_NE(printer, nullptr);
        writePortMap(printer->devicePath());
        open();
        ASSERT_TRUE(window->isConnected());
        ASSERT_TRUE(printer->stallWithFullLine());
        const std::string text = longText('S');
        edittext::setBytes(*window->textEdit(ids::SendArea), text);
        window->checkBox(ids::AutoCut)->setChecked(false);

        auto started = Clock::now();
        QTest::mouseClick(window->button(ids::SendButton), Qt::LeftButton);
        EXPECT_LT(Clock::now() - started, 200ms);
        const auto delay = zeroTimerDelay(*window);
        ASSERT_TRUE(delay.has_value());
        EXPECT_LT(*delay, 100ms);
        QTest::qWait(600);
        const QString caption = window->button(ids::SendButton)->text();
        EXPECT_TRUE(caption.startsWith(QStringLiteral("发送中……\n")) &&
                    caption.endsWith(QStringLiteral("/%1 字节").arg(text.size())))
            << caption.toStdString();
        EXPECT_EQ(window->button(ids::SendButton)->toolTip(), QStringLiteral("停止发送"));

        started = Clock::now();
        c.stop(*this);
        if (window) {
            ASSERT_TRUE(testsupport::waitForWrites(window->connection().writer(), 1s));
            EXPECT_EQ(window->button(ids::SendButton)->text(), QStringLiteral("发送"));
        }
        EXPECT_LT(Clock::now() - started, 1s);
        printer->setReading(true);
        QTest::qWait(200);
        EXPECT_TRUE(text.starts_with(payloadOf(*printer)));
        window.reset();
    }
}

// A printer that vanishes (a cable pulled, a network printer reset): within
// one poll the window shows the link as lost, ends the run and says so once.
TEST_F(ConsoleWindowTest, AVanishedPrinterIsShownAsLostWithinOnePoll) {
    auto tcp = testsupport::VirtualPrinter::tcp();
    ASSERT_NE(tcp, nullptr);
    struct Case {
        const char* name;
        testsupport::VirtualPrinter* printer;
        QString port;
    };
    open();
    const Case cases[] = {{"pty", printer.get(), QStringLiteral("COM1")},
                          {"tcp", tcp.get(), QStringLiteral("127.0.0.1:%1").arg(tcp->port())}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.printer == tcp.get()) {
            window->lineEdit(ids::IpAddress)->setText(QStringLiteral("127.0.0.1"));
            window->lineEdit(ids::TcpPort)->setText(QString::number(tcp->port()));
            pick(ids::PortCombo, 17); // ETHERNET
            ASSERT_TRUE(c.printer->waitForConnections(1, 2s));
        }
        expectConnected();
        edittext::setBytes(*window->textEdit(ids::SendArea), "A");
        window->checkBox(ids::TimedSend)->click();
        window->lineEdit(ids::Count)->setText(QStringLiteral("5"));
        click(ids::SendButton);
        ASSERT_TRUE(window->sendJob().active);
        prompter.clear();

        c.printer->vanish();
        QTest::qWait(50);
        tick(timers::ReceivePoll);
        tick(timers::ReceivePoll);
        expectDisconnected();
        EXPECT_FALSE(window->sendJob().active);
        EXPECT_EQ(window->button(ids::SendButton)->text(), QStringLiteral("发送"));
        ASSERT_EQ(prompter.messages().size(), 1U);
        EXPECT_TRUE(prompter.messages()[0].startsWith(
            QStringLiteral("与打印机的连接已断开(%1)").arg(c.port)))
            << prompter.messages()[0].toStdString();
        window->checkBox(ids::TimedSend)->click();
    }
}

// Timer 1 never starts a copy while the one before is still going out, and
// the next copy is due only once it has: the copies arrive whole, in order.
TEST_F(ConsoleWindowTest, TimedCopiesNeverOverlap) {
    open();
    ASSERT_TRUE(printer->stallWithFullLine());
    const std::string text = longText('T');
    edittext::setBytes(*window->textEdit(ids::SendArea), text);
    window->checkBox(ids::AutoCut)->setChecked(false);
    window->checkBox(ids::TimedSend)->click();
    window->checkBox(ids::Numbering)->click();
    window->lineEdit(ids::Count)->setText(QStringLiteral("3"));
    window->lineEdit(ids::Interval)->setText(QStringLiteral("0"));
    QTest::mouseClick(window->button(ids::SendButton), Qt::LeftButton);
    for (int i = 0; i < 5; ++i) {
        window->onTimer(timers::Send); // ticks while copy 1 waits change nothing
        QTest::qWait(20);
    }
    EXPECT_FALSE(window->isWindowTimerActive(timers::Send));
    EXPECT_EQ(window->sendJob().sent, 0);
    printer->setReading(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->sendJob().active; }, 10000));
    settle();
    const std::string expected = "\nNO.1\n" + text + "\nNO.2\n" + text + "\nNO.3\n" + text;
    ASSERT_TRUE(printer->waitForCount(expected.size(), 5s));
    QTest::qWait(50);
    EXPECT_TRUE(payloadOf(*printer) == expected);
}

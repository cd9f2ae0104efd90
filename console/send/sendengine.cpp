// The send engine and the receive display, as the main window runs them: the
// Send button and its timed runs (timers 1 and 3), the controls that shape a
// send, and the receive poll (timer 2).

#include "console/app/artwork.h"
#include "console/app/consoledialog.h"
#include "console/link/printerlink.h"
#include "console/send/hextext.h"
#include "console/send/receivedisplay.h"
#include "platform/dialog/dataexchange.h"

#include <QLineEdit>

#include <algorithm>
#include <limits>

namespace {

constexpr int AnimationMs = 300;
constexpr int IntervalMax = 7200000;
constexpr int SheetsMax = 100;
constexpr int ReceiveBufferSize = 100;

QString progressCaption(std::int32_t sent, std::int32_t total) {
    return QStringLiteral("停止发送(当前%1/%2)").arg(sent).arg(total);
}

// The number an edit holds, or nothing while it holds no whole number (the
// person may be halfway through typing one).
std::optional<long long> editNumber(const QLineEdit* edit) {
    if (edit == nullptr)
        return std::nullopt;
    return dialog::parseInteger(edit->text());
}

void setEditNumber(QLineEdit* edit, long long value) {
    const QString text = QString::number(value);
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

// --- writing

void TestConsoleDialog::writeBytes(const std::string& bytes) {
    PrinterLink* link = m_connection.link();
    if (link == nullptr)
        return;
    // A write is never split; no text the console holds comes near 2 GiB.
    const auto n = static_cast<std::int32_t>(
        std::min<std::size_t>(bytes.size(), std::numeric_limits<std::int32_t>::max()));
    (void)link->write(bytes.data(), n);
}

void TestConsoleDialog::sendOneCopy(const std::string& copy, bool hex) {
    // The fields follow the controls at every copy; a click or tick has
    // already prompted for a bad field, so this refresh stays quiet.
    readControls(Prompts::Quiet);
    for (const std::string& segment :
         HexText::convertCopy(copy, hex, isChecked(ids::NoCommandMode)))
        writeBytes(segment);
    m_form.setLargeIcon(artwork::WindowIcon);
}

void TestConsoleDialog::sendCutCommand() {
    writeBytes(HexText::toBytes(m_cutCommand, HexText::CutCapacity));
}

void TestConsoleDialog::sendCopySheets() {
    const std::string copy =
        numberedCopy(m_form.fields().sendText, isChecked(ids::Numbering), m_sendJob.nextNumber());
    const int sheets = std::max(1, m_form.fields().sheets);
    for (int i = 0; i < sheets; ++i)
        sendOneCopy(copy, isChecked(ids::HexSend));
}

// --- the Send button

void TestConsoleDialog::onSendClicked() {
    readControls();
    if (!m_connection.isConnected()) {
        m_form.message(QStringLiteral("请先连接端口!"));
        return;
    }
    if (isChecked(ids::TimedSend) && m_form.fields().count >= 1) {
        if (m_sendJob.active)
            stopTimedSend();
        else
            startTimedSend();
        return;
    }
    setSendButtonBusy(QStringLiteral("发送中……"));
    sendOneCopy(m_form.fields().sendText, isChecked(ids::HexSend));
    if (isChecked(ids::AutoCut))
        sendCutCommand();
    setSendButtonIdle();
    m_form.setLargeIcon(artwork::WindowIcon);
}

void TestConsoleDialog::startTimedSend() {
    m_sendJob.total = m_form.fields().count;
    m_sendJob.interval = m_form.fields().interval;
    m_sendJob.firstNumber = m_form.fields().startNumber;
    m_sendJob.sent = 0;
    m_sendJob.active = true;
    setSendButtonBusy(progressCaption(0, m_sendJob.total));
    sendCopySheets();
    m_sendJob.sent = 1;
    setCaption(ids::SendButton, progressCaption(m_sendJob.sent, m_sendJob.total));
    startWindowTimer(timers::Send, m_sendJob.interval);
    startWindowTimer(timers::Animation, AnimationMs);
    m_sendJob.frame = 1;
}

void TestConsoleDialog::showSendIdleImages() {
    showControl(ids::LinkOpenImage, true);
    showControls(ids::SendFrames, false);
}

void TestConsoleDialog::stopTimedSend() {
    m_sendJob.active = false;
    stopWindowTimer(timers::Send);
    stopWindowTimer(timers::Animation);
    setSendButtonIdle();
    m_form.setLargeIcon(artwork::WindowIcon);
    showSendIdleImages();
}

// Timer 1: the next copy, and the end of the run after the last.
void TestConsoleDialog::onSendTimer() {
    if (!m_sendJob.active) {
        stopWindowTimer(timers::Send);
        return;
    }
    if (m_sendJob.sent < m_sendJob.total) {
        sendCopySheets();
        ++m_sendJob.sent;
        setSendButtonBusy(progressCaption(m_sendJob.sent, m_sendJob.total));
    }
    if (m_sendJob.sent >= m_sendJob.total) {
        if (isChecked(ids::AutoCut))
            sendCutCommand();
        m_sendJob.active = false;
        stopWindowTimer(timers::Send);
        setSendButtonIdle();
        showSendIdleImages();
    }
}

// Timer 3: one frame of the busy animation.
void TestConsoleDialog::onAnimationTimer() {
    static constexpr int Frames[] = {ids::SendFrame3, ids::SendFrame1, ids::SendFrame2};
    const int shown = Frames[m_sendJob.frame % 3];
    for (int id : Frames)
        showControl(id, id == shown);
    m_form.setLargeIcon(m_sendJob.frame % 2 == 0 ? artwork::WindowIcon : artwork::BusyWindowIcon);
    ++m_sendJob.frame;
    if (m_sendJob.sent >= m_sendJob.total) {
        m_form.setLargeIcon(artwork::WindowIcon);
        showSendIdleImages();
        stopWindowTimer(timers::Animation);
    }
}

// --- controls that shape a send

void TestConsoleDialog::onTimedSendClicked() {
    const bool on = isChecked(ids::TimedSend);
    enableControls(ids::TimedSendGroup, on);
    enableControls(ids::NumberingGroup, on && isChecked(ids::Numbering));
    if (!on && m_sendJob.active)
        stopTimedSend();
}

void TestConsoleDialog::onNumberingClicked() {
    enableControls(ids::NumberingGroup, isChecked(ids::Numbering) && isChecked(ids::TimedSend));
}

void TestConsoleDialog::onHexSendClicked() {
    enableControl(ids::NoCommandMode, !isChecked(ids::HexSend));
}

void TestConsoleDialog::onIntervalChanged() {
    QLineEdit* edit = lineEdit(ids::Interval);
    const auto value = editNumber(edit);
    if (!value)
        return;
    setEditNumber(edit, std::clamp<long long>(*value, 0, IntervalMax));
}

void TestConsoleDialog::onSheetsChanged() {
    QLineEdit* edit = lineEdit(ids::Sheets);
    const auto value = editNumber(edit);
    if (!value)
        return;
    // Above the limit becomes 99, the limit itself stays.
    long long corrected = *value < 1 ? 1 : *value > SheetsMax ? SheetsMax - 1 : *value;
    setEditNumber(edit, corrected);
    m_form.fields().sheets = static_cast<int>(corrected);
}

void TestConsoleDialog::onSendAreaChanged() {
    // Only the send text follows each keystroke: a full read would prompt for
    // an unrelated bad number on every key typed here.
    dialog::DataExchange dx(*this, m_form.prompter(), dialog::DataExchange::Direction::Read,
                            Prompts::Quiet);
    dx.text(ids::SendArea, m_form.fields().sendText);
}

// A run that loses its link ends at once, with no cut.
void TestConsoleDialog::endTimedSend() {
    if (!m_sendJob.active)
        return;
    stopWindowTimer(timers::Send);
    stopWindowTimer(timers::Animation);
    setSendButtonIdle();
    showControls(ids::SendFrames, false);
    m_sendJob.active = false;
}

// --- the receive poll (timer 2)

void TestConsoleDialog::onReceivePoll() {
    PrinterLink* link = m_connection.link();
    if (link == nullptr || m_receive == nullptr)
        return;
    char buffer[ReceiveBufferSize] = {};
    const std::int32_t n = link->read(buffer, ReceiveBufferSize);
    if (n <= 0)
        return;
    m_receive->append(std::string_view(buffer, static_cast<std::size_t>(n)),
                      isChecked(ids::HexDisplay) ? HexText::DisplayMode::Hex
                                                 : HexText::DisplayMode::Text);
}

const std::string& TestConsoleDialog::receiveText() const {
    static const std::string none;
    return m_receive != nullptr ? m_receive->text() : none;
}

void TestConsoleDialog::setReceiveText(std::string_view text) {
    if (m_receive != nullptr)
        m_receive->setText(text);
}

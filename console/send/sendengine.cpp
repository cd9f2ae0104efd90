#include "console/send/sendengine.h"

#include "console/app/artwork.h"
#include "console/app/consoleform.h"
#include "console/link/connectionpanel.h"
#include "console/send/hextext.h"
#include "console/widgets/iconbutton.h"
#include "platform/dialog/dataexchange.h"
#include "platform/dialog/templatedialog.h"

#include <QLineEdit>

#include <algorithm>

using dialog::Notify;

namespace {

constexpr int AnimationMs = 300;
constexpr int IntervalMax = 7200000;
constexpr int SheetsMax = 100;

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

SendEngine::SendEngine(ConsoleForm& form, ConnectionPanel& connection)
    : m_form(form), m_connection(connection) {}

void SendEngine::registerCommands(CommandTable& table) {
    table.on(ids::SendButton, Notify::Clicked, [this] { onSendClicked(); });
    table.on(menu::Send, Notify::Menu, [this] { onSendClicked(); });
    table.on(ids::TimedSend, Notify::Clicked, [this] { onTimedSendClicked(); });
    table.on(ids::Numbering, Notify::Clicked, [this] { onNumberingClicked(); });
    table.on(ids::HexSend, Notify::Clicked, [this] { onHexSendClicked(); });
    table.on(menu::HexSend, Notify::Menu, [this] {
        m_form.dialog().toggleCheck(ids::HexSend);
        onHexSendClicked();
    });
    table.on(ids::Interval, Notify::EditChange, [this] { onIntervalChanged(); });
    table.on(ids::Sheets, Notify::EditChange, [this] { onSheetsChanged(); });
    table.on(ids::SendArea, Notify::EditChange, [this] { onSendAreaChanged(); });
    table.onTimer(timers::Send, [this] { onSendTimer(); });
    table.onTimer(timers::Animation, [this] { onAnimationTimer(); });
}

bool SendEngine::isChecked(int id) const {
    return m_form.dialog().isChecked(id);
}

// --- the Send button's looks

void SendEngine::setButtonIdle() {
    setButtonLook(QStringLiteral("发送"), artwork::SendButton, QStringLiteral("发送"));
}

void SendEngine::setButtonBusy(const QString& caption) {
    setButtonLook(caption, artwork::SendBusyButton, QStringLiteral("停止发送"));
}

void SendEngine::setButtonLook(const QString& caption, int iconId, const QString& tip) {
    dialog::TemplateDialog& d = m_form.dialog();
    d.setCaption(ids::SendButton, caption);
    if (auto* send = dynamic_cast<IconButton*>(d.button(ids::SendButton))) {
        send->setIconResource(iconId);
        send->setTooltipText(tip);
        // Each change of look lightens the pressed face a step further, up
        // to white.
        send->shiftColour(IconButton::BackgroundOver, 30);
        send->setFlat(false);
    }
}

// --- writing

void SendEngine::sendOneCopy(const std::string& copy, bool hex) {
    // The fields follow the controls at every copy; a click or tick has
    // already prompted for a bad field, so this refresh stays quiet.
    m_form.readControls(ConsoleForm::Prompts::Quiet);
    (void)m_connection.writer().write(
        HexText::convertCopy(copy, hex, isChecked(ids::NoCommandMode)));
    m_form.setLargeIcon(artwork::WindowIcon);
}

void SendEngine::sendCutCommand() {
    (void)m_connection.writer().write(HexText::toBytes(m_cutCommand, HexText::CutCapacity));
}

void SendEngine::sendCopySheets() {
    const ConsoleFields& f = m_form.fields();
    const std::string copy =
        numberedCopy(f.sendText, isChecked(ids::Numbering), m_job.nextNumber());
    const int sheets = std::max(1, f.sheets);
    for (int i = 0; i < sheets; ++i)
        sendOneCopy(copy, isChecked(ids::HexSend));
}

// --- the Send button

void SendEngine::onSendClicked() {
    m_form.readControls();
    if (!m_connection.isConnected()) {
        m_form.message(QStringLiteral("请先连接端口!"));
        return;
    }
    if (isChecked(ids::TimedSend) && m_form.fields().count >= 1) {
        if (m_job.active)
            stopRun();
        else
            startRun();
        return;
    }
    setButtonBusy(QStringLiteral("发送中……"));
    sendOneCopy(m_form.fields().sendText, isChecked(ids::HexSend));
    if (isChecked(ids::AutoCut))
        sendCutCommand();
    setButtonIdle();
    m_form.setLargeIcon(artwork::WindowIcon);
}

void SendEngine::startRun() {
    const ConsoleFields& f = m_form.fields();
    m_job.total = f.count;
    m_job.interval = f.interval;
    m_job.firstNumber = f.startNumber;
    m_job.sent = 0;
    m_job.active = true;
    setButtonBusy(progressCaption(0, m_job.total));
    sendCopySheets();
    m_job.sent = 1;
    dialog::TemplateDialog& d = m_form.dialog();
    d.setCaption(ids::SendButton, progressCaption(m_job.sent, m_job.total));
    d.startWindowTimer(timers::Send, m_job.interval);
    d.startWindowTimer(timers::Animation, AnimationMs);
    m_job.frame = 1;
}

void SendEngine::showIdleImages() {
    m_form.dialog().showControl(ids::LinkOpenImage, true);
    m_form.dialog().showControls(ids::SendFrames, false);
}

void SendEngine::stopRun() {
    m_job.active = false;
    m_form.dialog().stopWindowTimer(timers::Send);
    m_form.dialog().stopWindowTimer(timers::Animation);
    setButtonIdle();
    m_form.setLargeIcon(artwork::WindowIcon);
    showIdleImages();
}

void SendEngine::finishRun() {
    if (isChecked(ids::AutoCut))
        sendCutCommand();
    m_job.active = false;
    m_form.dialog().stopWindowTimer(timers::Send);
    setButtonIdle();
    showIdleImages();
}

void SendEngine::endRun() {
    if (!m_job.active)
        return;
    m_form.dialog().stopWindowTimer(timers::Send);
    m_form.dialog().stopWindowTimer(timers::Animation);
    setButtonIdle();
    m_form.dialog().showControls(ids::SendFrames, false);
    m_job.active = false;
}

// Timer 1: the next copy, and the end of the run after the last.
void SendEngine::onSendTimer() {
    if (!m_job.active) {
        m_form.dialog().stopWindowTimer(timers::Send);
        return;
    }
    if (m_job.sent < m_job.total) {
        sendCopySheets();
        ++m_job.sent;
        setButtonBusy(progressCaption(m_job.sent, m_job.total));
    }
    if (m_job.sent >= m_job.total)
        finishRun();
}

// Timer 3: one frame of the busy animation.
void SendEngine::onAnimationTimer() {
    static constexpr int Frames[] = {ids::SendFrame3, ids::SendFrame1, ids::SendFrame2};
    const int shown = Frames[m_job.frame % 3];
    for (int id : Frames)
        m_form.dialog().showControl(id, id == shown);
    m_form.setLargeIcon(m_job.frame % 2 == 0 ? artwork::WindowIcon : artwork::BusyWindowIcon);
    ++m_job.frame;
    if (m_job.sent >= m_job.total) {
        m_form.setLargeIcon(artwork::WindowIcon);
        showIdleImages();
        m_form.dialog().stopWindowTimer(timers::Animation);
    }
}

// --- controls that shape a send

void SendEngine::onTimedSendClicked() {
    const bool on = isChecked(ids::TimedSend);
    m_form.dialog().enableControls(ids::TimedSendGroup, on);
    m_form.dialog().enableControls(ids::NumberingGroup, on && isChecked(ids::Numbering));
    if (!on && m_job.active)
        stopRun();
}

void SendEngine::onNumberingClicked() {
    m_form.dialog().enableControls(ids::NumberingGroup,
                                   isChecked(ids::Numbering) && isChecked(ids::TimedSend));
}

void SendEngine::onHexSendClicked() {
    m_form.dialog().enableControl(ids::NoCommandMode, !isChecked(ids::HexSend));
}

void SendEngine::onIntervalChanged() {
    QLineEdit* edit = m_form.dialog().lineEdit(ids::Interval);
    const auto value = editNumber(edit);
    if (!value)
        return;
    setEditNumber(edit, std::clamp<long long>(*value, 0, IntervalMax));
}

void SendEngine::onSheetsChanged() {
    QLineEdit* edit = m_form.dialog().lineEdit(ids::Sheets);
    const auto value = editNumber(edit);
    if (!value)
        return;
    // Above the limit becomes 99, the limit itself stays.
    long long corrected = *value < 1 ? 1 : *value > SheetsMax ? SheetsMax - 1 : *value;
    setEditNumber(edit, corrected);
    m_form.fields().sheets = static_cast<int>(corrected);
}

void SendEngine::onSendAreaChanged() {
    // Only the send text follows each keystroke: a full read would prompt for
    // an unrelated bad number on every key typed here.
    dialog::DataExchange dx(m_form.dialog(), m_form.prompter(),
                            dialog::DataExchange::Direction::Read, ConsoleForm::Prompts::Quiet);
    dx.text(ids::SendArea, m_form.fields().sendText);
}

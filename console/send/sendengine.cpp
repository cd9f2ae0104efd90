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
#include <utility>

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
    : m_form(form), m_connection(connection) {
    LinkWriter& writer = m_connection.writer();
    m_writerLinks = {
        QObject::connect(
            &writer, &LinkWriter::ended, &writer,
            [this](LinkWriter::Ticket ticket, platform::WriteOutcome) { onWritesEnded(ticket); }),
        QObject::connect(&writer, &LinkWriter::progress, &writer,
                         [this](qint64 sent, qint64 total) { showWriteProgress(sent, total); }),
        QObject::connect(&writer, &LinkWriter::idle, &writer, [this] { onWriterIdle(); }),
    };
}

SendEngine::~SendEngine() {
    for (const QMetaObject::Connection& link : m_writerLinks)
        QObject::disconnect(link);
}

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

void SendEngine::showWriteProgress(qint64 sent, qint64 total) {
    m_progressShown = true;
    setButtonBusy(busyCaption() + QStringLiteral("\n%1/%2 字节").arg(sent).arg(total));
}

QString SendEngine::busyCaption() const {
    if (m_job.active)
        return progressCaption(m_job.sent, m_job.total);
    if (m_singleSend)
        return QStringLiteral("发送中……");
    return QStringLiteral("停止发送"); // another part's writes: the button stops them too
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

LinkWriter::Ticket SendEngine::sendOneCopy(const std::string& copy, bool hex) {
    // The fields follow the controls at every copy; a click or tick has
    // already prompted for a bad field, so this refresh stays quiet.
    m_form.readControls(ConsoleForm::Prompts::Quiet);
    const LinkWriter::Ticket ticket =
        m_connection.writer().write(HexText::convertCopy(copy, hex, isChecked(ids::NoCommandMode)));
    m_form.setLargeIcon(artwork::WindowIcon);
    return ticket;
}

LinkWriter::Ticket SendEngine::sendCutCommand() {
    return m_connection.writer().write(HexText::toBytes(m_cutCommand, HexText::CutCapacity));
}

LinkWriter::Ticket SendEngine::sendCopySheets() {
    const ConsoleFields& f = m_form.fields();
    const std::string copy =
        numberedCopy(f.sendText, isChecked(ids::Numbering), m_job.nextNumber());
    const int sheets = std::max(1, f.sheets);
    LinkWriter::Ticket last = 0;
    for (int i = 0; i < sheets; ++i)
        if (const LinkWriter::Ticket ticket = sendOneCopy(copy, isChecked(ids::HexSend)))
            last = ticket;
    return last;
}

// --- waiting for the writes

void SendEngine::afterWrites(LinkWriter::Ticket ticket, std::function<void()> next) {
    m_waitingFor = ticket;
    m_next = {};
    if (ticket == 0)
        next();
    else
        m_next = std::move(next);
}

void SendEngine::onWritesEnded(LinkWriter::Ticket ticket) {
    if (ticket == 0 || ticket != m_waitingFor)
        return;
    m_waitingFor = 0;
    const std::function<void()> next = std::exchange(m_next, {});
    if (next)
        next();
}

void SendEngine::onWriterIdle() {
    if (!m_progressShown)
        return;
    m_progressShown = false;
    if (m_job.active || m_singleSend)
        setButtonBusy(busyCaption());
    else
        setButtonIdle();
}

void SendEngine::stopWrites() {
    m_waitingFor = 0;
    m_next = {};
    m_connection.writer().cancelAll();
}

// --- the Send button

void SendEngine::onSendClicked() {
    m_form.readControls();
    if (!m_connection.isConnected()) {
        m_form.message(QStringLiteral("请先连接端口!"));
        return;
    }
    const bool timed = isChecked(ids::TimedSend) && m_form.fields().count >= 1;
    if (timed && m_job.active) {
        stopRun();
        return;
    }
    // Writes going out, shown on the button: this click stops them.
    if (m_singleSend || m_connection.writer().showsProgress()) {
        stopWrites();
        endSingleSend();
        return;
    }
    if (timed) {
        startRun();
        return;
    }
    m_singleSend = true;
    setButtonBusy(QStringLiteral("发送中……"));
    LinkWriter::Ticket last = sendOneCopy(m_form.fields().sendText, isChecked(ids::HexSend));
    if (isChecked(ids::AutoCut))
        if (const LinkWriter::Ticket cut = sendCutCommand())
            last = cut;
    afterWrites(last, [this] { endSingleSend(); });
}

void SendEngine::endSingleSend() {
    m_singleSend = false;
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
    afterWrites(sendCopySheets(), [this] {
        m_job.sent = 1;
        dialog::TemplateDialog& d = m_form.dialog();
        d.setCaption(ids::SendButton, progressCaption(m_job.sent, m_job.total));
        d.startWindowTimer(timers::Send, m_job.interval);
        d.startWindowTimer(timers::Animation, AnimationMs);
        m_job.frame = 1;
    });
}

void SendEngine::showIdleImages() {
    m_form.dialog().showControl(ids::LinkOpenImage, true);
    m_form.dialog().showControls(ids::SendFrames, false);
}

void SendEngine::stopRun() {
    stopWrites();
    m_job.active = false;
    m_form.dialog().stopWindowTimer(timers::Send);
    m_form.dialog().stopWindowTimer(timers::Animation);
    setButtonIdle();
    m_form.setLargeIcon(artwork::WindowIcon);
    showIdleImages();
}

void SendEngine::finishRun() {
    const LinkWriter::Ticket cut = isChecked(ids::AutoCut) ? sendCutCommand() : 0;
    m_job.active = false;
    m_form.dialog().stopWindowTimer(timers::Send);
    afterWrites(cut, [this] {
        setButtonIdle();
        showIdleImages();
    });
}

void SendEngine::endRun() {
    // The link's writes have been stopped with it; nothing is to follow them.
    const bool waiting = std::exchange(m_waitingFor, 0) != 0;
    m_next = {};
    if (m_singleSend)
        endSingleSend();
    else if (waiting && !m_job.active)
        setButtonIdle(); // the run's cut was going out
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
    if (m_waitingFor != 0)
        return; // the last copy is still going out
    if (m_job.sent >= m_job.total) {
        finishRun();
        return;
    }
    // The next copy is due an interval after this one has gone out.
    m_form.dialog().stopWindowTimer(timers::Send);
    afterWrites(sendCopySheets(), [this] {
        ++m_job.sent;
        setButtonBusy(progressCaption(m_job.sent, m_job.total));
        if (m_job.sent >= m_job.total)
            finishRun();
        else
            m_form.dialog().startWindowTimer(timers::Send, m_job.interval);
    });
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
    if (!m_sendAreaRead.later(m_form.dialog().textEdit(ids::SendArea)))
        readSendArea();
}

void SendEngine::readSendArea() {
    // Only the send text follows each keystroke: a full read would prompt for
    // an unrelated bad number on every key typed here.
    dialog::DataExchange dx(m_form.dialog(), m_form.prompter(),
                            dialog::DataExchange::Direction::Read, ConsoleForm::Prompts::Quiet);
    dx.text(ids::SendArea, m_form.fields().sendText);
}

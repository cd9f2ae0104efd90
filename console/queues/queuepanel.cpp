#include "console/queues/queuepanel.h"

#include "console/app/consoleform.h"
#include "console/link/connectionpanel.h"
#include "console/send/sendengine.h"
#include "platform/dialog/edittext.h"
#include "platform/dialog/templatedialog.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <algorithm>
#include <array>
#include <optional>
#include <span>

using dialog::Notify;

namespace {

// The controls of the panel other than the rows.
constexpr int PanelFrame[] = {ids::QueueGroup,       ids::QueueFooterGroup, ids::QueueNumberHead,
                              ids::QueueContentHead, ids::QueueHexHead,     ids::QueueChoiceLabel,
                              ids::QueueChoice,      ids::QueueClear,       ids::QueueAppend,
                              ids::QueueReplace};
constexpr int InsertRow[] = {ids::AddLabel, ids::AddContent,    ids::AddToLabel,
                             ids::AddCount, ids::AddTimesLabel, ids::AddButton};

// The panel stands in a column of its own right of the quick tests, and
// the window widens by that column while it shows; its controls keep their
// template places relative to the column. Dialog units.
constexpr QPoint PanelOrigin(450, 4);
constexpr int PanelColumnWidth = 193;
// The template puts the column heads where the group's title is drawn; below it.
constexpr int PanelTitleRoom = 4;

// Where the send group's controls go in each arrangement (dialog units).
struct Place {
    int id;
    QRect panelShown;
    QRect panelHidden;
};
// With the insert row gone, the send area takes its height.
const std::array<Place, 8> SendPlaces{{
    {ids::SendArea, QRect(13, 15, 232, 137), QRect(13, 15, 232, 120)},
    {ids::HexSend, QRect(13, 157, 68, 11), QRect(13, 140, 68, 11)},
    {ids::OpenFile, QRect(93, 155, 48, 15), QRect(93, 138, 48, 15)},
    {ids::ClearSend, QRect(145, 155, 49, 15), QRect(145, 138, 49, 15)},
    {ids::SaveSend, QRect(196, 155, 49, 15), QRect(196, 138, 49, 15)},
    {ids::RecentFiles, QRect(81, 172, 118, 13), QRect(81, 172, 118, 13)},
    {ids::Reload, QRect(202, 171, 43, 15), QRect(202, 171, 43, 15)},
    {ids::QueueToggle, QRect(586, 176, 46, 15), QRect(196, 154, 49, 15)},
}};

const QString NotConnected = QStringLiteral("请先连接端口！");

std::optional<std::size_t> rowOf(std::span<const int, 10> column, int id) {
    const auto it = std::find(column.begin(), column.end(), id);
    if (it == column.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - column.begin());
}

} // namespace

QueuePanel::QueuePanel(ConsoleForm& form, ConnectionPanel& connection, SendEngine& send)
    : m_form(form), m_connection(connection), m_send(send) {}

void QueuePanel::registerCommands(CommandTable& table) {
    // The ten rows through one table: a control's column says the operation,
    // its place in the column the queue.
    table.on(ids::EntryCopyButtons, Notify::Clicked, [this](int id) {
        if (const auto row = rowOf(ids::EntryCopyButtons, id))
            store(*row);
    });
    table.on(ids::EntrySendButtons, Notify::Clicked, [this](int id) {
        if (const auto row = rowOf(ids::EntrySendButtons, id))
            send(*row);
    });
    // A HEX box only sets its queue's flag, which the exchange reads.
    table.on(ids::EntryHexBoxes, Notify::Clicked, [this](int) { m_form.readControls(); });
    table.on(ids::QueueClear, Notify::Clicked, [this] { clearSelected(); });
    table.on(ids::QueueAppend, Notify::Clicked, [this] { insertSelected(); });
    table.on(ids::QueueReplace, Notify::Clicked, [this] { replaceWithSelected(); });
    table.on(ids::AddButton, Notify::Clicked, [this] { insertTimes(); });
    table.on(ids::QueueToggle, Notify::Clicked, [this] { switchArrangement(); });
    // Choosing a queue only names the one the buttons below act on.
    table.noAction({ids::QueueChoice});
}

// --- the arrangements

void QueuePanel::arrange(bool panelShown) {
    dialog::TemplateDialog& d = m_form.dialog();
    const double unit = d.unit();
    const QSize size = d.layoutTemplate().size;
    const int width = size.width() + (panelShown ? PanelColumnWidth : 0);
    d.clientArea()->setFixedSize(dialog::toPixels(QRect(0, 0, width, size.height()), unit).size());

    for (const Place& p : SendPlaces)
        if (QWidget* w = d.control(p.id))
            w->setGeometry(dialog::toPixels(panelShown ? p.panelShown : p.panelHidden, unit));
    const auto placeInPanel = [&](int id) {
        const dialog::ControlTemplate* t = d.controlTemplate(id);
        QWidget* w = d.control(id);
        if (w == nullptr || t == nullptr)
            return;
        QRect rect = t->rect;
        if (id == ids::QueueGroup)
            rect.setHeight(rect.height() + PanelTitleRoom); // the frame around them all
        else
            rect.translate(0, PanelTitleRoom);
        // The template's "HEX" head reaches one unit into "编号".
        if (id == ids::QueueHexHead)
            rect.translate(1, 0);
        w->setGeometry(dialog::toPixels(rect.translated(PanelOrigin), unit));
    };
    for (int id : PanelFrame)
        placeInPanel(id);
    for (const ids::QueueRow& row : ids::QueueRows)
        for (int id : {row.label, row.hex, row.entry, row.send, row.copy})
            placeInPanel(id);

    d.setCaption(ids::QueueToggle,
                 panelShown ? QStringLiteral("隐藏") : QStringLiteral("显示数据队列"));
    d.showControls(InsertRow, !panelShown);
    d.showControls(PanelFrame, panelShown);
    for (const ids::QueueRow& row : ids::QueueRows)
        d.showControls({row.label, row.hex, row.entry, row.send, row.copy}, panelShown);
}

void QueuePanel::switchArrangement() {
    arrange(m_queues.switchArrangement());
    dialog::TemplateDialog& d = m_form.dialog();
    if (QWidget* recent = d.control(ids::RecentFiles))
        recent->setFocus();
    if (QPlainTextEdit* area = d.textEdit(ids::SendArea)) {
        area->setFocus();
        area->moveCursor(QTextCursor::End);
        area->ensureCursorVisible();
    }
}

// --- the operations

std::optional<std::size_t> QueuePanel::selectedQueue() const {
    const QComboBox* choice = m_form.dialog().comboBox(ids::QueueChoice);
    if (choice == nullptr || choice->currentIndex() < 0 ||
        choice->currentIndex() >= DataQueues::Count)
        return std::nullopt;
    return static_cast<std::size_t>(choice->currentIndex());
}

TextSelection QueuePanel::sendSelection() const {
    TextSelection at{m_form.fields().sendText};
    if (const QPlainTextEdit* area = m_form.dialog().textEdit(ids::SendArea)) {
        const edittext::ByteRange range = edittext::selection(*area);
        at.start = range.start;
        at.end = range.end;
    }
    return at;
}

void QueuePanel::showSendText(const TextSelection& edit) {
    m_form.fields().sendText = edit.text;
    m_form.writeControls();
    if (QPlainTextEdit* area = m_form.dialog().textEdit(ids::SendArea)) {
        edittext::select(*area, {edit.start, edit.end});
        area->ensureCursorVisible();
    }
}

// Each operation starts from the fields; a field that fails its check has
// told the person why, and the operation does not go on with old values.
void QueuePanel::store(std::size_t queue) {
    if (!m_form.readControls() || queue >= DataQueues::Count)
        return;
    ConsoleFields& f = m_form.fields();
    f.entryTexts[queue] = f.sendText;
    m_form.writeControls();
}

void QueuePanel::send(std::size_t queue) {
    if (!m_form.readControls() || queue >= DataQueues::Count)
        return;
    if (!m_connection.isConnected()) {
        m_form.message(NotConnected);
        return;
    }
    const ConsoleFields& f = m_form.fields();
    const dialog::TemplateDialog& d = m_form.dialog();
    std::optional<std::string_view> cut;
    if (d.isChecked(ids::AutoCut))
        cut = m_send.cutCommand();
    (void)m_connection.writer().write(DataQueues::sendWrites(f.entryTexts[queue], f.entryHex[queue],
                                                             d.isChecked(ids::NoCommandMode), cut));
}

void QueuePanel::clearSelected() {
    if (!m_form.readControls())
        return;
    if (const auto queue = selectedQueue()) {
        m_form.fields().entryTexts[*queue].clear();
        m_form.writeControls();
    }
}

void QueuePanel::insertSelected() {
    if (!m_form.readControls())
        return;
    TextSelection at = sendSelection();
    if (const auto queue = selectedQueue())
        at = DataQueues::insert(std::move(at), m_form.fields().entryTexts[*queue]);
    showSendText(at);
}

void QueuePanel::replaceWithSelected() {
    if (!m_form.readControls())
        return;
    if (const auto queue = selectedQueue()) {
        ConsoleFields& f = m_form.fields();
        f.sendText = f.entryTexts[*queue];
        m_form.writeControls();
    }
}

void QueuePanel::insertTimes() {
    if (!m_form.readControls())
        return;
    const ConsoleFields& f = m_form.fields();
    if (!DataQueues::insertsTimes(f.addCount))
        return;
    showSendText(DataQueues::insertTimes(sendSelection(), f.addContent, f.addCount));
    if (QPlainTextEdit* area = m_form.dialog().textEdit(ids::SendArea))
        area->setFocus();
}

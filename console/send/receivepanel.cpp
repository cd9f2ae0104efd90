#include "console/send/receivepanel.h"

#include "console/app/consoleform.h"
#include "console/link/connectionpanel.h"
#include "console/link/printerlink.h"
#include "console/send/receivedisplay.h"
#include "platform/dialog/templatedialog.h"

#include <QPlainTextEdit>

using dialog::Notify;

ReceivePanel::ReceivePanel(ConsoleForm& form, ConnectionPanel& connection)
    : m_form(form), m_connection(connection) {
    if (QPlainTextEdit* area = m_form.dialog().textEdit(ids::ReceiveArea))
        m_display = std::make_unique<ReceiveDisplay>(*area);
}

ReceivePanel::~ReceivePanel() = default;

void ReceivePanel::registerCommands(CommandTable& table) {
    table.on(menu::HexDisplay, Notify::Menu,
             [this] { m_form.dialog().toggleCheck(ids::HexDisplay); });
    table.onTimer(timers::ReceivePoll, [this] { onPoll(); });
}

// Timer 2: what the printer sent since the last tick.
void ReceivePanel::onPoll() {
    PrinterLink* link = m_connection.link();
    if (link == nullptr || m_display == nullptr)
        return;
    char buffer[ReadSize] = {};
    const std::int32_t n = link->read(buffer, ReadSize);
    if (n > 0)
        m_display->append(std::string_view(buffer, static_cast<std::size_t>(n)),
                          m_form.dialog().isChecked(ids::HexDisplay) ? HexText::DisplayMode::Hex
                                                                     : HexText::DisplayMode::Text);
    // What came in before a cable was pulled is shown; then the loss.
    m_connection.checkLink();
}

const std::string& ReceivePanel::text() const {
    static const std::string none;
    return m_display != nullptr ? m_display->text() : none;
}

void ReceivePanel::setText(std::string_view text) {
    if (m_display != nullptr)
        m_display->setText(text);
}

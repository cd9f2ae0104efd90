#include "console/app/consoleform.h"

#include "console/app/artwork.h"
#include "platform/dialog/prompter.h"
#include "platform/dialog/templatedialog.h"

#include <QVariant>

using dialog::DataExchange;

ConsoleForm::ConsoleForm(dialog::TemplateDialog& window, dialog::Prompter& prompter)
    : m_window(window), m_prompter(prompter) {}

// The one exchange, in the documented order of the read.
void ConsoleForm::exchange(DataExchange& dx) {
    ConsoleFields& f = m_fields;
    dx.text(ids::SendArea, f.sendText);
    for (size_t i = 0; i < f.entryTexts.size(); ++i)
        dx.text(ids::EntryEdits[i], f.entryTexts[i]);
    for (size_t i = 0; i < f.entryHex.size(); ++i)
        dx.check(ids::EntryHexBoxes[i], f.entryHex[i]);
    dx.number(ids::Count, f.count, 1, 999999);
    dx.number(ids::StartNumber, f.startNumber, 1, 999999);
    dx.number(ids::AddCount, f.addCount, 0, 1000);
    dx.text(ids::AddContent, f.addContent);
    dx.number(ids::Sheets, f.sheets);
    dx.number(ids::Interval, f.interval, 0, 7200000);
    dx.number(ids::TcpPort, f.tcpPort);
    dx.comboIndex(ids::BarcodeType, f.barcodeType);
    dx.text(ids::BarcodeContent, f.barcodeContent);
}

bool ConsoleForm::readControls(Prompts prompts) {
    DataExchange dx(m_window, m_prompter, DataExchange::Direction::Read, prompts);
    exchange(dx);
    return dx.ok();
}

void ConsoleForm::writeControls() {
    DataExchange dx(m_window, m_prompter, DataExchange::Direction::Write);
    exchange(dx);
}

void ConsoleForm::message(const QString& text) const {
    m_prompter.message(&m_window, text);
}

QWidget* ConsoleForm::owner() const {
    return &m_window;
}

void ConsoleForm::setLargeIcon(int resourceId) {
    m_window.setWindowIcon(artwork::icon(resourceId));
    m_window.setProperty("largeIcon", resourceId);
}

int ConsoleForm::largeIcon() const {
    return m_window.property("largeIcon").toInt();
}

#include "console/quicktests/quicktestpanel.h"

#include "console/app/consoleform.h"
#include "console/link/connectionpanel.h"
#include "console/send/printercommands.h"
#include "platform/dialog/prompter.h"
#include "platform/dialog/templatedialog.h"

using dialog::Notify;
using quicktests::Paper;

namespace {

// The file types offered, the first chosen: a print file is usually .prn.
const QString PrintFileFilter =
    QStringLiteral("*.PRN (*.prn);;*.TXT (*.txt);;*.DAT (*.dat);;*.* (*)");
const QString FileNotOpened = QStringLiteral("File could not be opened !");

QString fileTooLarge() {
    return QStringLiteral("文件超过%1MB，不能发送!").arg(quicktests::PrintFileLimit >> 20);
}

QString barcodeTooLong() {
    return QStringLiteral("条码内容太长! CODE39最多%1个字节，CODE128最多%2个字节。")
        .arg(quicktests::maxBarcodeContent(quicktests::Code39Index))
        .arg(quicktests::maxBarcodeContent(quicktests::Code128Index));
}

} // namespace

QuickTestPanel::QuickTestPanel(ConsoleForm& form, ConnectionPanel& connection)
    : m_form(form), m_connection(connection) {}

void QuickTestPanel::registerCommands(CommandTable& table) {
    table.on(ids::PrintFile, Notify::Clicked, [this] { printFile(); });
    table.on(ids::CashDrawer, Notify::Clicked, [this] { openCashDrawer(); });
    table.on(ids::Sample58, Notify::Clicked, [this] { printSample(Paper::Mm58); });
    table.on(ids::Sample80, Notify::Clicked, [this] { printSample(Paper::Mm80); });
    table.on(ids::PrintBarcode, Notify::Clicked, [this] { printBarcode(); });
}

void QuickTestPanel::setEnabled(bool on) {
    m_form.dialog().enableControls(ids::QuickTests, on);
}

void QuickTestPanel::printFile() {
    if (!m_connection.isConnected())
        return;
    dialog::FileRequest request;
    request.filter = PrintFileFilter;
    const auto path = m_form.prompter().openFileName(m_form.owner(), request);
    if (!path)
        return;
    // The file's bytes as stored, in one write: no hex decoding whatever the
    // button says, no line-end conversion, nothing added.
    const quicktests::PrintFile file = quicktests::readPrintFile(*path);
    switch (file.status) {
    case quicktests::PrintFile::Status::Ok:
        (void)m_connection.writer().write(file.bytes);
        break;
    case quicktests::PrintFile::Status::CannotOpen:
    case quicktests::PrintFile::Status::ReadFailed:
        m_form.message(FileNotOpened);
        break;
    case quicktests::PrintFile::Status::TooLarge:
        m_form.message(fileTooLarge());
        break;
    }
}

void QuickTestPanel::openCashDrawer() {
    if (!m_connection.isConnected())
        return;
    (void)m_connection.writer().write(printercommands::OpenCashDrawer);
}

void QuickTestPanel::printSample(Paper paper) {
    if (!m_connection.isConnected())
        return;
    (void)m_connection.writer().write(quicktests::sampleReceipt(paper));
}

void QuickTestPanel::printBarcode() {
    // The type and the content from the window. A field elsewhere that fails
    // its check stops the read before these two; its prompt has told the
    // person, and the barcode is not printed from what the fields held before.
    if (!m_form.readControls())
        return;
    if (!m_connection.isConnected())
        return;
    const ConsoleFields& f = m_form.fields();
    const auto writes = quicktests::barcodeWrites(f.barcodeType, f.barcodeContent);
    if (!writes) {
        m_form.message(barcodeTooLong());
        return;
    }
    (void)m_connection.writer().write(*writes);
}

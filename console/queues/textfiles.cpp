#include "console/queues/textfiles.h"

#include "console/app/consoleform.h"
#include "console/queues/textfile.h"
#include "console/send/receivepanel.h"
#include "platform/codepage.h"
#include "platform/dialog/prompter.h"
#include "platform/dialog/templatedialog.h"
#include "platform/errors.h"

#include <QComboBox>

using dialog::Notify;

namespace {

const QString ReloadFailed = QStringLiteral("File could not be opened !");

QString reason(int error) {
    return QString::fromStdString(platform::errnoMessage(error));
}

// Why a file did not reach the send area, naming it.
QString readFailure(const QString& path, const textfile::ReadResult& r) {
    switch (r.status) {
    case textfile::ReadResult::Status::CannotOpen:
        return QStringLiteral("无法打开文件“%1”：%2").arg(path, reason(r.error));
    case textfile::ReadResult::Status::ReadFailed:
        return QStringLiteral("无法读取文件“%1”：%2").arg(path, reason(r.error));
    case textfile::ReadResult::Status::TooLarge:
        return QStringLiteral("文件“%1”太大：发送区最多载入%2字节，文件未载入。")
            .arg(path)
            .arg(textfile::ReadLimit);
    case textfile::ReadResult::Status::Ok:
        break;
    }
    return {};
}

std::string pathBytes(const QString& path) {
    return codepage::fromUnicode(path);
}

} // namespace

TextFiles::TextFiles(ConsoleForm& form, ReceivePanel& receive) : m_form(form), m_receive(receive) {}

void TextFiles::registerCommands(CommandTable& table) {
    table.on(ids::OpenFile, Notify::Clicked, [this] { open(); });
    table.on(menu::Open, Notify::Menu, [this] { open(); });
    table.on(ids::Reload, Notify::Clicked, [this] { reload(); });
    table.on(ids::SaveSend, Notify::Clicked, [this] { saveSendArea(); });
    table.on(menu::SaveSendArea, Notify::Menu, [this] { saveSendArea(); });
    table.on(ids::SaveReceive, Notify::Clicked, [this] { saveReceiveArea(); });
    table.on(menu::SaveReceiveArea, Notify::Menu, [this] { saveReceiveArea(); });
    table.on(ids::ClearSend, Notify::Clicked, [this] { clearSendArea(); });
    table.on(menu::ClearSendArea, Notify::Menu, [this] { clearSendArea(); });
    table.on(ids::ClearReceive, Notify::Clicked, [this] { clearReceiveArea(); });
    table.on(menu::ClearReceiveArea, Notify::Menu, [this] { clearReceiveArea(); });
    // Choosing a recent file only chooses what "重新载入" reloads.
    table.noAction({ids::RecentFiles});
}

void TextFiles::showRecentFiles(dialog::TemplateDialog& d, const RecentFiles::Slots& paths) {
    QComboBox* recent = d.comboBox(ids::RecentFiles);
    if (recent == nullptr)
        return;
    recent->clear();
    for (const std::string& path : paths)
        recent->addItem(codepage::toUnicode(path));
    recent->setCurrentIndex(0);
}

void TextFiles::showRecentFiles() {
    showRecentFiles(m_form.dialog(), m_recent.paths());
}

bool TextFiles::readInto(const QString& path) {
    const textfile::ReadResult file = textfile::read(path);
    if (file.status != textfile::ReadResult::Status::Ok) {
        m_form.message(readFailure(path, file));
        return false;
    }
    m_form.fields().sendText = file.text;
    return true;
}

void TextFiles::open() {
    m_form.readControls();
    dialog::FileRequest request;
    request.filter = QStringLiteral("文本文件(*.txt);;所有文件(*)");
    const auto path = m_form.prompter().openFileName(m_form.owner(), request);
    if (!path) {
        m_form.writeControls();
        return;
    }
    if (!readInto(*path))
        return;
    m_recent.remember(pathBytes(*path));
    showRecentFiles();
    m_form.writeControls();
}

void TextFiles::reload() {
    m_form.readControls();
    const QComboBox* recent = m_form.dialog().comboBox(ids::RecentFiles);
    const int index = recent != nullptr ? recent->currentIndex() : -1;
    if (index < 0 || index >= static_cast<int>(RecentFiles::Size) ||
        !RecentFiles::isFile(m_recent.paths()[static_cast<std::size_t>(index)])) {
        m_form.writeControls();
        return;
    }
    const auto slot = static_cast<std::size_t>(index);
    const QString path = codepage::toUnicode(m_recent.paths()[slot]);
    const textfile::ReadResult file = textfile::read(path);
    if (file.status == textfile::ReadResult::Status::CannotOpen) {
        // A file that has gone away leaves the list.
        m_form.message(ReloadFailed);
        m_recent.remove(slot);
        showRecentFiles();
        return;
    }
    m_recent.moveToTop(slot);
    showRecentFiles();
    if (file.status != textfile::ReadResult::Status::Ok) {
        m_form.message(readFailure(path, file));
        return;
    }
    m_form.fields().sendText = file.text;
    m_form.writeControls();
}

std::optional<QString> TextFiles::askSavePath(const QString& title, const QString& proposed) {
    dialog::FileRequest request;
    request.title = title;
    request.fileName = proposed;
    request.defaultSuffix = QStringLiteral("txt");
    request.filter = QStringLiteral("Text File (*.txt);;All Files (*)");
    return m_form.prompter().saveFileName(m_form.owner(), request);
}

bool TextFiles::writeFile(const QString& path, std::string_view bytes) {
    const int error = textfile::write(path, bytes);
    if (error != 0)
        m_form.message(QStringLiteral("无法保存到文件“%1”：%2。原有的文件没有改动。")
                           .arg(path, reason(error)));
    return error == 0;
}

// The texts are taken after the dialog: while it is open the window's timers
// keep running, and a tick takes the fields anew.
void TextFiles::saveSendArea() {
    m_form.readControls();
    const auto path =
        askSavePath(QStringLiteral("保存发送区数据到文件"), QStringLiteral("Test.txt"));
    if (!path || !writeFile(*path, m_form.fields().sendText))
        return;
    m_recent.remember(pathBytes(*path));
    showRecentFiles();
}

void TextFiles::saveReceiveArea() {
    m_form.readControls();
    const auto path =
        askSavePath(QStringLiteral("保存接收区数据到文件"), QStringLiteral("Receive.txt"));
    if (path)
        (void)writeFile(*path, m_receive.text());
}

void TextFiles::clearSendArea() {
    m_form.readControls();
    m_form.fields().sendText.clear();
    m_form.writeControls();
}

void TextFiles::clearReceiveArea() {
    m_form.readControls();
    m_receive.setText({});
    m_form.writeControls();
}

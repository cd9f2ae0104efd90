#pragma once

// Text files and the recent-file list, as a part of the console: open a file
// into the send area, reload one of the eight recent files, save the send
// area or the receive area to a file, clear either area. Files are raw bytes
// (textfile.h); every file dialog goes through the prompter. The recent
// files show in combo box ids::RecentFiles, most recent first.

#include "console/app/dispatch.h"
#include "console/queues/recentfiles.h"

#include <QString>

#include <optional>
#include <string_view>

class ConsoleForm;
class ReceivePanel;

namespace dialog {
class TemplateDialog;
}

class TextFiles {
public:
    TextFiles(ConsoleForm& form, ReceivePanel& receive);
    TextFiles(const TextFiles&) = delete;
    TextFiles& operator=(const TextFiles&) = delete;

    void registerCommands(CommandTable& table);

    // The eight paths; the settings load and save them.
    [[nodiscard]] RecentFiles& recentFiles() { return m_recent; }
    // Refills the combo box with the eight slots, empty ones included, and
    // selects the first.
    static void showRecentFiles(dialog::TemplateDialog& d, const RecentFiles::Slots& paths);

    void open();
    void reload();
    void saveSendArea();
    void saveReceiveArea();
    void clearSendArea();
    void clearReceiveArea();

private:
    // The send text from a file; false (after saying why) when it was not read.
    bool readInto(const QString& path);
    // The path chosen in a save dialog; nothing when cancelled.
    std::optional<QString> askSavePath(const QString& title, const QString& proposed);
    // The bytes into the file; false (after saying why) when not written.
    bool writeFile(const QString& path, std::string_view bytes);
    void showRecentFiles();

    ConsoleForm& m_form;
    ReceivePanel& m_receive;
    RecentFiles m_recent;
};

#pragma once

// Everything a person sees or answers goes through a Prompter: message
// boxes, questions, file dialogs, the program's own modal boxes (the About
// box) and handing a URL to the desktop. The windows never call QMessageBox
// or QFileDialog themselves, so tests can answer with a scripted fake and
// nothing ever blocks on a modal dialog.

#include <QString>

#include <optional>

class QDialog;
class QWidget;

namespace dialog {

struct FileRequest {
    QString title;     // empty: the dialog's own
    QString filter;    // "Text files (*.txt);;All files (*)"
    QString directory; // where to start; empty: current directory
    QString fileName;  // proposed name (save dialogs)
    QString defaultSuffix;
    // Open dialogs: only an existing file may be chosen.
    bool mustExist = true;
};

class Prompter {
public:
    enum class Buttons { YesNo, YesNoCancel, OkCancel };
    enum class Reply { Ok, Cancel, Yes, No };

    virtual ~Prompter() = default;

    // A message box with one OK button.
    virtual void message(QWidget* owner, const QString& text) = 0;
    virtual Reply ask(QWidget* owner, const QString& text, Buttons buttons) = 0;
    // The chosen path, or nothing when the person cancelled.
    virtual std::optional<QString> openFileName(QWidget* owner, const FileRequest& request) = 0;
    virtual std::optional<QString> saveFileName(QWidget* owner, const FileRequest& request) = 0;
    // Runs one of the program's own dialogs modally; the dialog's result code.
    virtual int runModal(QDialog& dialog) = 0;
    // Shell "open" of a URL (mailto:, http:, file:). False when nothing took it.
    virtual bool openUrl(const QString& url) = 0;
};

// The real thing: QMessageBox, QFileDialog, QDialog::exec, QDesktopServices.
class QtPrompter final : public Prompter {
public:
    void message(QWidget* owner, const QString& text) override;
    Reply ask(QWidget* owner, const QString& text, Buttons buttons) override;
    std::optional<QString> openFileName(QWidget* owner, const FileRequest& request) override;
    std::optional<QString> saveFileName(QWidget* owner, const FileRequest& request) override;
    int runModal(QDialog& dialog) override;
    bool openUrl(const QString& url) override;
};

} // namespace dialog

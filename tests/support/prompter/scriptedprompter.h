#pragma once

// A Prompter for tests: nothing is shown and nothing blocks. Every message,
// question, file dialog, modal box and URL is recorded in order; answers
// come from queues prepared by the test, with safe defaults when a queue is
// empty (questions answer Cancel, file dialogs are cancelled, modal boxes end
// with Rejected).

#include "platform/dialog/prompter.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

class ScriptedPrompter final : public dialog::Prompter {
public:
    enum class Kind { Message, Question, OpenFile, SaveFile, Modal, Url };
    struct Shown {
        Kind kind;
        QString text; // message or question text, dialog title, or URL
    };

    // --- answers
    void replyNext(Reply reply) { m_replies.push_back(reply); }
    void openNext(std::optional<QString> path) { m_openPaths.push_back(std::move(path)); }
    void saveNext(std::optional<QString> path) { m_savePaths.push_back(std::move(path)); }
    // The next modal dialog: `during` runs while it is "open" (click its
    // controls there), then it ends with `result` unless `during` ended it.
    void modalNext(int result, std::function<void(QDialog&)> during = {});
    // Runs inside every message box, as code would during a box's nested
    // event loop (a timer tick, for example).
    std::function<void(const QString&)> whileMessageOpen;
    // Runs inside every file dialog, which runs a nested event loop too.
    std::function<void()> whileFileDialogOpen;
    bool openUrlResult = true;

    // --- what was shown
    [[nodiscard]] const std::vector<Shown>& shown() const { return m_shown; }
    [[nodiscard]] std::vector<QString> textsOf(Kind kind) const;
    [[nodiscard]] std::vector<QString> messages() const { return textsOf(Kind::Message); }
    [[nodiscard]] std::vector<QString> urls() const { return textsOf(Kind::Url); }
    [[nodiscard]] const std::vector<dialog::FileRequest>& requests() const { return m_requests; }
    void clear() {
        m_shown.clear();
        m_requests.clear();
    }

    // --- Prompter
    void message(QWidget* owner, const QString& text) override;
    Reply ask(QWidget* owner, const QString& text, Buttons buttons) override;
    std::optional<QString> openFileName(QWidget* owner,
                                        const dialog::FileRequest& request) override;
    std::optional<QString> saveFileName(QWidget* owner,
                                        const dialog::FileRequest& request) override;
    int runModal(QDialog& dialog) override;
    bool openUrl(const QString& url) override;

private:
    struct ModalAnswer {
        int result;
        std::function<void(QDialog&)> during;
    };
    std::deque<Reply> m_replies;
    std::deque<std::optional<QString>> m_openPaths;
    std::deque<std::optional<QString>> m_savePaths;
    std::deque<ModalAnswer> m_modals;
    std::vector<Shown> m_shown;
    std::vector<dialog::FileRequest> m_requests;
};

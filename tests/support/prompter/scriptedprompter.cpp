#include "tests/support/prompter/scriptedprompter.h"

#include <QDialog>

#include <climits>

namespace {
std::optional<QString> takeFront(std::deque<std::optional<QString>>& queue) {
    if (queue.empty())
        return std::nullopt;
    const bool has = queue.front().has_value();
    const QString path = has ? *queue.front() : QString();
    queue.pop_front();
    return has ? std::optional<QString>(path) : std::nullopt;
}
} // namespace

void ScriptedPrompter::modalNext(int result, std::function<void(QDialog&)> during) {
    m_modals.push_back({result, std::move(during)});
}

std::vector<QString> ScriptedPrompter::textsOf(Kind kind) const {
    std::vector<QString> out;
    for (const auto& s : m_shown)
        if (s.kind == kind)
            out.push_back(s.text);
    return out;
}

void ScriptedPrompter::message(QWidget*, const QString& text) {
    m_shown.push_back({Kind::Message, text});
    if (whileMessageOpen)
        whileMessageOpen(text);
}

dialog::Prompter::Reply ScriptedPrompter::ask(QWidget*, const QString& text, Buttons) {
    m_shown.push_back({Kind::Question, text});
    if (m_replies.empty())
        return Reply::Cancel;
    const Reply r = m_replies.front();
    m_replies.pop_front();
    return r;
}

std::optional<QString> ScriptedPrompter::openFileName(QWidget*,
                                                      const dialog::FileRequest& request) {
    m_shown.push_back({Kind::OpenFile, request.title});
    m_requests.push_back(request);
    if (whileFileDialogOpen)
        whileFileDialogOpen();
    return takeFront(m_openPaths);
}

std::optional<QString> ScriptedPrompter::saveFileName(QWidget*,
                                                      const dialog::FileRequest& request) {
    m_shown.push_back({Kind::SaveFile, request.title});
    m_requests.push_back(request);
    if (whileFileDialogOpen)
        whileFileDialogOpen();
    return takeFront(m_savePaths);
}

int ScriptedPrompter::runModal(QDialog& dialog) {
    m_shown.push_back({Kind::Modal, dialog.windowTitle()});
    ModalAnswer answer{QDialog::Rejected, {}};
    if (!m_modals.empty()) {
        answer = std::move(m_modals.front());
        m_modals.pop_front();
    }
    constexpr int NotEnded = INT_MIN;
    dialog.setResult(NotEnded);
    dialog.show();
    if (answer.during)
        answer.during(dialog);
    const int result = dialog.result() != NotEnded ? dialog.result() : answer.result;
    dialog.hide();
    dialog.setResult(result);
    return result;
}

bool ScriptedPrompter::openUrl(const QString& url) {
    m_shown.push_back({Kind::Url, url});
    return openUrlResult;
}

#include "console/queues/cutcommanddialog.h"

#include "console/app/artwork.h"
#include "console/app/consoleform.h"
#include "console/app/templates.h"
#include "console/send/hextext.h"
#include "console/send/sendengine.h"
#include "platform/codepage.h"
#include "platform/dialog/edittext.h"
#include "platform/dialog/prompter.h"
#include "platform/dialog/templatedialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>

using dialog::Notify;

namespace {

// Dialog 171. Enter in the edit is the dialog's Enter (OK), as in an edit
// that does not want returns; Ctrl+Enter starts a new line there.
class CutCommandBox final : public dialog::TemplateDialog {
public:
    CutCommandBox(const std::string& command, dialog::Prompter& prompter, QWidget* parent)
        : dialog::TemplateDialog(templates::dialog(templates::CutCommandBox), &artwork::picture,
                                 parent),
          m_prompter(prompter) {
        if (QLabel* now = label(ids::CutCommandNow)) {
            now->setWordWrap(true);
            now->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            now->setText(codepage::toUnicode(command));
        }
        if (QPlainTextEdit* edit = textEdit(ids::CutCommandNew)) {
            edittext::setBytes(*edit, command);
            edit->installEventFilter(this);
            edit->setFocus();
            edit->selectAll();
        }
    }

    [[nodiscard]] std::string typed() const {
        const QPlainTextEdit* edit = textEdit(ids::CutCommandNew);
        return edit != nullptr ? edittext::bytes(*edit) : std::string();
    }

    void onCommand(int id, Notify code) override {
        if (code != Notify::Clicked)
            return;
        if (id == ids::Ok)
            confirm();
        else if (id == ids::Cancel)
            reject();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == textEdit(ids::CutCommandNew) && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && !(key->modifiers() & Qt::ControlModifier)) {
                confirm();
                return true;
            }
            if (enter) {
                textEdit(ids::CutCommandNew)->insertPlainText(QStringLiteral("\n"));
                return true;
            }
        }
        return dialog::TemplateDialog::eventFilter(watched, event);
    }

private:
    void confirm() {
        const std::string text = typed();
        if (text.size() > 2 &&
            HexText::toBytes(text, HexText::CutCapacity + 1).size() > HexText::CutCapacity)
            m_prompter.message(this, CutCommandDialog::tooLongNote());
        accept();
    }

    dialog::Prompter& m_prompter;
};

} // namespace

CutCommandDialog::CutCommandDialog(ConsoleForm& form, SendEngine& send)
    : m_form(form), m_send(send) {}

void CutCommandDialog::registerCommands(CommandTable& table) {
    table.on(menu::CutCommand, Notify::Menu, [this] { run(); });
}

QString CutCommandDialog::tooLongNote() {
    return QStringLiteral("切刀命令转换后超过%1字节，切纸时只发送前%1字节。")
        .arg(HexText::CutCapacity);
}

void CutCommandDialog::run() {
    std::string& command = m_send.cutCommand();
    CutCommandBox box(command, m_form.prompter(), m_form.owner());
    if (m_form.prompter().runModal(box) != QDialog::Accepted)
        return;
    const std::string typed = box.typed();
    m_form.readControls();
    // One or two bytes cannot be a cut; the command in force stays.
    if (typed.size() > 2)
        command = typed;
}

#include "console/app/consoledialog.h"

#include "console/app/aboutdialog.h"
#include "console/app/artwork.h"
#include "console/app/templates.h"
#include "console/link/printerlink.h"
#include "console/send/receivedisplay.h"
#include "platform/dialog/prompter.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>

using dialog::Notify;

TestConsoleDialog::TestConsoleDialog(dialog::Prompter& prompter, QWidget* parent)
    : dialog::TemplateDialog(templates::dialog(templates::MainWindow), &artwork::picture, parent),
      m_form(*this, prompter), m_connection(m_form) {
    if (QPlainTextEdit* area = textEdit(ids::ReceiveArea))
        m_receive = std::make_unique<ReceiveDisplay>(*area);
    // A title bar with the window menu and a minimise box; no maximise box,
    // and the fixed size of the template.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setMenuTemplate(templates::menu(templates::MainMenu));
    wireParts();
    openWindow();
}

TestConsoleDialog::~TestConsoleDialog() = default;

void TestConsoleDialog::openWindow() {
    // 1. The controls exist; they show the fields' initial values.
    writeControls();

    // 2. The window's own menu entry for the About box. Linux gives a program
    // no system menu to add to, so it lives in the context menu of the
    // window's background.
    m_aboutAction = new QAction(QStringLiteral("关于 (&A)..."), this);
    m_aboutAction->setObjectName(QStringLiteral("sys%1").arg(menu::SysAbout));
    connect(m_aboutAction, &QAction::triggered, this, [this] { onSysCommand(menu::SysAbout); });

    // 3. The window icon. (4: sockets need no start-up here.)
    m_form.setLargeIcon(artwork::WindowIcon);

    // 5. Icons and tips of the Exit and Send buttons.
    if (QPushButton* exit = button(ids::Exit)) {
        exit->setIcon(artwork::icon(artwork::ExitButton));
        exit->setToolTip(QStringLiteral("退出程序"));
    }
    setSendButtonIdle();

    // 6. Status image: the link image on top, no animation frame.
    showControl(ids::LinkOpenImage, true);
    showControls(ids::SendFrames, false);

    // 7. The default settings file, kept by the window's own store for the
    // close save. The whole current directory is used, however long.
    m_defaultSettingsPath = QDir::current().filePath(QStringLiteral("Quorvane.ini"));
    m_settings.setFileName(QFile::encodeName(m_defaultSettingsPath).toStdString());

    // 8. The start-up settings.
    loadStartupSettings();

    // 9. Connect or not, by the saved connection state: the Connect button's
    // operation does either once the flag says the opposite.
    m_connection.setConnected(!m_connectAtStart);
    m_connection.toggle();

    // 10. Focus and caret at the end of the send text, in view.
    if (QWidget* recent = control(ids::RecentFiles))
        recent->setFocus();
    if (QPlainTextEdit* send = textEdit(ids::SendArea)) {
        send->setFocus();
        send->moveCursor(QTextCursor::End);
        send->ensureCursorVisible();
    }

    // Centred on the screen.
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() -
             QPoint(sizeHint().width() / 2, sizeHint().height() / 2));
}

// --- looks shared with the send engine

void TestConsoleDialog::setSendButtonIdle() {
    setSendButtonLook(QStringLiteral("发送"), artwork::SendButton, QStringLiteral("发送"));
}

void TestConsoleDialog::setSendButtonBusy(const QString& caption) {
    setSendButtonLook(caption, artwork::SendBusyButton, QStringLiteral("停止发送"));
}

void TestConsoleDialog::setSendButtonLook(const QString& caption, int iconId, const QString& tip) {
    setCaption(ids::SendButton, caption);
    if (QPushButton* send = button(ids::SendButton)) {
        send->setIcon(artwork::icon(iconId));
        send->setToolTip(tip);
        send->setProperty("iconResource", iconId);
    }
}

// --- dispatch

// Every command and timer to the part that handles it, and the steps that
// cross parts onto the hooks of the sequences they belong to.
void TestConsoleDialog::wireParts() {
    m_commands.on(ids::Exit, Notify::Clicked, [this] { exitSequence(); });
    m_connection.registerCommands(m_commands);
    m_commands.on(ids::SendButton, Notify::Clicked, [this] { onSendClicked(); });
    m_commands.on(menu::Send, Notify::Menu, [this] { onSendClicked(); });
    m_commands.on(ids::TimedSend, Notify::Clicked, [this] { onTimedSendClicked(); });
    m_commands.on(ids::Numbering, Notify::Clicked, [this] { onNumberingClicked(); });
    m_commands.on(ids::HexSend, Notify::Clicked, [this] { onHexSendClicked(); });
    m_commands.on(ids::Interval, Notify::EditChange, [this] { onIntervalChanged(); });
    m_commands.on(ids::Sheets, Notify::EditChange, [this] { onSheetsChanged(); });
    m_commands.on(ids::SendArea, Notify::EditChange, [this] { onSendAreaChanged(); });
    m_commands.on(menu::HexSend, Notify::Menu, [this] {
        toggleCheck(ids::HexSend);
        onHexSendClicked();
    });
    m_commands.on(menu::HexDisplay, Notify::Menu, [this] { toggleCheck(ids::HexDisplay); });
    m_commands.on(menu::About, Notify::Menu, [this] { showAboutBox(false); });
    m_commands.onTimer(timers::Send, [this] { onSendTimer(); });
    m_commands.onTimer(timers::ReceivePoll, [this] { onReceivePoll(); });
    m_commands.onTimer(timers::Animation, [this] { onAnimationTimer(); });

    // A link that opens enables the quick tests; one that closes disables
    // them, then ends a timed run.
    m_connection.opened.add([this] { enableControls(ids::QuickTests, true); });
    m_connection.closed.add([this] { enableControls(ids::QuickTests, false); });
    m_connection.closed.add([this] { endTimedSend(); });
}

void TestConsoleDialog::onCommand(int id, Notify code) {
    m_commands.dispatch(id, code);
}

void TestConsoleDialog::onTimer(int id) {
    // Every tick takes the fields first. Quietly: a tick never prompts, so a
    // half-typed number is not interrupted by a box twice a second.
    readControls(Prompts::Quiet);
    m_commands.tick(id);
}

// --- About box

void TestConsoleDialog::onSysCommand(int id) {
    if ((id & 0xFFF0) == menu::SysAbout)
        showAboutBox(true);
}

void TestConsoleDialog::showAboutBox(bool counted) {
    AboutDialog box(m_form.prompter(), this);
    const int result = m_form.prompter().runModal(box);
    if (!counted || result != QDialog::Accepted)
        return;
    ++m_aboutOks;
    if (m_aboutOks % 3 == 0)
        m_form.message(QLatin1String(AboutNumber));
}

void TestConsoleDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(m_aboutAction);
    menu.exec(event->globalPos());
}

// --- closing

void TestConsoleDialog::closeSave() {
    readControls();
    saveSettings();
}

// The close box: save, then end as a cancel would. The link stays open
// until the program ends.
void TestConsoleDialog::closeEvent(QCloseEvent* event) {
    closeSave();
    event->accept();
    done(QDialog::Rejected);
}

// "退出": the Connect button's operation first (closing an open link, or
// trying to open one), then the save, then end with OK unless a field is out
// of range.
void TestConsoleDialog::exitSequence() {
    m_connection.toggle();
    closeSave();
    if (readControls())
        accept();
}

#include "console/app/consoledialog.h"

#include "console/app/aboutdialog.h"
#include "console/app/artwork.h"
#include "console/app/templates.h"
#include "console/widgets/consolewidgets.h"
#include "console/widgets/iconbutton.h"
#include "platform/dialog/prompter.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextCursor>

using dialog::Notify;

namespace {

// Controls that are only read by other handlers: their own events do nothing.
constexpr int ReadOnlyControls[] = {ids::HexDisplay, ids::AutoCut, ids::NoCommandMode,
                                    ids::BarcodeType};

} // namespace

TestConsoleDialog::TestConsoleDialog(dialog::Prompter& prompter, QWidget* parent)
    : dialog::TemplateDialog(templates::dialog(templates::MainWindow), &artwork::picture, parent,
                             widgets::consoleControls()),
      m_form(*this, prompter), m_connection(m_form), m_send(m_form, m_connection),
      m_receive(m_form, m_connection), m_quickTests(m_form, m_connection),
      m_textFiles(m_form, m_receive), m_queuePanel(m_form, m_connection, m_send),
      m_settingsMenu(m_form, m_connection, m_send, m_receive,
                     {m_textFiles.recentFiles().paths(), m_queuePanel.queues().panelSetting,
                      m_queuePanel.queues().panelFlag}),
      m_cutCommand(m_form, m_send) {
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

// Every command and timer to the part that owns it, and the steps that cross
// parts onto the hooks of the sequences they belong to.
void TestConsoleDialog::wireParts() {
    m_commands.on(ids::Exit, Notify::Clicked, [this] { exitSequence(); });
    m_commands.on(menu::About, Notify::Menu, [this] { showAboutBox(false); });
    m_connection.registerCommands(m_commands);
    m_send.registerCommands(m_commands);
    m_receive.registerCommands(m_commands);
    m_quickTests.registerCommands(m_commands);
    m_textFiles.registerCommands(m_commands);
    m_queuePanel.registerCommands(m_commands);
    m_settingsMenu.registerCommands(m_commands);
    m_cutCommand.registerCommands(m_commands);
    m_commands.noAction(ReadOnlyControls);

    // A link that opens enables the quick tests; one that closes disables
    // them, then ends a timed run.
    m_connection.opened.add([this] { m_quickTests.setEnabled(true); });
    m_connection.closed.add([this] { m_quickTests.setEnabled(false); });
    m_connection.closed.add([this] { m_send.endRun(); });
    // The settings loads and the reset end by switching the queue panel.
    m_settingsMenu.panelSwitch.add([this] { m_queuePanel.switchArrangement(); });
}

void TestConsoleDialog::openWindow() {
    // Centred on the screen at its final size before anything below can show
    // a message box (a port that does not open, a bad stored number): a box
    // opens over its owner, so the owner has to be where it will be shown.
    adjustSize();
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());

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

    // 5. Icons and tips of the Exit and Send buttons; their faces lighten
    // under the mouse (Exit, flat) or a press (Send, raised).
    if (auto* exit = dynamic_cast<IconButton*>(button(ids::Exit))) {
        exit->setIconResource(artwork::ExitButton);
        exit->shiftColour(IconButton::BackgroundOver, 30);
        exit->setTooltipText(QStringLiteral("退出程序"));
        exit->setFlat(true);
    }
    m_send.setButtonIdle();

    // 6. Status image: the link image on top, no animation frame.
    showControl(ids::LinkOpenImage, true);
    showControls(ids::SendFrames, false);

    // 7. The default settings file, kept by the window's own store for the
    // close save. The whole current directory is used, however long.
    m_settings.setFileName(::defaultSettingsPath());
    m_defaultSettingsPath = QFile::decodeName(QByteArray::fromStdString(m_settings.fileName()));

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
}

// --- dispatch

void TestConsoleDialog::onCommand(int id, Notify code) {
    m_commands.dispatch(id, code);
}

void TestConsoleDialog::onTimer(int id) {
    // Every tick takes the fields first. Quietly: a tick never prompts, so a
    // half-typed number is not interrupted by a box twice a second.
    m_form.readControls(Prompts::Quiet);
    m_commands.tick(id);
}

// --- About box

void TestConsoleDialog::onSysCommand(int id) {
    if ((id & 0xFFF0) == menu::SysAbout)
        showAboutBox(true);
}

void TestConsoleDialog::showAboutBox(bool counted) {
    dialog::Prompter& prompter = m_form.prompter();
    AboutDialog box(prompter, this);
    const int result = prompter.runModal(box);
    if (!counted || result != QDialog::Accepted)
        return;
    ++m_aboutOks;
    if (m_aboutOks % 3 == 0)
        m_form.message(QLatin1String(AboutNumber));
}

void TestConsoleDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu popup(this);
    popup.addAction(m_aboutAction);
    popup.exec(event->globalPos());
}

// --- closing

void TestConsoleDialog::closeSave() {
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

#include "console/app/consoledialog.h"

#include "console/app/aboutdialog.h"
#include "console/app/artwork.h"
#include "console/app/templates.h"
#include "console/link/printerlink.h"
#include "console/send/receivedisplay.h"
#include "platform/dialog/prompter.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>

using dialog::DataExchange;
using dialog::Notify;

TestConsoleDialog::TestConsoleDialog(dialog::Prompter& prompter, QWidget* parent)
    : dialog::TemplateDialog(templates::dialog(templates::MainWindow), &artwork::picture, parent),
      m_prompter(prompter) {
    if (QPlainTextEdit* area = textEdit(ids::ReceiveArea))
        m_receive = std::make_unique<ReceiveDisplay>(*area);
    // A title bar with the window menu and a minimise box; no maximise box,
    // and the fixed size of the template.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setMenuTemplate(templates::menu(templates::MainMenu));
    if (QComboBox* ports = comboBox(ids::PortCombo)) {
        connect(ports, &QComboBox::currentIndexChanged, this, [this] { updatePortTip(); });
        ports->installEventFilter(this); // the tip is read anew when it shows
    }
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
    setLargeIcon(artwork::WindowIcon);

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
    m_connected = !m_connectAtStart;
    toggleConnection();

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

// --- data exchange

void TestConsoleDialog::exchange(DataExchange& dx) {
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

bool TestConsoleDialog::readControls(Prompts prompts) {
    DataExchange dx(*this, m_prompter, DataExchange::Direction::Read, prompts);
    exchange(dx);
    return dx.ok();
}

void TestConsoleDialog::writeControls() {
    DataExchange dx(*this, m_prompter, DataExchange::Direction::Write);
    exchange(dx);
}

// --- looks shared with the send engine

void TestConsoleDialog::setLargeIcon(int resourceId) {
    setWindowIcon(artwork::icon(resourceId));
    setProperty("largeIcon", resourceId);
}

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

void TestConsoleDialog::onCommand(int id, Notify code) {
    switch (id) {
    case ids::Exit:
        if (code == Notify::Clicked)
            exitSequence();
        return;
    case ids::ConnectButton:
        if (code == Notify::Clicked)
            toggleConnection();
        return;
    case ids::PortCombo:
        if (code == Notify::SelChange)
            onPortSelected();
        return;
    case ids::BaudCombo:
    case ids::ParityCombo:
    case ids::DataBitsCombo:
    case ids::StopBitsCombo:
    case ids::FlowCombo:
        if (code == Notify::SelChange)
            onSerialSettingChanged(id);
        return;
    case ids::SendButton:
    case menu::Send:
        if (code == Notify::Clicked || code == Notify::Menu)
            onSendClicked();
        return;
    case ids::TimedSend:
        if (code == Notify::Clicked)
            onTimedSendClicked();
        return;
    case ids::Numbering:
        if (code == Notify::Clicked)
            onNumberingClicked();
        return;
    case ids::HexSend:
        if (code == Notify::Clicked)
            onHexSendClicked();
        return;
    case ids::Interval:
        if (code == Notify::EditChange)
            onIntervalChanged();
        return;
    case ids::Sheets:
        if (code == Notify::EditChange)
            onSheetsChanged();
        return;
    case ids::SendArea:
        if (code == Notify::EditChange)
            onSendAreaChanged();
        return;
    case menu::HexSend:
        flipCheckBox(ids::HexSend);
        onHexSendClicked();
        return;
    case menu::HexDisplay:
        flipCheckBox(ids::HexDisplay);
        return;
    case menu::About:
        showAboutBox(false);
        return;
    default:
        return;
    }
}

void TestConsoleDialog::onTimer(int id) {
    // Every tick takes the fields first. Quietly: a tick never prompts, so a
    // half-typed number is not interrupted by a box twice a second.
    readControls(Prompts::Quiet);
    switch (id) {
    case timers::Send:
        onSendTimer();
        break;
    case timers::ReceivePoll:
        onReceivePoll();
        break;
    case timers::Animation:
        onAnimationTimer();
        break;
    default:
        break;
    }
}

// --- About box

void TestConsoleDialog::onSysCommand(int id) {
    if ((id & 0xFFF0) == menu::SysAbout)
        showAboutBox(true);
}

void TestConsoleDialog::showAboutBox(bool counted) {
    AboutDialog box(m_prompter, this);
    const int result = m_prompter.runModal(box);
    if (!counted || result != QDialog::Accepted)
        return;
    ++m_aboutOks;
    if (m_aboutOks % 3 == 0)
        m_prompter.message(this, QLatin1String(AboutNumber));
}

bool TestConsoleDialog::eventFilter(QObject* watched, QEvent* event) {
    // The port map file may have changed since the port was chosen.
    if (event->type() == QEvent::ToolTip && watched == control(ids::PortCombo))
        updatePortTip();
    return dialog::TemplateDialog::eventFilter(watched, event);
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
    toggleConnection();
    closeSave();
    if (readControls())
        accept();
}

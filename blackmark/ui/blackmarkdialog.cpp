#include "blackmark/ui/blackmarkdialog.h"

#include "blackmark/core/integerfield.h"
#include "blackmark/ui/ticketsamples.h"
#include "platform/dialog/dataexchange.h"
#include "platform/dialog/prompter.h"
#include "platform/dialog/widgetrules.h"
#include "platform/dialog/writeprogress.h"
#include "platform/portmap.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

// Outside any namespace, as the resource macro requires.
static void initHalmbrookResources() {
    Q_INIT_RESOURCE(halmbrook);
}

namespace halmbrook {

namespace {

const QString AboutItemText = QStringLiteral("关于 Halmbrook(&A)...");
const QString ZeroLengthText = QStringLiteral("票据长度不能为0，请键入票据的实际长度(单位:mm)。");

dialog::DialogTemplate loadTemplate(const QString& path) {
    initHalmbrookResources();
    dialog::ParseError error;
    auto layout = dialog::loadDialogTemplate(path, &error);
    if (!layout) {
        qWarning("Halmbrook: %s: %s", qPrintable(path), qPrintable(error.message));
        return {};
    }
    return *layout;
}

std::string portName(int portIndex) {
    char name[24];
    std::snprintf(name, sizeof name, "COM%d:", portIndex + 1);
    return name;
}

// The name as people say it: "COM1".
QString shownName(const std::string& name) {
    return QString::fromStdString(name).remove(u':');
}

// Why it failed, on a line of its own under the fixed text.
QString withReason(const QString& text, const QString& reason) {
    return reason.isEmpty() ? text : text + u'\n' + reason;
}

bool wentOut(const platform::WriteJobResult& result) {
    return result.outcome == platform::WriteOutcome::Done;
}

} // namespace

QPixmap halmbrookImage(int resourceId, QSize size) {
    if (resourceId == 128)
        return applicationIcon().pixmap(size);
    return ticketSamplePixmap(resourceId, size, qApp ? qApp->devicePixelRatio() : 1.0);
}

BlackMarkDialog::BlackMarkDialog(dialog::Prompter& prompter, QWidget* parent)
    : dialog::TemplateDialog(loadTemplate(QStringLiteral(":/halmbrook/blackmark.dlg")),
                             &halmbrookImage, parent),
      m_prompter(prompter),
      m_writer(
          [this](std::string_view bytes, const platform::WriteControl& control) {
              return m_port.writeSegment(bytes, control);
          },
          [this] { m_port.discardOutput(); }) {
    fitStatics();
    setWindowIcon(applicationIcon());
    // No default button: Enter in a field means OK, Enter on a button clicks it.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    writeControls();
    // Which Linux device the chosen COM name opens; the map file may change
    // while the window is open.
    if (QComboBox* port = comboBox(id::Port))
        dialog::refreshToolTipOnShow(*port, [this] { return portTip(); });
}

BlackMarkDialog::~BlackMarkDialog() = default;

void BlackMarkDialog::fitStatics() {
    // Statics wrap and start at the top, as the Windows ones do.
    for (QLabel* l : clientArea()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (l->property("imageResource").isValid())
            continue;
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        dialog::fitText(*l);
    }
    // The template's combo height is that of its drop-down list; the box
    // itself is one line high.
    if (QComboBox* port = comboBox(id::Port))
        port->resize(port->width(), port->sizeHint().height());
}

QWidget* BlackMarkDialog::item(int itemId) const {
    return control(itemId);
}

bool BlackMarkDialog::readNumber(int numberId, std::int32_t& field) {
    auto* edit = lineEdit(numberId);
    if (!edit)
        return true;
    if (const auto value = parseIntegerField(edit->text())) {
        field = *value;
        return true;
    }
    m_prompter.message(this, dialog::integerPrompt());
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool BlackMarkDialog::readControls() {
    if (!readNumber(id::StartOffset, m_fields.startOffset) ||
        !readNumber(id::CutOffset, m_fields.cutOffset))
        return false;
    const QRadioButton* sample1 = radioButton(id::Sample1);
    const QRadioButton* sample2 = radioButton(id::Sample2);
    if (sample1 && sample2)
        m_fields.ticketLayout = sample1->isChecked() ? 0 : sample2->isChecked() ? 1 : -1;
    if (!readNumber(id::TicketLength, m_fields.ticketLength))
        return false;
    if (const QComboBox* port = comboBox(id::Port))
        m_fields.portIndex = port->currentIndex();
    return readNumber(id::StartError, m_fields.startError) &&
           readNumber(id::CutError, m_fields.cutError);
}

void BlackMarkDialog::writeControls() {
    const auto number = [this](int numberId, std::int32_t value) {
        if (auto* edit = lineEdit(numberId))
            edit->setText(QString::number(value));
    };
    number(id::StartOffset, m_fields.startOffset);
    number(id::CutOffset, m_fields.cutOffset);
    if (QRadioButton* b = radioButton(m_fields.ticketLayout == 1 ? id::Sample2 : id::Sample1))
        b->setChecked(true);
    number(id::TicketLength, m_fields.ticketLength);
    if (QComboBox* port = comboBox(id::Port))
        port->setCurrentIndex(m_fields.portIndex);
    number(id::StartError, m_fields.startError);
    number(id::CutError, m_fields.cutError);
}

void BlackMarkDialog::onSetClicked() {
    // A field that is not a number has been prompted for; the values read
    // before it are new, the rest keep their last values, and Set goes on.
    (void)readControls();
    if (m_fields.ticketLength == 0) {
        // Positions are taken modulo the ticket length; nothing to send.
        m_prompter.message(this, ZeroLengthText);
        if (auto* edit = lineEdit(id::TicketLength)) {
            edit->setFocus();
            edit->selectAll();
        }
        return;
    }
    const std::string name = portName(m_fields.portIndex);
    if (!m_port.Open(name)) {
        m_prompter.message(this, withReason(QStringLiteral("无法打开串口 %1!").arg(shownName(name)),
                                            QString::fromStdString(m_port.lastError())));
        return;
    }
    const auto commands = buildMarkCommands(m_fields);
    if (!commands)
        return;
    // Both commands as one job: the cutting command goes out only after the
    // print-start command went out whole, each as a write of its own.
    platform::WriteJobResult result;
    {
        dialog::WriteProgress progress(
            *this, m_writer, QStringLiteral("正在向 %1 发送黑标命令…").arg(shownName(name)));
        result =
            progress.write({std::string(commands->printStart.begin(), commands->printStart.end()),
                            std::string(commands->cut.begin(), commands->cut.end())});
    }
    if (!wentOut(result)) {
        // The display keeps the commands that did go out last time.
        if (result.outcome != platform::WriteOutcome::Cancelled)
            m_prompter.message(
                this, withReason(QStringLiteral("黑标命令没有完整发送到 %1(已发送 %2/%3 字节),"
                                                "设置没有生效!")
                                     .arg(shownName(name))
                                     .arg(result.sent)
                                     .arg(result.total),
                                 result.reason));
        return;
    }
    if (auto* display = label(id::Display))
        display->setText(QString::fromLatin1(displayText(*commands)));
}

void BlackMarkDialog::onTestClicked() {
    dialog::WriteProgress progress(*this, m_writer, QStringLiteral("正在打印测试…"));
    platform::WriteJobResult last;
    const auto write = [&](std::string_view bytes) -> std::size_t {
        last = progress.write({std::string(bytes)});
        return wentOut(last) ? static_cast<std::size_t>(last.sent) : 0;
    };
    const auto wait = [&](std::chrono::milliseconds ms) {
        if (m_wait)
            m_wait(ms);
        else
            (void)progress.wait(ms);
    };
    TestPrint::play(write, wait);
    if (wentOut(last) || progress.cancelled())
        return;
    // Test plays on the port the last Set opened.
    const QString port = m_port.isOpen() ? shownName(portName(m_fields.portIndex)) : QString();
    m_prompter.message(
        this, withReason(port.isEmpty()
                             ? QStringLiteral("测试打印没有发送:串口没有打开,请先设置针打黑标命令!")
                             : QStringLiteral("测试打印没有完整发送到 %1!").arg(port),
                         port.isEmpty() ? QString() : last.reason));
}

void BlackMarkDialog::showAbout() {
    AboutDialog box(this);
    m_prompter.runModal(box);
}

void BlackMarkDialog::onCommand(int controlId, dialog::Notify code) {
    switch (controlId) {
    case id::Set:
        onSetClicked();
        return;
    case id::Test:
        onTestClicked();
        return;
    case id::About:
        showAbout();
        return;
    case id::Cancel:
        reject();
        return;
    case id::Port:
        if (QComboBox* port = comboBox(id::Port))
            port->setToolTip(portTip());
        return;
    default:
        dialog::TemplateDialog::onCommand(controlId, code);
    }
}

void BlackMarkDialog::accept() {
    if (readControls())
        dialog::TemplateDialog::accept();
}

void BlackMarkDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // The button with the focus acts as the default; anywhere else Enter is OK.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            accept();
        return;
    }
    dialog::TemplateDialog::keyPressEvent(event);
}

void BlackMarkDialog::contextMenuEvent(QContextMenuEvent* event) {
    // Where the Windows tool had the About item in its system menu: a right
    // click anywhere on the window (edits keep their own menus).
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* about = menu->addAction(AboutItemText);
    connect(about, &QAction::triggered, this, &BlackMarkDialog::showAbout);
    menu->popup(event->globalPos());
}

QString BlackMarkDialog::portTip() const {
    const QComboBox* combo = comboBox(id::Port);
    if (!combo)
        return {};
    const QString name = shownName(portName(combo->currentIndex()));
    return QString::fromStdString(platform::PortMap::load().describe(name.toStdString()));
}

AboutDialog::AboutDialog(QWidget* parent)
    : dialog::TemplateDialog(loadTemplate(QStringLiteral(":/halmbrook/about.dlg")), &halmbrookImage,
                             parent) {
    setWindowIcon(applicationIcon());
}

void AboutDialog::onCommand(int controlId, dialog::Notify code) {
    if (controlId == id::Ok) {
        accept();
        return;
    }
    dialog::TemplateDialog::onCommand(controlId, code);
}

} // namespace halmbrook

#include "blackmark/ui/blackmarkdialog.h"

#include "blackmark/core/integerfield.h"
#include "blackmark/ui/ticketsamples.h"
#include "platform/dialog/dataexchange.h"
#include "platform/dialog/prompter.h"
#include "platform/portmap.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>
#include <thread>

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

// Template rectangles were sized for the Windows song face; a CJK face with
// taller lines may need a slightly smaller size to show the whole text.
void fitText(QLabel& label) {
    QFont font = label.font();
    const QRect room = label.contentsRect();
    const auto fits = [&](const QFont& f) {
        return QFontMetrics(f)
                   .boundingRect(QRect(0, 0, room.width(), 10000), Qt::TextWordWrap, label.text())
                   .height() <= room.height();
    };
    while (!fits(font) && font.pointSizeF() > 6.5)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != label.font())
        label.setFont(font);
}

// The window cannot take input while a write or a wait of the port blocks it;
// say so with the cursor.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

std::string portName(int portIndex) {
    char name[24];
    std::snprintf(name, sizeof name, "COM%d:", portIndex + 1);
    return name;
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
      m_wait([](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); }) {
    fitStatics();
    setWindowIcon(applicationIcon());
    // No default button: Enter in a field means OK, Enter on a button clicks it.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    writeControls();
    updatePortTip();
}

BlackMarkDialog::~BlackMarkDialog() = default;

void BlackMarkDialog::fitStatics() {
    // Statics wrap and start at the top, as the Windows ones do.
    for (QLabel* l : clientArea()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (l->property("imageResource").isValid())
            continue;
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        fitText(*l);
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
    BusyCursor busy;
    if (!m_port.Open(portName(m_fields.portIndex)))
        return;
    const auto commands = buildMarkCommands(m_fields);
    if (!commands)
        return;
    if (m_port.Write(commands->printStart.data(), commands->printStart.size()) == 0)
        return;
    if (m_port.Write(commands->cut.data(), commands->cut.size()) == 0)
        return;
    if (auto* display = label(id::Display))
        display->setText(QString::fromLatin1(displayText(*commands)));
}

void BlackMarkDialog::onTestClicked() {
    BusyCursor busy;
    TestPrint::play(
        [this](std::string_view bytes) { return m_port.Write(bytes.data(), bytes.size()); },
        m_wait);
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
        updatePortTip();
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

void BlackMarkDialog::updatePortTip() {
    auto* combo = comboBox(id::Port);
    if (!combo)
        return;
    // Which Linux device the chosen COM name opens (see the port map).
    std::string name = portName(combo->currentIndex());
    name.pop_back();
    combo->setToolTip(QString::fromStdString(platform::PortMap::load().describe(name)));
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

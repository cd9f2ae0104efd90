#include "blackmark/ui/blackmarkdialog.h"

#include "blackmark/core/integerfield.h"
#include "blackmark/ui/ticketsamples.h"
#include "platform/dialog/dataexchange.h"
#include "platform/dialog/prompter.h"
#include "platform/portmap.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
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

// The parts of a template the dialog framework leaves to the tool: radio
// buttons (RADIO lines) and bordered statics (the BORDER flag).
struct LoadedTemplate {
    dialog::DialogTemplate layout;
    struct Radio {
        dialog::ControlTemplate control;
        std::size_t before = 0; // framework controls that precede it
    };
    std::vector<Radio> radios;
    QStringList bordered; // captions
};

namespace {

const QString AboutItemText = QStringLiteral("关于 Halmbrook(&A)...");
const QString ZeroLengthText = QStringLiteral("票据长度不能为0，请键入票据的实际长度(单位:mm)。");

std::optional<dialog::ControlTemplate> parseControlLine(const QString& line) {
    auto one = dialog::parseDialogTemplate(QStringLiteral("DIALOG 0 1 1\n") + line);
    if (!one || one->controls.size() != 1)
        return std::nullopt;
    return one->controls.front();
}

LoadedTemplate loadTemplate(const QString& path) {
    initHalmbrookResources();
    LoadedTemplate loaded;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Halmbrook: cannot read %s", qPrintable(path));
        return loaded;
    }
    const QString text = QString::fromUtf8(file.readAll());
    QStringList kept;
    std::size_t controlsSoFar = 0;
    for (const QString& line : text.split(u'\n')) {
        const QString t = line.trimmed();
        const QString word = t.section(u' ', 0, 0);
        const bool control = !t.isEmpty() && !t.startsWith(u'#') &&
                             !QStringList{QStringLiteral("DIALOG"), QStringLiteral("CAPTION"),
                                          QStringLiteral("FONT"), QStringLiteral("MENU")}
                                  .contains(word);
        if (word == QLatin1String("RADIO")) {
            const auto radio = parseControlLine(QStringLiteral("CHECKBOX") + t.mid(word.size()));
            if (radio)
                loaded.radios.push_back({*radio, controlsSoFar});
            else
                qWarning("Halmbrook: %s: bad line: %s", qPrintable(path), qPrintable(t));
            continue;
        }
        if (control && t.endsWith(QLatin1String(" BORDER"))) {
            const QString plain = t.chopped(7);
            if (const auto c = parseControlLine(plain))
                loaded.bordered << c->caption;
            kept << plain;
        } else {
            kept << line;
        }
        if (control)
            ++controlsSoFar;
    }
    dialog::ParseError error;
    auto layout = dialog::parseDialogTemplate(kept.join(u'\n'), &error);
    if (!layout) {
        qWarning("Halmbrook: %s: %s", qPrintable(path), qPrintable(error.message));
        return loaded;
    }
    loaded.layout = *layout;
    return loaded;
}

QRect toPixels(const QRect& du, double unit) {
    // Each edge is rounded on its own, as the framework places its controls.
    const int left = qRound(du.x() * unit);
    const int top = qRound(du.y() * unit);
    return QRect(left, top, qRound((du.x() + du.width()) * unit) - left,
                 qRound((du.y() + du.height()) * unit) - top);
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
    : BlackMarkDialog(prompter, parent, loadTemplate(QStringLiteral(":/halmbrook/blackmark.dlg"))) {
}

BlackMarkDialog::BlackMarkDialog(dialog::Prompter& prompter, QWidget* parent,
                                 const LoadedTemplate& loaded)
    : dialog::TemplateDialog(loaded.layout, &halmbrookImage, parent), m_prompter(prompter),
      m_wait([](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); }) {
    buildExtras(loaded);
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

void BlackMarkDialog::buildExtras(const LoadedTemplate& loaded) {
    const double unit = dialog::pixelsPerUnit(this);
    for (const auto& r : loaded.radios) {
        auto* b = new QRadioButton(r.control.caption, clientArea());
        b->setObjectName(QStringLiteral("c%1").arg(r.control.id));
        b->setAccessibleName(r.control.caption);
        b->setGeometry(toPixels(r.control.rect, unit));
        const int radioId = r.control.id;
        connect(b, &QRadioButton::clicked, this,
                [this, radioId] { onCommand(radioId, dialog::Notify::Clicked); });
        m_radios[radioId] = b;
    }
    // Statics wrap and start at the top, as the Windows ones do.
    for (QLabel* l : clientArea()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (l->property("imageResource").isValid())
            continue;
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (loaded.bordered.contains(l->text())) {
            l->setFrameShape(QFrame::Box);
            l->setMargin(1);
        }
        fitText(*l);
    }
    // The template's combo height is that of its drop-down list; the box
    // itself is one line high.
    if (QComboBox* port = comboBox(id::Port))
        port->resize(port->width(), port->sizeHint().height());
    // Tab order follows the template, radio buttons in their places.
    std::vector<QWidget*> order;
    const auto& controls = loaded.layout.controls;
    auto radio = loaded.radios.begin();
    for (std::size_t k = 0; k <= controls.size(); ++k) {
        for (; radio != loaded.radios.end() && radio->before == k; ++radio)
            order.push_back(m_radios[radio->control.id]);
        if (k < controls.size())
            if (QWidget* w = control(controls[k].id); w && (w->focusPolicy() & Qt::TabFocus))
                order.push_back(w);
    }
    for (std::size_t k = 1; k < order.size(); ++k)
        setTabOrder(order[k - 1], order[k]);
}

QRadioButton* BlackMarkDialog::radioButton(int radioId) const {
    const auto it = m_radios.find(radioId);
    return it == m_radios.end() ? nullptr : it->second;
}

QWidget* BlackMarkDialog::item(int itemId) const {
    if (QRadioButton* b = radioButton(itemId))
        return b;
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
    : dialog::TemplateDialog(loadTemplate(QStringLiteral(":/halmbrook/about.dlg")).layout,
                             &halmbrookImage, parent) {
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

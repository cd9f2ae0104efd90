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
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

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
// The text is measured the way it is drawn, by a painter on the screen's own
// pixels: at 125 % the lines wrap differently than font metrics alone say.
void fitText(QLabel& label) {
    QFont font = label.font();
    const QRect room = label.contentsRect();
    QImage canvas(1, 1, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(label.devicePixelRatioF());
    QPainter painter(&canvas);
    const auto fits = [&](const QFont& f) {
        painter.setFont(f);
        return painter
                   .boundingRect(QRect(0, 0, room.width(), 100000),
                                 Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, label.text())
                   .height() <= room.height();
    };
    while (!fits(font) && font.pointSizeF() > 6.5)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != label.font())
        label.setFont(font);
}

// The frame of a bordered static, drawn over it. QFrame's box loses its right
// and bottom sides at scalings such as 125 %, where the widget's last logical
// pixel falls between two screen pixels and is cut off; this one draws those
// two sides one pixel in whenever the scaling is not whole.
class BoxOutline final : public QWidget {
public:
    explicit BoxOutline(QLabel& label) : QWidget(label.parentWidget()) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(label.geometry());
        // Room for the frame and a pixel of space, the last sides one in.
        label.setContentsMargins(2, 2, 3, 3);
        raise();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const qreal dpr = devicePixelRatioF();
        const int in = qFuzzyCompare(dpr, qreal(qRound(dpr))) ? 0 : 1;
        const int right = width() - 1 - in;
        const int bottom = height() - 1 - in;
        QPainter p(this);
        const QColor ink = palette().color(QPalette::WindowText);
        p.fillRect(0, 0, right + 1, 1, ink);
        p.fillRect(0, bottom, right + 1, 1, ink);
        p.fillRect(0, 0, 1, bottom + 1, ink);
        p.fillRect(right, 0, 1, bottom + 1, ink);
    }
};

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
    : BlackMarkDialog(prompter, parent, loadTemplate(QStringLiteral(":/halmbrook/blackmark.dlg"))) {
}

BlackMarkDialog::BlackMarkDialog(dialog::Prompter& prompter, QWidget* parent,
                                 const LoadedTemplate& loaded)
    : dialog::TemplateDialog(loaded.layout, &halmbrookImage, parent), m_prompter(prompter),
      m_writer(
          [this](std::string_view bytes, const platform::WriteControl& control) {
              return m_port.writeSegment(bytes, control);
          },
          [this] { m_port.discardOutput(); }) {
    buildExtras(loaded);
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
        if (loaded.bordered.contains(l->text()))
            new BoxOutline(*l);
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

#include "headadjust/mainform.h"

#include "headadjust/formtable.h"
#include "headadjust/messenger.h"
#include "headadjust/portchoice.h"
#include "platform/dialog/templatedialog.h"
#include "platform/dialog/widgetrules.h"
#include "platform/dialog/writeprogress.h"
#include "platform/portmap.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextLayout>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace headadjust {
namespace {

QString noChannelMessage() {
    return QStringLiteral("端口没有打开,数据未发送!");
}

// The fixed text first, then which device the port map gave and what the
// system said, so a wrong map or a busy device is plain to see.
QString withDetails(QString text, const std::string& detail) {
    if (!detail.empty())
        text += QLatin1Char('\n') + QString::fromStdString(detail);
    return text;
}

QString portFailureMessage(const platform::PortMap& map, const QString& portName,
                           const std::string& error) {
    return withDetails(withDetails(QStringLiteral("此通讯端口已被占用或损坏!"),
                                   map.describe(portName.toStdString())),
                       error);
}

QString chooseAPortMessage() {
    return QStringLiteral("请选择一个可用通讯端口!");
}

QString badSpeedMessage(const QString& speedText) {
    return QStringLiteral("“%1”不是可用的波特率,请选择一个可用的波特率!").arg(speedText);
}

// A label whose wrapped lines share its height. The table gives two-line
// labels room for two lines of a 9 pt bitmap font; the fonts found on Linux
// space their lines wider, so the lines are set closer instead of being cut.
class FittingLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QTextLayout layout(text(), font());
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        const QFontMetricsF metrics(font());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width());
        layout.endLayout();
        const qreal lines = std::max(1, layout.lineCount());
        const qreal step =
            std::min(metrics.lineSpacing(), std::max(metrics.ascent(), height() / lines));
        qreal y = 0;
        for (int i = 0; i < layout.lineCount(); ++i, y += step)
            layout.lineAt(i).setPosition(QPointF(0, y));
        QPainter painter(this);
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        layout.draw(&painter, QPointF(0, 0));
    }
};

QWidget* createControl(const ControlEntry& entry, QWidget* container) {
    const QString caption = QString::fromUtf16(entry.caption);
    switch (entry.kind) {
    case ControlKind::Frame:
        return new QGroupBox(caption, container);
    case ControlKind::OptionButton: {
        auto* option = new QRadioButton(caption, container);
        option->setAccessibleName(caption);
        return option;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(container);
        combo->setEditable(true);
        // Typed text is used as it stands; it never joins the list.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setEditText(caption);
        dialog::ignoreWheelUnlessFocused(*combo);
        return combo;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(caption, container);
        button->setAccessibleName(caption);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::Label: {
        auto* label = new FittingLabel(caption, container);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    }
    return nullptr;
}

void addItems(QComboBox* combo, const QStringList& items) {
    // Adding the first item would replace the shown text; keep it.
    const QString shown = combo->currentText();
    combo->addItems(items);
    combo->setCurrentIndex(combo->findText(shown));
    combo->setEditText(shown);
}

} // namespace

MainForm::MainForm(Messenger& messenger, QWidget* parent)
    : QWidget(parent), m_messenger(messenger),
      m_writer(
          [this](std::string_view bytes, const platform::WriteControl& control) {
              return m_channel.writeSegment(bytes, control);
          },
          [this] { m_channel.discardOutput(); }) {
    setObjectName(QLatin1String(FormName));
    setWindowTitle(QStringLiteral("Ostrelle"));
    setWindowIcon(QIcon(QStringLiteral(":/ostrelle/ostrelle.png")));
    setFont(dialog::templateFont({}, 9));
    // Frames as the operator knows them: the caption sits on the border line.
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 7px; }"
        "QGroupBox#Frame2 { margin-top: 0px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 1px; }"));
    buildControls();
    load();
}

MainForm::~MainForm() = default;

void MainForm::buildControls() {
    const QScreen* screen = this->screen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    setFixedSize(twipsToPixels(FormWidthTwips, dpi), twipsToPixels(FormHeightTwips, dpi));

    std::map<std::string, QWidget*> containers{{FormName, this}};
    std::vector<std::pair<int, QWidget*>> tabStops;
    for (const ControlEntry& entry : formControls()) {
        QWidget* control = createControl(entry, containers.at(entry.container));
        control->setObjectName(QLatin1String(entry.name));
        control->setGeometry(twipsToPixels(entry.twips, dpi));
        control->setEnabled(entry.enabledAtStart);
        if (entry.kind == ControlKind::Frame)
            containers.emplace(entry.name, control);
        if (control->focusPolicy() & Qt::TabFocus)
            tabStops.emplace_back(entry.tabIndex, control);
    }

    std::sort(tabStops.begin(), tabStops.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        setTabOrder(tabStops[i - 1].second, tabStops[i].second);

    const auto child = [this]<typename W>(W*& member, const char* name) {
        member = findChild<W*>(QLatin1String(name));
        Q_ASSERT(member);
    };
    child(m_frame3, "Frame3");
    child(m_option1, "Option1");
    child(m_option2, "Option2");
    child(m_port, "Port");
    child(m_speed, "Speed");
    child(m_lport, "LPort");
    child(m_combo1, "Combo1");
    child(m_nt, "NT");
    child(m_disconnect, "Disconnect");
    child(m_prn, "Prn");
    child(m_command3, "Command3");
    child(m_test, "test");
    child(m_et, "et");

    // These three lie over the frames and must stay on top of them.
    m_disconnect->raise();
    m_prn->raise();
    m_command3->raise();

    connect(m_option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            selectSerial();
    });
    connect(m_option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            selectParallel();
    });
    connect(m_nt, &QPushButton::clicked, this, &MainForm::connectPort);
    connect(m_disconnect, &QPushButton::clicked, this, &MainForm::disconnectPort);
    connect(m_prn, &QPushButton::clicked, this, &MainForm::printParameterEffects);
    connect(m_command3, &QPushButton::clicked, this, &MainForm::setHeadParameter);
    connect(m_test, &QPushButton::clicked, this, &MainForm::printEffectTest);
    connect(m_et, &QPushButton::clicked, this, &QWidget::close);
}

void MainForm::load() {
    QStringList values;
    for (int n = 0; n <= 13; ++n)
        values << QString::number(n);
    addItems(m_combo1, values);
    addItems(m_port, {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                      QStringLiteral("COM4")});
    addItems(m_speed, {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400")});
    addItems(m_lport, {QStringLiteral("LPT1"), QStringLiteral("LPT2")});
    // No system check and no extra device names here: COMn is always the nth
    // serial device and the port map says which file that is.
}

void MainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The first stop in the tab order takes the focus, and an option button
    // that takes the focus is selected: the window opens on the serial choice.
    m_option1->setFocus(Qt::OtherFocusReason);
    m_option1->setChecked(true);
}

void MainForm::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button && button->isEnabled()) {
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void MainForm::closeEvent(QCloseEvent* event) {
    m_channel.close();
    QWidget::closeEvent(event);
}

void MainForm::selectSerial() {
    m_port->setEnabled(true);
    m_speed->setEnabled(true);
    m_lport->setEnabled(false);
}

void MainForm::selectParallel() {
    m_lport->setEnabled(true);
    m_port->setEnabled(false);
    m_speed->setEnabled(false);
}

void MainForm::connectPort() {
    m_option1->setEnabled(false);
    m_combo1->setEnabled(true);
    m_command3->setEnabled(true);
    m_test->setEnabled(true);
    m_frame3->setEnabled(true);
    m_option2->setEnabled(false);
    m_port->setEnabled(false);
    m_speed->setEnabled(false);
    m_lport->setEnabled(false);
    m_disconnect->setEnabled(true);

    m_speedText = m_speed->currentText();

    m_prn->setEnabled(true);
    m_nt->setEnabled(false);

    if (m_option2->isChecked())
        openParallel();
    if (!m_option1->isChecked()) {
        if (!m_option2->isChecked())
            tell(chooseAPortMessage());
        return;
    }
    if (const std::optional<int> number = serialPortNumber(m_port->currentText()))
        m_commPortNumber = static_cast<std::int16_t>(*number);
    openSerial();
}

void MainForm::openParallel() {
    const QString name = m_lport->currentText();
    if (!isParallelPortName(name)) {
        tell(chooseAPortMessage());
        return;
    }
    const platform::PortMap map = platform::PortMap::load();
    const platform::PortMapping mapping = map.resolve(name.toStdString());
    m_portName = name;
    if (mapping.devicePath.empty() || !m_channel.openParallel(mapping.devicePath))
        tell(portFailureMessage(map, name, m_channel.lastError()));
}

void MainForm::openSerial() {
    // Port number 0 is what a Port text other than COM1..COM4 leaves before the
    // first serial connect: there is no such port.
    if (m_commPortNumber < 1) {
        tell(chooseAPortMessage());
        return;
    }
    const std::optional<std::uint32_t> speed = parseSerialSpeed(m_speedText);
    if (!speed) {
        tell(badSpeedMessage(m_speedText));
        return;
    }
    const QString name = QStringLiteral("COM%1").arg(m_commPortNumber);
    const platform::PortMap map = platform::PortMap::load();
    const platform::PortMapping mapping = map.resolve(name.toStdString());
    m_portName = name;
    // A freshly opened port has empty queues; nothing older can go out.
    if (mapping.devicePath.empty() || !m_channel.openSerial(mapping.devicePath, *speed)) {
        if (m_channel.speedRefused())
            tell(withDetails(badSpeedMessage(m_speedText), m_channel.lastError()));
        else
            tell(portFailureMessage(map, name, m_channel.lastError()));
    }
}

void MainForm::disconnectPort() {
    m_port->setEnabled(true);
    m_speed->setEnabled(true);
    m_combo1->setEnabled(false);
    m_command3->setEnabled(false);
    m_frame3->setEnabled(false);
    m_option1->setEnabled(true);
    m_option2->setEnabled(true);
    m_prn->setEnabled(false);
    m_test->setEnabled(false);
    m_nt->setEnabled(true);
    m_disconnect->setEnabled(false);

    m_channel.close();
}

void MainForm::printParameterEffects() {
    send(PrintParameterEffects());
}

void MainForm::setHeadParameter() {
    const std::optional<std::uint8_t> n = parseHeadParameter(m_combo1->currentText());
    if (!n) {
        tell(QStringLiteral("请填入一个在0和%1之间的整数。").arg(MaxHeadParameter));
        return;
    }
    send(SetHeadParameter(*n));
}

void MainForm::printEffectTest() {
    const std::optional<ChannelKind> kind = m_channel.active();
    if (!kind) {
        tell(noChannelMessage());
        return;
    }
    send(PrintEffectTest(*kind));
}

void MainForm::send(const Writes& writes) {
    if (!m_channel.active()) {
        tell(noChannelMessage());
        return;
    }
    platform::WriteJobResult result;
    {
        dialog::WriteProgress progress(*this, m_writer,
                                       QStringLiteral("正在向 %1 发送数据…").arg(m_portName));
        result = progress.write(writes);
    }
    // A cancel is the user's own choice; anything else that ended the writes is told.
    if (result.outcome != platform::WriteOutcome::Done &&
        result.outcome != platform::WriteOutcome::Cancelled)
        tell(withDetails(QStringLiteral("数据发送失败,请检查打印机和端口!"),
                         result.reason.toStdString()));
}

void MainForm::tell(const QString& text) {
    m_messenger.showMessage(this, text);
}

} // namespace headadjust

#include "printer/ui/printerwindow.h"

#include "platform/dialog/prompter.h"
#include "platform/dialog/templatedialog.h"
#include "printer/ui/logmodel.h"
#include "printer/ui/paperview.h"
#include "printer/ui/printericon.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace posprinter {

namespace {

// How long one slice of printing may hold the window.
constexpr qint64 SliceMilliseconds = 15;

bool atBottom(const QScrollBar* bar) {
    return bar->value() >= bar->maximum() - 4;
}

} // namespace

PrinterWindow::PrinterWindow(PrinterSession& session, dialog::Prompter& prompter, PaperWidth paper,
                             QWidget* parent)
    : QMainWindow(parent), m_session(session), m_prompter(prompter), m_renderer(paper) {
    setWindowTitle(QStringLiteral("posprinter — 虚拟 ESC/POS 打印机"));
    setWindowIcon(printerIcon());
    setFont(dialog::templateFont(QString(), 9));

    m_paper = new PaperView(m_renderer);
    m_scroll = new QScrollArea;
    m_scroll->setWidget(m_paper);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setMinimumWidth(geometryOf(PaperWidth::Mm80).paperDots + 60);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_scroll);
    splitter->addWidget(buildSidePanel());
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);
    buildMenus();

    connect(&m_session, &PrinterSession::itemsReady, this, &PrinterWindow::takeItems);
    connect(&m_session, &PrinterSession::statusChanged, this, &PrinterWindow::showStatus);
    connect(&m_session, &PrinterSession::clientsChanged, this, &PrinterWindow::showEndpoints);
    // Follow the paper as it grows, unless the user scrolled back to look at something.
    QScrollBar* bar = m_scroll->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (m_followPaper)
            bar->setValue(maximum);
    });
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { m_followPaper = atBottom(bar) || value == bar->maximum(); });
    // The log and the roll are brought up to date at most 25 times a second, however
    // fast the items come: a repaint per slice would cost more than the printing.
    m_present = new QTimer(this);
    m_present->setSingleShot(true);
    m_present->setInterval(40);
    connect(m_present, &QTimer::timeout, this, &PrinterWindow::present);
    auto* counter = new QTimer(this);
    connect(counter, &QTimer::timeout, this, &PrinterWindow::showEndpoints);
    counter->start(500);

    showStatus();
    showEndpoints();
    resize(1180, 760);
    // Beside the tool that drives it: the right-hand side of the screen.
    if (const QScreen* screen = this->screen()) {
        const QRect free = screen->availableGeometry();
        move(std::max(free.left(), free.right() - width() + 1), free.top());
    }
    takeItems();
}

PrinterWindow::~PrinterWindow() = default;

QWidget* PrinterWindow::buildSidePanel() {
    auto* side = new QWidget;
    auto* column = new QVBoxLayout(side);

    auto* statusGroup = new QGroupBox(QStringLiteral("打印机状态"));
    auto* statusRow = new QHBoxLayout(statusGroup);
    const QString captions[5] = {QStringLiteral("在线"), QStringLiteral("纸仓盖打开"),
                                 QStringLiteral("纸将尽"), QStringLiteral("缺纸"),
                                 QStringLiteral("钱箱打开")};
    for (int i = 0; i < 5; ++i) {
        m_status[i] = new QCheckBox(captions[i]);
        m_status[i]->setAccessibleName(captions[i]);
        statusRow->addWidget(m_status[i]);
        connect(m_status[i], &QCheckBox::clicked, this, &PrinterWindow::statusEdited);
    }
    statusRow->addStretch();
    column->addWidget(statusGroup);

    auto* lineGroup = new QGroupBox(QStringLiteral("连接"));
    auto* lines = new QVBoxLayout(lineGroup);
    m_ptyLabel = new QLabel;
    m_tcpLabel = new QLabel;
    m_countLabel = new QLabel;
    for (QLabel* label : {m_ptyLabel, m_tcpLabel, m_countLabel}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        lines->addWidget(label);
    }
    column->addWidget(lineGroup);

    auto* buttons = new QHBoxLayout;
    auto* clear = new QPushButton(QStringLiteral("清除"));
    auto* save = new QPushButton(QStringLiteral("保存小票为 PNG…"));
    clear->setObjectName(QStringLiteral("clear"));
    save->setObjectName(QStringLiteral("save"));
    connect(clear, &QPushButton::clicked, this, &PrinterWindow::clearAll);
    connect(save, &QPushButton::clicked, this, &PrinterWindow::saveReceipt);
    buttons->addWidget(clear);
    buttons->addWidget(save);
    buttons->addStretch();
    column->addLayout(buttons);

    auto* logTitle = new QLabel(QStringLiteral("命令记录"));
    column->addWidget(logTitle);
    m_log = new LogModel(this);
    m_logView = new QTableView;
    m_logView->setModel(m_log);
    m_logView->verticalHeader()->hide();
    m_logView->verticalHeader()->setDefaultSectionSize(20);
    m_logView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_logView->setWordWrap(false);
    m_logView->horizontalHeader()->setStretchLastSection(true);
    m_logView->setColumnWidth(LogModel::Offset, 70);
    m_logView->setColumnWidth(LogModel::Hex, 170);
    m_logView->setColumnWidth(LogModel::Name, 80);
    column->addWidget(m_logView, 1);
    return side;
}

void PrinterWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(QStringLiteral("保存小票(&S)…"), this, &PrinterWindow::saveReceipt);
    file->addAction(QStringLiteral("保存全部小票(&A)…"), this, &PrinterWindow::saveAllReceipts);
    file->addAction(QStringLiteral("清除(&C)"), this, &PrinterWindow::clearAll);
    file->addSeparator();
    file->addAction(QStringLiteral("退出(&X)"), this, &QWidget::close);

    QMenu* paper = menuBar()->addMenu(QStringLiteral("纸张(&P)"));
    auto* widths = new QActionGroup(this);
    m_paper58 = paper->addAction(QStringLiteral("58 毫米（384 点）"));
    m_paper80 = paper->addAction(QStringLiteral("80 毫米（576 点）"));
    for (QAction* a : {m_paper58, m_paper80}) {
        a->setCheckable(true);
        widths->addAction(a);
    }
    (m_renderer.paper() == PaperWidth::Mm58 ? m_paper58 : m_paper80)->setChecked(true);
    connect(m_paper58, &QAction::triggered, this, [this] { choosePaper(PaperWidth::Mm58); });
    connect(m_paper80, &QAction::triggered, this, [this] { choosePaper(PaperWidth::Mm80); });
    paper->addSeparator();
    paper->addAction(QStringLiteral("（新宽度从下一张小票起生效）"))->setEnabled(false);

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->addAction(QStringLiteral("关于 posprinter(&A)"), this, [this] {
        m_prompter.message(this,
                           QStringLiteral("posprinter：POS 打印机工具包的虚拟 ESC/POS 打印机。\n"
                                          "它接收串口（伪终端）和网络上的数据，"
                                          "像纸上一样显示小票，并回答状态查询。"));
    });
}

QAction* PrinterWindow::paperAction(PaperWidth paper) const {
    return paper == PaperWidth::Mm58 ? m_paper58 : m_paper80;
}

void PrinterWindow::choosePaper(PaperWidth paper) {
    m_renderer.setPaper(paper);
    m_paper->refresh();
}

void PrinterWindow::takeItems() {
    for (DecodedItem& item : m_session.takeItems())
        m_backlog.push_back(std::move(item));
    if (!m_backlog.empty() && !m_slicePosted) {
        m_slicePosted = true;
        QTimer::singleShot(0, this, &PrinterWindow::printSlice);
    }
}

void PrinterWindow::printSlice() {
    m_slicePosted = false;
    QElapsedTimer clock;
    clock.start();
    std::vector<DecodedItem> logged;
    while (!m_backlog.empty() && clock.elapsed() < SliceMilliseconds) {
        DecodedItem item = std::move(m_backlog.front());
        m_backlog.pop_front();
        m_renderer.render(item);
        m_printed = item.offset + item.length;
        logged.push_back(std::move(item));
    }
    for (DecodedItem& item : logged)
        m_unshownLog.push_back(std::move(item));
    for (Receipt& r : m_renderer.takeFinished())
        m_unshownReceipts.push_back(std::move(r));
    if (!m_present->isActive())
        m_present->start();
    if (!m_backlog.empty()) {
        m_slicePosted = true;
        QTimer::singleShot(0, this, &PrinterWindow::printSlice);
    }
}

void PrinterWindow::present() {
    const bool follow = atBottom(m_logView->verticalScrollBar());
    m_log->append(std::exchange(m_unshownLog, {}));
    if (follow)
        m_logView->scrollToBottom();
    m_paper->addReceipts(std::exchange(m_unshownReceipts, {}));
}

void PrinterWindow::drain() {
    takeItems();
    while (!m_backlog.empty())
        printSlice();
    m_present->stop();
    present();
}

void PrinterWindow::statusEdited() {
    PrinterStatus s;
    s.online = m_status[0]->isChecked();
    s.coverOpen = m_status[1]->isChecked();
    s.paperNearEnd = m_status[2]->isChecked();
    s.paperOut = m_status[3]->isChecked();
    s.drawerOpen = m_status[4]->isChecked();
    m_session.setStatus(s);
}

void PrinterWindow::showStatus() {
    const PrinterStatus s = m_session.status();
    const bool on[5] = {s.online, s.coverOpen, s.paperNearEnd, s.paperOut, s.drawerOpen};
    for (int i = 0; i < 5; ++i)
        m_status[i]->setChecked(on[i]);
}

void PrinterWindow::showEndpoints() {
    const QString pty = m_session.ptyPath();
    if (pty.isEmpty()) {
        m_ptyLabel->setText(QStringLiteral("串口（伪终端）：未开启"));
    } else if (m_session.linkPath().isEmpty()) {
        m_ptyLabel->setText(QStringLiteral("串口（伪终端）：%1").arg(pty));
    } else {
        m_ptyLabel->setText(
            QStringLiteral("串口（伪终端）：%1 → %2").arg(m_session.linkPath(), pty));
    }
    const QString tcp = m_session.tcpAddress();
    m_tcpLabel->setText(tcp.isEmpty() ? QStringLiteral("网络：未开启")
                                      : QStringLiteral("网络：%1（%2）")
                                            .arg(tcp, m_session.tcpClientConnected()
                                                          ? QStringLiteral("已连接")
                                                          : QStringLiteral("等待连接")));
    m_countLabel->setText(QStringLiteral("已接收 %1 字节，已打印 %2 字节")
                              .arg(m_session.bytesReceived())
                              .arg(m_printed));
}

bool PrinterWindow::writeImage(const QImage& image, const QString& path) {
    if (image.save(path, "PNG"))
        return true;
    m_prompter.message(this, QStringLiteral("无法保存文件：%1").arg(path));
    return false;
}

void PrinterWindow::saveReceipt() {
    const QImage image = m_paper->chosenImage();
    if (image.isNull()) {
        m_prompter.message(this, QStringLiteral("还没有可保存的小票。"));
        return;
    }
    dialog::FileRequest request;
    request.title = QStringLiteral("保存小票");
    request.filter = QStringLiteral("PNG 图片 (*.png)");
    request.fileName = QStringLiteral("小票.png");
    request.defaultSuffix = QStringLiteral("png");
    if (const auto path = m_prompter.saveFileName(this, request))
        writeImage(image, *path);
}

void PrinterWindow::saveAllReceipts() {
    std::vector<QImage> images;
    for (const Receipt& r : m_paper->receipts())
        images.push_back(r.image);
    if (m_renderer.hasOpenReceipt())
        images.push_back(m_renderer.openImage());
    if (images.empty()) {
        m_prompter.message(this, QStringLiteral("还没有可保存的小票。"));
        return;
    }
    dialog::FileRequest request;
    request.title = QStringLiteral("保存全部小票（文件名后加编号）");
    request.filter = QStringLiteral("PNG 图片 (*.png)");
    request.fileName = QStringLiteral("小票.png");
    request.defaultSuffix = QStringLiteral("png");
    const auto path = m_prompter.saveFileName(this, request);
    if (!path)
        return;
    QString base = *path;
    if (base.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        base.chop(4);
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (!writeImage(images[i],
                        QStringLiteral("%1-%2.png").arg(base).arg(i + 1, 3, 10, QLatin1Char('0'))))
            return;
    }
}

void PrinterWindow::clearAll() {
    m_unshownLog.clear();
    m_unshownReceipts.clear();
    m_renderer.clear();
    m_paper->clear();
    m_log->clear();
}

} // namespace posprinter

#include "console/app/aboutdialog.h"
#include "console/app/templates.h"
#include "tests/console/app/consolewindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include <vector>

TEST_F(ConsoleWindowTest, TheWindowIsTheTemplateAtOneAndAHalfPixelsPerUnit) {
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_EQ(window->clientArea()->size(), QSize(675, 494));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()); // not resizable
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);

    // The places the template fixes (dialog units times 1.5).
    const std::vector<std::pair<int, QRect>> places = {
        // x, y, w, h in units -> left, top, right, bottom each rounded
        {ids::SendGroup, QRect(11, 6, 367, 281)},
        {ids::SendArea, QRect(20, 23, 348, 180)},
        {ids::ReceiveArea, QRect(20, 309, 348, 74)},
        {ids::ConnectButton, QRect(584, 377, 72, 31)},
        {ids::SendButton, QRect(452, 438, 120, 41)},
        {1, QRect(584, 444, 72, 35)},
        {ids::QueueGroup, QRect(0, 0, 282, 281)},
        {ids::QueueFooterGroup, QRect(0, 212, 282, 69)},
    };
    for (const auto& [id, rect] : places)
        EXPECT_EQ(window->control(id)->geometry(), rect) << id;
}

TEST_F(ConsoleWindowTest, EveryControlHasItsKindCaptionAndItems) {
    open();
    struct Expect {
        int id;
        const QMetaObject* kind;
        QString caption;
    };
    const auto button = &QPushButton::staticMetaObject;
    const auto check = &QCheckBox::staticMetaObject;
    const auto label = &QLabel::staticMetaObject;
    const auto edit = &QLineEdit::staticMetaObject;
    const auto area = &QPlainTextEdit::staticMetaObject;
    const auto combo = &QComboBox::staticMetaObject;
    const auto group = &QGroupBox::staticMetaObject;
    const std::vector<Expect> controls = {
        {ids::SendGroup, group, QStringLiteral("发送区数据：")},
        {ids::SendArea, area, {}},
        {ids::HexSend, check, QStringLiteral("十六进制发送")},
        {ids::OpenFile, button, QStringLiteral("打开文件")},
        {ids::ClearSend, button, QStringLiteral("清空发送区")},
        {ids::SaveSend, button, QStringLiteral("保存发送区")},
        {ids::AddLabel, label, QStringLiteral("添加")},
        {ids::AddContent, edit, {}},
        {ids::AddToLabel, label, QStringLiteral("到发送区")},
        {ids::AddCount, edit, {}},
        {ids::AddTimesLabel, label, QStringLiteral("次")},
        {ids::AddButton, button, QStringLiteral("添加")},
        {ids::RecentLabel, label, QStringLiteral("最近打开的文件：")},
        {ids::RecentFiles, combo, {}},
        {ids::Reload, button, QStringLiteral("重新载入")},
        {ids::QueueGroup, group, QStringLiteral("数据队列")},
        {ids::QueueNumberHead, label, QStringLiteral("编号")},
        {ids::QueueContentHead, label, QStringLiteral("内容")},
        {ids::QueueHexHead, label, QStringLiteral("HEX")},
        {ids::QueueRows[0].label, label, QStringLiteral(" 1.")},
        {ids::QueueRows[9].label, label, QStringLiteral("10.")},
        {ids::QueueChoiceLabel, label, QStringLiteral("选择要操作的队列：")},
        {ids::QueueClear, button, QStringLiteral("清空")},
        {ids::QueueAppend, button, QStringLiteral("添加到发送区")},
        {ids::QueueReplace, button, QStringLiteral("替换到发送区")},
        {ids::QueueToggle, button, QStringLiteral("隐藏")},
        {ids::ReceiveArea, area, {}},
        {ids::HexDisplay, check, QStringLiteral("以十六进制接收")},
        {ids::ClearReceive, button, QStringLiteral("清空接收区")},
        {ids::SaveReceive, button, QStringLiteral("保存接收区")},
        {ids::PortCombo, combo, {}},
        {ids::BaudLabel, label, QStringLiteral("波特率：")},
        {ids::ParityLabel, label, QStringLiteral("校  验：")},
        {ids::DataBitsLabel, label, QStringLiteral("数据位：")},
        {ids::StopBitsLabel, label, QStringLiteral("停止位：")},
        {ids::FlowLabel, label, QStringLiteral("流控制：")},
        {ids::IpLabel, label, QStringLiteral("IP地址")},
        {ids::IpAddress, edit, {}},
        {ids::TcpPortLabel, label, QStringLiteral("工作端口号")},
        {ids::TcpPort, edit, {}},
        {ids::LinkOpenImage, label, {}},
        {ids::ConnectButton, button, QStringLiteral("断开")}, // connected by now
        {ids::TimedSend, check, QStringLiteral("定时发送")},
        {ids::Count, edit, {}},
        {ids::CountLabel, label, QStringLiteral("次，间隔")},
        {ids::Interval, edit, {}},
        {ids::IntervalLabel, label, QStringLiteral("ms")},
        {ids::Numbering, check, QStringLiteral("添加编号")},
        {ids::StartNumberLabel, label, QStringLiteral("开始编号：")},
        {ids::StartNumber, edit, {}},
        {ids::Sheets, edit, {}},
        {ids::SheetsLabel, label, QStringLiteral("张/次")},
        {ids::AutoCut, check, QStringLiteral("自动切纸")},
        {ids::NoCommandMode, check, QStringLiteral("无命令模式")},
        {ids::SendButton, button, QStringLiteral("发送")},
        {1, button, QStringLiteral("退出")},
        {ids::PrintFile, button, QStringLiteral("打印 HEX 16进制 文件")},
        {ids::CashDrawer, button, QStringLiteral("打 开 钱 箱")},
        {ids::Sample58, button, QStringLiteral("打印 58mm/76mm 样张")},
        {ids::Sample80, button, QStringLiteral("打印 80mm 样张")},
        {ids::BarcodeTypeLabel, label, QStringLiteral("条码类型")},
        {ids::BarcodeType, combo, {}},
        {ids::BarcodeContentLabel, label, QStringLiteral("条码内容")},
        {ids::BarcodeContent, edit, {}},
        {ids::PrintBarcode, button, QStringLiteral("打 印 条 码")},
    };
    for (const auto& c : controls) {
        QWidget* w = window->control(c.id);
        ASSERT_NE(w, nullptr) << c.id;
        EXPECT_EQ(w->metaObject(), c.kind) << c.id;
        EXPECT_EQ(window->caption(c.id), c.caption) << c.id;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_EQ(b->accessibleName(), c.caption) << c.id; // follows the caption
        }
    }
    // The rows of the queue panel.
    for (const ids::QueueRow& r : ids::QueueRows) {
        EXPECT_NE(window->label(r.label), nullptr) << r.label;
        EXPECT_NE(window->checkBox(r.hex), nullptr) << r.hex;
        EXPECT_NE(window->lineEdit(r.entry), nullptr) << r.entry;
        EXPECT_EQ(window->button(r.send)->text(), QStringLiteral("发送")) << r.send;
        EXPECT_EQ(window->button(r.copy)->text(), QStringLiteral("—>")) << r.copy;
        for (int id : {r.label, r.hex, r.entry, r.send, r.copy})
            EXPECT_FALSE(window->isShown(id)) << id;
    }

    auto items = [&](int id) {
        QStringList out;
        for (int i = 0; i < window->comboBox(id)->count(); ++i)
            out << window->comboBox(id)->itemText(i);
        return out;
    };
    QStringList ports;
    for (int i = 1; i <= 14; ++i)
        ports << QStringLiteral("COM%1").arg(i);
    ports << QStringLiteral("LPT1") << QStringLiteral("LPT2") << QStringLiteral("USB")
          << QStringLiteral("ETHERNET");
    EXPECT_EQ(items(ids::PortCombo), ports);
    EXPECT_EQ(items(ids::BaudCombo).join(u' '),
              QStringLiteral("300 600 1200 2400 4800 9600 19200 38400 43000 56000 57600 115200"));
    EXPECT_EQ(items(ids::ParityCombo).join(u' '), QStringLiteral("NONE Odd Even"));
    EXPECT_EQ(items(ids::DataBitsCombo).join(u' '), QStringLiteral("5 6 7 8"));
    EXPECT_EQ(items(ids::StopBitsCombo).join(u' '), QStringLiteral("1 1.5 2"));
    EXPECT_EQ(items(ids::FlowCombo).join(u' '), QStringLiteral("NONE CtsRts DsrDtr XonXoff"));
    EXPECT_EQ(items(ids::BarcodeType).join(u' '), QStringLiteral("CODE39 CODE128"));
    EXPECT_EQ(items(ids::QueueChoice).size(), 10);
    EXPECT_EQ(items(ids::QueueChoice).last(), QStringLiteral("队列10"));
    EXPECT_TRUE(window->comboBox(ids::PortCombo)->isEditable());
    EXPECT_FALSE(window->comboBox(ids::BarcodeType)->isEditable());
    EXPECT_TRUE(window->textEdit(ids::ReceiveArea)->isReadOnly());

    // Start states that no handler has touched yet.
    for (int id : {ids::Count, ids::Interval, ids::Numbering, ids::StartNumber, ids::CountLabel,
                   ids::IntervalLabel, ids::StartNumberLabel, ids::Sheets, ids::SheetsLabel})
        EXPECT_FALSE(window->isEnabled(id)) << id;
    for (int id : {ids::QueueToggle, ids::QueueGroup, ids::QueueFooterGroup, ids::QueueChoiceLabel,
                   ids::QueueChoice, ids::QueueClear, ids::QueueAppend, ids::QueueReplace,
                   ids::IpAddress, ids::IpLabel, ids::TcpPortLabel, ids::TcpPort})
        EXPECT_FALSE(window->isShown(id)) << id;
}

namespace {

// Every visible control of a dialog lies inside it, shows its caption whole
// and overlaps no other (group boxes only frame their neighbours).
void expectNothingCutOffOrOverlapping(QWidget* client) {
    std::vector<QWidget*> shown;
    for (QWidget* w : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isHidden() || qobject_cast<QGroupBox*>(w))
            continue;
        EXPECT_TRUE(client->rect().contains(w->geometry())) << w->objectName().toStdString();
        shown.push_back(w);
        // Captions fit their controls.
        const QFontMetrics fm(w->font());
        if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull()) {
            EXPECT_LE(fm.horizontalAdvance(l->text()), l->width()) << l->text().toStdString();
        }
        if (auto* c = qobject_cast<QCheckBox*>(w)) {
            EXPECT_LE(c->sizeHint().width(), c->width()) << c->text().toStdString();
        }
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
            EXPECT_LE(fm.horizontalAdvance(b->text()) + icon + 8, b->width())
                << b->text().toStdString();
        }
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                << shown[i]->objectName().toStdString() << " / "
                << shown[j]->objectName().toStdString();
}

} // namespace

TEST_F(ConsoleWindowTest, NoVisibleControlIsCutOffOrOverlapsAnother) {
    open();
    expectNothingCutOffOrOverlapping(window->clientArea());
}

TEST_F(ConsoleWindowTest, TheCutCommandDialogIsDialog171AndShowsItsCaptionsWhole) {
    open();
    prompter.modalNext(QDialog::Rejected, [](QDialog& d) {
        auto& box = static_cast<dialog::TemplateDialog&>(d);
        EXPECT_EQ(box.layoutTemplate().id, templates::CutCommandBox);
        EXPECT_EQ(box.font().pointSize(), 10);
        box.label(ids::CutCommandNow)->setText(QStringLiteral("1d 56 42 11"));
        expectNothingCutOffOrOverlapping(box.clientArea());
    });
    window->menuAction(menu::CutCommand)->trigger();
    EXPECT_EQ(prompter.textsOf(ScriptedPrompter::Kind::Modal).size(), 1u);
}

TEST_F(ConsoleWindowTest, TheMenuHasItsCommandsInOrder) {
    open();
    const dialog::MenuTemplate& m = templates::menu(templates::MainMenu);
    EXPECT_EQ(m.commandIds(),
              (std::vector<int>{menu::Open, menu::SaveSendArea, menu::SaveReceiveArea,
                                menu::ResetSettings, menu::SaveDefaults, menu::LoadDefaults,
                                menu::SaveToFile, menu::LoadFromFile, menu::CutCommand,
                                menu::HexSend, menu::HexDisplay, menu::ClearSendArea,
                                menu::ClearReceiveArea, menu::Send, menu::About}));
    QStringList lines;
    std::function<void(const QList<QAction*>&, const QString&)> walk =
        [&](const QList<QAction*>& actions, const QString& indent) {
            for (QAction* a : actions) {
                if (a->isSeparator())
                    lines << indent + QStringLiteral("---");
                else
                    lines << indent + a->text() +
                                 (a->objectName().isEmpty()
                                      ? QString()
                                      : QStringLiteral(" ") + a->objectName());
                if (a->menu())
                    walk(a->menu()->actions(), indent + QStringLiteral("  "));
            }
        };
    walk(window->menuBar()->actions(), {});
    EXPECT_EQ(lines.join(u'\n'), QStringLiteral(R"(文件(&F)
  打开(&O) m57601
  保存(&S)
    保存发送区数据(&S) m32772
    保存接收区数据(&R) m32773
设置(&S)
  初始化设置(&R) m32787
  保存为默认设置(&D) m32785
  载入默认设置(&M) m32788
  保存设置到ini文件(&S) m32784
  从ini文件载入设置(&L) m32786
  ---
  设置切刀命令(&C) m32783
  ---
  以十六进制发送(&H) m32778
  以十六进制显示(&X) m32776
  清空发送区数据(&A) m32779
  清空接收区数据(&R) m32780
发送(&D)
  发送(&S) m32781
帮助(&H)
  关于(&A) m32782)"));
}

TEST(AboutBox, IsDialog100) {
    ScriptedPrompter prompter;
    AboutDialog box(prompter);
    EXPECT_EQ(box.clientArea()->size(), QSize(353, 92)); // 235 x 61 units
    QStringList texts;
    for (QLabel* l : box.clientArea()->findChildren<QLabel*>())
        if (!l->text().isEmpty())
            texts << l->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Quorvane 2.0.02  Build 050117")));
    EXPECT_NE(box.label(ids::AboutLink), nullptr);
    EXPECT_EQ(box.button(ids::Ok)->text(), QStringLiteral("确定"));
}

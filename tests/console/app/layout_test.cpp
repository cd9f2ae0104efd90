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
        {1091, QRect(11, 6, 367, 281)},   {1002, QRect(20, 23, 348, 180)},
        {1006, QRect(20, 309, 348, 74)},  {1005, QRect(584, 377, 72, 31)},
        {1003, QRect(452, 438, 120, 41)}, {1, QRect(584, 444, 72, 35)},
        {1092, QRect(0, 0, 282, 281)},    {1093, QRect(0, 212, 282, 69)},
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
        {1091, group, QStringLiteral("发送区数据：")},
        {1002, area, {}},
        {1004, check, QStringLiteral("十六进制发送")},
        {1010, button, QStringLiteral("打开文件")},
        {1008, button, QStringLiteral("清空发送区")},
        {1024, button, QStringLiteral("保存发送区")},
        {1102, label, QStringLiteral("添加")},
        {1100, edit, {}},
        {1103, label, QStringLiteral("到发送区")},
        {1099, edit, {}},
        {1104, label, QStringLiteral("次")},
        {1098, button, QStringLiteral("添加")},
        {1101, label, QStringLiteral("最近打开的文件：")},
        {1095, combo, {}},
        {1011, button, QStringLiteral("重新载入")},
        {1092, group, QStringLiteral("数据队列")},
        {1122, label, QStringLiteral("编号")},
        {1123, label, QStringLiteral("内容")},
        {1124, label, QStringLiteral("HEX")},
        {1112, label, QStringLiteral(" 1.")},
        {1121, label, QStringLiteral("10.")},
        {1105, label, QStringLiteral("选择要操作的队列：")},
        {1079, button, QStringLiteral("清空")},
        {1080, button, QStringLiteral("添加到发送区")},
        {1081, button, QStringLiteral("替换到发送区")},
        {1090, button, QStringLiteral("隐藏")},
        {1006, area, {}},
        {1007, check, QStringLiteral("以十六进制接收")},
        {1009, button, QStringLiteral("清空接收区")},
        {1026, button, QStringLiteral("保存接收区")},
        {1019, combo, {}},
        {1082, label, QStringLiteral("波特率：")},
        {1083, label, QStringLiteral("校  验：")},
        {1084, label, QStringLiteral("数据位：")},
        {1085, label, QStringLiteral("停止位：")},
        {1089, label, QStringLiteral("流控制：")},
        {1132, label, QStringLiteral("IP地址")},
        {1131, edit, {}},
        {1133, label, QStringLiteral("工作端口号")},
        {1134, edit, {}},
        {1086, label, {}},
        {1005, button, QStringLiteral("断开")}, // connected by now
        {1068, check, QStringLiteral("定时发送")},
        {1069, edit, {}},
        {1074, label, QStringLiteral("次，间隔")},
        {1070, edit, {}},
        {1075, label, QStringLiteral("ms")},
        {1071, check, QStringLiteral("添加编号")},
        {1076, label, QStringLiteral("开始编号：")},
        {1073, edit, {}},
        {1128, edit, {}},
        {1129, label, QStringLiteral("张/次")},
        {1017, check, QStringLiteral("自动切纸")},
        {1077, check, QStringLiteral("无命令模式")},
        {1003, button, QStringLiteral("发送")},
        {1, button, QStringLiteral("退出")},
        {1135, button, QStringLiteral("打印 HEX 16进制 文件")},
        {1137, button, QStringLiteral("打 开 钱 箱")},
        {1138, button, QStringLiteral("打印 58mm/76mm 样张")},
        {1139, button, QStringLiteral("打印 80mm 样张")},
        {1143, label, QStringLiteral("条码类型")},
        {1140, combo, {}},
        {1144, label, QStringLiteral("条码内容")},
        {1141, edit, {}},
        {1142, button, QStringLiteral("打 印 条 码")},
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
    const int rows[10][5] = {{1112, 1027, 1037, 1040, 1041}, {1113, 1028, 1038, 1042, 1043},
                             {1114, 1029, 1039, 1044, 1045}, {1115, 1030, 1046, 1047, 1048},
                             {1116, 1031, 1049, 1050, 1051}, {1117, 1032, 1052, 1053, 1054},
                             {1118, 1033, 1055, 1056, 1057}, {1119, 1034, 1058, 1059, 1060},
                             {1120, 1035, 1061, 1062, 1063}, {1121, 1036, 1064, 1065, 1066}};
    for (const auto& r : rows) {
        EXPECT_NE(window->label(r[0]), nullptr) << r[0];
        EXPECT_NE(window->checkBox(r[1]), nullptr) << r[1];
        EXPECT_NE(window->lineEdit(r[2]), nullptr) << r[2];
        EXPECT_EQ(window->button(r[3])->text(), QStringLiteral("发送")) << r[3];
        EXPECT_EQ(window->button(r[4])->text(), QStringLiteral("—>")) << r[4];
        for (int id : r)
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
    EXPECT_EQ(items(1019), ports);
    EXPECT_EQ(items(1020).join(u' '),
              QStringLiteral("300 600 1200 2400 4800 9600 19200 38400 43000 56000 57600 115200"));
    EXPECT_EQ(items(1021).join(u' '), QStringLiteral("NONE Odd Even"));
    EXPECT_EQ(items(1022).join(u' '), QStringLiteral("5 6 7 8"));
    EXPECT_EQ(items(1023).join(u' '), QStringLiteral("1 1.5 2"));
    EXPECT_EQ(items(1088).join(u' '), QStringLiteral("NONE CtsRts DsrDtr XonXoff"));
    EXPECT_EQ(items(1140).join(u' '), QStringLiteral("CODE39 CODE128"));
    EXPECT_EQ(items(1078).size(), 10);
    EXPECT_EQ(items(1078).last(), QStringLiteral("队列10"));
    EXPECT_TRUE(window->comboBox(1019)->isEditable());
    EXPECT_FALSE(window->comboBox(1140)->isEditable());
    EXPECT_TRUE(window->textEdit(1006)->isReadOnly());

    // Start states that no handler has touched yet.
    for (int id : {1069, 1070, 1071, 1073, 1074, 1075, 1076, 1128, 1129})
        EXPECT_FALSE(window->isEnabled(id)) << id;
    for (int id : {1090, 1092, 1093, 1105, 1078, 1079, 1080, 1081, 1131, 1132, 1133, 1134})
        EXPECT_FALSE(window->isShown(id)) << id;
}

TEST_F(ConsoleWindowTest, NoVisibleControlIsCutOffOrOverlapsAnother) {
    open();
    QWidget* client = window->clientArea();
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

TEST_F(ConsoleWindowTest, TheMenuHasItsCommandsInOrder) {
    open();
    const dialog::MenuTemplate& m = templates::menu(templates::MainMenu);
    EXPECT_EQ(m.commandIds(),
              (std::vector<int>{57601, 32772, 32773, 32787, 32785, 32788, 32784, 32786, 32783,
                                32778, 32776, 32779, 32780, 32781, 32782}));
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
    EXPECT_NE(box.label(1111), nullptr);
    EXPECT_EQ(box.button(1)->text(), QStringLiteral("确定"));
}

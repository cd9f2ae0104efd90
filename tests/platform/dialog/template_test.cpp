#include "platform/dialog/dialogtemplate.h"
#include "platform/dialog/templatedialog.h"

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
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

using namespace dialog;

namespace {

const char16_t* const SampleDialog = uR"T(# a comment line
DIALOG 7 200 100
CAPTION "样例"
FONT 9 "宋体"
MENU 30
GROUPBOX 10 "分组" 4 4 100 60
BUTTON   11 "发送" 10 14 40 14 DEFAULT
CHECKBOX 12 "十六进制" 10 30 60 10 DISABLED
STATIC   -1 "端口号：" 10 44 30 8 RIGHT
EDIT     13 "" 110 4 80 40 MULTILINE VSCROLL WANTRETURN
EDIT     14 "" 110 50 40 12 NUMBER
COMBOBOX 15 "" 110 66 60 12 DROPDOWN UPPERCASE ITEMS "COM1" "LPT1" "带 空格"
COMBOBOX 16 "" 110 80 60 12 ITEMS "A" "B"
IMAGE    17 "135" 50 70 20 20 HIDDEN
IPADDRESS 18 "" 10 80 60 12
)T";

const char16_t* const SampleMenu = uR"T(MENU 30
POPUP "文件(&F)"
    ITEM 100 "打开(&O)"
    POPUP "保存(&S)"
        ITEM 101 "保存发送区(&S)"
    END
END
POPUP "设置(&S)"
    ITEM 102 "初始化(&R)"
    SEPARATOR
    ITEM 103 "切刀(&C)"
END
)T";

DialogTemplate sample() {
    ParseError err;
    auto t = parseDialogTemplate(QStringView(SampleDialog), &err);
    EXPECT_TRUE(t.has_value()) << err.message.toStdString();
    return t.value_or(DialogTemplate{});
}

class Recorder : public TemplateDialog {
public:
    using TemplateDialog::TemplateDialog;
    std::vector<std::pair<int, Notify>> commands;
    std::vector<int> ticks;
    void onCommand(int id, Notify code) override { commands.emplace_back(id, code); }
    void onTimer(int id) override { ticks.push_back(id); }
};

} // namespace

TEST(DialogTemplate, ParsesEveryKindWithItsFlagsAndItems) {
    const DialogTemplate t = sample();
    EXPECT_EQ(t.id, 7);
    EXPECT_EQ(t.size, QSize(200, 100));
    EXPECT_EQ(t.caption, QStringLiteral("样例"));
    EXPECT_EQ(t.fontFamily, QStringLiteral("宋体"));
    EXPECT_EQ(t.menuId, 30);
    ASSERT_EQ(t.controls.size(), 10u);

    const ControlTemplate* combo = t.find(15);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->kind, ControlKind::ComboBox);
    EXPECT_EQ(combo->rect, QRect(110, 66, 60, 12));
    EXPECT_TRUE(combo->has(style::DropDown));
    EXPECT_TRUE(combo->has(style::UpperCase));
    EXPECT_FALSE(combo->has(style::Hidden));
    EXPECT_EQ(combo->items, QStringList({QStringLiteral("COM1"), QStringLiteral("LPT1"),
                                         QStringLiteral("带 空格")}));
    EXPECT_EQ(t.controls[3].id, NoId);
    EXPECT_EQ(t.controls[3].caption, QStringLiteral("端口号："));
    EXPECT_TRUE(t.find(11)->has(style::Default));
    EXPECT_TRUE(t.find(17)->has(style::Hidden));
}

TEST(DialogTemplate, ReportsTheLineOfTheFirstError) {
    struct Case {
        const char16_t* text;
        const char* error; // start of the message
    };
    const std::vector<Case> cases = {
        {u"BUTTON 1 \"x\" 0 0 1 1", "line 1: expected DIALOG"},
        {u"DIALOG 1 10 10\nBUTTON 1 \"x\" 0 0 1", "line 2: expected <KIND>"},
        {u"DIALOG 1 10 10\n\nBUTTON 1 \"x\" 0 zero 1 1", "line 3: not a number"},
        {u"DIALOG 1 10 10\nBUTTON 1 \"x\" 0 0 1 1 BLINK", "line 2: unknown flag"},
        {u"DIALOG 1 10 10\nSLIDER 1 \"x\" 0 0 1 1", "line 2: unknown statement"},
        {u"DIALOG 1 10 10\nBUTTON 1 \"x 0 0 1 1", "line 2: unterminated"},
        {u"DIALOG 1 10 10\nBUTTON 5 \"a\" 0 0 1 1\nBUTTON 5 \"b\" 0 0 1 1",
         "line 3: id 5 used twice"},
        {u"DIALOG 1 10 10\nCOMBOBOX 5 \"\" 0 0 1 1 ITEMS a", "line 2: items must be quoted"},
    };
    for (const auto& c : cases) {
        ParseError err;
        EXPECT_FALSE(parseDialogTemplate(QStringView(c.text), &err).has_value());
        EXPECT_TRUE(err.message.startsWith(QLatin1String(c.error)))
            << err.message.toStdString() << " / wanted " << c.error;
    }
}

// Coordinates and sizes are 16-bit, as in a resource script: a rectangle at
// the 32-bit limit once overflowed while its edges were computed.
TEST(DialogTemplate, RefusesGeometryBeyondSixteenBits) {
    const auto parse = [](const QString& text) {
        ParseError err;
        auto t = parseDialogTemplate(text, &err);
        return std::pair(std::move(t), err.message);
    };
    const auto [widest, widestError] =
        parse(QStringLiteral("DIALOG 1 32767 32767\nBUTTON 1 \"a\" 32767 -32768 32767 32767"));
    ASSERT_TRUE(widest.has_value()) << widestError.toStdString();
    EXPECT_EQ(widest->controls[0].rect.right(), 65533);
    EXPECT_EQ(widest->controls[0].rect.bottom(), -2);

    const QString tooBig[] = {QStringLiteral("32768"), QStringLiteral("-32769"),
                              QStringLiteral("2147483647"), QStringLiteral("-2147483648")};
    for (const QString& n : tooBig) {
        for (int field = 0; field < 4; ++field) {
            QStringList rect = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1"),
                                QStringLiteral("1")};
            rect[field] = n;
            const auto [t, error] =
                parse(QStringLiteral("DIALOG 1 10 10\nBUTTON 1 \"a\" ") + rect.join(u' '));
            EXPECT_FALSE(t.has_value()) << rect.join(u' ').toStdString();
            EXPECT_TRUE(error.startsWith(QStringLiteral("line 2: out of range")))
                << error.toStdString();
        }
        const auto [d, error] = parse(QStringLiteral("DIALOG 1 10 %1").arg(n));
        EXPECT_FALSE(d.has_value()) << n.toStdString();
        EXPECT_TRUE(error.startsWith(QStringLiteral("line 1: dialog size"))) << error.toStdString();
    }
}

// Menus are walked and destroyed recursively: nesting has a bound, checked
// while parsing, and input far beyond it is refused without running out of stack.
TEST(MenuTemplate, RefusesPopupsNestedDeeperThanTheLimit) {
    const auto nested = [](int depth, bool closed) {
        QString text = QStringLiteral("MENU 1\n");
        for (int i = 0; i < depth; ++i)
            text += QStringLiteral("POPUP \"p\"\n");
        text += QStringLiteral("ITEM 7 \"deepest\"\n");
        for (int i = 0; closed && i < depth; ++i)
            text += QStringLiteral("END\n");
        return text;
    };
    ParseError err;
    const auto deepest = parseMenuTemplate(nested(MaxMenuDepth, true), &err);
    ASSERT_TRUE(deepest.has_value()) << err.message.toStdString();
    EXPECT_EQ(deepest->commandIds(), std::vector<int>{7});

    for (const int depth : {MaxMenuDepth + 1, 200000}) {
        for (const bool closed : {true, false}) {
            EXPECT_FALSE(parseMenuTemplate(nested(depth, closed), &err).has_value());
            EXPECT_EQ(err.message, QStringLiteral("line %1: popups nested deeper than %2")
                                       .arg(MaxMenuDepth + 2)
                                       .arg(MaxMenuDepth));
        }
    }
}

TEST(MenuTemplate, NestsPopupsAndKeepsSeparatorsWithoutCommands) {
    ParseError err;
    const auto m = parseMenuTemplate(QStringView(SampleMenu), &err);
    ASSERT_TRUE(m.has_value()) << err.message.toStdString();
    EXPECT_EQ(m->id, 30);
    EXPECT_EQ(m->commandIds(), (std::vector<int>{100, 101, 102, 103}));
    ASSERT_EQ(m->children.size(), 2u);
    EXPECT_EQ(m->children[1].children[1].kind, MenuTemplate::Kind::Separator);

    for (const char16_t* bad :
         {u"MENU 1\nPOPUP \"a\"\nITEM 2 \"b\"", u"MENU 1\nEND", u"MENU 1\nITEM x \"b\""}) {
        EXPECT_FALSE(parseMenuTemplate(QStringView(bad), &err).has_value())
            << QString::fromUtf16(bad).toStdString();
    }
}

TEST(TemplateDialog, BuildsControlsAtOneAndAHalfPixelsPerUnit) {
    ASSERT_DOUBLE_EQ(pixelsPerUnit(), 1.5); // the offscreen screen has 96 DPI
    Recorder d(sample(), [](int id, QSize size) {
        QPixmap p(size);
        p.fill(id == 135 ? Qt::green : Qt::red);
        return p;
    });
    EXPECT_EQ(d.windowTitle(), QStringLiteral("样例"));
    EXPECT_EQ(d.clientArea()->size(), QSize(300, 150));

    // Every registered control: its name, its kind, its place in pixels.
    struct Expect {
        int id;
        const QMetaObject* kind;
        QRect pixels;
    };
    const std::vector<Expect> expected = {
        {10, &QGroupBox::staticMetaObject, QRect(6, 6, 150, 90)},
        {11, &QPushButton::staticMetaObject, QRect(15, 21, 60, 21)},
        {12, &QCheckBox::staticMetaObject, QRect(15, 45, 90, 15)},
        {13, &QPlainTextEdit::staticMetaObject, QRect(165, 6, 120, 60)},
        {14, &QLineEdit::staticMetaObject, QRect(165, 75, 60, 18)},
        {15, &QComboBox::staticMetaObject, QRect(165, 99, 90, 18)},
        {17, &QLabel::staticMetaObject, QRect(75, 105, 30, 30)},
        {18, &QLineEdit::staticMetaObject, QRect(15, 120, 90, 18)},
    };
    for (const auto& e : expected) {
        QWidget* w = d.control(e.id);
        ASSERT_NE(w, nullptr) << e.id;
        EXPECT_EQ(w->objectName(), QStringLiteral("c%1").arg(e.id));
        EXPECT_EQ(w->metaObject(), e.kind) << e.id;
        EXPECT_EQ(w->geometry(), e.pixels) << e.id;
        EXPECT_EQ(d.clientArea()->findChild<QWidget*>(QStringLiteral("c%1").arg(e.id)), w);
    }
    EXPECT_EQ(d.control(999), nullptr);
    EXPECT_EQ(d.button(12), nullptr); // the typed helpers check the kind

    EXPECT_EQ(d.button(11)->accessibleName(), QStringLiteral("发送"));
    EXPECT_EQ(d.checkBox(12)->accessibleName(), QStringLiteral("十六进制"));
    EXPECT_TRUE(d.button(11)->isDefault());
    EXPECT_FALSE(d.isEnabled(12));
    EXPECT_FALSE(d.isShown(17));
    EXPECT_TRUE(d.isShown(11));
    EXPECT_EQ(d.textEdit(13)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(d.label(17)->pixmap().toImage().pixelColor(1, 1), QColor(Qt::green));
    d.setImage(17, 136);
    EXPECT_EQ(d.label(17)->pixmap().toImage().pixelColor(1, 1), QColor(Qt::red));

    // Combo boxes start with no item selected, as the template leaves them.
    EXPECT_EQ(d.comboBox(15)->count(), 3);
    EXPECT_EQ(d.comboBox(15)->currentIndex(), -1);
    EXPECT_EQ(d.comboBox(16)->currentIndex(), -1);
    EXPECT_TRUE(d.comboBox(15)->isEditable());
    EXPECT_FALSE(d.comboBox(16)->isEditable());

    // The group box lies beneath the controls it frames.
    const auto kids = d.clientArea()->children();
    EXPECT_EQ(kids.indexOf(d.control(10)), 0);

    // A new caption keeps the accessible name in step.
    d.setCaption(11, QStringLiteral("停止"));
    EXPECT_EQ(d.caption(11), QStringLiteral("停止"));
    EXPECT_EQ(d.button(11)->accessibleName(), QStringLiteral("停止"));
    d.setCaption(10, QStringLiteral("组"));
    EXPECT_EQ(d.caption(10), QStringLiteral("组"));
    EXPECT_EQ(d.caption(13), QString());

    d.showControls({11, 17, 999}, false);
    EXPECT_FALSE(d.isShown(11));
    EXPECT_FALSE(d.isShown(17));
    d.enableControls({12}, true);
    EXPECT_TRUE(d.isEnabled(12));
}

TEST(TemplateDialog, EditStylesFilterWhatIsTyped) {
    Recorder d(sample(), {});
    d.show();
    QTest::keyClicks(d.lineEdit(14), QStringLiteral("1a2-3"));
    EXPECT_EQ(d.lineEdit(14)->text(), QStringLiteral("123"));
    QTest::keyClicks(d.comboBox(15)->lineEdit(), QStringLiteral("com3"));
    EXPECT_EQ(d.comboBox(15)->currentText(), QStringLiteral("COM3"));
    QTest::keyClicks(d.lineEdit(18), QStringLiteral("192.168.1.300"));
    EXPECT_EQ(d.lineEdit(18)->text(), QStringLiteral("192.168.1.30"));
}

TEST(TemplateDialog, RoutesUserEventsAndMenuCommandsById) {
    Recorder d(sample(), {});
    ParseError err;
    d.setMenuTemplate(*parseMenuTemplate(QStringView(SampleMenu), &err));
    d.show();

    QTest::mouseClick(d.button(11), Qt::LeftButton);
    d.comboBox(16)->setCurrentIndex(1); // a program's own change is no command
    emit d.comboBox(16)->activated(0);  // what a person's pick sends
    d.lineEdit(14)->setText(QStringLiteral("5"));
    ASSERT_NE(d.menuAction(101), nullptr);
    EXPECT_EQ(d.menuAction(101)->text(), QStringLiteral("保存发送区(&S)"));
    d.menuAction(101)->trigger();

    const std::vector<std::pair<int, Notify>> want = {{11, Notify::Clicked},
                                                      {16, Notify::SelChange},
                                                      {14, Notify::EditChange},
                                                      {101, Notify::Menu}};
    EXPECT_EQ(d.commands, want);

    // Menu titles as the template gives them, in order.
    QStringList titles;
    for (QAction* a : d.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({QStringLiteral("文件(&F)"), QStringLiteral("设置(&S)")}));
}

TEST(TemplateDialog, WindowTimersTickThroughOnTimer) {
    Recorder d(sample(), {});
    d.startWindowTimer(2, 5);
    d.startWindowTimer(3, 5);
    EXPECT_TRUE(d.isWindowTimerActive(2));
    for (int i = 0; i < 400 && d.ticks.size() < 4; ++i)
        QTest::qWait(5);
    ASSERT_GE(d.ticks.size(), 4u);
    d.stopWindowTimer(2);
    d.stopWindowTimer(3);
    EXPECT_FALSE(d.isWindowTimerActive(2));
    EXPECT_NE(std::find(d.ticks.begin(), d.ticks.end(), 2), d.ticks.end());
    EXPECT_NE(std::find(d.ticks.begin(), d.ticks.end(), 3), d.ticks.end());
    const size_t seen = d.ticks.size();
    QTest::qWait(30);
    EXPECT_EQ(d.ticks.size(), seen);
}

TEST(TemplateDialog, RadioButtonsBorderedStaticsAndCheckStatesById) {
    ParseError err;
    const auto t = parseDialogTemplate(QStringView(uR"T(DIALOG 9 100 60
RADIO    21 "甲" 4 4 30 10
RADIO    22 "乙" 4 16 30 10
STATIC   23 "注" 40 4 50 30 BORDER
STATIC   24 "无框" 40 40 50 10
CHECKBOX 25 "勾" 4 28 30 10
BUTTON   26 "按" 4 42 30 14
)T"),
                                       &err);
    ASSERT_TRUE(t.has_value()) << err.message.toStdString();
    EXPECT_EQ(t->find(21)->kind, ControlKind::RadioButton);
    EXPECT_TRUE(t->find(23)->has(style::Border));

    Recorder d(*t, {});
    d.show();
    ASSERT_NE(d.radioButton(21), nullptr);
    EXPECT_EQ(d.radioButton(25), nullptr);
    EXPECT_EQ(d.radioButton(21)->accessibleName(), QStringLiteral("甲"));
    EXPECT_EQ(d.radioButton(22)->geometry(), toPixels(QRect(4, 16, 30, 10), 1.5));
    EXPECT_EQ(toPixels(QRect(1, 1, 1, 1), 1.5), QRect(2, 2, 1, 1)); // edges rounded apart
    EXPECT_EQ(d.label(23)->frameShape(), QFrame::Box);
    EXPECT_EQ(d.label(24)->frameShape(), QFrame::NoFrame);

    // The two radio buttons are one group; a click is a command like any button's.
    QTest::mouseClick(d.radioButton(21), Qt::LeftButton);
    QTest::mouseClick(d.radioButton(22), Qt::LeftButton);
    EXPECT_FALSE(d.isChecked(21));
    EXPECT_TRUE(d.isChecked(22));
    EXPECT_EQ(d.commands,
              (std::vector<std::pair<int, Notify>>{{21, Notify::Clicked}, {22, Notify::Clicked}}));

    // Check states by id; a button or an unknown id is never checked and stays as it is.
    d.setChecked(25, true);
    EXPECT_TRUE(d.checkBox(25)->isChecked());
    d.toggleCheck(25);
    EXPECT_FALSE(d.isChecked(25));
    d.toggleCheck(21);
    EXPECT_TRUE(d.isChecked(21));
    EXPECT_FALSE(d.isChecked(22));
    d.toggleCheck(26);
    d.setChecked(999, true);
    EXPECT_FALSE(d.isChecked(26));
    EXPECT_FALSE(d.isChecked(999));
    EXPECT_EQ(d.commands.size(), 2u); // changes made by the program are no commands

    // Groups of ids as arrays, in order.
    constexpr std::array<int, 3> group{21, 25, 999};
    d.enableControls(group, false);
    EXPECT_FALSE(d.isEnabled(21));
    EXPECT_FALSE(d.isEnabled(25));
    EXPECT_TRUE(d.isEnabled(22));
    d.showControls(std::span(group).first(1), false);
    EXPECT_FALSE(d.isShown(21));
    EXPECT_TRUE(d.isShown(25));
}

// A dialog's own classes for some controls: made by its factory, set up from
// the template like the plain ones and wired the same way; a widget of the
// wrong kind gives way to the plain one.
TEST(TemplateDialog, AFactoryMakesTheControlsItDrawsItself) {
    class OwnButton : public QPushButton {
    public:
        using QPushButton::QPushButton;
    };
    class OwnArea : public QPlainTextEdit {
    public:
        using QPlainTextEdit::QPlainTextEdit;
    };
    class OwnCombo : public QComboBox {
    public:
        using QComboBox::QComboBox;
    };
    std::vector<int> asked;
    Recorder d(sample(), {}, nullptr, [&asked](const ControlTemplate& c, QWidget* parent) {
        asked.push_back(c.id);
        QWidget* own = nullptr;
        if (c.id == 11)
            own = new OwnButton(parent);
        else if (c.id == 13)
            own = new OwnArea(parent);
        else if (c.id == 15)
            own = new OwnCombo(parent);
        else if (c.id == 14)
            own = new QLabel(parent); // not an edit: refused
        return own;
    });
    // Asked for the kinds it may replace: buttons, statics, edits, combo boxes.
    EXPECT_EQ(asked, (std::vector<int>{11, NoId, 13, 14, 15, 16}));

    auto* button = dynamic_cast<OwnButton*>(d.button(11));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("发送"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("发送"));
    EXPECT_TRUE(button->isDefault());
    EXPECT_EQ(button->objectName(), QStringLiteral("c11"));

    auto* area = dynamic_cast<OwnArea*>(d.textEdit(13));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    auto* combo = dynamic_cast<OwnCombo*>(d.comboBox(15));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_TRUE(combo->isEditable());

    ASSERT_NE(d.lineEdit(14), nullptr);
    EXPECT_TRUE(d.lineEdit(14)->validator() != nullptr); // the plain edit, digits only

    d.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(d.commands, (std::vector<std::pair<int, Notify>>{{11, Notify::Clicked}}));
}

#include "platform/dialog/dataexchange.h"
#include "platform/dialog/templatedialog.h"
#include "tests/support/prompter/scriptedprompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace dialog;

namespace {

const char16_t* const FormText = uR"(DIALOG 1 200 120
EDIT     20 "" 4 4 100 40 MULTILINE WANTRETURN
EDIT     21 "" 4 50 40 12
EDIT     22 "" 4 66 40 12
CHECKBOX 23 "开关" 4 82 40 10
COMBOBOX 24 "" 4 96 40 12 ITEMS "甲" "乙"
EDIT     25 "" 110 4 40 12
EDIT     26 "" 110 20 80 40 MULTILINE READONLY UPPERCASE
)";

struct Fields {
    std::string text = "old";
    int count = 7;
    int any = 3;
    bool flag = false;
    int pick = 1;
    std::string tail = "keep";
};

// A small form with the same shape as the console's: text, a ranged count,
// an unranged number, a check box, a combo box and a text read last.
class Form : public TemplateDialog {
public:
    explicit Form(Prompter& p)
        : TemplateDialog(*parseDialogTemplate(QStringView(FormText)), {}), m_prompter(p) {}
    Fields fields;
    int ticksRead = 0;

    bool exchange(DataExchange::Direction dir,
                  DataExchange::Prompts prompts = DataExchange::Prompts::Show) {
        DataExchange dx(*this, m_prompter, dir, prompts);
        dx.text(20, fields.text);
        dx.number(21, fields.count, 1, 999999);
        dx.number(22, fields.any);
        dx.check(23, fields.flag);
        dx.comboIndex(24, fields.pick);
        dx.text(25, fields.tail);
        return dx.ok();
    }
    // A tick reads the controls the way the console's timers do.
    void onTimer(int) override {
        ++ticksRead;
        exchange(DataExchange::Direction::Read, DataExchange::Prompts::Quiet);
    }

private:
    Prompter& m_prompter;
};

} // namespace

TEST(DataExchange, WriteThenReadGivesTheFieldsBack) {
    ScriptedPrompter p;
    Form f(p);
    f.fields = {"行一\r\n\xff\x80", 42, -5, true, 0, "tail"};
    f.exchange(DataExchange::Direction::Write);
    EXPECT_EQ(f.lineEdit(21)->text(), QStringLiteral("42"));
    EXPECT_TRUE(f.checkBox(23)->isChecked());
    EXPECT_EQ(f.comboBox(24)->currentIndex(), 0);

    const Fields written = f.fields;
    f.fields = Fields{};
    EXPECT_TRUE(f.exchange(DataExchange::Direction::Read));
    EXPECT_EQ(f.fields.text, written.text); // bytes survive the widget
    EXPECT_EQ(f.fields.count, 42);
    EXPECT_EQ(f.fields.any, -5);
    EXPECT_TRUE(f.fields.flag);
    EXPECT_EQ(f.fields.pick, 0);
    EXPECT_EQ(f.fields.tail, "tail");
    EXPECT_TRUE(p.shown().empty());

    // An index outside the items selects nothing, and reads back as -1.
    f.fields.pick = 5;
    f.exchange(DataExchange::Direction::Write);
    f.exchange(DataExchange::Direction::Read);
    EXPECT_EQ(f.fields.pick, -1);
}

TEST(DataExchange, UpperCaseControlsShowCapitals) {
    ScriptedPrompter p;
    Form f(p);
    DataExchange dx(f, p, DataExchange::Direction::Write);
    std::string received = "a b \xd6\xd0";
    dx.text(26, received);
    std::string back;
    DataExchange rd(f, p, DataExchange::Direction::Read);
    rd.text(26, back);
    EXPECT_EQ(back, "A B \xd6\xd0");
}

TEST(DataExchange, ABadNumberStopsTheReadThere) {
    struct Case {
        const char* count; // text of the ranged edit 21 (1..999999)
        const char* any;   // text of the unranged edit 22
        bool ok;
        int failedAt;
        QString prompt;
        int count_;
        int any_;
    };
    const QString range = QStringLiteral("“请填入一个在1和999999之间的整数。”");
    const QString integer = QStringLiteral("请键入一个整数。");
    const std::vector<Case> cases = {
        {"12", "0", true, 0, {}, 12, 0},
        {" +12\t", "-2147483648", true, 0, {}, 12, INT_MIN},
        {"999999", "2147483647", true, 0, {}, 999999, INT_MAX},
        {"1", "2147483648", false, 22, integer, 1, 3},
        // Out of range but within 32 bits: stored, then prompted.
        {"0", "9", false, 21, range, 0, 3},
        {"1000000", "9", false, 21, range, 1000000, 3},
        {"-1", "9", false, 21, range, -1, 3},
        {"2147483647", "9", false, 21, range, INT_MAX, 3},
        // Beyond 32 bits: prompted, the field keeps its value.
        {"2147483648", "9", false, 21, range, 7, 3},
        {"-2147483649", "9", false, 21, range, 7, 3},
        {"99999999999999999999999", "9", false, 21, range, 7, 3},
        {"", "9", false, 21, integer, 7, 3},
        {"12abc", "9", false, 21, integer, 7, 3},
        {"1 2", "9", false, 21, integer, 7, 3},
        {"-", "9", false, 21, integer, 7, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.count) + " / " + c.any);
        ScriptedPrompter p;
        Form f(p);
        f.show();
        f.textEdit(20)->setPlainText(QStringLiteral("new"));
        f.lineEdit(21)->setText(QString::fromLatin1(c.count));
        f.lineEdit(22)->setText(QString::fromLatin1(c.any));
        f.checkBox(23)->setChecked(true);
        f.lineEdit(25)->setText(QStringLiteral("changed"));
        f.textEdit(20)->setFocus();

        EXPECT_EQ(f.exchange(DataExchange::Direction::Read), c.ok);
        EXPECT_EQ(f.fields.text, "new"); // read before the stop
        EXPECT_EQ(f.fields.count, c.count_);
        EXPECT_EQ(f.fields.any, c.any_);
        if (c.ok) {
            EXPECT_TRUE(p.messages().empty());
            EXPECT_TRUE(f.fields.flag);
            EXPECT_EQ(f.fields.tail, "changed");
            continue;
        }
        EXPECT_EQ(p.messages(), std::vector<QString>{c.prompt});
        EXPECT_FALSE(f.fields.flag); // later fields keep their values
        EXPECT_EQ(f.fields.tail, "keep");
        EXPECT_EQ(f.focusWidget(), f.control(c.failedAt));
        EXPECT_TRUE(f.lineEdit(c.failedAt)->hasSelectedText() ||
                    f.lineEdit(c.failedAt)->text().isEmpty());
    }
}

TEST(DataExchange, RangePromptCarriesTheBounds) {
    EXPECT_EQ(rangePrompt(0, 7200000), QStringLiteral("“请填入一个在0和7200000之间的整数。”"));
    EXPECT_EQ(rangePrompt(-3, 1000), QStringLiteral("“请填入一个在-3和1000之间的整数。”"));
}

TEST(DataExchange, TicksDuringAnOpenPromptDoNotPileUpPrompts) {
    ScriptedPrompter p;
    Form f(p);
    f.show();
    f.lineEdit(21)->setText(QStringLiteral("0"));
    f.lineEdit(25)->setFocus();
    // While the prompt is open its event loop keeps the timers running: ten
    // ticks, and a second read by a person's action, arrive during it.
    p.whileMessageOpen = [&](const QString&) {
        EXPECT_TRUE(DataExchange::promptOpen());
        for (int i = 0; i < 10; ++i)
            f.onTimer(2);
        EXPECT_FALSE(f.exchange(DataExchange::Direction::Read));
    };
    EXPECT_FALSE(f.exchange(DataExchange::Direction::Read));
    EXPECT_EQ(f.ticksRead, 10);
    EXPECT_EQ(p.messages().size(), 1u);
    EXPECT_FALSE(DataExchange::promptOpen());

    // Once the prompt is closed the next action by a person prompts again.
    p.whileMessageOpen = nullptr;
    EXPECT_FALSE(f.exchange(DataExchange::Direction::Read));
    EXPECT_EQ(p.messages().size(), 2u);
}

TEST(DataExchange, QuietTicksStopAtABadFieldWithoutPromptOrFocus) {
    ScriptedPrompter p;
    Form f(p);
    f.show();
    f.activateWindow();
    f.lineEdit(21)->setText(QString()); // halfway through typing a new count
    f.lineEdit(25)->setText(QStringLiteral("typed"));
    f.lineEdit(21)->setFocus();
    f.lineEdit(21)->setCursorPosition(0);
    for (int i = 0; i < 5; ++i)
        f.onTimer(2);
    EXPECT_TRUE(p.shown().empty());
    EXPECT_EQ(f.focusWidget(), f.control(21));
    EXPECT_FALSE(f.lineEdit(21)->hasSelectedText());
    EXPECT_EQ(f.fields.tail, "keep"); // still stops at the bad field
}

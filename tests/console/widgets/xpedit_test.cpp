// CXPEdit: the two frame lines of each kind of edit in each state.
#include "console/widgets/xpedit.h"
#include "tests/console/widgets/paintprobe.h"

#include <QAccessible>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using probe::Sample;

struct FrameCase {
    const char* name;
    bool multiLine;
    bool readOnly;
    bool enabled;
    bool focused;
    std::vector<Sample> samples;
};

const QColor White{255, 255, 255};

} // namespace

TEST(XPEditLook, OuterAndInnerLinesFollowFocusAndWhetherTheEditTakesTyping) {
    using namespace probe;
    const QColor outer = xpedit::Outer;
    const QColor focused = xpedit::OuterFocused;
    // One-line edits are 100 x 22, the text areas 120 x 60 with a vertical bar.
    const FrameCase cases[] = {
        {"line, at rest",
         false,
         false,
         true,
         false,
         {{{50, 0}, outer},
          {{0, 11}, outer},
          {{99, 11}, outer},
          {{50, 21}, outer},
          {{50, 1}, White},
          {{1, 11}, White},
          {{98, 11}, White},
          {{50, 20}, White}}},
        {"line, focused",
         false,
         false,
         true,
         true,
         {{{50, 0}, focused}, {{0, 11}, focused}, {{99, 11}, focused}, {{50, 1}, White}}},
        {"line, read-only and focused: outer line only",
         false,
         true,
         true,
         true,
         {{{50, 0}, outer}, {{0, 11}, outer}, {{50, 1}, Base}, {{1, 11}, Base}}},
        {"line, disabled",
         false,
         false,
         false,
         false,
         {{{50, 0}, outer}, {{50, 1}, DisabledBase}, {{1, 11}, DisabledBase}}},
        {"area, at rest: face beside the bar",
         true,
         false,
         true,
         false,
         {{{60, 0}, outer},
          {{0, 30}, outer},
          {{119, 30}, outer},
          {{60, 1}, White},
          {{1, 30}, White},
          {{118, 30}, Face}}},
        {"area, focused",
         true,
         false,
         true,
         true,
         {{{60, 0}, focused}, {{119, 30}, focused}, {{1, 30}, White}, {{118, 30}, Face}}},
        {"area, read-only and focused",
         true,
         true,
         true,
         true,
         {{{60, 0}, outer}, {{119, 30}, outer}, {{1, 30}, Base}, {{118, 30}, Base}}},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        Host host;
        host.showActive();
        std::unique_ptr<QWidget> edit;
        if (c.multiLine) {
            auto e = std::make_unique<CXPEdit<QPlainTextEdit>>(&host);
            e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            e->setReadOnly(c.readOnly);
            e->setGeometry(10, 10, 120, 60);
            edit = std::move(e);
        } else {
            auto e = std::make_unique<CXPEdit<QLineEdit>>(&host);
            e->setReadOnly(c.readOnly);
            e->setGeometry(10, 10, 100, 22);
            edit = std::move(e);
        }
        edit->setEnabled(c.enabled);
        edit->show();
        if (c.focused) {
            edit->setFocus();
            ASSERT_TRUE(edit->hasFocus());
        }
        const QImage image = render(*edit);
        expectSamples(image, c.samples);
    }
}

TEST(XPEditLook, LosingTheFocusTakesTheBlueAway) {
    probe::Host host;
    host.showActive();
    CXPEdit<QLineEdit> edit(&host);
    QLineEdit other(&host);
    edit.setGeometry(10, 10, 100, 22);
    other.move(10, 50);
    edit.show();
    other.show();
    edit.setFocus();
    EXPECT_TRUE(edit.hasFocusFlag());
    EXPECT_EQ(probe::at(probe::render(edit), {50, 0}), xpedit::OuterFocused);
    other.setFocus();
    EXPECT_FALSE(edit.hasFocusFlag());
    EXPECT_EQ(probe::at(probe::render(edit), {50, 0}), xpedit::Outer);
}

TEST(XPEditLook, ScreenReadersStillReadTheText) {
    probe::Host host;
    CXPEdit<QLineEdit> line(&host);
    line.setText(QStringLiteral("12"));
    CXPEdit<QPlainTextEdit> area(&host);
    area.setPlainText(QStringLiteral("打印"));
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&line);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::EditableText);
    EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("12"));
    QAccessibleInterface* b = QAccessible::queryAccessibleInterface(&area);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->role(), QAccessible::EditableText);
    ASSERT_NE(b->textInterface(), nullptr);
    EXPECT_EQ(b->textInterface()->text(0, b->textInterface()->characterCount()),
              QStringLiteral("打印"));
}

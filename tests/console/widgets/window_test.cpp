// The console's own widgets in their places: which controls draw
// themselves, how the window and the send engine set the buttons up, and what
// screen readers see of the whole window.
#include "console/app/aboutdialog.h"
#include "console/link/connectionpanel.h"
#include "console/send/sendengine.h"
#include "console/widgets/consolewidgets.h"
#include "console/widgets/iconbutton.h"
#include "console/widgets/staticlink.h"
#include "console/widgets/tipcombobox.h"
#include "console/widgets/xpedit.h"
#include "tests/console/app/consolewindow.h"
#include "tests/support/consoleform/partform.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <gtest/gtest.h>

#include <set>

TEST_F(ConsoleWindowTest, TheListedControlsDrawThemselvesAndNoOthers) {
    open();
    const std::set<int> buttons(widgets::IconButtons.begin(), widgets::IconButtons.end());
    const std::set<int> edits(widgets::XPEdits.begin(), widgets::XPEdits.end());
    const std::set<int> combos(widgets::TipComboBoxes.begin(), widgets::TipComboBoxes.end());
    EXPECT_EQ(edits.size(), 17u);
    for (const auto& c : window->layoutTemplate().controls) {
        if (c.id == dialog::NoId)
            continue;
        SCOPED_TRACE(c.id);
        QWidget* w = window->control(c.id);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(dynamic_cast<IconButton*>(w) != nullptr, buttons.contains(c.id));
        EXPECT_EQ(dynamic_cast<CXPEdit<QLineEdit>*>(w) != nullptr ||
                      dynamic_cast<CXPEdit<QPlainTextEdit>*>(w) != nullptr,
                  edits.contains(c.id));
        EXPECT_EQ(dynamic_cast<TipComboBox*>(w) != nullptr, combos.contains(c.id));
    }
    // The multi-line ones are the send and receive areas.
    EXPECT_NE(dynamic_cast<CXPEdit<QPlainTextEdit>*>(window->control(ids::SendArea)), nullptr);
    EXPECT_NE(dynamic_cast<CXPEdit<QPlainTextEdit>*>(window->control(ids::ReceiveArea)), nullptr);
}

TEST_F(ConsoleWindowTest, OpeningSetsUpExitFlatAndSendRaisedEachLightenedOnce) {
    open();
    const QColor face = window->palette().color(QPalette::Button);
    const struct {
        int id;
        bool flat;
        int icon;
        QString tip;
    } cases[] = {{ids::Exit, true, 166, QStringLiteral("退出程序")},
                 {ids::SendButton, false, 168, QStringLiteral("发送")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        auto* b = dynamic_cast<IconButton*>(window->button(c.id));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->isFlat(), c.flat);
        EXPECT_EQ(b->iconResource(), c.icon);
        EXPECT_EQ(b->toolTip(), c.tip);
        EXPECT_EQ(b->colour(IconButton::BackgroundOver), shiftedColour(face, 30));
        EXPECT_EQ(b->colour(IconButton::BackgroundNormal), face);
    }
}

TEST_F(ConsoleWindowTest, ScreenReadersNameEveryButtonByItsCaption) {
    open();
    int buttons = 0;
    for (QAbstractButton* b : window->clientArea()->findChildren<QAbstractButton*>()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), b->text()) << b->objectName().toStdString();
        if (qobject_cast<QPushButton*>(b)) {
            EXPECT_EQ(a->role(), QAccessible::Button) << b->objectName().toStdString();
            ++buttons;
        }
    }
    EXPECT_GT(buttons, 20);
}

TEST(AboutBoxLink, IsAStaticLinkOnMailto) {
    ScriptedPrompter prompter;
    AboutDialog box(prompter);
    CStaticLink* link = box.link();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->target(), QStringLiteral("mailto:"));
    EXPECT_EQ(link->colour(), CStaticLink::Unvisited);
    link->open();
    EXPECT_EQ(prompter.urls(), std::vector<QString>{QStringLiteral("mailto:")});
    EXPECT_EQ(link->colour(), CStaticLink::Visited);
}

// Each change between idle and busy lightens the Send button's pressed face
// another step, up to the limit.
TEST(SendButtonLook, EachIdleOrBusyChangeLightensThePressedFaceAStep) {
    const QPalette old = QApplication::palette();
    QPalette dark = old;
    dark.setColor(QPalette::Button, QColor(100, 110, 120));
    QApplication::setPalette(dark);
    {
        testsupport::PartForm stage;
        ConnectionPanel connection{stage.form};
        SendEngine send{stage.form, connection};
        auto* button = dynamic_cast<IconButton*>(stage.button(ids::SendButton));
        ASSERT_NE(button, nullptr);
        button->setFlat(true);
        const struct {
            bool busy;
            QColor over;
        } steps[] = {{false, {130, 140, 150}}, {true, {160, 170, 180}},  {false, {190, 200, 210}},
                     {true, {220, 230, 240}},  {false, {235, 245, 255}}, {true, {235, 245, 255}}};
        for (const auto& s : steps) {
            if (s.busy)
                send.setButtonBusy(QStringLiteral("发送中……"));
            else
                send.setButtonIdle();
            EXPECT_EQ(button->colour(IconButton::BackgroundOver), s.over);
            EXPECT_FALSE(button->isFlat());
            EXPECT_EQ(button->iconResource(), s.busy ? 169 : 168);
            EXPECT_EQ(button->toolTip(),
                      s.busy ? QStringLiteral("停止发送") : QStringLiteral("发送"));
            // The rest of its colours stay as they were.
            EXPECT_EQ(button->colour(IconButton::BackgroundNormal), QColor(100, 110, 120));
        }
    }
    QApplication::setPalette(old);
}

#include "console/app/aboutdialog.h"
#include "tests/console/app/consolewindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {
const QString CountRange = QStringLiteral("“请填入一个在1和999999之间的整数。”");

// The count edit as a person sees it once "定时发送" is on.
void typeCount(TestConsoleDialog& w, const QString& text) {
    w.enableControl(ids::Count, true);
    w.lineEdit(ids::Count)->setText(text);
}
} // namespace

// A message of the window's opening shows over the window: by then the
// window has the size and place it is shown at, centred on the screen.
TEST_F(ConsoleWindowTest, TheWindowIsPlacedBeforeItsOpeningConnects) {
    writePortMap(missing("com1"));
    QRect atMessage; // the frame's place, the window's size
    prompter.whileMessageOpen = [&](const QString&) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (dynamic_cast<TestConsoleDialog*>(w) != nullptr)
                atMessage = QRect(w->pos(), w->size());
    };
    open();
    EXPECT_EQ(prompter.messages(), std::vector<QString>{PortBusy});
    window->show();
    EXPECT_EQ(atMessage, QRect(window->pos(), window->size()));
    const QPoint screenCentre = window->screen()->availableGeometry().center();
    EXPECT_LE((atMessage.center() - screenCentre).manhattanLength(), 1);
}

TEST_F(ConsoleWindowTest, EscEndsWithoutSavingOrClosingTheLink) {
    open();
    QTest::keyClick(window->textEdit(ids::SendArea), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(window->saves, 0);
    EXPECT_TRUE(window->isConnected());
}

TEST_F(ConsoleWindowTest, TheCloseBoxSavesAndLeavesTheLinkOpen) {
    open();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(window->saves, 1);
    EXPECT_TRUE(window->isConnected());
    ASSERT_NE(window->link(), nullptr);
    EXPECT_TRUE(window->link()->isOpen());
}

TEST_F(ConsoleWindowTest, ExitDisconnectsSavesAndEndsWithOk) {
    open();
    click(ids::Exit);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(window->saves, 1);
    expectDisconnected();
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(ConsoleWindowTest, ExitWhileDisconnectedTriesToConnectFirst) {
    writePortMap(missing("com1"));
    open();
    prompter.clear();
    click(ids::Exit);
    EXPECT_EQ(prompter.messages(), std::vector<QString>{PortBusy});
    EXPECT_EQ(window->saves, 1);
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

TEST_F(ConsoleWindowTest, ExitWithCountZeroTogglesSavesAndStaysOpen) {
    open();
    typeCount(*window, QStringLiteral("0"));
    click(ids::Exit);
    expectDisconnected(); // the toggle ran first
    EXPECT_EQ(window->saves, 1);
    ASSERT_FALSE(prompter.messages().empty());
    for (const QString& m : prompter.messages())
        EXPECT_EQ(m, CountRange);
    EXPECT_TRUE(window->isVisible());
    EXPECT_NE(window->result(), QDialog::Accepted);
    EXPECT_EQ(window->focusWidget(), window->control(ids::Count));
}

TEST_F(ConsoleWindowTest, CountZeroGivesTheRangePromptAndTheFocus) {
    open();
    window->fields().startNumber = 5;
    typeCount(*window, QStringLiteral("0"));
    window->lineEdit(ids::StartNumber)->setText(QStringLiteral("9"));
    window->textEdit(ids::SendArea)->setFocus();
    EXPECT_FALSE(window->readControls());
    EXPECT_EQ(prompter.messages(), std::vector<QString>{CountRange});
    EXPECT_EQ(window->focusWidget(), window->control(ids::Count));
    EXPECT_EQ(window->fields().startNumber, 5); // read after the count: unchanged

    // Timer ticks read quietly: no prompt piles up, even while one is open.
    prompter.whileMessageOpen = [&](const QString&) {
        for (int id : {1, 2, 3, 2})
            window->onTimer(id);
    };
    EXPECT_FALSE(window->readControls());
    EXPECT_EQ(prompter.messages().size(), 2u);
    prompter.whileMessageOpen = nullptr;
    for (int i = 0; i < 5; ++i)
        window->onTimer(timers::ReceivePoll);
    EXPECT_EQ(prompter.messages().size(), 2u);
}

TEST_F(ConsoleWindowTest, TheFieldsStartAtTheirValues) {
    open();
    ASSERT_TRUE(window->readControls());
    const ConsoleFields& f = window->fields();
    EXPECT_EQ(f.count, 1); // the start-up load's defaults
    EXPECT_EQ(f.interval, 1000);
    EXPECT_EQ(f.startNumber, 1);
    EXPECT_EQ(f.addCount, 0);
    EXPECT_EQ(f.sheets, 1);
    EXPECT_EQ(f.tcpPort, 0);
    EXPECT_EQ(f.barcodeType, 0);
    EXPECT_EQ(f.barcodeContent, "0123456789");
    EXPECT_EQ(window->lineEdit(ids::BarcodeContent)->text(), QStringLiteral("0123456789"));
    EXPECT_EQ(window->comboBox(ids::BarcodeType)->currentText(), QStringLiteral("CODE39"));
    EXPECT_EQ(window->comboBox(ids::RecentFiles)->count(), 8);
    EXPECT_EQ(window->comboBox(ids::RecentFiles)->currentIndex(), 0);
    EXPECT_EQ(window->cutCommand(), "1d 56 42 11");
    EXPECT_TRUE(window->checkBox(ids::AutoCut)->isChecked());
    EXPECT_TRUE(window->checkBox(ids::HexDisplay)->isChecked());
    EXPECT_FALSE(window->checkBox(ids::HexSend)->isChecked());
    EXPECT_FALSE(window->checkBox(ids::TimedSend)->isChecked());
    EXPECT_EQ(window->comboBox(ids::QueueChoice)->currentIndex(), 0);
    // The focus waits in the send area; images and icons are in place.
    EXPECT_EQ(window->focusWidget(), window->control(ids::SendArea));
    for (int id : {ids::SendFrame1, ids::SendFrame2, ids::SendFrame3})
        EXPECT_FALSE(window->isShown(id)) << id;
    EXPECT_EQ(window->property("largeIcon").toInt(), 155);
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->button(ids::Exit)->toolTip(), QStringLiteral("退出程序"));
    EXPECT_FALSE(window->button(ids::Exit)->icon().isNull());
    EXPECT_EQ(window->button(ids::SendButton)->toolTip(), QStringLiteral("发送"));
    EXPECT_FALSE(window->label(ids::LinkOpenImage)->pixmap().isNull());
}

TEST_F(ConsoleWindowTest, TheSendAreaTakesEnterAndSendIsTheDefaultButton) {
    open();
    EXPECT_TRUE(window->button(ids::SendButton)->isDefault());
    QTest::keyClicks(window->textEdit(ids::SendArea), QStringLiteral("ab"));
    QTest::keyClick(window->textEdit(ids::SendArea), Qt::Key_Return);
    QTest::keyClicks(window->textEdit(ids::SendArea), QStringLiteral("cd"));
    ASSERT_TRUE(window->readControls());
    EXPECT_EQ(window->fields().sendText, "ab\r\ncd");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ConsoleWindowTest, TheAboutCounterShowsTheNumberOnEveryThirdOk) {
    open();
    const QString number = QLatin1String(TestConsoleDialog::AboutNumber);
    ASSERT_EQ(number.size(), 12);
    auto okFromOwnEntry = [&](int times) {
        for (int i = 0; i < times; ++i) {
            prompter.modalNext(QDialog::Accepted);
            window->aboutAction()->trigger();
        }
    };
    ASSERT_NE(window->aboutAction(), nullptr);
    EXPECT_EQ(window->aboutAction()->text(), QStringLiteral("关于 (&A)..."));

    okFromOwnEntry(2);
    EXPECT_TRUE(prompter.messages().empty());
    // Esc or the close box does not count; the Help menu never counts.
    prompter.modalNext(QDialog::Rejected);
    window->aboutAction()->trigger();
    for (int i = 0; i < 4; ++i) {
        prompter.modalNext(QDialog::Accepted);
        window->menuAction(menu::About)->trigger();
    }
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(window->aboutOkCount(), 2);

    // The third OK from the window's own entry, here by Enter.
    prompter.modalNext(QDialog::Rejected,
                       [](QDialog& box) { QTest::keyClick(&box, Qt::Key_Return); });
    window->aboutAction()->trigger();
    EXPECT_EQ(prompter.messages(), std::vector<QString>{number});
    okFromOwnEntry(2);
    EXPECT_EQ(prompter.messages().size(), 1u);
    okFromOwnEntry(1);
    EXPECT_EQ(prompter.messages(), (std::vector<QString>{number, number}));
    EXPECT_EQ(window->aboutOkCount(), 6);
}

TEST_F(ConsoleWindowTest, TheAboutBoxLinkOpensMailThroughTheDesktop) {
    open();
    QString title;
    QString version;
    prompter.modalNext(QDialog::Accepted, [&](QDialog& d) {
        auto& box = static_cast<AboutDialog&>(d);
        title = box.windowTitle();
        QLabel* link = box.label(AboutDialog::LinkId);
        ASSERT_NE(link, nullptr);
        EXPECT_FALSE(link->text().isEmpty());
        QTest::mouseClick(link, Qt::LeftButton);
        EXPECT_EQ(box.button(ids::Ok)->text(), QStringLiteral("确定"));
        EXPECT_TRUE(box.button(ids::Ok)->isDefault());
    });
    window->menuAction(menu::About)->trigger();
    EXPECT_EQ(title, QStringLiteral("关于 Quorvane 2.0.0.2"));
    EXPECT_EQ(prompter.urls(), std::vector<QString>{QStringLiteral("mailto:")});
}

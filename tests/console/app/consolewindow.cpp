#include "tests/console/app/consolewindow.h"

#include "tests/support/printer/testportmap.h"
#include "tests/support/printer/waitforwrites.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <array>

void ConsoleWindowTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path()); // the default settings file lives here
    printer = testsupport::VirtualPrinter::serial();
    ASSERT_NE(printer, nullptr);
    writePortMap(printer->devicePath());
}

void ConsoleWindowTest::TearDown() {
    window.reset();
    QDir::setCurrent(oldCwd);
}

std::string ConsoleWindowTest::missing(const std::string& name) const {
    return testsupport::missingDevice(dir.path(), name);
}

void ConsoleWindowTest::writePortMap(const std::string& com1,
                                     const std::map<std::string, std::string>& others) {
    ASSERT_TRUE(testsupport::useTestPortMap(dir.path(), com1, others));
}

CountingWindow& ConsoleWindowTest::open() {
    window.reset(); // an earlier window lets go of its port first
    window = std::make_unique<CountingWindow>(prompter);
    window->show();
    return *window;
}

void ConsoleWindowTest::pick(int comboId, int index) {
    QComboBox* combo = window->comboBox(comboId);
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(index);
    emit combo->activated(index); // what a person's choice in the list sends
}

void ConsoleWindowTest::click(int buttonId) {
    QTest::mouseClick(window->button(buttonId), Qt::LeftButton);
    settle();
}

void ConsoleWindowTest::tick(int timerId) {
    window->onTimer(timerId);
    settle();
}

void ConsoleWindowTest::settle() {
    if (window) {
        ASSERT_TRUE(testsupport::waitForWrites(window->connection().writer()));
    }
}

namespace {
constexpr std::array<int, 9> QuickTests{
    ids::PrintFile,    ids::CashDrawer,       ids::Sample58,
    ids::Sample80,     ids::BarcodeType,      ids::BarcodeContent,
    ids::PrintBarcode, ids::BarcodeTypeLabel, ids::BarcodeContentLabel};
}

void ConsoleWindowTest::expectDisconnected() {
    EXPECT_FALSE(window->isConnected());
    EXPECT_EQ(window->button(ids::ConnectButton)->text(), QStringLiteral("连接"));
    EXPECT_TRUE(window->isShown(ids::NoLinkImage));
    EXPECT_FALSE(window->isShown(ids::LinkOpenImage));
    EXPECT_FALSE(window->isWindowTimerActive(timers::ReceivePoll));
    EXPECT_EQ(window->link(), nullptr);
    for (int id : QuickTests)
        EXPECT_FALSE(window->isEnabled(id)) << id;
}

void ConsoleWindowTest::expectConnected() {
    EXPECT_TRUE(window->isConnected());
    EXPECT_EQ(window->button(ids::ConnectButton)->text(), QStringLiteral("断开"));
    EXPECT_TRUE(window->isShown(ids::LinkOpenImage));
    EXPECT_FALSE(window->isShown(ids::NoLinkImage));
    EXPECT_TRUE(window->isWindowTimerActive(timers::ReceivePoll));
    ASSERT_NE(window->link(), nullptr);
    EXPECT_TRUE(window->link()->isOpen());
    for (int id : QuickTests)
        EXPECT_TRUE(window->isEnabled(id)) << id;
}

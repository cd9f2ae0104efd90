// Text files and the recent files as a part: open, reload and save through
// the scripted prompter, byte-exact, with the recent list following.
#include "console/link/connectionpanel.h"
#include "console/queues/textfiles.h"
#include "console/send/receivepanel.h"
#include "platform/dialog/edittext.h"
#include "tests/support/consoleform/partform.h"
#include "tests/support/files.h"

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using dialog::Notify;
using Slots = RecentFiles::Slots;

namespace {

class TextFilesTest : public ::testing::Test {
public:
    void SetUp() override {
        stage.show();
        files.registerCommands(stage.commands);
        receive.registerCommands(stage.commands);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    std::string slotOf(const QString& name) const { return path(name).toStdString(); }
    void click(int id) { QTest::mouseClick(stage.button(id), Qt::LeftButton); }
    void open(const QString& file) {
        stage.prompter.openNext(file);
        click(ids::OpenFile);
    }
    [[nodiscard]] std::string sendText() { return edittext::bytes(*stage.textEdit(ids::SendArea)); }
    [[nodiscard]] QStringList comboItems() {
        QStringList out;
        for (int i = 0; i < stage.comboBox(ids::RecentFiles)->count(); ++i)
            out << stage.comboBox(ids::RecentFiles)->itemText(i);
        return out;
    }

    QTemporaryDir dir;
    testsupport::PartForm stage;
    ConnectionPanel connection{stage.form};
    ReceivePanel receive{stage.form, connection};
    TextFiles files{stage.form, receive};
};

} // namespace

TEST_F(TextFilesTest, AFileOpenedAndSavedAgainIsByteIdentical) {
    const std::string bytes = "CR LF\r\nlone LF\nlone CR\r\xD6\xD0\xCE\xC4 \xFF\x80\x81 end\r\n";
    testsupport::putFile(path(QStringLiteral("in.txt")), bytes);
    open(path(QStringLiteral("in.txt")));
    EXPECT_EQ(sendText(), bytes);

    // The window's timers tick while the save dialog is open, and each tick
    // takes the fields anew.
    stage.prompter.whileFileDialogOpen = [this] { stage.onTimer(timers::ReceivePoll); };
    stage.prompter.saveNext(path(QStringLiteral("out.txt")));
    click(ids::SaveSend);
    EXPECT_EQ(testsupport::fileBytes(path(QStringLiteral("out.txt"))), bytes);
    const dialog::FileRequest& request = stage.prompter.requests().back();
    EXPECT_EQ(request.title, QStringLiteral("保存发送区数据到文件"));
    EXPECT_EQ(request.fileName, QStringLiteral("Test.txt"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("txt"));
    // The saved file on top, the opened one below it; eight items always.
    EXPECT_EQ(files.recentFiles().paths(),
              (Slots{slotOf(QStringLiteral("out.txt")), slotOf(QStringLiteral("in.txt"))}));
    EXPECT_EQ(comboItems().size(), 8);
    EXPECT_EQ(comboItems().front(), path(QStringLiteral("out.txt")));
    EXPECT_EQ(stage.comboBox(ids::RecentFiles)->currentIndex(), 0);
    EXPECT_TRUE(stage.prompter.messages().empty());
}

TEST_F(TextFilesTest, WhatCannotBeReadLeavesTheSendAreaAndTheListAsTheyWere) {
    testsupport::putFile(path(QStringLiteral("big.txt")), std::string(262144, 'x'));
    // The largest file taken, in lines as a text file has them.
    std::string fits;
    while (fits.size() < 262143)
        fits += "0123456789abcdef 0123456789abcdef 0123456789abcdef\r\n";
    fits.resize(262143);
    testsupport::putFile(path(QStringLiteral("fits.txt")), fits);
    struct Case {
        QString file;
        QString message; // names the file and the reason
    };
    const Case cases[] = {
        {path(QStringLiteral("big.txt")),
         QStringLiteral("文件“%1”太大：发送区最多载入262143字节，文件未载入。")
             .arg(path(QStringLiteral("big.txt")))},
        {path(QStringLiteral("gone.txt")),
         QStringLiteral("无法打开文件“%1”：").arg(path(QStringLiteral("gone.txt")))},
    };
    for (const Case& c : cases) {
        edittext::setBytes(*stage.textEdit(ids::SendArea), "kept");
        stage.prompter.clear();
        open(c.file);
        EXPECT_EQ(sendText(), "kept");
        ASSERT_EQ(stage.prompter.messages().size(), 1u);
        EXPECT_TRUE(stage.prompter.messages()[0].startsWith(c.message))
            << stage.prompter.messages()[0].toStdString();
        EXPECT_EQ(files.recentFiles().paths(), Slots{});
    }
    open(path(QStringLiteral("fits.txt")));
    EXPECT_EQ(sendText(), fits);

    // Cancel changes nothing.
    edittext::setBytes(*stage.textEdit(ids::SendArea), "kept");
    stage.prompter.openNext(std::nullopt);
    click(ids::OpenFile);
    EXPECT_EQ(sendText(), "kept");
}

TEST_F(TextFilesTest, ASaveThatFailsSaysWhyAndChangesNothing) {
    edittext::setBytes(*stage.textEdit(ids::SendArea), "text");
    const QString target = path(QStringLiteral("no folder/out.txt"));
    stage.prompter.saveNext(target);
    click(ids::SaveSend);
    ASSERT_EQ(stage.prompter.messages().size(), 1u);
    EXPECT_TRUE(stage.prompter.messages()[0].startsWith(
        QStringLiteral("无法保存到文件“%1”：").arg(target)));
    EXPECT_TRUE(stage.prompter.messages()[0].endsWith(QStringLiteral("原有的文件没有改动。")));
    EXPECT_EQ(files.recentFiles().paths(), Slots{});
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(TextFilesTest, TheReceiveAreaIsSavedAsItIsAndStaysOutOfTheList) {
    receive.setText("41 42 \r\n");
    stage.prompter.saveNext(path(QStringLiteral("receive.txt")));
    click(ids::SaveReceive);
    EXPECT_EQ(testsupport::fileBytes(path(QStringLiteral("receive.txt"))), "41 42 \r\n");
    EXPECT_EQ(stage.prompter.requests().back().fileName, QStringLiteral("Receive.txt"));
    EXPECT_EQ(files.recentFiles().paths(), Slots{});

    // The clear commands empty their areas.
    edittext::setBytes(*stage.textEdit(ids::SendArea), "send");
    stage.onCommand(menu::ClearSendArea, Notify::Menu);
    click(ids::ClearReceive);
    EXPECT_EQ(sendText(), "");
    EXPECT_EQ(receive.text(), "");
}

TEST_F(TextFilesTest, ReloadTakesTheChosenFileToTheTopOrDropsAFileThatIsGone) {
    Slots f;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const QString name = QStringLiteral("f%1.txt").arg(i + 1);
        testsupport::putFile(path(name), "file " + std::to_string(i + 1));
        f[i] = slotOf(name);
    }
    files.recentFiles().paths() = f;
    TextFiles::showRecentFiles(stage, f);

    // Slot 5 reloads and goes to the top.
    stage.comboBox(ids::RecentFiles)->setCurrentIndex(4);
    click(ids::Reload);
    EXPECT_EQ(sendText(), "file 5");
    EXPECT_EQ(files.recentFiles().paths(), (Slots{f[4], f[0], f[1], f[2], f[3], f[5], f[6], f[7]}));

    // Slot 3, whose file has gone, leaves the list.
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("f2.txt"))));
    stage.comboBox(ids::RecentFiles)->setCurrentIndex(2);
    click(ids::Reload);
    EXPECT_EQ(stage.prompter.messages(),
              std::vector<QString>{QStringLiteral("File could not be opened !")});
    EXPECT_EQ(sendText(), "file 5");
    EXPECT_EQ(files.recentFiles().paths(), (Slots{f[4], f[0], f[2], f[3], f[5], f[6], f[7], ""}));
    EXPECT_EQ(comboItems().size(), 8);
    EXPECT_TRUE(comboItems().last().isEmpty());

    // An empty slot does nothing.
    stage.prompter.clear();
    stage.comboBox(ids::RecentFiles)->setCurrentIndex(7);
    click(ids::Reload);
    EXPECT_EQ(sendText(), "file 5");
    EXPECT_TRUE(stage.prompter.messages().empty());
}

// The cut-command dialog over the send engine's cut command: what it shows,
// what OK, Cancel and Esc leave in force, and what the automatic cut then sends.
#include "console/link/connectionpanel.h"
#include "console/link/printerlink.h"
#include "console/queues/cutcommanddialog.h"
#include "console/send/sendengine.h"
#include "tests/support/consoleform/partform.h"
#include "tests/support/printer/recordingchannel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using dialog::Notify;

namespace {

class CutCommandDialogTest : public ::testing::Test {
public:
    void SetUp() override {
        stage.show();
        connection.registerCommands(stage.commands);
        send.registerCommands(stage.commands);
        cutDialog.registerCommands(stage.commands);
        auto channel = std::make_unique<testsupport::RecordingChannel>();
        record = channel->record();
        connection.adoptLink(PrinterLink(PortKind::Serial, std::move(channel)));
        stage.setChecked(ids::AutoCut, true);
    }

    // Opens the dialog from the menu; `person` acts on it while it is open.
    void openDialog(std::function<void(dialog::TemplateDialog&)> person) {
        stage.prompter.modalNext(QDialog::Rejected, [person](QDialog& d) {
            person(static_cast<dialog::TemplateDialog&>(d));
        });
        stage.onCommand(menu::CutCommand, Notify::Menu);
    }
    // The bytes the automatic cut sends after a send.
    std::string cutSent() {
        record->writes.clear();
        stage.onCommand(menu::Send, Notify::Menu);
        return record->writes.empty() ? "(nothing)" : record->writes.back();
    }

    testsupport::PartForm stage;
    ConnectionPanel connection{stage.form};
    SendEngine send{stage.form, connection};
    CutCommandDialog cutDialog{stage.form, send};
    std::shared_ptr<testsupport::RecordingChannel::Record> record;
};

QPlainTextEdit* edit(dialog::TemplateDialog& box) {
    return box.textEdit(ids::CutCommandNew);
}

void type(dialog::TemplateDialog& box, const QString& text) {
    edit(box)->selectAll();
    QTest::keyClicks(edit(box), text);
}

void click(dialog::TemplateDialog& box, int id) {
    QTest::mouseClick(box.button(id), Qt::LeftButton);
}

} // namespace

TEST_F(CutCommandDialogTest, ShowsTheCommandInForceTwice) {
    openDialog([](dialog::TemplateDialog& box) {
        EXPECT_EQ(box.windowTitle(), QStringLiteral("设置切刀命令"));
        EXPECT_EQ(box.label(ids::CutCommandNow)->text(), QStringLiteral("1d 56 42 11"));
        EXPECT_EQ(edit(box)->toPlainText(), QStringLiteral("1d 56 42 11"));
        EXPECT_EQ(box.button(ids::Ok)->text(), QStringLiteral("确定"));
        EXPECT_TRUE(box.button(ids::Ok)->isDefault());
        EXPECT_EQ(box.button(ids::Cancel)->text(), QStringLiteral("取消"));
    });
    EXPECT_EQ(stage.prompter.textsOf(ScriptedPrompter::Kind::Modal),
              std::vector<QString>{QStringLiteral("设置切刀命令")});
    EXPECT_EQ(cutSent(), "\x1D\x56\x42\x11");
}

TEST_F(CutCommandDialogTest, WhatEachEndingLeavesInForce) {
    struct Case {
        const char* name;
        void (*person)(dialog::TemplateDialog&);
        std::string command; // in force afterwards
        std::string cut;     // what the automatic cut then sends
    };
    const std::string Old = "1d 56 42 11";
    const std::string OldCut = "\x1D\x56\x42\x11";
    const Case cases[] = {
        {"six characters, OK",
         [](dialog::TemplateDialog& b) {
             type(b, QStringLiteral("1D5601"));
             click(b, ids::Ok);
         },
         "1D5601", "\x1D\x56\x01"},
        {"two characters, OK",
         [](dialog::TemplateDialog& b) {
             type(b, QStringLiteral("1d"));
             click(b, ids::Ok);
         },
         Old, OldCut},
        {"emptied, OK",
         [](dialog::TemplateDialog& b) {
             edit(b)->clear();
             click(b, ids::Ok);
         },
         Old, OldCut},
        {"edited, Cancel",
         [](dialog::TemplateDialog& b) {
             type(b, QStringLiteral("1b 69"));
             click(b, ids::Cancel);
         },
         Old, OldCut},
        {"edited, Esc",
         [](dialog::TemplateDialog& b) {
             type(b, QStringLiteral("1b 69"));
             QTest::keyClick(edit(b), Qt::Key_Escape);
         },
         Old, OldCut},
        {"Enter in the edit is OK",
         [](dialog::TemplateDialog& b) {
             type(b, QStringLiteral("1b 69"));
             QTest::keyClick(edit(b), Qt::Key_Return);
         },
         "1b 69", "\x1B\x69"},
        {"two lines (Ctrl+Enter), OK",
         [](dialog::TemplateDialog& b) {
             type(b, QStringLiteral("1d 56"));
             QTest::keyClick(edit(b), Qt::Key_Return, Qt::ControlModifier);
             QTest::keyClicks(edit(b), QStringLiteral("01"));
             click(b, ids::Ok);
         },
         "1d 56\r\n01", "\x1D\x56\x01"},
        {"no hex pair at all, OK",
         [](dialog::TemplateDialog& b) {
             type(b, QStringLiteral("cut"));
             click(b, ids::Ok);
         },
         "cut", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        send.cutCommand() = Old;
        openDialog(c.person);
        EXPECT_EQ(send.cutCommand(), c.command);
        EXPECT_EQ(cutSent(), c.cut);
    }
    EXPECT_TRUE(stage.prompter.messages().empty());
}

TEST_F(CutCommandDialogTest, ACommandBeyondTheCutBufferIsTakenWithANote) {
    std::string longCommand;
    for (int i = 0; i < 501; ++i)
        longCommand += "0a ";
    openDialog([&](dialog::TemplateDialog& b) {
        edit(b)->setPlainText(QString::fromLatin1(longCommand));
        click(b, ids::Ok);
    });
    EXPECT_EQ(stage.prompter.messages(), std::vector<QString>{CutCommandDialog::tooLongNote()});
    EXPECT_EQ(send.cutCommand(), longCommand);
    EXPECT_EQ(cutSent(), std::string(500, '\x0A'));

    // Exactly 500 bytes need no note.
    stage.prompter.clear();
    openDialog([&](dialog::TemplateDialog& b) {
        edit(b)->setPlainText(QString::fromLatin1(longCommand.substr(3)));
        click(b, ids::Ok);
    });
    EXPECT_TRUE(stage.prompter.messages().empty());
    EXPECT_EQ(cutSent(), std::string(500, '\x0A'));
}

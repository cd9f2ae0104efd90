// The window's own settings file: the start-up load from "Quorvane.ini" in
// the working directory, the connect that follows it, and the close save.
#include "tests/console/app/consolewindow.h"
#include "tests/console/settings/settingsvalues.h"
#include "tests/support/files.h"

#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

using testsupport::fileBytes;
using testsupport::putFile;

namespace {

const QString SettingsFile = QStringLiteral("Quorvane.ini");

// The fresh layout with the connection state a closing console saves.
std::string freshWithConnect(bool connected) {
    std::string bytes = testsupport::goldenFile("settings/fresh.ini");
    if (!connected) {
        const std::string on = "connect=_=TRUE\r\n";
        bytes.replace(bytes.find(on), on.size(), "connect=_=FALSE\r\n");
    }
    return bytes;
}

} // namespace

TEST_F(ConsoleWindowTest, ExitInAFreshFolderSavesTheFreshLayoutAndTheNextStartStaysDisconnected) {
    open();
    expectConnected();
    click(ids::Exit);
    EXPECT_EQ(fileBytes(dir.filePath(SettingsFile)), freshWithConnect(false));

    open();
    expectDisconnected();
    EXPECT_TRUE(prompter.messages().empty());
    // Closed with the close box while disconnected, it saves the same file.
    window->close();
    EXPECT_EQ(fileBytes(dir.filePath(SettingsFile)), freshWithConnect(false));
}

TEST_F(ConsoleWindowTest, TheStartFollowsTheSavedPortAndConnection) {
    struct Case {
        const char* name;
        std::string connect; // lines of [connect]
        const char* portItem;
        bool serialShown;
        bool connected;
        bool busyMessage;
    };
    const Case cases[] = {
        {"connect FALSE", "connect=_=FALSE\r\n", "COM1", true, false, false},
        {"connect in other letter case", "connect=_=True\r\n", "COM1", true, false, false},
        {"COM9, not connected", "port=_=9\r\nconnect=_=FALSE\r\n", "COM9", true, false, false},
        {"COM9, connected", "port=_=9\r\nconnect=_=TRUE\r\n", "COM9", true, false, true},
        {"ETHERNET", "port=_=18\r\nconnect=_=FALSE\r\n", "ETHERNET", false, false, false},
        {"COM1 connected", "connect=_=TRUE\r\n", "COM1", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.reset();
        putFile(dir.filePath(SettingsFile), "[connect]=_=\r\n" + c.connect);
        prompter.clear();
        open();
        EXPECT_EQ(window->comboBox(ids::PortCombo)->currentText(), QLatin1String(c.portItem));
        EXPECT_EQ(window->isShown(ids::BaudCombo), c.serialShown);
        EXPECT_FALSE(window->isShown(ids::IpAddress));
        if (c.connected)
            expectConnected();
        else
            expectDisconnected();
        EXPECT_EQ(prompter.messages(),
                  c.busyMessage ? std::vector<QString>{PortBusy} : std::vector<QString>{});
    }
}

TEST_F(ConsoleWindowTest, TheCloseSaveKeepsWhatTheConsoleDoesNotKnow) {
    putFile(dir.filePath(SettingsFile), "[mine]=_=\r\n"
                                        "note=_=kept\r\n"
                                        "[strings]=_=\r\n"
                                        "extra=_=also kept\r\n"
                                        "send=_=old text\r\n"
                                        "[connect]=_=\r\n"
                                        "connect=_=FALSE\r\n");
    open();
    EXPECT_EQ(window->fields().sendText, "old text");
    window->textEdit(ids::SendArea)->setPlainText(QStringLiteral("new text"));
    window->close();

    IniFile saved;
    saved.setFileName(dir.filePath(SettingsFile).toStdString());
    EXPECT_EQ(saved.getString("mine", "note", ""), "kept");
    EXPECT_EQ(saved.getString("strings", "extra", ""), "also kept");
    EXPECT_EQ(saved.getString("strings", "send", ""), "new text");
    EXPECT_EQ(saved.getString("check", "selqueue", ""), "0\n");
    // The sections stay where they were; the keys the file lacked stand
    // right under their section's header.
    const std::string bytes = fileBytes(dir.filePath(SettingsFile));
    EXPECT_EQ(bytes.rfind("[mine]=_=\r\nnote=_=kept\r\n[strings]=_=\r\naddcontent=_=\r\n", 0), 0u);
    EXPECT_NE(bytes.find("extra=_=also kept\r\nsend=_=new text\r\n[connect]=_=\r\nport=_=1\r\n"),
              std::string::npos);
}

TEST_F(ConsoleWindowTest, AResetChangesNoFileUntilTheWindowCloses) {
    testsupport::saveSettingsTo(dir.filePath(SettingsFile), testsupport::everyKeyChanged());
    const std::string before = fileBytes(dir.filePath(SettingsFile));
    open();
    EXPECT_EQ(window->fields().count, 12);

    window->menuAction(menu::ResetSettings)->trigger();
    EXPECT_EQ(fileBytes(dir.filePath(SettingsFile)), before);
    expectConnected(); // the reset connects to COM1, the printer here

    window->close();
    IniFile saved;
    saved.setFileName(dir.filePath(SettingsFile).toStdString());
    ConsoleSettings v;
    v.load(saved);
    ConsoleSettings reset;
    reset.addtimes = 1;
    EXPECT_EQ(v, reset);
}

TEST_F(ConsoleWindowTest, TheSettingsFileLivesInAWorkingDirectoryOfAnyLength) {
    QString deep = dir.path();
    while (deep.size() < 300)
        deep += QStringLiteral("/a-folder-with-a-rather-long-name");
    ASSERT_TRUE(QDir().mkpath(deep));
    QDir::setCurrent(deep);
    open();
    EXPECT_EQ(window->defaultSettingsPath(), deep + QLatin1Char('/') + SettingsFile);
    click(ids::Exit);
    EXPECT_EQ(fileBytes(deep + QLatin1Char('/') + SettingsFile), freshWithConnect(false));
}

TEST_F(ConsoleWindowTest, AFolderGoneBeforeTheCloseSaveIsReportedAndNothingBreaks) {
    const QString gone = dir.filePath(QStringLiteral("gone"));
    ASSERT_TRUE(QDir().mkpath(gone));
    QDir::setCurrent(gone);
    open();
    ASSERT_TRUE(QDir(gone).removeRecursively());
    prompter.clear();
    window->close();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(prompter.messages()[0].contains(gone + QLatin1Char('/') + SettingsFile));
    EXPECT_FALSE(window->isVisible());
    QDir::setCurrent(dir.path());
}

TEST_F(ConsoleWindowTest, TheCutCommandSetInItsDialogIsSentSavedAndLoadedAgain) {
    open();
    expectConnected();
    prompter.modalNext(QDialog::Rejected, [](QDialog& d) {
        auto& box = static_cast<dialog::TemplateDialog&>(d);
        box.textEdit(ids::CutCommandNew)->setPlainText(QStringLiteral("1D5601"));
        box.button(ids::Ok)->click();
    });
    window->menuAction(menu::CutCommand)->trigger();

    window->textEdit(ids::SendArea)->setPlainText(QStringLiteral("A"));
    window->setChecked(ids::AutoCut, true);
    click(ids::SendButton);
    EXPECT_TRUE(printer->waitForCount(4, std::chrono::seconds(5)));
    EXPECT_EQ(printer->received(), "A\x1D\x56\x01");

    window->close();
    IniFile saved;
    saved.setFileName(dir.filePath(SettingsFile).toStdString());
    EXPECT_EQ(saved.getString("strings", "CutCommand", ""), "1D5601");
    open();
    EXPECT_EQ(window->cutCommand(), "1D5601");
}

// The settings' sequences and the menu "设置(&S)" as a part on its own: the
// window's template with a form, the connection, the send engine and the
// receive panel over it; no window and no pty (COM1 leads nowhere).
#include "console/link/connectionpanel.h"
#include "console/send/receivepanel.h"
#include "console/send/sendengine.h"
#include "console/settings/inifile.h"
#include "console/settings/settingsmenu.h"
#include "platform/dialog/edittext.h"
#include "tests/console/settings/settingsvalues.h"
#include "tests/support/consoleform/partform.h"
#include "tests/support/files.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using dialog::Notify;

using testsupport::everyKeyChanged;
using testsupport::fileBytes;
using testsupport::putFile;
using testsupport::saveSettingsTo;

namespace {

const QString PortBusy = QStringLiteral("此通讯端口已被占用或损坏!");

class SettingsMenuTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        stage.show();
        connection.registerCommands(stage.commands);
        send.registerCommands(stage.commands);
        receive.registerCommands(stage.commands);
        settings.registerCommands(stage.commands);
        settings.panelSwitch.add([this] { ++panelSwitches; });
    }
    void TearDown() override { QDir::setCurrent(oldCwd); }

    void command(int id) { stage.onCommand(id, Notify::Menu); }
    [[nodiscard]] QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // What the console holds now, as the save takes it.
    [[nodiscard]] ConsoleSettings held() {
        stage.form.readControls();
        return settings.current();
    }

    QTemporaryDir dir;
    QString oldCwd;
    testsupport::PartForm stage;
    ConnectionPanel connection{stage.form};
    SendEngine send{stage.form, connection};
    ReceivePanel receive{stage.form, connection};
    std::array<std::string, 8> recentFiles{};
    std::string panelSetting = "FALSE";
    bool panelFlag = false;
    SettingsMenu settings{
        stage.form, connection, send, receive, {recentFiles, panelSetting, panelFlag}};
    int panelSwitches = 0;
};

} // namespace

TEST_F(SettingsMenuTest, EveryValueSurvivesALoadAndASaveThroughTheControls) {
    const ConsoleSettings v = everyKeyChanged();
    saveSettingsTo(file("in.ini"), v);
    stage.prompter.openNext(file("in.ini"));
    command(menu::LoadFromFile);
    EXPECT_TRUE(stage.prompter.messages().empty());

    // The window shows what was loaded.
    EXPECT_EQ(stage.comboBox(ids::PortCombo)->currentText(), QStringLiteral("COM9"));
    EXPECT_EQ(stage.comboBox(ids::BaudCombo)->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(stage.comboBox(ids::FlowCombo)->currentText(), QStringLiteral("XonXoff"));
    EXPECT_EQ(stage.comboBox(ids::QueueChoice)->currentIndex(), 7);
    EXPECT_EQ(stage.comboBox(ids::RecentFiles)->count(), 8);
    EXPECT_EQ(stage.comboBox(ids::RecentFiles)->itemText(7),
              QStringLiteral("/home/user/测试 8.txt"));
    EXPECT_TRUE(stage.isEnabled(ids::Count));          // 定时发送's handler ran
    EXPECT_FALSE(stage.isEnabled(ids::NoCommandMode)); // and 十六进制发送's
    EXPECT_TRUE(stage.isChecked(ids::NoCommandMode));
    EXPECT_EQ(stage.lineEdit(ids::Interval)->text(), QStringLiteral("250"));
    EXPECT_EQ(edittext::bytes(*stage.textEdit(ids::SendArea)), v.send);
    EXPECT_TRUE(panelFlag);
    EXPECT_EQ(panelSwitches, 1);
    EXPECT_FALSE(connection.isConnected());

    EXPECT_EQ(held(), v);
    stage.prompter.saveNext(file("out.ini"));
    command(menu::SaveToFile);
    EXPECT_EQ(fileBytes(file("out.ini")), fileBytes(file("in.ini")));
}

TEST_F(SettingsMenuTest, TheFileDialogsProposeTheNameAndCompleteIt) {
    stage.prompter.saveNext(file("chosen"));
    command(menu::SaveToFile);
    EXPECT_FALSE(fileBytes(file("chosen.ini")).empty());
    EXPECT_FALSE(QFile::exists(file("chosen")));

    stage.prompter.saveNext(file("kept.conf"));
    command(menu::SaveToFile);
    EXPECT_FALSE(fileBytes(file("kept.conf")).empty());

    ConsoleSettings changed;
    changed.connect = false;
    changed.sendtimes = 77;
    saveSettingsTo(file("typed.ini"), changed);
    stage.prompter.openNext(file("typed"));
    command(menu::LoadFromFile);
    EXPECT_EQ(stage.form.fields().count, 77);

    const auto& requests = stage.prompter.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].title, QStringLiteral("保存当前设置到ini文件"));
    EXPECT_EQ(requests[0].filter, QStringLiteral("ini File (*.ini)"));
    EXPECT_EQ(requests[2].title, QStringLiteral("从ini文件载入设置"));
    EXPECT_EQ(requests[2].filter, QStringLiteral("ini文件(*.ini)"));
    EXPECT_FALSE(requests[2].mustExist);
    for (const auto& r : requests) {
        EXPECT_EQ(r.fileName, QStringLiteral("Quorvane config.ini"));
        EXPECT_EQ(r.defaultSuffix, QStringLiteral("ini"));
    }
}

TEST_F(SettingsMenuTest, CancelInAFileDialogDoesNothing) {
    stage.form.fields().count = 5;
    stage.form.writeControls();
    stage.prompter.saveNext(std::nullopt);
    command(menu::SaveToFile);
    stage.prompter.openNext(std::nullopt);
    command(menu::LoadFromFile);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});
    EXPECT_EQ(stage.form.fields().count, 5);
    EXPECT_EQ(panelSwitches, 0);
    EXPECT_TRUE(stage.prompter.messages().empty());
}

TEST_F(SettingsMenuTest, SavingToAFileLeavesOnlyTheConsolesSections) {
    putFile(file("other.ini"), "[mine]=_=\r\nkeep=_=1\r\n[strings]=_=\r\nsend=_=old\r\n");
    stage.prompter.saveNext(file("other.ini"));
    command(menu::SaveToFile);
    const std::string saved = fileBytes(file("other.ini"));
    EXPECT_EQ(saved.find("[mine]"), std::string::npos);
    EXPECT_EQ(saved.find("old"), std::string::npos);
    EXPECT_EQ(saved.rfind("[connect]=_=\r\nport=_=1\r\n", 0), 0u);

    // "保存为默认设置" replaces the default file the same way.
    putFile(file("Quorvane.ini"), "[mine]=_=\r\nkeep=_=1\r\n");
    command(menu::SaveDefaults);
    EXPECT_EQ(fileBytes(file("Quorvane.ini")), saved);
}

TEST_F(SettingsMenuTest, LoadingWithoutAFileGivesTheDefaultsAndConnects) {
    saveSettingsTo(file("Quorvane.ini"), everyKeyChanged());
    command(menu::LoadDefaults);
    ASSERT_TRUE(QFile::remove(file("Quorvane.ini")));
    stage.prompter.clear();

    command(menu::LoadDefaults);
    ConsoleSettings defaults;
    defaults.connect = false; // the connect to COM1 failed: nothing leads there
    EXPECT_EQ(held(), defaults);
    EXPECT_EQ(stage.prompter.messages(), std::vector<QString>{PortBusy});
    EXPECT_EQ(stage.comboBox(ids::PortCombo)->currentText(), QStringLiteral("COM1"));
    EXPECT_TRUE(stage.isShown(ids::BaudCombo));
    EXPECT_FALSE(panelFlag);
    EXPECT_EQ(panelSwitches, 2);
    EXPECT_FALSE(QFile::exists(file("Quorvane.ini")));
    EXPECT_TRUE(held().receive.empty());
}

TEST_F(SettingsMenuTest, ResetGivesEveryDefaultAndTouchesNoFile) {
    saveSettingsTo(file("Quorvane.ini"), everyKeyChanged());
    command(menu::LoadDefaults);
    const std::string before = fileBytes(file("Quorvane.ini"));
    stage.prompter.clear();

    command(menu::ResetSettings);
    ConsoleSettings expected;
    expected.connect = false; // the reset connects to COM1, which leads nowhere
    expected.addtimes = 1;    // the reset's add-row count, where a load gives 0
    EXPECT_EQ(held(), expected);
    EXPECT_EQ(stage.prompter.messages(), std::vector<QString>{PortBusy});
    EXPECT_EQ(stage.comboBox(ids::BaudCombo)->currentText(), QStringLiteral("38400"));
    EXPECT_EQ(stage.comboBox(ids::ParityCombo)->currentText(), QStringLiteral("NONE"));
    EXPECT_EQ(stage.comboBox(ids::DataBitsCombo)->currentText(), QStringLiteral("8"));
    EXPECT_EQ(stage.comboBox(ids::FlowCombo)->currentText(), QStringLiteral("NONE"));
    EXPECT_EQ(stage.comboBox(ids::RecentFiles)->count(), 8);
    EXPECT_TRUE(stage.comboBox(ids::RecentFiles)->itemText(0).isEmpty());
    EXPECT_FALSE(stage.isEnabled(ids::Count));
    EXPECT_TRUE(stage.isEnabled(ids::NoCommandMode));
    EXPECT_TRUE(edittext::bytes(*stage.textEdit(ids::SendArea)).empty());
    EXPECT_TRUE(stage.textEdit(ids::ReceiveArea)->toPlainText().isEmpty());
    EXPECT_FALSE(panelFlag);
    EXPECT_EQ(panelSwitches, 2);
    EXPECT_EQ(fileBytes(file("Quorvane.ini")), before);
}

TEST_F(SettingsMenuTest, LoadedValuesTheControlsCannotShowAreKept) {
    struct Case {
        const char* name;
        std::string lines; // of [connect]
        const char* portItem;
        bool serialShown;
    };
    const Case cases[] = {
        {"ETHERNET", "port=_=18\r\n", "ETHERNET", false},
        {"LPT2", "port=_=16\r\n", "LPT2", false},
        {"port out of range", "port=_=40\r\n", "COM1", false},
        {"unknown baud", "boad=_=12345,\r\n", "COM1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        stage.comboBox(ids::PortCombo)->setCurrentIndex(0);
        stage.comboBox(ids::BaudCombo)->setCurrentIndex(5);
        putFile(file("case.ini"), "[connect]=_=\r\nconnect=_=FALSE\r\n" + c.lines +
                                      "[check]=_=\r\nselqueue=_=10\r\n");
        stage.prompter.openNext(file("case.ini"));
        command(menu::LoadFromFile);
        EXPECT_EQ(stage.comboBox(ids::PortCombo)->currentText(), QLatin1String(c.portItem));
        EXPECT_EQ(stage.isShown(ids::BaudCombo), c.serialShown);
        EXPECT_FALSE(stage.isShown(ids::IpAddress));
        EXPECT_EQ(stage.comboBox(ids::QueueChoice)->currentIndex(), -1);
        // What the controls could not show is still what is saved.
        const ConsoleSettings v = held();
        IniFile ini;
        ini.setFileName(file("case.ini").toStdString());
        ConsoleSettings fromFile;
        fromFile.load(ini);
        EXPECT_EQ(v.port, fromFile.port);
        EXPECT_EQ(v.selqueue, -1);
    }
    EXPECT_EQ(stage.comboBox(ids::BaudCombo)->currentIndex(), 5); // left as it was
    EXPECT_TRUE(stage.prompter.messages().empty());
}

TEST_F(SettingsMenuTest, AFailedSaveSaysWhereAndWhyAndLosesNothing) {
    putFile(file("Quorvane.ini"), "[mine]=_=\r\nkeep=_=1\r\n");
    stage.form.fields().count = 9;
    stage.form.writeControls();

    stage.prompter.saveNext(dir.filePath(QStringLiteral("gone/x.ini")));
    command(menu::SaveToFile);
    // A default file that is a folder cannot be replaced either.
    ASSERT_TRUE(QFile::remove(file("Quorvane.ini")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Quorvane.ini")));
    command(menu::SaveDefaults);

    const auto messages = stage.prompter.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].contains(dir.filePath(QStringLiteral("gone/x.ini"))))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[1].contains(file("Quorvane.ini"))) << messages[1].toStdString();
    EXPECT_EQ(stage.form.fields().count, 9);
    EXPECT_TRUE(QFileInfo(file("Quorvane.ini")).isDir());
}

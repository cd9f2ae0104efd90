// The quick-test group as a part on its own: the window's template with a
// form over it and a recording link, no window and no pty.
#include "console/link/connectionpanel.h"
#include "console/link/printerlink.h"
#include "console/quicktests/quicktestpanel.h"
#include "tests/console/quicktests/golden.h"
#include "tests/support/consoleform/partform.h"
#include "tests/support/printer/recordingchannel.h"
#include "tests/support/printer/waitforwrites.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using Writes = std::vector<std::string>;

namespace {

const QString FileNotOpened = QStringLiteral("File could not be opened !");
const QString FileTooLarge = QStringLiteral("文件超过64MB，不能发送!");
const QString BarcodeTooLong =
    QStringLiteral("条码内容太长! CODE39最多255个字节，CODE128最多253个字节。");

class QuickTestPanelTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(golden::samplesFound());
        stage.show();
        connection.registerCommands(stage.commands);
        panel.registerCommands(stage.commands);
        // As the window wires them.
        connection.opened.add([this] { panel.setEnabled(true); });
        connection.closed.add([this] { panel.setEnabled(false); });
    }
    void connect() {
        auto channel = std::make_unique<testsupport::RecordingChannel>();
        record = channel->record();
        connection.adoptLink(PrinterLink(PortKind::Serial, std::move(channel)));
    }
    // A click, and then the writes it handed over go out.
    void click(int id) {
        QTest::mouseClick(stage.button(id), Qt::LeftButton);
        ASSERT_TRUE(testsupport::waitForWrites(connection.writer()));
    }
    void barcode(int type, const std::string& content) {
        stage.comboBox(ids::BarcodeType)->setCurrentIndex(type);
        stage.lineEdit(ids::BarcodeContent)->setText(QString::fromLatin1(content));
    }
    // A file in the test's folder with the given bytes, chosen in the next file dialog.
    QString chooseFile(const std::string& content) {
        const QString path = dir.filePath(QStringLiteral("print.prn"));
        EXPECT_TRUE(golden::writeFile(path, content));
        stage.prompter.openNext(path);
        return path;
    }
    [[nodiscard]] bool groupEnabled(bool on) const {
        for (int id : ids::QuickTests)
            if (stage.isEnabled(id) != on)
                return false;
        return true;
    }

    QTemporaryDir dir;
    testsupport::PartForm stage;
    ConnectionPanel connection{stage.form};
    QuickTestPanel panel{stage.form, connection};
    std::shared_ptr<testsupport::RecordingChannel::Record> record;
};

const Writes BarcodeSetUp = {"\x1D\x68\x78", "\x1D\x77\x02", "\x1D\x48\x02", "\x0A"};

Writes with(Writes writes, const std::string& last) {
    writes.push_back(last);
    return writes;
}

} // namespace

// Each button's bytes, write by write, with nothing before or after them: no
// initialisation, no cut (not even with "自动切纸" on), no message.
TEST_F(QuickTestPanelTest, EachButtonSendsExactlyItsBytes) {
    struct Case {
        const char* name;
        int button;
        std::function<void(QuickTestPanelTest&)> prepare;
        Writes writes;
    };
    const std::vector<Case> cases = {
        {"print file",
         ids::PrintFile,
         [](QuickTestPanelTest& t) { t.chooseFile(golden::oddFile()); },
         {golden::oddFile()}},
        {"empty print file",
         ids::PrintFile,
         [](QuickTestPanelTest& t) { t.chooseFile({}); },
         {std::string()}},
        {"cash drawer", ids::CashDrawer, {}, {std::string("\x1B\x70\x00\xE0\xF0", 5)}},
        {"58/76 mm sample", ids::Sample58, {}, {golden::sample58()}},
        {"80 mm sample", ids::Sample80, {}, {golden::sample80()}},
        {"the barcode as the window starts",
         ids::PrintBarcode,
         {},
         with(BarcodeSetUp, "\x1D\x6B\x45\x0A"
                            "0123456789\x0A")},
        {"CODE128", ids::PrintBarcode, [](QuickTestPanelTest& t) { t.barcode(1, "0123456789"); },
         with(BarcodeSetUp, "\x1D\x6B\x49\x0C{A0123456789\x0A")},
        {"empty CODE39", ids::PrintBarcode, [](QuickTestPanelTest& t) { t.barcode(0, ""); },
         with(BarcodeSetUp, std::string("\x1D\x6B\x45\x00\x0A", 5))},
    };
    stage.checkBox(ids::AutoCut)->setChecked(true);
    connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        record->writes.clear();
        stage.prompter.clear();
        if (c.prepare)
            c.prepare(*this);
        click(c.button);
        EXPECT_EQ(record->writes, c.writes);
        EXPECT_TRUE(stage.prompter.messages().empty());
    }

    // The content is left as it was typed; the prefix belongs to the command.
    barcode(1, "0123456789");
    click(ids::PrintBarcode);
    EXPECT_EQ(stage.lineEdit(ids::BarcodeContent)->text(), QStringLiteral("0123456789"));
    EXPECT_EQ(stage.form.fields().barcodeContent, "0123456789");
}

// The group follows the link, and each test checks the link itself as well:
// run while disconnected, none shows or sends anything, and the print file
// asks for no file.
TEST_F(QuickTestPanelTest, WithoutALinkTheGroupIsOffAndNoTestDoesAnything) {
    EXPECT_TRUE(groupEnabled(false));
    connect();
    EXPECT_TRUE(groupEnabled(true));
    click(ids::ConnectButton);
    EXPECT_TRUE(groupEnabled(false));
    ASSERT_FALSE(connection.isConnected());

    chooseFile("never read");
    barcode(0, std::string(300, '1')); // too long, yet no message either
    for (int id :
         {ids::PrintFile, ids::CashDrawer, ids::Sample58, ids::Sample80, ids::PrintBarcode}) {
        SCOPED_TRACE(id);
        stage.prompter.clear();
        EXPECT_TRUE(stage.commands.dispatch(id, dialog::Notify::Clicked));
        EXPECT_TRUE(stage.prompter.shown().empty());
        EXPECT_TRUE(stage.prompter.requests().empty());
    }
    EXPECT_TRUE(record->writes.empty());
}

// What the print file and the barcode refuse: a message and not one byte.
TEST_F(QuickTestPanelTest, RefusedInputShowsWhyAndSendsNothing) {
    struct Case {
        const char* name;
        int button;
        std::function<void(QuickTestPanelTest&)> prepare;
        std::vector<QString> messages;
    };
    const std::vector<Case> cases = {
        {"file dialog cancelled",
         ids::PrintFile,
         [](QuickTestPanelTest& t) { t.stage.prompter.openNext(std::nullopt); },
         {}},
        {"missing file",
         ids::PrintFile,
         [](QuickTestPanelTest& t) {
             t.stage.prompter.openNext(t.dir.filePath(QStringLiteral("gone.prn")));
         },
         {FileNotOpened}},
        {"file over 64 MiB",
         ids::PrintFile,
         [](QuickTestPanelTest& t) {
             QFile big(t.chooseFile({}));
             ASSERT_TRUE(big.resize(quicktests::PrintFileLimit + 1)); // sparse
         },
         {FileTooLarge}},
        {"CODE39 of 256 bytes",
         ids::PrintBarcode,
         [](QuickTestPanelTest& t) { t.barcode(0, std::string(256, '1')); },
         {BarcodeTooLong}},
        {"CODE128 of 254 bytes",
         ids::PrintBarcode,
         [](QuickTestPanelTest& t) { t.barcode(1, std::string(254, '1')); },
         {BarcodeTooLong}},
        // The read stops at the bad count before it reaches the barcode's
        // fields: the barcode is not printed from their older values.
        {"a bad number elsewhere",
         ids::PrintBarcode,
         [](QuickTestPanelTest& t) {
             t.barcode(1, "ABC");
             t.stage.lineEdit(ids::Count)->setText(QStringLiteral("x"));
         },
         {QStringLiteral("请键入一个整数。")}},
    };
    connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        stage.prompter.clear();
        if (c.prepare)
            c.prepare(*this);
        click(c.button);
        EXPECT_EQ(stage.prompter.messages(), c.messages);
        EXPECT_TRUE(record->writes.empty());
    }
}

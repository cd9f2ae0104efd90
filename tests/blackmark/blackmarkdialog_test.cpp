#include "blackmark/ui/blackmarkdialog.h"
#include "blackmark/ui/ticketsamples.h"
#include "tests/support/cancelprobe.h"
#include "tests/support/printer/virtualprinter.h"
#include "tests/support/prompter/scriptedprompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtMath>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

using namespace halmbrook;
using namespace std::chrono_literals;

namespace {

const std::string StartCommand("\x1D\x28\x46\x04\x00\x01\x00\x9F\x00", 9);
const std::string CutCommand("\x1D\x28\x46\x04\x00\x02\x00\xE3\x00", 9);
const QString InitialDisplay =
    QStringLiteral(" 1D 28 46 04 00 01 00 9F 00\n 1D 28 46 04 00 02 00 E3 00\n");
const QString IntegerPrompt = QStringLiteral("请键入一个整数。");

// The window with a virtual printer as COM1; every other COM name is mapped
// to a device that is not there, so no test ever opens a real port.
class HalmbrookDialog : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_printer = testsupport::VirtualPrinter::serial();
        ASSERT_TRUE(m_printer);
        const std::string map = m_dir.filePath(QStringLiteral("ports.conf")).toStdString();
        std::ofstream out(map);
        out << "COM1 = " << m_printer->devicePath() << "\n";
        for (int n = 2; n <= 14; ++n)
            out << "COM" << n << " = " << m_dir.path().toStdString() << "/missing" << n << "\n";
        out.close();
        ::setenv("POSKIT_PORTS", map.c_str(), 1);
        m_dialog = std::make_unique<BlackMarkDialog>(m_prompter);
    }
    void TearDown() override {
        m_dialog.reset();
        ::unsetenv("POSKIT_PORTS");
    }

    QLineEdit* edit(int id) const { return m_dialog->lineEdit(id); }
    void type(int id, const QString& text) const { edit(id)->setText(text); }
    QString display() const { return m_dialog->label(id::Display)->text(); }
    void click(int id) const { QTest::mouseClick(m_dialog->button(id), Qt::LeftButton); }
    // Bytes that should not come have had time to arrive.
    std::string settledReceived() const {
        std::this_thread::sleep_for(150ms);
        return m_printer->received();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<testsupport::VirtualPrinter> m_printer;
    ScriptedPrompter m_prompter;
    std::unique_ptr<BlackMarkDialog> m_dialog;
};

} // namespace

TEST_F(HalmbrookDialog, HasEveryControlOfItsTemplate) {
    BlackMarkDialog& d = *m_dialog;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Halmbrook"));
    const double unit = dialog::pixelsPerUnit(&d);
    EXPECT_EQ(d.clientArea()->size(), QSize(qRound(545 * unit), qRound(410 * unit)));

    struct Expect {
        int id;
        const char* className;
        QString text;
        QRect du;
    };
    const Expect controls[] = {
        {1002, "QRadioButton", QStringLiteral("黑标票样1"), {17, 7, 80, 16}},
        {1003, "QRadioButton", QStringLiteral("黑标票样2"), {13, 175, 77, 17}},
        {1007, "QComboBox", {}, {417, 14, 103, 0}},
        {1006, "QLineEdit", QStringLiteral("100"), {422, 50, 84, 16}},
        {1004, "QLineEdit", QStringLiteral("0"), {422, 113, 84, 16}},
        {1009, "QLineEdit", QStringLiteral("0"), {513, 113, 25, 15}},
        {1005, "QLineEdit", QStringLiteral("95"), {422, 180, 84, 16}},
        {1010, "QLineEdit", QStringLiteral("0"), {514, 180, 24, 15}},
        {1008, "QLabel", QStringLiteral(" "), {301, 267, 231, 25}},
        {1000, "QPushButton", QStringLiteral("设置针打黑标设置"), {427, 231, 74, 34}},
        {1001, "QPushButton", QStringLiteral("测试黑标设置"), {427, 299, 74, 34}},
        {2, "QPushButton", QStringLiteral("退  出"), {427, 353, 74, 34}},
    };
    for (const Expect& c : controls) {
        SCOPED_TRACE(c.id);
        QWidget* w = d.item(c.id);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->inherits(c.className));
        EXPECT_EQ(w->objectName(), QStringLiteral("c%1").arg(c.id));
        const QRect px = w->geometry();
        EXPECT_EQ(px.left(), qRound(c.du.x() * unit));
        EXPECT_EQ(px.top(), qRound(c.du.y() * unit));
        EXPECT_EQ(px.x() + px.width(), qRound((c.du.x() + c.du.width()) * unit));
        if (c.du.height() > 0) {
            EXPECT_EQ(px.y() + px.height(), qRound((c.du.y() + c.du.height()) * unit));
        }
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            EXPECT_EQ(e->text(), c.text);
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_EQ(b->text(), c.text);
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(l->text(), c.text);
        }
    }

    QStringList items;
    for (int i = 0; i < d.comboBox(id::Port)->count(); ++i)
        items << d.comboBox(id::Port)->itemText(i);
    EXPECT_EQ(items.size(), 12);
    EXPECT_EQ(items.front(), QStringLiteral("COM1"));
    EXPECT_EQ(items.back(), QStringLiteral("COM12"));
    EXPECT_EQ(d.comboBox(id::Port)->currentIndex(), 0);
    EXPECT_FALSE(d.comboBox(id::Port)->isEditable());
    EXPECT_TRUE(d.radioButton(id::Sample1)->isChecked());
    EXPECT_FALSE(d.radioButton(id::Sample2)->isChecked());
    for (const QPushButton* b : d.findChildren<QPushButton*>())
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << b->text().toStdString();

    // The fixed labels and both pictures.
    QStringList labels;
    int pictures = 0;
    for (const QLabel* l : d.clientArea()->findChildren<QLabel*>()) {
        labels << l->text();
        if (!l->pixmap().isNull())
            ++pictures;
    }
    for (const char* text :
         {"串口", "票据长度", "起始打印位置相对于黑标检测位置的偏移量(单位:mm)",
          "切/撕纸位置相对于黑标检测位置的偏移量(单位:mm)", "误差", "设置针打黑标命令(HEX)"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(labels.count(QStringLiteral("误差")), 2);
    EXPECT_EQ(pictures, 2);
    EXPECT_FALSE(d.windowIcon().isNull());
}

TEST_F(HalmbrookDialog, SetSendsBothCommandsAndShowsThem) {
    click(id::Set);
    ASSERT_TRUE(m_printer->waitForCount(18, 2s));
    EXPECT_EQ(settledReceived(), StartCommand + CutCommand);
    EXPECT_EQ(display(), InitialDisplay);
    EXPECT_TRUE(m_prompter.messages().empty());
    EXPECT_TRUE(m_dialog->port().isOpen()) << "the port stays open for Test";

    // A second Set reopens the same port and replaces the display.
    m_printer->clearReceived();
    type(id::TicketLength, QStringLiteral("150"));
    type(id::StartOffset, QStringLiteral("20"));
    click(id::Set);
    ASSERT_TRUE(m_printer->waitForCount(18, 2s));
    EXPECT_EQ(settledReceived(), std::string("\x1D\x28\x46\x04\x00\x01\x00\x2D\x00"
                                             "\x1D\x28\x46\x04\x00\x02\x00\x1B\x03",
                                             18));
    EXPECT_EQ(display(),
              QStringLiteral(" 1D 28 46 04 00 01 00 2D 00\n 1D 28 46 04 00 02 00 1B 03\n"));
}

TEST_F(HalmbrookDialog, SetWithAPortThatCannotOpenSendsNothing) {
    m_dialog->comboBox(id::Port)->setCurrentIndex(1);
    click(id::Set);
    EXPECT_EQ(display(), QStringLiteral(" "));

    m_dialog->comboBox(id::Port)->setCurrentIndex(0);
    click(id::Set);
    ASSERT_TRUE(m_printer->waitForCount(18, 2s));
    m_printer->clearReceived();

    m_dialog->comboBox(id::Port)->setCurrentIndex(11);
    type(id::TicketLength, QStringLiteral("80"));
    click(id::Set);
    EXPECT_EQ(settledReceived(), "");
    EXPECT_EQ(display(), InitialDisplay) << "the display keeps the last commands sent";
    EXPECT_FALSE(m_dialog->port().isOpen());
    // Each port that would not open was reported, by name and with the reason.
    const std::vector<QString> messages = m_prompter.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("无法打开串口 COM2!\n")))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("无法打开串口 COM12!\n")))
        << messages[1].toStdString();
    EXPECT_TRUE(messages[1].contains(QStringLiteral("missing12：没有那个文件或目录")))
        << messages[1].toStdString();
}

TEST_F(HalmbrookDialog, ZeroTicketLengthIsRefused) {
    click(id::Set);
    ASSERT_TRUE(m_printer->waitForCount(18, 2s));
    m_printer->clearReceived();

    type(id::TicketLength, QStringLiteral("0"));
    click(id::Set);
    ASSERT_EQ(m_prompter.messages().size(), 1u);
    EXPECT_TRUE(m_prompter.messages().front().contains(QStringLiteral("票据长度")));
    EXPECT_EQ(settledReceived(), "");
    EXPECT_EQ(display(), InitialDisplay);
    EXPECT_EQ(m_dialog->focusWidget(), edit(id::TicketLength));
    EXPECT_EQ(edit(id::TicketLength)->selectedText(), QStringLiteral("0"));
    EXPECT_TRUE(m_dialog->port().isOpen()) << "the port Set opened before stays usable";
}

// Letters in the ticket length: the fields read before it take their new
// values, it and the ones after keep theirs, and Set still sends.
TEST_F(HalmbrookDialog, NonNumberStopsTheReadButNotSet) {
    type(id::TicketLength, QStringLiteral("150"));
    (void)m_dialog->readControls();

    type(id::StartOffset, QStringLiteral("20"));
    type(id::CutOffset, QStringLiteral("95"));
    m_dialog->radioButton(id::Sample2)->setChecked(true);
    type(id::TicketLength, QStringLiteral("abc"));
    m_dialog->comboBox(id::Port)->setCurrentIndex(1); // would fail to open
    type(id::StartError, QStringLiteral("5"));
    type(id::CutError, QStringLiteral("7"));
    click(id::Set);

    EXPECT_EQ(m_prompter.messages(), std::vector<QString>{IntegerPrompt});
    const BlackMarkSettings& f = m_dialog->fields();
    EXPECT_EQ(f.startOffset, 20);
    EXPECT_EQ(f.cutOffset, 95);
    EXPECT_EQ(f.ticketLayout, 1);
    EXPECT_EQ(f.ticketLength, 150);
    EXPECT_EQ(f.portIndex, 0);
    EXPECT_EQ(f.startError, 0);
    EXPECT_EQ(f.cutError, 0);
    EXPECT_EQ(m_dialog->focusWidget(), edit(id::TicketLength));
    EXPECT_EQ(edit(id::TicketLength)->selectedText(), QStringLiteral("abc"));

    // Length 150, start 20, sample 2: 48 mm and 140 mm, sent on COM1.
    ASSERT_TRUE(m_printer->waitForCount(18, 2s));
    EXPECT_EQ(settledReceived(), std::string("\x1D\x28\x46\x04\x00\x01\x00\x10\x01"
                                             "\x1D\x28\x46\x04\x00\x02\x00\x1B\x03",
                                             18));
}

TEST_F(HalmbrookDialog, IntegerFieldCheck) {
    struct Case {
        QString text;
        bool accepted;
        int value;
    };
    const Case cases[] = {
        {QStringLiteral("12"), true, 12},
        {QStringLiteral("  -7\t"), true, -7},
        {QStringLiteral("\t+5 "), true, 5},
        {QStringLiteral("0"), true, 0},
        {QStringLiteral("99999999999"), true, INT_MAX},
        {QStringLiteral("-99999999999"), true, INT_MIN},
        {QString(), false, 0},
        {QStringLiteral("   "), false, 0},
        {QStringLiteral("1 2"), false, 0},
        {QStringLiteral("12mm"), false, 0},
        {QStringLiteral("0x10"), false, 0},
        {QStringLiteral("-0"), false, 0},
        {QStringLiteral("+0"), false, 0},
        {QStringLiteral("--1"), false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        type(id::StartOffset, QStringLiteral("33"));
        ASSERT_TRUE(m_dialog->readControls());
        m_prompter.clear();
        type(id::StartOffset, c.text);
        EXPECT_EQ(m_dialog->readControls(), c.accepted);
        EXPECT_EQ(m_dialog->fields().startOffset, c.accepted ? c.value : 33);
        EXPECT_EQ(m_prompter.messages().size(), c.accepted ? 0u : 1u);
    }
}

TEST_F(HalmbrookDialog, TestBeforeSetWritesNothing) {
    std::vector<long long> waits;
    m_dialog->setWaitFunction([&](std::chrono::milliseconds ms) {
        waits.push_back(ms.count());
        std::this_thread::sleep_for(ms);
    });
    QElapsedTimer clock;
    clock.start();
    click(id::Test);
    EXPECT_LT(clock.elapsed(), 450) << "no 500 ms wait without a port";
    EXPECT_EQ(waits, std::vector<long long>{100});
    EXPECT_EQ(settledReceived(), "");
}

TEST_F(HalmbrookDialog, TestAfterSetPrintsAndCutsHalfASecondLater) {
    click(id::Set);
    ASSERT_TRUE(m_printer->waitForCount(18, 2s));
    m_printer->clearReceived();

    std::string beforeCut;
    m_dialog->setWaitFunction([&](std::chrono::milliseconds ms) {
        EXPECT_EQ(ms, 500ms);
        EXPECT_TRUE(m_printer->waitForCount(17, 2s));
        beforeCut = m_printer->received();
        std::this_thread::sleep_for(ms);
    });
    QElapsedTimer clock;
    clock.start();
    click(id::Test);
    EXPECT_GE(clock.elapsed(), 500);
    const std::string feed("\x1D\x0C", 2);
    const std::string text("\xC6\xF0\xCA\xBC\xB4\xF2\xD3\xA1\xCE\xBB\xD6\xC3\x0A\x0A\x0A", 15);
    const std::string cut("\x1D\x56\x42\x00", 4);
    EXPECT_EQ(beforeCut, feed + text) << "the cut waits for the half second";
    ASSERT_TRUE(m_printer->waitForCount(21, 2s));
    EXPECT_EQ(settledReceived(), feed + text + cut);
    EXPECT_EQ(display(), InitialDisplay) << "Test leaves the display alone";
}

TEST_F(HalmbrookDialog, EnterClosesWithValidFieldsOnly) {
    m_dialog->show();
    // On a button, Enter clicks that button; nothing is a default button.
    m_dialog->button(id::Set)->setFocus();
    QTest::keyClick(m_dialog->button(id::Set), Qt::Key_Return);
    ASSERT_TRUE(m_printer->waitForCount(18, 2s));
    EXPECT_TRUE(m_dialog->isVisible());
    m_printer->clearReceived();

    edit(id::TicketLength)->setFocus();
    type(id::CutOffset, QStringLiteral("x"));
    QTest::keyClick(edit(id::TicketLength), Qt::Key_Return);
    EXPECT_EQ(m_prompter.messages(), std::vector<QString>{IntegerPrompt});
    EXPECT_TRUE(m_dialog->isVisible());

    type(id::CutOffset, QStringLiteral("90"));
    edit(id::TicketLength)->setFocus();
    QTest::keyClick(edit(id::TicketLength), Qt::Key_Return);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog->fields().cutOffset, 90);
    EXPECT_EQ(settledReceived(), "") << "closing sends nothing";
}

TEST_F(HalmbrookDialog, EscapeAndExitClose) {
    m_dialog->show();
    QTest::keyClick(edit(id::StartOffset), Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);

    m_dialog->show();
    type(id::TicketLength, QStringLiteral("not read"));
    click(id::Cancel);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(m_prompter.messages().empty()) << "Exit reads no field";
}

TEST_F(HalmbrookDialog, AboutBoxFromButtonAndContextMenu) {
    int shown = 0;
    const auto checkBox = [&](QDialog& box) {
        ++shown;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("关于 Halmbrook"));
        QStringList texts;
        for (const QLabel* l : box.findChildren<QLabel*>())
            texts << l->text();
        EXPECT_TRUE(texts.contains(QStringLiteral("Halmbrook 1.0 版")));
        auto* ok = box.findChild<QPushButton*>(QStringLiteral("c1"));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), QStringLiteral("确定"));
        EXPECT_TRUE(ok->isDefault());
        ok->click();
        EXPECT_EQ(box.result(), QDialog::Accepted);
    };
    m_prompter.modalNext(QDialog::Accepted, checkBox);
    m_prompter.modalNext(QDialog::Accepted, checkBox);

    click(id::About);
    EXPECT_EQ(shown, 1);

    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            m_dialog->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(m_dialog.get(), &event);
    auto* menu = m_dialog->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("关于 Halmbrook(&A)..."));
    menu->actions().front()->trigger();
    menu->close();
    EXPECT_EQ(shown, 2);
}

TEST_F(HalmbrookDialog, AStalledPrinterLeavesTheWindowAliveAndCancelEndsSet) {
    m_dialog->show();
    ASSERT_TRUE(m_printer->stallWithFullLine());
    m_printer->clearReceived();

    const auto probe = testsupport::CancelProbe::run(
        *m_dialog, [&] { m_dialog->onSetClicked(); }, 600ms,
        // The window takes no second click meanwhile.
        [&] { QTest::mouseClick(m_dialog->button(id::Test), Qt::LeftButton); });
    ASSERT_TRUE(probe.firstTick.has_value());
    EXPECT_LT(*probe.firstTick, 100ms) << "the event loop kept turning";
    EXPECT_TRUE(probe.dialogShown);
    EXPECT_EQ(probe.cancelText, QStringLiteral("取消"));
    EXPECT_LT(probe.afterCancel(), 1s);
    EXPECT_EQ(display(), QStringLiteral(" ")) << "nothing was set";
    EXPECT_TRUE(m_prompter.messages().empty()) << "a cancel is the user's own choice";

    // What went out is an exact prefix of the two commands, after the filler.
    m_printer->setReading(true);
    QTest::qWait(300);
    std::string got = m_printer->received();
    got.erase(0, std::min(got.size(), got.find_first_not_of('f')));
    EXPECT_LT(got.size(), 18u);
    EXPECT_EQ(got, (StartCommand + CutCommand).substr(0, got.size()));
}

TEST_F(HalmbrookDialog, APrinterThatVanishesMidSetIsReportedAndTheDisplayKept) {
    click(id::Set);
    ASSERT_TRUE(m_printer->waitForCount(18, 2s));
    ASSERT_TRUE(m_printer->stallWithFullLine());
    type(id::TicketLength, QStringLiteral("150"));
    QTimer::singleShot(200, m_dialog.get(), [&] { m_printer->vanish(); });
    click(id::Set);
    EXPECT_EQ(display(), InitialDisplay) << "the display keeps the commands sent before";
    ASSERT_EQ(m_prompter.messages().size(), 1u);
    const QString message = m_prompter.messages().front();
    EXPECT_TRUE(message.startsWith(QStringLiteral("黑标命令没有完整发送到 COM1(已发送 ")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(u'\n')) << "with the reason: " << message.toStdString();

    // Test on the port that is gone says so too.
    m_prompter.clear();
    m_dialog->setWaitFunction([](std::chrono::milliseconds) {});
    click(id::Test);
    ASSERT_EQ(m_prompter.messages().size(), 1u);
    EXPECT_TRUE(
        m_prompter.messages().front().startsWith(QStringLiteral("测试打印没有完整发送到 COM1!\n")))
        << m_prompter.messages().front().toStdString();
}

TEST_F(HalmbrookDialog, TestWithoutAnOpenPortSaysSo) {
    m_dialog->setWaitFunction([](std::chrono::milliseconds) {});
    click(id::Test);
    ASSERT_EQ(m_prompter.messages().size(), 1u);
    EXPECT_TRUE(m_prompter.messages().front().contains(QStringLiteral("串口没有打开")));
}

TEST_F(HalmbrookDialog, ThePortTipIsReadAnewWhenItShows) {
    QComboBox* port = m_dialog->comboBox(id::Port);
    EXPECT_TRUE(port->toolTip().contains(QString::fromStdString(m_printer->devicePath())));
    // The map file changes while the window is open.
    const std::string map = m_dir.filePath(QStringLiteral("ports.conf")).toStdString();
    std::ofstream(map) << "COM1 = /dev/ttyUSB7\n";
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), port->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(port, &help);
    EXPECT_TRUE(port->toolTip().startsWith(QStringLiteral("COM1 → /dev/ttyUSB7")))
        << port->toolTip().toStdString();
}

TEST(HalmbrookPictures, BothSamplesAreDrawn) {
    for (const int id : {TicketSample1Bitmap, TicketSample2Bitmap}) {
        const QSize size = ticketSampleDesignSize(id);
        const QImage image = ticketSamplePixmap(id, size).toImage();
        ASSERT_EQ(image.size(), size);
        // Ink on paper: dark pixels (the mark, the text), the coloured lines.
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 64 ? 1 : 0;
        EXPECT_GT(dark, 500) << id;
    }
    EXPECT_TRUE(ticketSamplePixmap(131, {}).isNull());
}
// Run by the ctest entry blackmark_dialog_test_125 at 125 % (QT_FONT_DPI=120).
TEST_F(HalmbrookDialog, TheHintBoxKeepsItsBorderAndItsLastLine) {
    m_dialog->show();
    QLabel* hint = nullptr;
    for (QLabel* l : m_dialog->clientArea()->findChildren<QLabel*>())
        if (l->text().startsWith(QStringLiteral("注：")))
            hint = l;
    ASSERT_NE(hint, nullptr);
    // The box as it lands on the screen's pixels, inside the window.
    // Painted in the screen's own pixels, as the window's backing store does.
    QWidget* client = m_dialog->clientArea();
    const qreal dpr = client->devicePixelRatioF();
    QImage window(QSize(qCeil(client->width() * dpr), qCeil(client->height() * dpr)),
                  QImage::Format_ARGB32_Premultiplied);
    window.setDevicePixelRatio(dpr);
    window.fill(Qt::white);
    client->render(&window);
    const QRectF logical(hint->geometry());
    const QRect box(qCeil(logical.left() * dpr), qCeil(logical.top() * dpr),
                    qFloor(logical.right() * dpr) - qCeil(logical.left() * dpr),
                    qFloor(logical.bottom() * dpr) - qCeil(logical.top() * dpr));
    const auto dark = [&](int x, int y) { return qGray(window.pixel(x, y)) < 128; };
    const auto darkInColumn = [&](int x) {
        int n = 0;
        for (int y = box.top() + 2; y < box.bottom() - 2; ++y)
            n += dark(x, y) ? 1 : 0;
        return n;
    };
    const auto darkInRow = [&](int y) {
        int n = 0;
        for (int x = box.left() + 2; x < box.right() - 2; ++x)
            n += dark(x, y) ? 1 : 0;
        return n;
    };
    const int inner = box.height() - 4;
    const int across = box.width() - 4;
    // Each of the four sides is a line on the box's outermost pixels (or one in).
    EXPECT_GE(std::max(darkInColumn(box.left()), darkInColumn(box.left() + 1)), inner * 9 / 10);
    EXPECT_GE(std::max(darkInColumn(box.right()), darkInColumn(box.right() - 1)), inner * 9 / 10)
        << "right border";
    EXPECT_GE(std::max(darkInRow(box.top()), darkInRow(box.top() + 1)), across * 9 / 10);
    EXPECT_GE(std::max(darkInRow(box.bottom()), darkInRow(box.bottom() - 1)), across * 9 / 10)
        << "bottom border";
    // The text ends above the bottom border: no glyph runs into it.
    for (int y = box.bottom() - 4; y < box.bottom() - 1; ++y)
        EXPECT_EQ(darkInRow(y), 0) << "text cut at the bottom, row " << y - box.top();
}

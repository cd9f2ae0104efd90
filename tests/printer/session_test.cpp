// The printer over its real lines: status replies over a pty, the console's
// sample sent through the console's own link and printed in the window, and
// TCP clients served one after another.

#include "console/link/printerlink.h"
#include "platform/portmap.h"
#include "platform/uniquefd.h"
#include "printer/core/printersession.h"
#include "printer/ui/logmodel.h"
#include "printer/ui/paperview.h"
#include "printer/ui/printericon.h"
#include "printer/ui/printerwindow.h"
#include "tests/printer/receipts.h"
#include "tests/support/prompter/scriptedprompter.h"

#include <QAction>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <fstream>

namespace {

using namespace std::string_literals;
using posprinter::PrinterSession;
using posprinter::PrinterStatus;

class OverPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QString error;
        ASSERT_TRUE(session.openPty(dir.filePath(QStringLiteral("printer")), &error))
            << error.toStdString();
        session.start();
        const std::string map = dir.filePath(QStringLiteral("ports.conf")).toStdString();
        std::ofstream(map) << "COM1 = " << dir.filePath(QStringLiteral("printer")).toStdString()
                           << "\n";
        link = PrinterLink::open(
            PortSettings{},
            platform::PortMap::fromFile(map, platform::PortMapping::Source::EnvironmentFile));
        ASSERT_TRUE(link);
    }

    // What the printer sends back within a second.
    std::string ask(const std::string& command) {
        EXPECT_EQ(link->write(command.data(), static_cast<std::int32_t>(command.size())),
                  static_cast<std::int32_t>(command.size()));
        std::string reply;
        (void)QTest::qWaitFor(
            [&] {
                char buffer[64];
                const std::int32_t n = link->read(buffer, sizeof buffer);
                reply.append(buffer, static_cast<std::size_t>(std::max(n, 0)));
                return !reply.empty();
            },
            1000);
        QTest::qWait(20); // anything more would be an extra byte
        char buffer[64];
        const std::int32_t n = link->read(buffer, sizeof buffer);
        reply.append(buffer, static_cast<std::size_t>(std::max(n, 0)));
        return reply;
    }

    QTemporaryDir dir;
    PrinterSession session;
    std::optional<PrinterLink> link;
};

TEST_F(OverPty, StatusRequestsAreAnsweredFromTheStatusPanel) {
    struct Row {
        const char* what;
        PrinterStatus status;
        std::string command;
        std::string reply;
    };
    PrinterStatus ready;
    PrinterStatus offline;
    offline.online = false;
    PrinterStatus cover;
    cover.coverOpen = true;
    PrinterStatus nearEnd;
    nearEnd.paperNearEnd = true;
    PrinterStatus out;
    out.paperOut = true;
    PrinterStatus drawer;
    drawer.drawerOpen = true;
    const Row rows[] = {
        {"ready, printer status", ready, "\x10\x04\x01", "\x12"},
        {"offline", offline, "\x10\x04\x01", "\x1A"},
        {"drawer open", drawer, "\x10\x04\x01", "\x16"},
        {"cover open: offline cause", cover, "\x10\x04\x02", "\x16"},
        {"cover open makes it offline", cover, "\x10\x04\x01", "\x1A"},
        {"paper out stops printing", out, "\x10\x04\x02", "\x32"},
        {"no errors", ready, "\x10\x04\x03", "\x12"},
        {"paper near end", nearEnd, "\x10\x04\x04", "\x1E"},
        {"paper out", out, "\x10\x04\x04", "\x72"},
        {"GS r 1, near end", nearEnd, "\x1Dr\x01", "\x03"},
        {"GS r 49, paper out", out, "\x1Dr\x31", "\x0C"},
        {"GS r 2, drawer", drawer, "\x1Dr\x02", "\x01"},
        {"GS r 2, drawer shut", ready, "\x1Dr\x02", "\x00"s},
        {"GS I 1, model", ready, "\x1DI\x01", "\x20"},
        {"GS I 67, model name", ready, "\x1DI\x43", "_posprinter\x00"s},
        {"no answer to ESC @, then one to DLE EOT 4", ready, "\x1B@\x10\x04\x04", "\x12"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        session.setStatus(row.status);
        EXPECT_EQ(ask(row.command), row.reply);
    }
}

TEST_F(OverPty, ADrawerPulseOpensTheDrawer) {
    QSignalSpy changed(&session, &PrinterSession::statusChanged);
    EXPECT_EQ(ask("\x1Bp\x00\xE0\xF0\x10\x04\x01"s), "\x16");
    EXPECT_TRUE(session.status().drawerOpen);
    EXPECT_TRUE(QTest::qWaitFor([&] { return changed.count() == 1; }, 1000));
}

TEST_F(OverPty, TheConsolesSampleArrivesIsDecodedAndPrintedInTheWindow) {
    ScriptedPrompter prompter;
    posprinter::PrinterWindow window(session, prompter, posprinter::PaperWidth::Mm80);
    // It wears the printer's icon, the artwork the desktop's icons are drawn from.
    EXPECT_EQ(window.windowIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32),
              posprinter::printerIconImage(32).convertToFormat(QImage::Format_ARGB32));
    const std::string sample = printertest::sample80();
    ASSERT_EQ(link->write(sample.data(), static_cast<std::int32_t>(sample.size())), 894);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            window.drain();
            return window.printedOffset() == sample.size();
        },
        3000));
    // 22 lines: a text row and an LF row each, in the log.
    EXPECT_EQ(window.log().rowCount(), 44);
    EXPECT_EQ(window.log()
                  .data(window.log().index(43, posprinter::LogModel::Name), Qt::DisplayRole)
                  .toString(),
              QStringLiteral("LF"));
    // Not cut: the receipt is still on the printer, as the sample's golden image.
    EXPECT_TRUE(window.paper().receipts().empty());
    EXPECT_TRUE(printertest::matchesGolden(window.renderer().openImage(), "sample80.png"));

    // Saved as PNG, the same picture.
    const QString path = dir.filePath(QStringLiteral("saved.png"));
    prompter.saveNext(path);
    window.saveReceipt();
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32),
              window.renderer().openImage().convertToFormat(QImage::Format_RGB32));

    // The status panel answers for the printer.
    window.statusBox(3)->click(); // 缺纸
    EXPECT_EQ(ask("\x10\x04\x04"), "\x72");
    window.statusBox(3)->click();
    EXPECT_EQ(ask("\x10\x04\x04"), "\x12");

    // A narrower paper takes the next receipt.
    window.paperAction(posprinter::PaperWidth::Mm58)->trigger();
    const std::string next = "\x1DVB\x00X\n\x1DV\x00"s;
    link->write(next.data(), static_cast<std::int32_t>(next.size()));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            window.drain();
            return window.paper().receipts().size() == 2;
        },
        3000));
    EXPECT_EQ(window.paper().receipts()[0].image.width(), 640);
    EXPECT_EQ(window.paper().receipts()[1].image.width(), 464);
}

// A TCP client of our own, on loopback.
class Client {
public:
    explicit Client(std::uint16_t port) : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd.get(), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    bool send(const std::string& bytes) {
        return ::send(m_fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }
    void close() { m_fd.reset(); }
    [[nodiscard]] bool connected() const { return m_connected; }

private:
    platform::UniqueFd m_fd;
    bool m_connected = false;
};

TEST(OverTcp, ClientsAreServedOneAfterAnotherAndNothingIsLost) {
    PrinterSession session;
    QString error;
    ASSERT_TRUE(session.listenTcp(QStringLiteral("127.0.0.1"), 0, &error)) << error.toStdString();
    session.start();
    const std::uint16_t port = session.tcpEndpoint()->port();

    std::string printed;
    const auto take = [&] {
        for (const auto& item : session.takeItems())
            printed += item.bytes;
    };
    Client first(port);
    ASSERT_TRUE(first.connected());
    ASSERT_TRUE(first.send("first "));
    Client second(port); // waits in the queue while the first is served
    ASSERT_TRUE(second.connected());
    ASSERT_TRUE(second.send("second\n"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            take();
            return printed == "first ";
        },
        2000));
    QTest::qWait(100);
    take();
    EXPECT_EQ(printed, "first ");
    ASSERT_TRUE(first.send("more\n"));
    first.close();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            take();
            return printed == "first more\nsecond\n";
        },
        2000))
        << printed;
}

} // namespace

#include "platform/tcpclient.h"
#include "tests/support/printer/virtualprinter.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using platform::TcpClient;
using testsupport::VirtualPrinter;

namespace {

using Clock = std::chrono::steady_clock;

// A loopback listener that never accepts, with its queue filled so that
// further connection attempts get no answer at all.
class SilentListener {
public:
    SilentListener() {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener, 0) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        for (int i = 0; i < 16; ++i) { // bounded: the queue holds one or two
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            m_fillers.push_back(fd);
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 200) == 0) {
                m_full = true;
                break;
            }
        }
    }
    ~SilentListener() {
        for (const int fd : m_fillers)
            ::close(fd);
        ::close(m_listener);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    [[nodiscard]] bool full() const { return m_full; }
    [[nodiscard]] std::uint16_t port() const { return m_port; }

private:
    int m_listener = -1;
    std::uint16_t m_port = 0;
    bool m_full = false;
    std::vector<int> m_fillers;
};

} // namespace

TEST(TcpClient, ConnectsAndSends) {
    auto printer = VirtualPrinter::tcp();
    ASSERT_NE(printer, nullptr);
    TcpClient client;
    ASSERT_TRUE(client.connect("127.0.0.1", printer->port())) << client.lastError();
    EXPECT_EQ(client.send("\x1b@ok", 4), 4);
    ASSERT_TRUE(printer->waitForCount(4, 2s));
    EXPECT_EQ(printer->received(), "\x1b@ok");
    client.close();
    EXPECT_EQ(client.send("x", 1), -1);
}

TEST(TcpClient, PortIsTheLow16BitsOfTheNumber) {
    auto printer = VirtualPrinter::tcp();
    ASSERT_NE(printer, nullptr);
    const std::int32_t p = printer->port();
    for (const std::int32_t number : {p + 65536, p + 3 * 65536, p - 65536}) {
        TcpClient client;
        EXPECT_TRUE(client.connect("127.0.0.1", number)) << number;
    }
    EXPECT_TRUE(printer->waitForConnections(3, 2s));
}

TEST(TcpClient, Port70000ConnectsTo4464) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(4464);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 4) != 0) {
        ::close(listener);
        GTEST_SKIP() << "port 4464 is in use here";
    }
    TcpClient client;
    EXPECT_TRUE(client.connect("127.0.0.1", 70000)) << client.lastError();
    ::close(listener);
}

TEST(TcpClient, UnreadableAddressFailsWithoutTrying) {
    auto printer = VirtualPrinter::tcp();
    ASSERT_NE(printer, nullptr);
    for (const char* address : {"", "printer", "127.0.0.1.5", "300.1.1.1"}) {
        TcpClient client;
        const auto started = Clock::now();
        EXPECT_FALSE(client.connect(address, printer->port())) << address;
        EXPECT_LT(Clock::now() - started, 50ms);
        EXPECT_FALSE(client.isOpen());
    }
    // inet_addr forms: "127.1" is 127.0.0.1.
    TcpClient shortForm;
    EXPECT_TRUE(shortForm.connect("127.1", printer->port()));
    ASSERT_TRUE(printer->waitForConnections(1, 2s));
    EXPECT_EQ(printer->connections(), 1);
}

TEST(TcpClient, RefusedConnectionFails) {
    std::uint16_t port = 0;
    {
        auto printer = VirtualPrinter::tcp();
        ASSERT_NE(printer, nullptr);
        port = printer->port();
    } // closed: nothing listens there now
    TcpClient client;
    EXPECT_FALSE(client.connect("127.0.0.1", port));
    EXPECT_FALSE(client.lastError().empty());
}

TEST(TcpClient, SilentAddressGivesUpWithinTheBound) {
    SilentListener silent;
    if (!silent.full())
        GTEST_SKIP() << "could not fill the listen queue";
    TcpClient client;
    auto started = Clock::now();
    EXPECT_FALSE(client.connect("127.0.0.1", silent.port(), 300ms));
    auto took = Clock::now() - started;
    EXPECT_GE(took, 290ms);
    EXPECT_LT(took, 1500ms);

    // Longer time-outs are held to the bound, not Linux's two minutes.
    started = Clock::now();
    EXPECT_FALSE(client.connect("127.0.0.1", silent.port(), 10min));
    took = Clock::now() - started;
    EXPECT_GE(took, TcpClient::DefaultConnectTimeout - 10ms);
    EXPECT_LT(took, TcpClient::DefaultConnectTimeout + 1500ms);
}

TEST(TcpClient, SendToAVanishedPeerDoesNotRaiseSigpipe) {
    auto printer = VirtualPrinter::tcp();
    ASSERT_NE(printer, nullptr);
    TcpClient client;
    ASSERT_TRUE(client.connect("127.0.0.1", printer->port()));
    ASSERT_TRUE(printer->waitForConnections(1, 2s));
    printer->vanish();
    // The first send may still be taken by the kernel; later ones see the reset.
    long last = 0;
    for (int i = 0; i < 20 && last >= 0; ++i) {
        last = client.send("data", 4);
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(last, -1);
    EXPECT_FALSE(client.lastError().empty());
}

TEST(TcpClient, SendTimeoutBoundsAStalledPeer) {
    auto printer = VirtualPrinter::tcp();
    ASSERT_NE(printer, nullptr);
    printer->setReading(false);
    TcpClient client;
    ASSERT_TRUE(client.connect("127.0.0.1", printer->port()));
    ASSERT_TRUE(client.setSendTimeout(200ms));
    const std::string data(64 * 1024 * 1024, 'x');
    const auto started = Clock::now();
    const long sent = client.send(data.data(), data.size());
    EXPECT_LT(Clock::now() - started, 3s);
    EXPECT_LT(sent, static_cast<long>(data.size()));
}

// A printer that accepts and then stops reading: once the socket buffers are
// full, the write waits only until its deadline or a stop, and what went out
// before either is exactly the front of what was asked.
TEST(TcpClient, WriteToAStalledPeerEndsAtItsDeadlineOrAtAStop) {
    auto printer = VirtualPrinter::tcp();
    ASSERT_NE(printer, nullptr);
    printer->setReading(false);
    TcpClient client;
    ASSERT_TRUE(client.connect("127.0.0.1", printer->port()));
    std::string first(16 * 1024 * 1024, 'a');
    std::string second(16 * 1024 * 1024, 'b');
    for (std::size_t i = 0; i < first.size(); i += 4096)
        first[i] = second[i] = static_cast<char>('0' + i / 4096 % 10);

    auto started = Clock::now();
    std::size_t progressed = 0;
    const std::size_t timedOut =
        client.write(first.data(), first.size(), 300ms,
                     {std::stop_token{}, [&](std::size_t n) { progressed = n; }});
    auto took = Clock::now() - started;
    EXPECT_GE(took, 290ms);
    EXPECT_LT(took, 2s);
    EXPECT_LT(timedOut, first.size());
    EXPECT_EQ(progressed, timedOut);
    EXPECT_EQ(client.lastErrorCode(), ETIMEDOUT);

    std::stop_source stop;
    std::thread stopper([&] {
        std::this_thread::sleep_for(150ms);
        stop.request_stop();
    });
    started = Clock::now();
    const std::size_t stopped =
        client.write(second.data(), second.size(), std::chrono::hours(18), {stop.get_token(), {}});
    took = Clock::now() - started;
    stopper.join();
    EXPECT_LT(took, 1s);
    EXPECT_LT(stopped, second.size());
    EXPECT_EQ(client.lastErrorCode(), ECANCELED);

    printer->setReading(true);
    ASSERT_TRUE(printer->waitForCount(timedOut + stopped, 10s));
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(printer->received() == first.substr(0, timedOut) + second.substr(0, stopped));
}

TEST(TcpClient, AVanishedPeerIsSeenAndEndsAWrite) {
    auto printer = VirtualPrinter::tcp();
    ASSERT_NE(printer, nullptr);
    TcpClient client;
    ASSERT_TRUE(client.connect("127.0.0.1", printer->port()));
    ASSERT_TRUE(printer->waitForConnections(1, 2s));
    EXPECT_FALSE(client.peerGone());
    printer->vanish();
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        std::this_thread::sleep_for(5ms);
        gone = client.peerGone();
    }
    EXPECT_TRUE(gone);
    const std::string data(1024 * 1024, 'x');
    const auto started = Clock::now();
    EXPECT_LT(client.write(data.data(), data.size(), std::chrono::hours(18)), data.size());
    EXPECT_LT(Clock::now() - started, 1s);
    EXPECT_TRUE(client.lastErrorCode() == EPIPE || client.lastErrorCode() == ECONNRESET)
        << client.lastErrorCode();
}

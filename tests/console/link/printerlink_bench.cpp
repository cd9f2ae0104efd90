// Throughput of PrinterLink::write against a plain write loop on the same
// kind of descriptor: 256 KiB to a TCP listener on loopback and to a pty
// with a draining reader. Each iteration ends when the reader has every byte.
//
//   ./build/tests/console/link/printerlink_bench

#include "console/link/printerlink.h"
#include "platform/portmap.h"
#include "tests/support/printer/virtualprinter.h"

#include <QTemporaryDir>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <string>

using testsupport::VirtualPrinter;

namespace {

constexpr std::size_t Size = 256 * 1024;

const std::string& payload() {
    static const std::string data = [] {
        std::string d(Size, '\0');
        for (std::size_t i = 0; i < d.size(); ++i)
            d[i] = static_cast<char>(i * 31);
        return d;
    }();
    return data;
}

void waitFor(benchmark::State& state, const VirtualPrinter& printer, std::size_t total) {
    if (!printer.waitForCount(total, std::chrono::seconds(30)))
        state.SkipWithError("the printer did not get every byte");
}

std::unique_ptr<VirtualPrinter> quietPrinter(bool serial) {
    auto printer = serial ? VirtualPrinter::serial() : VirtualPrinter::tcp();
    if (printer)
        printer->setRecording(false);
    return printer;
}

void linkWrite(benchmark::State& state, std::unique_ptr<VirtualPrinter> printer,
               std::optional<PrinterLink> link) {
    if (!printer || !link) {
        state.SkipWithError("no printer");
        return;
    }
    std::size_t total = 0;
    for (auto _ : state) {
        total += static_cast<std::size_t>(link->write(payload().data(), Size));
        waitFor(state, *printer, total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Size));
}

void plainWrite(benchmark::State& state, const VirtualPrinter& printer, int fd) {
    std::size_t total = 0;
    for (auto _ : state) {
        std::size_t done = 0;
        while (done < Size) {
            const ssize_t n = ::write(fd, payload().data() + done, Size - done);
            if (n <= 0) {
                state.SkipWithError("write failed");
                return;
            }
            done += static_cast<std::size_t>(n);
        }
        total += done;
        waitFor(state, printer, total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Size));
}

void BM_PrinterLinkTcp(benchmark::State& state) {
    auto printer = quietPrinter(false);
    PortSettings settings;
    settings.port = 18;
    settings.ipAddress = "127.0.0.1";
    settings.tcpPort = printer ? printer->port() : 0;
    auto link = PrinterLink::open(settings, platform::PortMap());
    linkWrite(state, std::move(printer), std::move(link));
}

void BM_PlainWriteTcp(benchmark::State& state) {
    auto printer = quietPrinter(false);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(printer ? printer->port() : 0);
    if (!printer || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        state.SkipWithError("no printer");
    } else {
        plainWrite(state, *printer, fd);
    }
    ::close(fd);
}

void BM_PrinterLinkPty(benchmark::State& state) {
    auto printer = quietPrinter(true);
    QTemporaryDir dir;
    const std::string map = dir.path().toStdString() + "/ports.conf";
    std::ofstream(map) << "COM1 = " << (printer ? printer->devicePath() : "") << "\n";
    PortSettings settings;
    settings.port = 1;
    auto link = PrinterLink::open(
        settings, platform::PortMap::fromFile(map, platform::PortMapping::Source::EnvironmentFile));
    linkWrite(state, std::move(printer), std::move(link));
}

void BM_PlainWritePty(benchmark::State& state) {
    auto printer = quietPrinter(true);
    const int fd = printer ? ::open(printer->devicePath().c_str(), O_RDWR | O_NOCTTY) : -1;
    if (fd < 0) {
        state.SkipWithError("no printer");
        return;
    }
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    plainWrite(state, *printer, fd);
    ::close(fd);
}

} // namespace

BENCHMARK(BM_PrinterLinkTcp)->UseRealTime();
BENCHMARK(BM_PlainWriteTcp)->UseRealTime();
BENCHMARK(BM_PrinterLinkPty)->UseRealTime();
BENCHMARK(BM_PlainWritePty)->UseRealTime();

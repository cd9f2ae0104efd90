// The virtual printer's speed: decoding a 1 MiB mixed stream (goal: at least
// 50 MB/s), printing a 100-line receipt with a QR code and a CODE128 barcode
// (goal: at most 20 ms), and a 100 KB/s stream over the pty into the window,
// which must keep up (how far the paper lags behind the bytes, and how long it
// takes to catch up when the stream stops).

#include "console/link/printerlink.h"
#include "platform/portmap.h"
#include "printer/core/decoder.h"
#include "printer/core/printersession.h"
#include "printer/render/receiptrenderer.h"
#include "printer/ui/printerwindow.h"
#include "tests/printer/receipts.h"
#include "tests/support/prompter/scriptedprompter.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <atomic>
#include <fstream>
#include <thread>

namespace {

using namespace std::string_literals;

// Text, GBK, modes, barcodes, a QR code and raster images, repeated to 1 MiB.
std::string mixedStream() {
    std::string block = printertest::richReceipt(40) + printertest::sample80() +
                        printertest::barcodeTest(false, "0123456789") + "\x1Bp\x00\xE0\xF0"s;
    // a 576 x 64 raster image
    block += "\x1Dv0\x00\x48\x00\x40\x00"s;
    for (int i = 0; i < 72 * 64; ++i)
        block += static_cast<char>(i * 37);
    block += "\x1DVB\x00"s;
    std::string stream;
    while (stream.size() < (1u << 20))
        stream += block;
    stream.resize(1u << 20);
    return stream;
}

void Decode1MiBMixed(benchmark::State& state) {
    const std::string stream = mixedStream();
    std::size_t items = 0;
    for (auto _ : state) {
        posprinter::Decoder decoder;
        decoder.feed(stream, [&](posprinter::DecodedItem&& item) {
            benchmark::DoNotOptimize(item.length);
            ++items;
        });
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
    state.counters["items"] = static_cast<double>(items) / static_cast<double>(state.iterations());
}
BENCHMARK(Decode1MiBMixed)->Unit(benchmark::kMillisecond);

void Render100LineReceiptWithQrAndCode128(benchmark::State& state) {
    std::vector<posprinter::DecodedItem> items;
    posprinter::Decoder decoder;
    decoder.feed(printertest::richReceipt(100),
                 [&](posprinter::DecodedItem&& item) { items.push_back(std::move(item)); });
    posprinter::ReceiptRenderer renderer;
    for (auto _ : state) {
        for (const auto& item : items)
            renderer.render(item);
        auto receipts = renderer.takeFinished();
        if (receipts.size() != 1)
            state.SkipWithError("the receipt did not come out");
        benchmark::DoNotOptimize(receipts);
    }
}
BENCHMARK(Render100LineReceiptWithQrAndCode128)->Unit(benchmark::kMillisecond);

// 100 KB/s for two seconds through the console's serial link into the window.
void PtyStream100KBpsIntoTheWindow(benchmark::State& state) {
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("printer"));
    posprinter::PrinterSession session;
    QString error;
    if (!session.openPty(linkPath, &error)) {
        state.SkipWithError("no pty");
        return;
    }
    ScriptedPrompter prompter;
    posprinter::PrinterWindow window(session, prompter, posprinter::PaperWidth::Mm80);
    window.show();
    session.start();
    const std::string map = dir.filePath(QStringLiteral("ports.conf")).toStdString();
    std::ofstream(map) << "COM1 = " << linkPath.toStdString() << "\n";
    auto link = PrinterLink::open(
        PortSettings{},
        platform::PortMap::fromFile(map, platform::PortMapping::Source::EnvironmentFile));
    if (!link) {
        state.SkipWithError("no link");
        return;
    }
    // Receipts of 100 lines with a logo, a QR code and a barcode, about 4 KB each.
    std::string payload;
    while (payload.size() < 200 * 1024)
        payload += printertest::richReceipt(100);
    payload.resize(200 * 1024);

    for (auto _ : state) {
        std::atomic<std::size_t> sent{0};
        std::thread writer([&] {
            // 10 KB every 100 ms.
            for (std::size_t at = 0; at < payload.size(); at += 10 * 1024) {
                const auto chunk = static_cast<std::int32_t>(
                    std::min<std::size_t>(10 * 1024, payload.size() - at));
                sent += static_cast<std::size_t>(link->write(payload.data() + at, chunk));
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
        double worstLagKb = 0;
        while (sent < payload.size()) {
            QTest::qWait(10);
            const double lag =
                static_cast<double>(session.bytesReceived() - window.printedOffset());
            worstLagKb = std::max(worstLagKb, lag / 1024.0);
        }
        writer.join();
        QElapsedTimer catchUp;
        catchUp.start();
        const std::uint64_t total =
            window.printedOffset() + (session.bytesReceived() - window.printedOffset());
        (void)QTest::qWaitFor([&] { return window.printedOffset() >= payload.size(); }, 10000);
        state.counters["worst_lag_KB"] = worstLagKb;
        state.counters["catch_up_ms"] = static_cast<double>(catchUp.elapsed());
        state.counters["printed_KB"] = static_cast<double>(window.printedOffset()) / 1024.0;
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(PtyStream100KBpsIntoTheWindow)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

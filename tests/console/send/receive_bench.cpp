// How much one receive poll costs with little or very much already shown.
// Run: ./build/tests/console/send/receive_bench  (the two figures should be close)
#include "console/send/receivedisplay.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>

namespace {

void appendTick(benchmark::State& state) {
    QPlainTextEdit area;
    area.resize(400, 200);
    area.show();
    ReceiveDisplay display(area);
    // Fill the area with about state.range(0) bytes of shown text, as polls would.
    const std::string fill(static_cast<size_t>(state.range(0)) / 3, 'A');
    display.append(fill, HexText::DisplayMode::Hex);
    std::string batch(100, '\0');
    for (int i = 0; i < 100; ++i)
        batch[static_cast<size_t>(i)] = static_cast<char>(0x30 + i % 40);
    for (auto _ : state) {
        display.append(batch, HexText::DisplayMode::Hex);
        QApplication::processEvents(); // let the edit lay out and paint what changed
    }
    state.counters["shown_bytes"] = static_cast<double>(display.text().size());
}

} // namespace

BENCHMARK(appendTick)->Arg(1024)->Arg(8 << 20)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

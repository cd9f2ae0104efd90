// What one receive poll of the console's window costs with little and with
// very much already in the receive area; the two figures should be close.
// Run: ./build/tests/console/send/receive_bench
#include "console/app/consoledialog.h"
#include "console/link/printerlink.h"
#include "tests/support/printer/recordingchannel.h"
#include "tests/support/printer/testportmap.h"
#include "tests/support/prompter/scriptedprompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void receiveTick(benchmark::State& state) {
    QTemporaryDir dir;
    (void)testsupport::useTestPortMap(dir.path(), testsupport::missingDevice(dir.path(), "COM1"));
    QDir::setCurrent(dir.path()); // no settings file of anyone's

    ScriptedPrompter prompter;
    TestConsoleDialog window(prompter);
    window.show();
    auto channel = std::make_unique<testsupport::RecordingChannel>();
    auto record = channel->record();
    window.adoptLink(PrinterLink(PortKind::Serial, std::move(channel)));
    window.checkBox(ids::HexDisplay)->setChecked(true);

    // What earlier polls would have shown: state.range(0) bytes of "XX " pieces.
    std::string shown;
    shown.reserve(static_cast<size_t>(state.range(0)));
    while (shown.size() + 3 <= static_cast<size_t>(state.range(0)))
        shown += "4F ";
    window.setReceiveText(shown);
    QApplication::processEvents();

    const std::string batch(100, '\x4F');
    for (auto _ : state) {
        record->toRead = batch;
        window.onTimer(timers::ReceivePoll);
        QApplication::processEvents(); // layout and paint of what changed
    }
    state.counters["area_bytes"] = static_cast<double>(window.receiveText().size());
}

} // namespace

BENCHMARK(receiveTick)->Arg(1024)->Arg(8 << 20)->Iterations(300)->Unit(benchmark::kMicrosecond);

// What the start-up load of the settings costs next to one plain read of the
// same file, for a file whose receive text holds 8 MB: as the hex display
// leaves it (one long line) and as the text display leaves it (short lines
// with lone CR and LF), with the caches warm and cold. The load makes every
// lookup the console makes at start-up (some sixty) on a fresh store; the
// goal is at most twice the plain read. Two more figures: one lookup alone
// (what each of the sixty cost when every lookup read the file), and the load
// of a file changed a moment ago, whose stamp is not trusted yet, so that
// every lookup reads it again.
// Run: ./build-test/tests/console/settings/settings_bench
#include "console/settings/consolesettings.h"
#include "console/settings/inifile.h"
#include "platform/filestamp.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <map>
#include <utime.h>
#include <vector>

namespace {

constexpr std::size_t ReceiveBytes = 8u << 20;

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

// A receive text of about 8 MB made of display pieces.
std::string hexDisplay() {
    std::string text;
    text.reserve(ReceiveBytes + 8);
    char piece[4];
    for (unsigned i = 0; text.size() < ReceiveBytes; ++i) {
        std::snprintf(piece, sizeof piece, "%02X ", i % 256);
        text += piece;
    }
    return text;
}

std::string textDisplay() {
    const std::string line = "NO.1234 TOTAL 12.50\r\n";
    std::string text;
    text.reserve(ReceiveBytes + 64);
    while (text.size() < ReceiveBytes) {
        for (char c : line) {
            text += c;
            text += ' ';
        }
    }
    return text;
}

// A settings file as the console saves it, with the receive text given, old
// enough for its stamp to be trusted.
std::string settingsFile(const char* name, std::string receive) {
    const std::string path =
        (scratch().path() + QLatin1Char('/') + QLatin1String(name)).toStdString();
    ConsoleSettings v;
    v.send = "\xB2\xE2\xCA\xD4\r\nNO.1\r\n";
    v.receive = std::move(receive);
    IniFile ini;
    ini.setFileName(path);
    v.save(ini);
    if (!ini.writeFile())
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    while (!platform::fileStamp(path)->settledAt(platform::wallClockNs()))
        QThread::msleep(20);
    return path;
}

const std::string& hexFile() {
    static const std::string path = settingsFile("hex.ini", hexDisplay());
    return path;
}

const std::string& textFile() {
    static const std::string path = settingsFile("text.ini", textDisplay());
    return path;
}

// What happens before each iteration, outside the time measured:
//  Warm     nothing; the file's pages and the buffers stay in the caches.
//  Cold     the caches are filled with other data, as at a start-up.
//  Changed  the file's times are set to now, as by a save a moment ago:
//           its stamp is not trusted yet, so every lookup reads it again.
enum class Before { Warm, Cold, Changed };

void prepare(benchmark::State& state, Before before, const std::string& path) {
    if (before == Before::Warm)
        return;
    state.PauseTiming();
    if (before == Before::Cold) {
        static std::vector<char> other(64u << 20);
        for (std::size_t i = 0; i < other.size(); i += 64)
            other[i] = static_cast<char>(other[i] + 1);
        benchmark::ClobberMemory();
    } else {
        ::utime(path.c_str(), nullptr);
    }
    state.ResumeTiming();
}

void plainRead(benchmark::State& state, const std::string& path, Before before) {
    for (auto _ : state) {
        prepare(state, before, path);
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open");
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetBytesProcessed(state.iterations() * QFile(QString::fromStdString(path)).size());
}

// Every lookup of the start-up load, on a start-up's own fresh store.
void startUpLoad(benchmark::State& state, const std::string& path, Before before) {
    int reads = 0;
    for (auto _ : state) {
        prepare(state, before, path);
        IniFile ini;
        ini.setFileName(path);
        ConsoleSettings v;
        v.load(ini);
        benchmark::DoNotOptimize(v.receive.data());
        reads = ini.fileReads();
    }
    state.counters["file_reads"] = reads;
}

// One lookup of the receive text on a fresh store: one read and parse, what
// each of the sixty lookups of the load cost before.
void oneLookup(benchmark::State& state, const std::string& path, Before before) {
    for (auto _ : state) {
        prepare(state, before, path);
        IniFile ini;
        ini.setFileName(path);
        const std::string receive = ini.getString("strings", "receive", {});
        benchmark::DoNotOptimize(receive.data());
    }
}

// Keeps the median time of each benchmark's repetitions, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[r.run_name.function_name] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

} // namespace

int main(int argc, char** argv) {
    // Freed buffers stay with the process for the next iteration: otherwise
    // glibc hands the 16 MB a load frees back to the system each time (the
    // 8 MB a plain read frees stays), and the load alone would pay for 4096
    // fresh pages per iteration, which one start-up in a new process pays
    // for its buffers whatever the store does.
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    QCoreApplication app(argc, argv);
    const std::string& hex = hexFile();
    const std::string& text = textFile();
    // Each figure is the median of repetitions run in a shuffled order, so
    // that a busy moment of the machine falls on all of them alike.
    const auto add = [](const std::string& name, auto fn, const std::string& path, auto... how) {
        benchmark::RegisterBenchmark(name.c_str(), fn, path, how...)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.2)
            ->Repetitions(12)
            ->ReportAggregatesOnly(true);
    };
    for (const auto& [kind, path] : {std::pair{"hex", hex}, std::pair{"text", text}}) {
        for (const auto& [when, before] :
             {std::pair{"warm", Before::Warm}, std::pair{"cold", Before::Cold}}) {
            const std::string tail = std::string("/") + kind + "/" + when;
            add("plainRead" + tail, plainRead, path, before);
            add("startUpLoad" + tail, startUpLoad, path, before);
            add("oneLookup" + tail, oneLookup, path, before);
        }
    }
    add("startUpLoad/hex/changed", startUpLoad, hex, Before::Changed);

    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto ratio = [&](const std::string& of, const std::string& to, const std::string& tail) {
        const auto a = reporter.medians.find(of + "/" + tail);
        const auto b = reporter.medians.find(to + "/" + tail);
        if (a != reporter.medians.end() && b != reporter.medians.end() && b->second > 0)
            std::printf("%s / %s, %-9s (median CPU time): %.2f\n", of.c_str(), to.c_str(),
                        tail.c_str(), a->second / b->second);
    };
    for (const char* tail : {"hex/warm", "hex/cold", "text/warm", "text/cold"}) {
        ratio("startUpLoad", "plainRead", tail);
        ratio("startUpLoad", "oneLookup", tail);
    }
    return 0;
}

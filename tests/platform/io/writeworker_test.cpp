#include "platform/errors.h"
#include "platform/serialport.h"
#include "platform/writeworker.h"
#include "tests/support/printer/virtualprinter.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace platform;
using testsupport::VirtualPrinter;

namespace {

using Clock = std::chrono::steady_clock;

// What a worker reported, in the order it reported it.
struct Heard {
    std::vector<WriteJobResult> finished;
    qint64 lastSent = -1;
    int progressCalls = 0;

    void listen(WriteWorker& worker) {
        QObject::connect(&worker, &WriteWorker::jobFinished, &worker,
                         [this](const WriteJobResult& r) { finished.push_back(r); });
        QObject::connect(&worker, &WriteWorker::progress, &worker,
                         [this](quint64, qint64 sent, qint64) {
                             lastSent = sent;
                             ++progressCalls;
                         });
    }
    bool waitFor(std::size_t jobs, std::chrono::milliseconds timeout = 5s) {
        return QTest::qWaitFor([&] { return finished.size() >= jobs; },
                               static_cast<int>(timeout.count()));
    }
};

std::string pattern(std::size_t n, int seed) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(seed) * 13) % 251);
    return s;
}

// A serial port on a virtual printer, written the way the tools write a
// segment: one bounded write, then a drain.
class SerialWorker : public ::testing::Test {
protected:
    void SetUp() override {
        printer = VirtualPrinter::serial();
        ASSERT_NE(printer, nullptr);
        ASSERT_TRUE(port.open(printer->devicePath())) << port.lastError();
        worker = std::make_unique<WriteWorker>(
            [this](std::string_view bytes, const WriteControl& control) {
                SegmentReport report;
                report.written = port.write(bytes.data(), bytes.size(), deadline, control);
                report.error = port.lastErrorCode();
                report.reason = port.lastError();
                if (report.error == 0)
                    port.drain(deadline, control.stop);
                return report;
            },
            [this] { port.discardOutput(); });
        heard.listen(*worker);
    }
    void stall() { ASSERT_TRUE(printer->stallWithFullLine()); }

    std::chrono::milliseconds deadline = 60s;
    std::unique_ptr<VirtualPrinter> printer;
    SerialPort port;
    std::unique_ptr<WriteWorker> worker;
    Heard heard;
};

} // namespace

TEST(WriteWorkerErrors, GoneIsToldApartFromATimeOut) {
    const struct {
        int error;
        WriteOutcome outcome;
    } cases[] = {
        {0, WriteOutcome::Done},          {ETIMEDOUT, WriteOutcome::TimedOut},
        {EIO, WriteOutcome::Gone},        {ENXIO, WriteOutcome::Gone},
        {ENODEV, WriteOutcome::Gone},     {EPIPE, WriteOutcome::Gone},
        {ECONNRESET, WriteOutcome::Gone}, {ECANCELED, WriteOutcome::Cancelled},
        {EINVAL, WriteOutcome::Failed},   {EBADF, WriteOutcome::Failed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(classifyWriteError(c.error), c.outcome) << c.error;
}

TEST(WriteWorkerOrder, JobsAndSegmentsGoOutInOrderOneCallPerSegment) {
    std::vector<std::string> calls; // on the worker thread; read after the jobs end
    WriteWorker worker([&](std::string_view bytes, const WriteControl& control) {
        calls.emplace_back(bytes);
        // Two pieces, as a driver may take them.
        if (control.progress) {
            control.progress(bytes.size() / 2);
            control.progress(bytes.size());
        }
        return SegmentReport{bytes.size(), 0, {}};
    });
    Heard heard;
    heard.listen(worker);
    const std::vector<WriteWorker::Segments> jobs = {
        {"\x1D\x28\x41\x02\x00\x00\x04", "\n"}, {"a", "", "bc"}, {std::string(5000, 'x')}};
    std::vector<std::uint64_t> ids;
    for (const auto& job : jobs)
        ids.push_back(worker.enqueue(job));
    ASSERT_TRUE(heard.waitFor(jobs.size()));
    EXPECT_FALSE(worker.busy());

    std::vector<std::string> expected;
    for (const auto& job : jobs)
        expected.insert(expected.end(), job.begin(), job.end());
    EXPECT_EQ(calls, expected);
    ASSERT_EQ(heard.finished.size(), jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const WriteJobResult& r = heard.finished[i];
        EXPECT_EQ(r.job, ids[i]);
        EXPECT_EQ(r.outcome, WriteOutcome::Done);
        EXPECT_EQ(r.segmentsDone, static_cast<int>(jobs[i].size()));
        EXPECT_EQ(r.sent, r.total);
    }
    EXPECT_EQ(heard.lastSent, 5000);
}

TEST(WriteWorkerOrder, AShortSegmentEndsItsJobButNotTheNext) {
    int call = 0;
    WriteWorker worker([&](std::string_view bytes, const WriteControl&) {
        // The second segment goes out only in part.
        if (++call == 2)
            return SegmentReport{1, ETIMEDOUT, writeTimeoutMessage()};
        return SegmentReport{bytes.size(), 0, {}};
    });
    Heard heard;
    heard.listen(worker);
    worker.enqueue({"first", "second", "never"});
    worker.enqueue({"next"});
    ASSERT_TRUE(heard.waitFor(2));
    EXPECT_EQ(heard.finished[0].outcome, WriteOutcome::TimedOut);
    EXPECT_EQ(heard.finished[0].sent, 6);
    EXPECT_EQ(heard.finished[0].segmentsDone, 1);
    EXPECT_EQ(heard.finished[0].reason, QString::fromStdString(writeTimeoutMessage()));
    EXPECT_EQ(heard.finished[1].outcome, WriteOutcome::Done);
    EXPECT_EQ(call, 3) << "\"never\" is not written";
}

TEST_F(SerialWorker, CancelEndsAStalledWriteAtOnceAndWhatWentOutIsAPrefix) {
    // Not a full line: part of the job goes out before the write stalls.
    printer->setReading(false);
    QTest::qWait(50);
    const std::string first = pattern(64 * 1024, 1);
    const std::string second = pattern(1000, 2);
    const std::uint64_t running = worker->enqueue({first.substr(0, 100), first.substr(100)});
    const std::uint64_t pending = worker->enqueue({second});

    // The caller's event loop keeps turning while the write is stuck.
    bool ticked = false;
    const auto started = Clock::now();
    QTimer::singleShot(0, [&] { ticked = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticked; }, 100));
    EXPECT_LT(Clock::now() - started, 100ms);
    QTest::qWait(200);
    EXPECT_TRUE(worker->busy());
    EXPECT_TRUE(heard.finished.empty());

    const auto cancelled = Clock::now();
    worker->cancelAll();
    ASSERT_TRUE(worker->waitUntilIdle(1s));
    ASSERT_TRUE(heard.waitFor(2, 1s));
    EXPECT_LT(Clock::now() - cancelled, 1s);
    ASSERT_EQ(heard.finished.size(), 2u);
    EXPECT_EQ(heard.finished[0].job, running);
    EXPECT_EQ(heard.finished[0].outcome, WriteOutcome::Cancelled);
    EXPECT_EQ(heard.finished[1].job, pending);
    EXPECT_EQ(heard.finished[1].outcome, WriteOutcome::Cancelled);
    EXPECT_EQ(heard.finished[1].sent, 0);

    // The printer reads again: the filler, then an exact prefix of the job.
    printer->clearReceived();
    printer->setReading(true);
    QTest::qWait(300);
    const std::string got = printer->received();
    const std::size_t filler = got.find_first_not_of('f');
    const std::string arrived = filler == std::string::npos ? std::string() : got.substr(filler);
    EXPECT_GT(arrived.size(), 0u);
    EXPECT_LE(arrived.size(), static_cast<std::size_t>(heard.finished[0].sent));
    EXPECT_EQ(arrived, first.substr(0, arrived.size()));
}

TEST_F(SerialWorker, AStalledWriteTimesOutWithItsReason) {
    deadline = 200ms;
    stall();
    worker->enqueue({pattern(8192, 3)});
    ASSERT_TRUE(heard.waitFor(1));
    EXPECT_EQ(heard.finished[0].outcome, WriteOutcome::TimedOut);
    EXPECT_EQ(heard.finished[0].reason, QString::fromStdString(writeTimeoutMessage()));
}

TEST_F(SerialWorker, APrinterThatVanishesIsGone) {
    stall();
    worker->enqueue({pattern(8192, 4)});
    QTest::qWait(100);
    printer->vanish();
    ASSERT_TRUE(heard.waitFor(1, 2s));
    EXPECT_EQ(heard.finished[0].outcome, WriteOutcome::Gone) << heard.finished[0].error;
    EXPECT_FALSE(heard.finished[0].reason.isEmpty());
}

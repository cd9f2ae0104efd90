#pragma once

// WriteWorker: a tool's writes to a printer, done on a thread of their own so
// that a printer that stops reading, or vanishes, never freezes a window.
//
// The worker keeps an ordered queue of write jobs. A job is a list of
// segments; each segment is handed to the SegmentWriter of the worker's user
// in one call, which writes it and waits for it to leave (one write and its
// flush or drain, exactly as a tool writes without the worker). Segments and
// jobs go out strictly in order, one at a time, so the printer sees the same
// bytes in the same order with the same write boundaries. A segment that does
// not go out whole ends its job; later jobs still run (a user that wants them
// dropped calls cancelAll() when it hears of the failure).
//
// Threads:
//  - enqueue(), cancelAll(), busy() and waitUntilIdle() are called on the
//    thread the worker lives on (the GUI thread).
//  - The SegmentWriter and the OutputDiscard run on the worker's thread, one
//    call at a time; they may use the device freely there, but the user must
//    not touch the device on its own thread while busy() is true.
//  - progress() and jobFinished() are emitted on the worker's own (GUI)
//    thread, through its event loop. progress() is coalesced: it reports the
//    latest count, not every piece.
//
// The writer's contract:
//  - SegmentReport writer(std::string_view bytes, const WriteControl& control)
//  - Write all of bytes (one segment) and then flush or drain it; report how
//    many bytes the device took and, when short, why (see SegmentReport).
//  - Look at control.stop at least every few tens of milliseconds while
//    waiting, and return (error ECANCELED) once a stop is requested; the
//    platform's SerialPort, DeviceFile and fdio::writeUntil do this when given
//    the control.
//  - Call control.progress(n) with the bytes of this segment taken so far,
//    whenever more went out (optional; it drives the progress display).
//
// Cancelling: cancelAll() drops every pending job and asks the running one to
// stop; the writer returns within its stop-check interval, then the
// OutputDiscard (if given) runs on the worker thread to drop what the driver
// still holds (tcflush), and every dropped or stopped job is reported with
// WriteOutcome::Cancelled. Bytes that went out before the stop form an exact
// prefix of the job's bytes.
//
// Errors: classifyWriteError() tells a device or peer that is gone (EIO,
// ENXIO, ENODEV, EPIPE, ECONNRESET, a hang-up reported as EPIPE) from an
// ordinary time-out (ETIMEDOUT), a stop (ECANCELED) and any other failure.

#include "platform/fdio.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace platform {

using WriteControl = fdio::WriteControl;

enum class WriteOutcome {
    Done,      // every segment went out whole
    TimedOut,  // the device took no more within the writer's deadline
    Gone,      // the device or the peer is gone (unplugged, reset, hung up)
    Failed,    // any other failure
    Cancelled, // cancelAll() (or the worker's end) stopped or dropped it
};

// What a SegmentWriter reports for one segment.
struct SegmentReport {
    std::size_t written = 0; // bytes the device took
    // 0 when the segment went out whole; otherwise an errno value, ETIMEDOUT
    // for a deadline, ECANCELED for a stop, EPIPE for a hang-up.
    int error = 0;
    std::string reason; // the failure as the platform words it; may be empty
};

[[nodiscard]] WriteOutcome classifyWriteError(int error);

struct WriteJobResult {
    std::uint64_t job = 0;
    WriteOutcome outcome = WriteOutcome::Done;
    std::int64_t sent = 0;  // bytes of the job that went out
    std::int64_t total = 0; // bytes of the whole job
    int segmentsDone = 0;   // segments that went out whole
    int error = 0;          // as SegmentReport::error
    QString reason;         // as SegmentReport::reason, or the errno's text
};

class WriteWorker : public QObject {
    Q_OBJECT

public:
    using Segments = std::vector<std::string>;
    using SegmentWriter =
        std::function<SegmentReport(std::string_view bytes, const WriteControl& control)>;
    using OutputDiscard = std::function<void()>;

    explicit WriteWorker(SegmentWriter writer, OutputDiscard discard = {},
                         QObject* parent = nullptr);
    // Cancels everything and waits for the thread to end.
    ~WriteWorker() override;
    WriteWorker(const WriteWorker&) = delete;
    WriteWorker& operator=(const WriteWorker&) = delete;

    // Queues a job behind the others; returns its number (never 0).
    std::uint64_t enqueue(Segments segments);
    // Drops the pending jobs and stops the running one (see above).
    void cancelAll();
    // True while a job is queued or running.
    [[nodiscard]] bool busy() const;
    // Blocks until no job is queued or running, at most for timeout; true when
    // idle. Meant for closing a device right after cancelAll().
    bool waitUntilIdle(std::chrono::milliseconds timeout);

signals:
    void progress(quint64 job, qint64 sent, qint64 total);
    void jobFinished(const platform::WriteJobResult& result);

private:
    struct Job {
        std::uint64_t id = 0;
        Segments segments;
    };

    void run();
    WriteJobResult runJob(const Job& job, const std::stop_token& stop);
    void postProgress(std::uint64_t job, std::int64_t sent, std::int64_t total);
    void postFinished(const WriteJobResult& result);
    void reportDropped(const std::deque<Job>& dropped);

    SegmentWriter m_writer;
    OutputDiscard m_discard;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_pending;
    std::deque<Job> m_dropped; // cancelled while a job ran; reported after it
    std::uint64_t m_nextId = 1;
    std::uint64_t m_running = 0; // id of the running job, 0 when none
    std::stop_source m_runningStop;
    bool m_quit = false;

    // The latest progress, handed to the GUI thread one post at a time.
    struct Progress {
        std::uint64_t job = 0;
        std::int64_t sent = 0;
        std::int64_t total = 0;
        bool posted = false;
    };
    Progress m_progress; // guarded by m_mutex

    std::thread m_thread; // last: starts after everything above exists
};

} // namespace platform

Q_DECLARE_METATYPE(platform::WriteJobResult)

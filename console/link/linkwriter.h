#pragma once

// The one way the console writes to the printer. The send engine, its cut
// and the quick tests hand their bytes here and never call the link
// themselves, so how a write is carried out is decided in this one place:
// on a thread of its own (platform::WriteWorker), so that a printer that
// stops reading, or vanishes, never freezes the window.
//
// Each write of a hand-over is one write of the link with its flush,
// exactly as it would be made on the window's thread, strictly in the order
// handed over: the printer sees the same bytes with the same boundaries.
// Every write is made even when an earlier one failed or ran out of time,
// as the console has always done. A handler hands its writes over and
// returns; when it must know that they have ended (a timed run's next copy
// waits for the last one) it keeps the ticket and listens to ended().
//
// The writes go to the link attached at the time they run. detach() stops
// them (what the driver still holds is dropped) before the link closes.
//
// A write that fails because the device or the peer is gone drops the
// writes behind it and reports linkLost() once, on the window's thread
// after the report of the failed write.

#include "platform/writeworker.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

class PrinterLink;

class LinkWriter final : public QObject {
    Q_OBJECT

public:
    // Names a hand-over: the last job of it. 0: nothing was handed over.
    using Ticket = std::uint64_t;
    // Writes that last longer than this show their progress.
    static constexpr std::chrono::milliseconds ProgressDelay{300};

    LinkWriter();
    ~LinkWriter() override;
    LinkWriter(const LinkWriter&) = delete;
    LinkWriter& operator=(const LinkWriter&) = delete;

    // Later writes go to this link. It must stay alive until detach().
    void attach(PrinterLink& link);
    // Stops the writes (each pending one is reported as cancelled), drops
    // what the driver still holds of a stopped write, and lets go of the
    // link; returns once the write thread no longer touches it.
    void detach();

    // One write. 0 without a link, and for more bytes than one write of the
    // link can carry (2 GiB), which are not written at all rather than cut short.
    Ticket write(std::string_view bytes);
    // Each entry one write, in order; 0 when none was handed over.
    Ticket write(std::span<const std::string> writes);
    // Stops the running write and drops the pending ones.
    void cancelAll();

    // Writes handed over whose end has not been reported yet.
    [[nodiscard]] bool busy() const { return !m_pending.empty(); }
    // The writes have run past ProgressDelay; progress() is being reported.
    [[nodiscard]] bool showsProgress() const { return m_showsProgress; }

signals:
    // A hand-over has ended; outcome: how its last write ended (the writes
    // before it were made whatever became of them, see above).
    void ended(LinkWriter::Ticket ticket, platform::WriteOutcome outcome);
    // Bytes sent of all the writes handed over since the writer was last
    // idle; only once they have run past ProgressDelay.
    void progress(qint64 sent, qint64 total);
    // Every write handed over has ended.
    void idle();
    // The device or the peer is gone; reason as the platform words it.
    void linkLost(const QString& reason);

private:
    struct Pending {
        std::uint64_t job = 0; // the worker's number
        Ticket ticket = 0;     // the hand-over it belongs to; set on its last job
        std::int64_t bytes = 0;
    };

    platform::SegmentReport writeOnLink(std::string_view bytes,
                                        const platform::WriteControl& control);
    void discardOnLink();
    Ticket handOver(std::span<const std::string_view> writes);
    std::uint64_t enqueue(std::string_view bytes);
    void onJobFinished(const platform::WriteJobResult& result);
    void onProgress(quint64 job, qint64 sent);
    void onProgressDue();
    void reportProgress();

    // The link the write thread uses; guarded for the time of each write.
    std::mutex m_linkMutex;
    PrinterLink* m_link = nullptr;
    bool m_attached = false;        // the window's own view of m_link, never waited for
    bool m_lost = false;            // linkLost() told for the attached link
    std::uint64_t m_generation = 0; // counts attaches and detaches

    std::deque<Pending> m_pending;
    std::int64_t m_batchTotal = 0; // bytes handed over since idle
    std::int64_t m_batchDone = 0;  // of them, bytes of ended jobs that went out
    std::int64_t m_runningSent = 0;
    bool m_showsProgress = false;
    QTimer m_progressDue;

    platform::WriteWorker m_worker; // last: its thread uses everything above
};

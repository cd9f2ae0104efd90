#include "console/link/linkwriter.h"

#include "console/link/printerlink.h"

#include <QMetaObject>

#include <cerrno>
#include <limits>
#include <vector>

LinkWriter::LinkWriter()
    : m_worker(
          [this](std::string_view bytes, const platform::WriteControl& control) {
              return writeOnLink(bytes, control);
          },
          [this] { discardOnLink(); }) {
    m_progressDue.setSingleShot(true);
    // A coarse timer may fire up to 5 % early: short writes must not flash progress.
    m_progressDue.setTimerType(Qt::PreciseTimer);
    m_progressDue.setInterval(ProgressDelay);
    connect(&m_progressDue, &QTimer::timeout, this, &LinkWriter::onProgressDue);
    connect(&m_worker, &platform::WriteWorker::jobFinished, this, &LinkWriter::onJobFinished);
    connect(&m_worker, &platform::WriteWorker::progress, this,
            [this](quint64 job, qint64 sent, qint64) { onProgress(job, sent); });
}

LinkWriter::~LinkWriter() {
    detach();
}

void LinkWriter::attach(PrinterLink& link) {
    detach();
    const std::lock_guard lock(m_linkMutex);
    m_link = &link;
    m_attached = true;
    m_lost = false;
    ++m_generation;
}

void LinkWriter::detach() {
    m_worker.cancelAll();
    // Taking the lock waits for a running write to see the stop.
    const std::lock_guard lock(m_linkMutex);
    if (m_link != nullptr && busy())
        m_link->discardOutput();
    m_link = nullptr;
    m_attached = false;
    ++m_generation;
}

platform::SegmentReport LinkWriter::writeOnLink(std::string_view bytes,
                                                const platform::WriteControl& control) {
    const std::lock_guard lock(m_linkMutex);
    if (m_link == nullptr)
        return {0, ECANCELED, {}}; // the link closed while this write waited
    return m_link->writeSegment(bytes, control);
}

void LinkWriter::discardOnLink() {
    const std::lock_guard lock(m_linkMutex);
    if (m_link != nullptr)
        m_link->discardOutput();
}

std::uint64_t LinkWriter::enqueue(std::string_view bytes) {
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (m_pending.empty()) {
        m_batchTotal = m_batchDone = m_runningSent = 0;
        m_progressDue.start();
    }
    const std::uint64_t job = m_worker.enqueue({std::string(bytes)});
    m_pending.push_back({job, 0, size});
    m_batchTotal += size;
    if (m_showsProgress)
        reportProgress();
    return job;
}

LinkWriter::Ticket LinkWriter::write(std::string_view bytes) {
    return handOver(std::span<const std::string_view>(&bytes, 1));
}

LinkWriter::Ticket LinkWriter::write(std::span<const std::string> writes) {
    const std::vector<std::string_view> views(writes.begin(), writes.end());
    return handOver(views);
}

LinkWriter::Ticket LinkWriter::handOver(std::span<const std::string_view> writes) {
    if (!m_attached)
        return 0;
    Ticket ticket = 0;
    for (const std::string_view bytes : writes) {
        if (bytes.size() > std::numeric_limits<std::int32_t>::max())
            continue;
        ticket = enqueue(bytes);
    }
    if (ticket != 0)
        m_pending.back().ticket = ticket;
    return ticket;
}

void LinkWriter::cancelAll() {
    m_worker.cancelAll();
}

void LinkWriter::onJobFinished(const platform::WriteJobResult& result) {
    if (m_pending.empty() || m_pending.front().job != result.job)
        return; // not one of ours (cannot happen: the worker reports in order)
    const Pending done = m_pending.front();
    m_pending.pop_front();
    m_batchDone += result.sent;
    m_runningSent = 0;

    if (result.outcome == platform::WriteOutcome::Gone && !m_lost) {
        m_lost = true;
        m_worker.cancelAll();
        // After this report has been heard, and only for the link that is
        // still attached: a listener closes it.
        QMetaObject::invokeMethod(
            this,
            [this, generation = m_generation, reason = result.reason] {
                if (generation == m_generation)
                    emit linkLost(reason);
            },
            Qt::QueuedConnection);
    }
    if (done.ticket != 0)
        emit ended(done.ticket, result.outcome);
    if (m_pending.empty()) {
        m_progressDue.stop();
        m_showsProgress = false;
        emit idle();
    } else if (m_showsProgress) {
        reportProgress();
    }
}

void LinkWriter::onProgress(quint64 job, qint64 sent) {
    if (m_pending.empty() || m_pending.front().job != job)
        return; // a late count of a job that has ended
    m_runningSent = sent;
    if (m_showsProgress)
        reportProgress();
}

void LinkWriter::onProgressDue() {
    if (!busy())
        return;
    m_showsProgress = true;
    reportProgress();
}

void LinkWriter::reportProgress() {
    emit progress(m_batchDone + m_runningSent, m_batchTotal);
}

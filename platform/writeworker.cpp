#include "platform/writeworker.h"

#include "platform/errors.h"

#include <QMetaObject>

#include <cerrno>
#include <numeric>

namespace platform {

WriteOutcome classifyWriteError(int error) {
    switch (error) {
    case 0:
        return WriteOutcome::Done;
    case ETIMEDOUT:
        return WriteOutcome::TimedOut;
    case ECANCELED:
        return WriteOutcome::Cancelled;
    case EIO:
    case ENXIO:
    case ENODEV:
    case EPIPE:
    case ECONNRESET:
        return WriteOutcome::Gone;
    default:
        return WriteOutcome::Failed;
    }
}

WriteWorker::WriteWorker(SegmentWriter writer, OutputDiscard discard, QObject* parent)
    : QObject(parent), m_writer(std::move(writer)), m_discard(std::move(discard)),
      m_thread([this] { run(); }) {
    qRegisterMetaType<platform::WriteJobResult>();
}

WriteWorker::~WriteWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_pending.clear();
        if (m_running != 0)
            m_runningStop.request_stop();
    }
    m_changed.notify_all();
    m_thread.join();
}

std::uint64_t WriteWorker::enqueue(Segments segments) {
    std::uint64_t id = 0;
    {
        std::lock_guard lock(m_mutex);
        id = m_nextId++;
        m_pending.push_back(Job{id, std::move(segments)});
    }
    m_changed.notify_all();
    return id;
}

void WriteWorker::cancelAll() {
    std::deque<Job> dropped;
    {
        std::lock_guard lock(m_mutex);
        if (m_running != 0) {
            // Reported after the running job, so that reports keep the jobs' order.
            m_runningStop.request_stop();
            for (Job& job : m_pending)
                m_dropped.push_back(std::move(job));
            m_pending.clear();
        } else {
            dropped.swap(m_pending);
        }
    }
    m_changed.notify_all();
    reportDropped(dropped);
}

void WriteWorker::reportDropped(const std::deque<Job>& dropped) {
    for (const Job& job : dropped) {
        WriteJobResult result;
        result.job = job.id;
        result.outcome = WriteOutcome::Cancelled;
        result.error = ECANCELED;
        result.reason = QString::fromStdString(errnoMessage(ECANCELED));
        for (const std::string& segment : job.segments)
            result.total += static_cast<std::int64_t>(segment.size());
        postFinished(result);
    }
}

bool WriteWorker::busy() const {
    std::lock_guard lock(m_mutex);
    return m_running != 0 || !m_pending.empty();
}

bool WriteWorker::waitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout,
                              [this] { return m_running == 0 && m_pending.empty(); });
}

void WriteWorker::run() {
    for (;;) {
        Job job;
        std::stop_token stop;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_quit || !m_pending.empty(); });
            if (m_quit)
                return;
            job = std::move(m_pending.front());
            m_pending.pop_front();
            m_running = job.id;
            m_runningStop = std::stop_source();
            stop = m_runningStop.get_token();
        }
        const WriteJobResult result = runJob(job, stop);
        if (result.outcome == WriteOutcome::Cancelled && m_discard)
            m_discard();
        std::deque<Job> dropped;
        {
            std::lock_guard lock(m_mutex);
            m_running = 0;
            dropped.swap(m_dropped);
        }
        m_changed.notify_all();
        postFinished(result);
        reportDropped(dropped);
    }
}

WriteJobResult WriteWorker::runJob(const Job& job, const std::stop_token& stop) {
    WriteJobResult result;
    result.job = job.id;
    result.total = std::accumulate(job.segments.begin(), job.segments.end(), std::int64_t{0},
                                   [](std::int64_t sum, const std::string& s) {
                                       return sum + static_cast<std::int64_t>(s.size());
                                   });
    for (const std::string& segment : job.segments) {
        if (stop.stop_requested()) {
            result.outcome = WriteOutcome::Cancelled;
            result.error = ECANCELED;
            break;
        }
        const std::int64_t before = result.sent;
        const WriteControl control{stop, [this, &job, &result, before](std::size_t n) {
                                       postProgress(job.id, before + static_cast<std::int64_t>(n),
                                                    result.total);
                                   }};
        const SegmentReport report = m_writer(segment, control);
        result.sent += static_cast<std::int64_t>(std::min(report.written, segment.size()));
        if (report.error == 0 && report.written >= segment.size()) {
            ++result.segmentsDone;
            postProgress(job.id, result.sent, result.total);
            continue;
        }
        // Short without a reason: the device stopped taking bytes.
        result.error = report.error != 0 ? report.error : ETIMEDOUT;
        result.outcome = classifyWriteError(result.error);
        if (stop.stop_requested())
            result.outcome = WriteOutcome::Cancelled;
        result.reason = QString::fromStdString(
            report.reason.empty() ? fdio::writeErrorMessage(result.error) : report.reason);
        break;
    }
    if (result.outcome == WriteOutcome::Cancelled && result.reason.isEmpty())
        result.reason = QString::fromStdString(errnoMessage(ECANCELED));
    return result;
}

void WriteWorker::postProgress(std::uint64_t job, std::int64_t sent, std::int64_t total) {
    {
        std::lock_guard lock(m_mutex);
        m_progress = Progress{job, sent, total, m_progress.posted};
        if (m_progress.posted)
            return; // the post on its way will carry the latest count
        m_progress.posted = true;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            Progress latest;
            {
                std::lock_guard lock(m_mutex);
                latest = m_progress;
                m_progress.posted = false;
            }
            emit progress(latest.job, latest.sent, latest.total);
        },
        Qt::QueuedConnection);
}

void WriteWorker::postFinished(const WriteJobResult& result) {
    QMetaObject::invokeMethod(
        this, [this, result] { emit jobFinished(result); }, Qt::QueuedConnection);
}

} // namespace platform

#include "platform/dialog/writeprogress.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <limits>

namespace dialog {
namespace {

// How long closing the window waits for the worker to let go of the device.
constexpr std::chrono::milliseconds CloseWait{1000};

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// QProgressDialog counts in int; large jobs are shown in proportion.
int scaled(std::int64_t value, std::int64_t total) {
    constexpr std::int64_t Max = std::numeric_limits<int>::max();
    if (total <= Max)
        return static_cast<int>(value);
    return static_cast<int>(value * Max / total);
}

} // namespace

WriteProgress::WriteProgress(QWidget& window, platform::WriteWorker& worker, QString label)
    : m_window(window), m_worker(worker), m_label(std::move(label)) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
    QTimer::singleShot(ProgressDelay, this, &WriteProgress::showProgress);
    connect(&m_worker, &platform::WriteWorker::progress, this,
            [this](quint64, qint64 sent, qint64 total) {
                m_jobSent = sent;
                m_jobTotal = total;
                updateProgress();
            });
}

WriteProgress::~WriteProgress() {
    qApp->removeEventFilter(this);
    delete m_dialog;
    QApplication::restoreOverrideCursor();
}

platform::WriteJobResult WriteProgress::write(platform::WriteWorker::Segments segments) {
    platform::WriteJobResult result;
    result.outcome = platform::WriteOutcome::Cancelled;
    result.error = ECANCELED;
    for (const std::string& s : segments)
        result.total += static_cast<std::int64_t>(s.size());
    if (m_cancelled)
        return result;

    m_jobSent = 0;
    m_jobTotal = result.total;
    updateProgress();
    const std::uint64_t job = m_worker.enqueue(std::move(segments));
    bool ended = false;
    QEventLoop loop;
    const auto finished = connect(&m_worker, &platform::WriteWorker::jobFinished, this,
                                  [&](const platform::WriteJobResult& r) {
                                      if (r.job != job)
                                          return;
                                      result = r;
                                      ended = true;
                                      loop.quit();
                                  });
    m_loop = &loop;
    if (!ended)
        loop.exec();
    m_loop = nullptr;
    disconnect(finished);
    m_sentBefore += result.sent;
    m_totalBefore += result.total;
    m_jobSent = m_jobTotal = 0;
    updateProgress();
    return result;
}

bool WriteProgress::wait(std::chrono::milliseconds duration) {
    if (m_cancelled)
        return false;
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
    return !m_cancelled;
}

void WriteProgress::cancel() {
    if (m_cancelled)
        return;
    m_cancelled = true;
    m_worker.cancelAll();
    // A wait ends now; a write ends when the worker reports its job.
    if (m_loop && !m_worker.busy())
        quitLoop();
}

QProgressDialog* WriteProgress::progressDialog() const {
    return m_dialog;
}

void WriteProgress::quitLoop() {
    if (m_loop)
        m_loop->quit();
}

bool WriteProgress::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &m_window)
        return QObject::eventFilter(watched, event);
    if (isUserInput(event->type()))
        return true; // the window waits for its writes
    if (event->type() == QEvent::Close && widget == &m_window) {
        // Closing the window ends the writes at once and frees the device.
        cancel();
        m_worker.waitUntilIdle(CloseWait);
        quitLoop();
    }
    return QObject::eventFilter(watched, event);
}

void WriteProgress::showProgress() {
    if (m_dialog || m_cancelled)
        return;
    m_dialog = new QProgressDialog(m_label, QStringLiteral("取消"), 0, 1, &m_window);
    m_dialog->setObjectName(QStringLiteral("writeProgress"));
    m_dialog->setWindowTitle(QApplication::applicationDisplayName());
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    connect(m_dialog, &QProgressDialog::canceled, this, &WriteProgress::cancel);
    updateProgress();
    m_dialog->show();
    // The dialog says the tool is busy; its button must look clickable.
    QApplication::changeOverrideCursor(Qt::ArrowCursor);
}

void WriteProgress::updateProgress() {
    if (!m_dialog)
        return;
    const std::int64_t total = std::max<std::int64_t>(1, m_totalBefore + m_jobTotal);
    const std::int64_t sent = m_sentBefore + m_jobSent;
    m_dialog->setMaximum(scaled(total, total));
    m_dialog->setValue(scaled(std::min(sent, total), total));
    m_dialog->setLabelText(
        QStringLiteral("%1\n已发送 %2/%3 字节").arg(m_label).arg(sent).arg(total));
}

} // namespace dialog

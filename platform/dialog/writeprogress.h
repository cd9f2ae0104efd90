#pragma once

// WriteProgress: one user action's writes (a button's) carried out on a
// WriteWorker while the window stays alive. Each write() hands a job to the
// worker and serves the event loop until the job has ended, so a handler
// keeps its plain order of steps while the window paints, moves and closes.
//
// For the time it lives:
//  - the cursor is busy, and input to the window is held back (its buttons
//    cannot start a second action meanwhile);
//  - after ProgressDelay a small window-modal progress dialog shows the bytes
//    sent of the total so far, with a Cancel button ("取消");
//  - Cancel, or closing the window, cancels the worker's jobs; closing the
//    window waits (briefly) until the worker has let go of the device, so the
//    window may close the device right away.

#include "platform/writeworker.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>

class QEventLoop;
class QProgressDialog;
class QWidget;

namespace dialog {

class WriteProgress final : public QObject {
public:
    static constexpr std::chrono::milliseconds ProgressDelay{300};

    // label: what the progress dialog says is going on, e.g. "正在向 COM1 发送数据…".
    WriteProgress(QWidget& window, platform::WriteWorker& worker, QString label);
    ~WriteProgress() override;
    WriteProgress(const WriteProgress&) = delete;
    WriteProgress& operator=(const WriteProgress&) = delete;

    // Writes the segments as one job and returns how it ended. Once the user
    // cancelled, nothing more is written and the result is Cancelled.
    platform::WriteJobResult write(platform::WriteWorker::Segments segments);
    // Lets time pass with the event loop turning; false when cancelled.
    bool wait(std::chrono::milliseconds duration);

    [[nodiscard]] bool cancelled() const { return m_cancelled; }
    // As the Cancel button.
    void cancel();
    // The progress dialog once it shows; nullptr before.
    [[nodiscard]] QProgressDialog* progressDialog() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showProgress();
    void updateProgress();
    void quitLoop();

    QWidget& m_window;
    platform::WriteWorker& m_worker;
    QString m_label;
    QPointer<QProgressDialog> m_dialog;
    QEventLoop* m_loop = nullptr; // the loop now turning, if any
    bool m_cancelled = false;
    std::int64_t m_sentBefore = 0; // bytes of the jobs already ended
    std::int64_t m_totalBefore = 0;
    std::int64_t m_jobSent = 0;
    std::int64_t m_jobTotal = 0;
};

} // namespace dialog

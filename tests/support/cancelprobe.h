#pragma once

// Drives a window's action that writes to a stalled printer: it checks that
// the event loop keeps turning while the action runs, waits for the progress
// dialog, presses its Cancel button and measures how soon the action ends.

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <optional>

namespace testsupport {

struct CancelProbe {
    using Clock = std::chrono::steady_clock;

    std::optional<Clock::duration> firstTick; // when a zero-timer fired, after the start
    bool dialogShown = false;                 // the progress dialog was up at cancelAt
    QString cancelText;                       // its button's caption
    std::optional<Clock::duration> cancelled; // when Cancel was pressed
    Clock::duration returned{};               // when the action returned

    // Runs action() (which returns once its writes have ended); presses
    // Cancel at cancelAt, after running beforeCancel() there.
    static CancelProbe run(QWidget& window, const std::function<void()>& action,
                           std::chrono::milliseconds cancelAt = std::chrono::milliseconds(600),
                           const std::function<void()>& beforeCancel = {}) {
        CancelProbe probe;
        const auto started = Clock::now();
        QTimer::singleShot(0, &window, [&] { probe.firstTick = Clock::now() - started; });
        QTimer::singleShot(cancelAt, &window, [&] {
            auto* progress = window.findChild<QProgressDialog*>(QStringLiteral("writeProgress"));
            probe.dialogShown = progress != nullptr && progress->isVisible();
            auto* cancel = progress ? progress->findChild<QPushButton*>() : nullptr;
            if (beforeCancel)
                beforeCancel();
            probe.cancelled = Clock::now() - started;
            if (cancel) {
                probe.cancelText = cancel->text();
                cancel->click();
            }
        });
        action();
        probe.returned = Clock::now() - started;
        return probe;
    }

    // How long the action went on after Cancel; a very long time when Cancel
    // was never pressed.
    [[nodiscard]] Clock::duration afterCancel() const {
        return cancelled ? returned - *cancelled : Clock::duration::max();
    }
};

} // namespace testsupport

#pragma once

// SIGINT, SIGTERM and SIGHUP end the program through its event loop, so the
// last receipt and log lines are written and the pty link is removed.

#include "platform/uniquefd.h"

#include <QObject>

class QSocketNotifier;

namespace posprinter {

class StopSignals final : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    platform::UniqueFd m_read;
    platform::UniqueFd m_write; // the handler writes to it through a plain copy of its number
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace posprinter

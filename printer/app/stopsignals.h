#pragma once

// SIGINT, SIGTERM and SIGHUP end the program through its event loop, so the
// last receipt and log lines are written and the pty link is removed.

#include "printer/core/uniquefd.h"

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
    UniqueFd m_read;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace posprinter

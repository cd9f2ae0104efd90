#pragma once

// The console's writes run on the link's write thread and report back
// through the event loop. A test that looks at what was written, or at the
// steps that follow a write, first turns the loop until every write handed
// over has been reported ended.

#include "console/link/linkwriter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <chrono>

namespace testsupport {

inline bool waitForWrites(const LinkWriter& writer,
                          std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const QDeadlineTimer deadline(timeout);
    while (writer.busy()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (writer.busy())
            QThread::msleep(1);
    }
    // What the last report set going (a lost link's close, for one).
    QCoreApplication::processEvents();
    return true;
}

} // namespace testsupport

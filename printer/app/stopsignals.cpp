#include "printer/app/stopsignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace posprinter {

namespace {

int writeEnd = -1; // the handler may only touch a plain descriptor

extern "C" void onStopSignal(int) {
    const char byte = 1;
    (void)!::write(writeEnd, &byte, 1);
}

constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

} // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    int pair[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) != 0)
        return;
    m_read = platform::UniqueFd(pair[0]);
    m_write = platform::UniqueFd(pair[1]);
    writeEnd = pair[1];
    m_notifier = new QSocketNotifier(m_read.get(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (::read(m_read.get(), buffer, sizeof buffer) > 0) {
        }
        emit stopRequested();
    });
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : Signals)
        ::sigaction(s, &action, nullptr);
}

StopSignals::~StopSignals() {
    for (int s : Signals)
        ::signal(s, SIG_DFL);
    writeEnd = -1;     // m_write closes it once the handlers are gone
    delete m_notifier; // before m_read closes the descriptor it watches
}

} // namespace posprinter

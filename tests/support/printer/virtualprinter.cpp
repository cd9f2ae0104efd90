#include "tests/support/printer/virtualprinter.h"

#include "platform/uniquefd.h"
#include "printer/core/endpoint.h"

#include <fcntl.h>
#include <unistd.h>

#include <thread>

namespace testsupport {

VirtualPrinter::VirtualPrinter(std::unique_ptr<posprinter::Endpoint> endpoint)
    : m_endpoint(std::move(endpoint)), m_devicePath(m_endpoint->devicePath()),
      m_port(m_endpoint->port()), m_slave(m_endpoint->slaveFd()) {}

std::unique_ptr<VirtualPrinter> VirtualPrinter::serial() {
    auto endpoint = posprinter::Endpoint::openPty();
    if (!endpoint)
        return nullptr;
    std::unique_ptr<VirtualPrinter> printer(new VirtualPrinter(std::move(endpoint)));
    printer->start();
    return printer;
}

std::unique_ptr<VirtualPrinter> VirtualPrinter::tcp() {
    // One printer, one connection: a new one replaces the old.
    auto endpoint =
        posprinter::Endpoint::listenTcp("127.0.0.1", 0, posprinter::Endpoint::Takeover::Replace);
    if (!endpoint)
        return nullptr;
    std::unique_ptr<VirtualPrinter> printer(new VirtualPrinter(std::move(endpoint)));
    printer->start();
    return printer;
}

VirtualPrinter::~VirtualPrinter() {
    m_endpoint->stop();
}

void VirtualPrinter::start() {
    posprinter::Endpoint::Handlers handlers;
    handlers.received = [this](std::string_view bytes) {
        std::lock_guard lock(m_mutex);
        if (m_recording)
            m_received.append(bytes);
        m_count += bytes.size();
        m_changed.notify_all();
    };
    handlers.accepted = [this] {
        std::lock_guard lock(m_mutex);
        ++m_connections;
        m_changed.notify_all();
    };
    m_endpoint->start(std::move(handlers));
}

std::string VirtualPrinter::received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

std::size_t VirtualPrinter::receivedCount() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

void VirtualPrinter::clearReceived() {
    std::lock_guard lock(m_mutex);
    m_received.clear();
    m_count = 0;
}

bool VirtualPrinter::waitForCount(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_count >= count; });
}

int VirtualPrinter::connections() const {
    std::lock_guard lock(m_mutex);
    return m_connections;
}

bool VirtualPrinter::waitForConnections(int count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_connections >= count; });
}

void VirtualPrinter::setRecording(bool on) {
    std::lock_guard lock(m_mutex);
    m_recording = on;
}

void VirtualPrinter::setReading(bool on) {
    m_endpoint->setReading(on);
}

bool VirtualPrinter::stallWithFullLine() {
    if (m_endpoint->kind() != posprinter::Endpoint::Kind::Pty)
        return false;
    setReading(false);
    // Let the thread leave the poll that may still watch the line.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const platform::UniqueFd line(
        ::open(m_devicePath.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!line.isOpen())
        return false;
    // The kernel moves bytes on between its buffers a little later and makes
    // room again; fill until a round finds none.
    // Large pieces first, then single bytes for the last corners of room.
    const std::string filler(4096, 'f');
    std::size_t filled = 0;
    for (bool tookAny = true; tookAny;) {
        tookAny = false;
        for (const std::size_t piece : {filler.size(), std::size_t{1}}) {
            for (ssize_t n; (n = ::write(line.get(), filler.data(), piece)) > 0;) {
                filled += static_cast<std::size_t>(n);
                tookAny = true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return filled > 0;
}

bool VirtualPrinter::sendBack(const std::string& bytes) {
    return m_endpoint->sendBack(bytes);
}

void VirtualPrinter::vanish() {
    m_endpoint->vanish();
    m_slave = -1;
}

} // namespace testsupport

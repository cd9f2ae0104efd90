#include "platform/devicefile.h"

#include "platform/errors.h"
#include "platform/fdio.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

#include <utility>

namespace platform {

bool DeviceFile::open(const std::string& devicePath, Sharing sharing) {
    close();
    m_lastError.clear();
    m_lastErrorCode = 0;
    const auto fail = [&](int error) {
        m_lastErrorCode = error;
        m_lastError = openFailureMessage(devicePath, error);
        return false;
    };
    UniqueFd fd(::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.isOpen())
        return fail(errno);
    // Shared opens take a shared lock so that they and an exclusive holder keep
    // each other out, as share modes do. (The USB printer driver itself also
    // refuses a second open.)
    const int lock = sharing == Sharing::Exclusive ? LOCK_EX : LOCK_SH;
    if (::flock(fd.get(), lock | LOCK_NB) != 0)
        return fail(errno == EWOULDBLOCK ? EBUSY : errno);
    m_fd = std::move(fd);
    return true;
}

void DeviceFile::close() {
    m_fd.reset();
}

std::size_t DeviceFile::write(const char* data, std::size_t n, std::chrono::milliseconds deadline,
                              const fdio::WriteControl& control) {
    m_lastError.clear();
    m_lastErrorCode = 0;
    if (!m_fd.isOpen() || data == nullptr || n == 0)
        return 0;
    const fdio::WriteReport report =
        fdio::writeUntil(m_fd.get(), data, n, fdio::deadlineAfter(deadline), nullptr, control);
    m_lastErrorCode = report.error;
    m_lastError = fdio::writeErrorMessage(report.error);
    return report.written;
}

bool DeviceFile::flush(std::chrono::milliseconds deadline, const std::stop_token& stop) {
    // Printer drivers report writable once they have passed the last write on.
    return m_fd.isOpen() && fdio::waitWritable(m_fd.get(), fdio::deadlineAfter(deadline), stop);
}

std::optional<std::size_t> DeviceFile::bytesWaiting() const {
    return fdio::bytesWaiting(m_fd.get());
}

std::size_t DeviceFile::read(char* buffer, std::size_t capacity) {
    return fdio::readWaiting(m_fd.get(), buffer, capacity, &m_lastReadError);
}

} // namespace platform

#include "console/queues/textfile.h"

#include "platform/codepage.h"
#include "platform/uniquefd.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace textfile {

ReadResult read(const QString& path) {
    ReadResult result;
    // Not blocking: a FIFO or a device chosen by mistake must not hang the
    // window; what it has ready is what is read.
    platform::UniqueFd fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.isOpen()) {
        result.status = ReadResult::Status::CannotOpen;
        result.error = errno;
        return result;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::size_t>(info.st_size) > ReadLimit) {
        result.status = ReadResult::Status::TooLarge;
        result.size = static_cast<std::size_t>(info.st_size);
        return result;
    }
    // One byte more than the limit tells a file that grew meanwhile, or a
    // device with no size, from one that fits.
    std::string bytes(ReadLimit + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n == 0 || errno == EAGAIN) {
            break;
        } else if (errno != EINTR) {
            result.status = ReadResult::Status::ReadFailed;
            result.error = errno;
            return result;
        }
    }
    result.size = got;
    if (got > ReadLimit) {
        result.status = ReadResult::Status::TooLarge;
        return result;
    }
    bytes.resize(got);
    result.text = std::string(codepage::untilNul(bytes));
    return result;
}

int write(const QString& path, std::string_view bytes) {
    QSaveFile file(path);
    auto failed = [] { return errno != 0 ? errno : EIO; };
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        const int error = failed();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return failed();
    return 0;
}

} // namespace textfile

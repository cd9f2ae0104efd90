#include "platform/serialport.h"
#include "platform/serialtermios.h"

#include "platform/custombaud.h"
#include "platform/errors.h"
#include "platform/fdio.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace platform {

namespace {

// ---------------------------------------------------------------------------
// The device control block on termios: the whole mapping, in one place.
//
//  BaudRate      cfsetspeed() with the Bxxx constant of the rate; any other
//                rate through termios2/BOTHER, where the driver takes it.
//  ByteSize      CSIZE (CS5..CS8).
//  Parity        PARENB / PARODD.
//  StopBits      CSTOPB for both 1.5 and 2: a UART sends 1.5 stop bits with
//                5 data bits and 2 otherwise, so CSTOPB with CS5 reads back
//                as 1.5.
//  fParity       INPCK (check parity of received bytes).
//  fOutxCtsFlow  CRTSCTS. Linux has no separate switch for RTS input
//                handshake, and turning CRTSCTS on for fRtsControl alone
//                would stop output on a printer that leaves CTS unwired.
//  fOutX / fInX  IXON / IXOFF, with XonChar / XoffChar in VSTART / VSTOP.
//  fBinary       always: the port is put in raw mode.
//  Kept by the port object, not by termios:
//  fOutxDsrFlow  emulated in the write loop, which waits while DSR is low
//                (a port that cannot report DSR is written at once).
//  fDtrControl   DTR raised for enable and handshake, dropped for disable.
//  fRtsControl   RTS raised or dropped likewise while CRTSCTS is off.
//  XonLim/XoffLim the kernel chooses its own thresholds.
// ---------------------------------------------------------------------------

struct BaudRow {
    std::uint32_t baud;
    speed_t speed;
};
constexpr BaudRow BaudRows[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

struct ByteSizeRow {
    std::uint8_t bits;
    tcflag_t csize;
};
constexpr ByteSizeRow ByteSizeRows[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};

struct ParityRow {
    CommState::Parity parity;
    tcflag_t cflag;
};
constexpr ParityRow ParityRows[] = {
    {CommState::NoParity, 0},
    {CommState::OddParity, PARENB | PARODD},
    {CommState::EvenParity, PARENB},
};

struct StopBitsRow {
    CommState::StopBits stopBits;
    tcflag_t cflag;
};
constexpr StopBitsRow StopBitsRows[] = {
    {CommState::OneStopBit, 0},
    {CommState::One5StopBits, CSTOPB},
    {CommState::TwoStopBits, CSTOPB},
};

struct FlagRow {
    bool CommState::*field;
    tcflag_t termios::*word;
    tcflag_t bits;
};
constexpr FlagRow FlagRows[] = {
    {&CommState::parityCheck, &termios::c_iflag, INPCK},
    {&CommState::outxCtsFlow, &termios::c_cflag, CRTSCTS},
    {&CommState::outX, &termios::c_iflag, IXON},
    {&CommState::inX, &termios::c_iflag, IXOFF},
};

struct CharRow {
    char CommState::*field;
    int index;
};
constexpr CharRow CharRows[] = {
    {&CommState::xonChar, VSTART},
    {&CommState::xoffChar, VSTOP},
};

// ---------------------------------------------------------------------------

template <typename Rows, typename Pred>
auto findRow(const Rows& rows, Pred pred) -> decltype(&rows[0]) {
    const auto it = std::find_if(std::begin(rows), std::end(rows), pred);
    return it == std::end(rows) ? nullptr : &*it;
}

std::optional<std::uint32_t> readBaud(int fd, const termios& tio) {
    const speed_t speed = cfgetospeed(&tio);
    if (const auto* row = findRow(BaudRows, [&](const BaudRow& r) { return r.speed == speed; }))
        return row->baud;
    return custombaud::get(fd); // a custom (BOTHER) rate
}

bool dsrLow(int fd) {
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) != 0)
        return false; // no modem lines to ask: write at once
    return (lines & TIOCM_DSR) == 0;
}

bool setModemLine(int fd, int line, bool on) {
    return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

// Before the port's descriptor closes: the device may outlive us in other
// hands (a pty), so it must not stay exclusive.
void releaseExclusive(int fd) {
    (void)::ioctl(fd, TIOCNXCL);
}

} // namespace

void stateToTermios(const CommState& state, termios& tio) {
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (const auto* row =
            findRow(BaudRows, [&](const BaudRow& r) { return r.baud == state.baudRate; })) {
        ::cfsetspeed(&tio, row->speed);
        // No separate input rate: after a custom rate CIBAUD still says BOTHER
        // and would keep the input at the old rate.
        tio.c_cflag &= ~static_cast<tcflag_t>(CIBAUD);
    }
    if (const auto* row =
            findRow(ByteSizeRows, [&](const ByteSizeRow& r) { return r.bits == state.byteSize; }))
        tio.c_cflag = (tio.c_cflag & ~CSIZE) | row->csize;
    if (const auto* row =
            findRow(ParityRows, [&](const ParityRow& r) { return r.parity == state.parity; }))
        tio.c_cflag = (tio.c_cflag & ~(PARENB | PARODD | CMSPAR)) | row->cflag;
    if (const auto* row = findRow(
            StopBitsRows, [&](const StopBitsRow& r) { return r.stopBits == state.stopBits; }))
        tio.c_cflag = (tio.c_cflag & ~CSTOPB) | row->cflag;
    for (const FlagRow& row : FlagRows) {
        if (state.*row.field)
            tio.*row.word |= row.bits;
        else
            tio.*row.word &= ~row.bits;
    }
    for (const CharRow& row : CharRows)
        tio.c_cc[row.index] = static_cast<cc_t>(state.*row.field);
}

void termiosToState(const termios& tio, CommState& state) {
    const speed_t speed = cfgetospeed(&tio);
    if (const auto* row = findRow(BaudRows, [&](const BaudRow& r) { return r.speed == speed; }))
        state.baudRate = row->baud;
    const tcflag_t csize = tio.c_cflag & CSIZE;
    if (const auto* row =
            findRow(ByteSizeRows, [&](const ByteSizeRow& r) { return r.csize == csize; }))
        state.byteSize = row->bits;
    const tcflag_t parity = tio.c_cflag & (PARENB | PARODD);
    if (const auto* row =
            findRow(ParityRows, [&](const ParityRow& r) { return r.cflag == parity; }))
        state.parity = row->parity;
    else
        state.parity = CommState::NoParity; // PARODD alone: parity is off
    if ((tio.c_cflag & CSTOPB) == 0)
        state.stopBits = CommState::OneStopBit;
    else
        state.stopBits = csize == CS5 ? CommState::One5StopBits : CommState::TwoStopBits;
    for (const FlagRow& row : FlagRows)
        state.*row.field = (tio.*row.word & row.bits) != 0;
    for (const CharRow& row : CharRows)
        state.*row.field = static_cast<char>(tio.c_cc[row.index]);
    state.binary = true;
}

bool SerialPort::open(const std::string& devicePath) {
    close();
    m_lastError.clear();
    m_lastErrorCode = 0;
    m_emulated = Emulated{};
    const auto fail = [&](int error) {
        m_lastErrorCode = error;
        m_lastError = openFailureMessage(devicePath, error);
        return false;
    };
    // O_NONBLOCK: neither the open nor a write may hang on carrier or flow control.
    UniqueFd fd(::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.isOpen())
        return fail(errno);
    // TIOCEXCL keeps later opens out (except by root); the lock also catches
    // tools that lock ports with flock, and other instances run as root.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return fail(errno == EWOULDBLOCK ? EBUSY : errno);
    (void)::ioctl(fd.get(), TIOCEXCL);
    m_fd = UniqueFd(fd.release(), &releaseExclusive);
    return true;
}

void SerialPort::close() {
    m_fd.reset();
}

bool SerialPort::getState(CommState& state) const {
    termios tio{};
    if (!m_fd.isOpen() || ::tcgetattr(m_fd.get(), &tio) != 0)
        return false;
    CommState read = state;
    if (const auto baud = readBaud(m_fd.get(), tio))
        read.baudRate = *baud;
    termiosToState(tio, read);
    read.outxDsrFlow = m_emulated.outxDsrFlow;
    read.dtrControl = m_emulated.dtrControl;
    read.rtsControl = read.outxCtsFlow ? CommState::ControlHandshake : m_emulated.rtsControl;
    read.xonLim = m_emulated.xonLim;
    read.xoffLim = m_emulated.xoffLim;
    state = read;
    return true;
}

bool SerialPort::setState(const CommState& state) {
    termios tio{};
    if (!m_fd.isOpen() || ::tcgetattr(m_fd.get(), &tio) != 0)
        return false;
    stateToTermios(state, tio);
    const bool customBaud =
        findRow(BaudRows, [&](const BaudRow& r) { return r.baud == state.baudRate; }) == nullptr;
    const bool applied = ::tcsetattr(m_fd.get(), TCSANOW, &tio) == 0;
    if (customBaud && state.baudRate != 0)
        (void)custombaud::set(m_fd.get(), state.baudRate); // refused by many drivers and by ptys

    m_emulated.outxDsrFlow = state.outxDsrFlow;
    m_emulated.dtrControl = state.dtrControl;
    m_emulated.rtsControl = state.rtsControl;
    m_emulated.xonLim = state.xonLim;
    m_emulated.xoffLim = state.xoffLim;
    // Modem lines: ptys and some adapters have none; that is not a failure here.
    (void)setModemLine(m_fd.get(), TIOCM_DTR, state.dtrControl != CommState::ControlDisable);
    if (!state.outxCtsFlow)
        (void)setModemLine(m_fd.get(), TIOCM_RTS, state.rtsControl != CommState::ControlDisable);
    return applied;
}

bool SerialPort::setDtr(bool on) {
    return m_fd.isOpen() && setModemLine(m_fd.get(), TIOCM_DTR, on);
}

bool SerialPort::setRts(bool on) {
    return m_fd.isOpen() && setModemLine(m_fd.get(), TIOCM_RTS, on);
}

std::size_t SerialPort::write(const char* data, std::size_t n, std::chrono::milliseconds deadline,
                              const fdio::WriteControl& control) {
    m_lastError.clear();
    m_lastErrorCode = 0;
    if (!m_fd.isOpen() || data == nullptr || n == 0)
        return 0;
    const fdio::WriteReport report =
        fdio::writeUntil(m_fd.get(), data, n, fdio::deadlineAfter(deadline),
                         m_emulated.outxDsrFlow ? &dsrLow : nullptr, control);
    m_lastErrorCode = report.error;
    m_lastError = fdio::writeErrorMessage(report.error);
    return report.written;
}

bool SerialPort::drain(std::chrono::milliseconds deadline, const std::stop_token& stop) {
    if (!m_fd.isOpen())
        return false;
    // tcdrain() could wait forever on a stopped line, so watch the queue instead.
    const auto until = fdio::deadlineAfter(deadline);
    for (;;) {
        int queued = 0;
        if (::ioctl(m_fd.get(), TIOCOUTQ, &queued) != 0)
            return true; // no queue to watch
        if (queued <= 0)
            return true;
        if (fdio::Clock::now() >= until)
            return false;
        if (!fdio::pause(std::chrono::milliseconds(2), until, stop))
            return false;
    }
}

void SerialPort::discardOutput() {
    if (m_fd.isOpen())
        (void)::tcflush(m_fd.get(), TCOFLUSH);
}

std::optional<std::size_t> SerialPort::bytesWaiting() const {
    return fdio::bytesWaiting(m_fd.get());
}

std::size_t SerialPort::read(char* buffer, std::size_t capacity) {
    return fdio::readWaiting(m_fd.get(), buffer, capacity, &m_lastReadError);
}

} // namespace platform

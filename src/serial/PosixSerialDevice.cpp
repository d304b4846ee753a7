#include "PosixSerialDevice.h"
#include "ReceiveFilter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

speed_t StandardBaudConstant(quint32 rate) {
    static constexpr std::array<std::pair<quint32, speed_t>, 30> table{{
        {50, B50},           {75, B75},           {110, B110},         {134, B134},
        {150, B150},         {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000},
    }};
    for (const auto& [r, b] : table)
        if (r == rate)
            return b;
    return B0;
}

TermiosPlan BuildTermios(const LineSettings& s, const termios& current) {
    TermiosPlan plan;
    termios& t = plan.tio;
    t = current;

    // A break is counted by the driver and reported as a line error; it must not
    // also turn up in the data as a zero byte.
    t.c_iflag = IGNBRK;
    if (s.ParityCheck && s.ReplaceWhenParityError) {
        // Without marking, a byte with a parity or framing error reads as 0. For any
        // other replacement the bytes are marked and the reader substitutes them.
        t.c_iflag |= INPCK;
        if (ReceiveFilterFor(s).decodeMarks)
            t.c_iflag |= PARMRK;
    }
    if (s.Outx_XonXoffFlow)
        t.c_iflag |= IXON;
    if (s.Inx_XonXoffFlow)
        t.c_iflag |= IXOFF;

    // Raw transfer both ways: no output processing, no line editing, no signals,
    // no end-of-file character.
    t.c_oflag = 0;
    t.c_lflag = 0;

    // Hang-up-on-close stays as the device had it; everything else is ours. The input
    // rate bits still name an arbitrary rate set earlier; cleared, input follows output.
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CIBAUD);
    // Carrier loss must not hang the line up under us: the modem link watches the
    // carrier through modem events instead.
    t.c_cflag |= CREAD | CLOCAL;
    switch (s.ByteSize) {
    case TByteSize::_5:
        t.c_cflag |= CS5;
        break;
    case TByteSize::_6:
        t.c_cflag |= CS6;
        break;
    case TByteSize::_7:
        t.c_cflag |= CS7;
        break;
    case TByteSize::_8:
        t.c_cflag |= CS8;
        break;
    }
    switch (s.Parity) {
    case TParity::None:
        break;
    case TParity::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case TParity::Even:
        t.c_cflag |= PARENB;
        break;
    case TParity::Mark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case TParity::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (s.StopBits != TStopBits::_1)
        t.c_cflag |= CSTOPB;
    // Linux has one switch for both directions of hardware flow control.
    if (s.Outx_CtsFlow || s.RtsControl == TRtsControl::RtsHandshake)
        t.c_cflag |= CRTSCTS;

    t.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    // A rate of 0 would mean "hang up" to the driver, not a line speed: keep the old one.
    // A rate without a B-constant is not written here: going through 38400 (the old
    // placeholder for such rates) would put the line at 38400 if the driver then
    // refused the real rate.
    if (s.BaudRate != 0) {
        const speed_t b = StandardBaudConstant(s.BaudRate);
        if (b == B0) {
            plan.customBaud = s.BaudRate;
        } else {
            cfsetispeed(&t, b);
            cfsetospeed(&t, b);
        }
    }
    return plan;
}

PosixSerialDevice::~PosixSerialDevice() {
    Close();
}

SerialDevice::OpenResult PosixSerialDevice::Open(const QString& path) {
    Close();
    openError_ = 0;
    const QByteArray native = path.toLocal8Bit();
    // Looked at before it is opened: opening a FIFO read-write would release a reader
    // blocked on it, and a regular file or a folder is no line either.
    struct stat before {};
    if (::stat(native.constData(), &before) == 0 &&
        (S_ISFIFO(before.st_mode) || S_ISSOCK(before.st_mode) || S_ISREG(before.st_mode)))
        return OpenResult::NotCharDevice;
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        openError_ = errno;
        return OpenResult::CannotOpen;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        ::close(fd);
        return OpenResult::NotCharDevice;
    }
    // A character device that is no terminal has no line and no queues to set up.
    if (!isatty(fd)) {
        ::close(fd);
        return OpenResult::NotTerminal;
    }
    // No sharing: a second program (or a second component) that wants the port is
    // refused. A lock rather than the terminal's exclusive mode: it goes away with the
    // process however that ends, and it binds root too.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        openError_ = EBUSY;
        return OpenResult::CannotOpen;
    }
    fd_ = fd;
    return OpenResult::Ok;
}

bool PosixSerialDevice::CreateCloseEvent() {
    if (closeFd_ >= 0)
        ::close(closeFd_);
    closeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return closeFd_ >= 0;
}

void PosixSerialDevice::SignalClose() {
    if (closeFd_ < 0)
        return;
    const quint64 one = 1;
    // The counter never goes back to zero, so the event stays signalled for every
    // later wait as well; a full counter would also read as signalled.
    (void)!::write(closeFd_, &one, sizeof one);
}

void PosixSerialDevice::Close() {
    if (fd_ >= 0) {
        ::close(fd_); // releases the lock
        fd_ = -1;
    }
    if (closeFd_ >= 0) {
        ::close(closeFd_);
        closeFd_ = -1;
    }
    rs485Enabled_ = false;
}

bool PosixSerialDevice::ConfigureLine(const LineSettings& settings) {
    if (fd_ < 0)
        return false;
    termios current{};
    if (tcgetattr(fd_, &current) != 0)
        return false;
    const TermiosPlan plan = BuildTermios(settings, current);
    {
        std::lock_guard lock(mutex_);
        built_ = plan;
    }
    const bool ok = SubmitLine(plan.tio, plan.customBaud);
    SetModemOutputs(settings);
    return ok;
}

bool PosixSerialDevice::SubmitLine(const termios& tio, quint32 customRate) {
    if (customRate == 0)
        return tcsetattr(fd_, TCSANOW, &tio) == 0;
    LineRecord line;
    line.iflag = tio.c_iflag;
    line.oflag = tio.c_oflag;
    line.cflag = tio.c_cflag;
    line.lflag = tio.c_lflag;
    line.discipline = tio.c_line;
    static_assert(sizeof tio.c_cc <= sizeof line.cc);
    std::copy(std::begin(tio.c_cc), std::end(tio.c_cc), line.cc.begin());
    return SetLineAtCustomRate(fd_, line, customRate);
}

std::optional<quint32> PosixSerialDevice::LineRate() {
    if (fd_ < 0)
        return std::nullopt;
    // The driver writes back the rate it actually set, also when it settled on another
    // one than asked for.
    const quint32 rate = ReadCustomBaudRate(fd_);
    if (rate == 0)
        return std::nullopt;
    return rate;
}

void PosixSerialDevice::SetModemOutputs(const LineSettings& s) {
    // Pseudo-terminals and some adapters have no modem lines; they refuse these
    // requests and the line works without them.
    const int dtr = TIOCM_DTR;
    const int rts = TIOCM_RTS;
    // Linux has no DTR handshake; DTR stays raised, as a handshake would hold it
    // while the receive queue has room.
    (void)ioctl(fd_, s.DtrControl == TDtrControl::DtrDisable ? TIOCMBIC : TIOCMBIS, &dtr);

    const bool toggle = s.RtsControl == TRtsControl::RtsTransmissionAvailable;
    if (toggle || rs485Enabled_) {
        // RTS raised only while sending: the driver's RS-485 direction control.
        serial_rs485 rs485{};
        if (toggle)
            rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        const bool done = ioctl(fd_, TIOCSRS485, &rs485) == 0;
        rs485Enabled_ = toggle && done;
        if (toggle) {
            if (!done) // no direction control: keep RTS low, the idle state of a toggle
                (void)ioctl(fd_, TIOCMBIC, &rts);
            return;
        }
    }
    switch (s.RtsControl) {
    case TRtsControl::RtsEnable:
        (void)ioctl(fd_, TIOCMBIS, &rts);
        break;
    case TRtsControl::RtsDisable:
        (void)ioctl(fd_, TIOCMBIC, &rts);
        break;
    default:
        break; // handshake: the driver drives RTS itself (CRTSCTS)
    }
}

bool PosixSerialDevice::ConfigureTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
    return fd_ >= 0;
}

CommTimeouts PosixSerialDevice::Timeouts() const {
    std::lock_guard lock(mutex_);
    return timeouts_;
}

TermiosPlan PosixSerialDevice::LastBuiltTermios() const {
    std::lock_guard lock(mutex_);
    return built_;
}

SerialDevice::Wait PosixSerialDevice::WaitFor(short events, int timeoutMs) {
    pollfd fds[2] = {{closeFd_, POLLIN, 0}, {fd_, events, 0}};
    const nfds_t count = events != 0 ? 2 : 1;
    int r;
    do {
        r = ::poll(fds, count, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return Wait::Hangup;
    if (r == 0)
        return Wait::TimedOut;
    // The close event wins when several are ready, so a closing port never starts
    // another read or write.
    if (fds[0].revents != 0)
        return Wait::Closed;
    if (fds[1].revents & events)
        return Wait::Ready;
    return Wait::Hangup; // POLLHUP, POLLERR or POLLNVAL: the device is gone
}

SerialDevice::Wait PosixSerialDevice::WaitReadable(int timeoutMs) {
    return WaitFor(POLLIN, timeoutMs);
}

SerialDevice::Wait PosixSerialDevice::WaitWritable(int timeoutMs) {
    return WaitFor(POLLOUT, timeoutMs);
}

SerialDevice::Wait PosixSerialDevice::WaitClosed(int timeoutMs) {
    return WaitFor(0, timeoutMs);
}

SerialDevice::Io PosixSerialDevice::Read(char* buffer, std::size_t capacity) {
    const ssize_t n = ::read(fd_, buffer, capacity);
    if (n > 0)
        return {Io::Status::Done, static_cast<std::size_t>(n), 0};
    if (n == 0)
        return {Io::Status::EndOfFile, 0, 0};
    if (errno == EAGAIN || errno == EINTR)
        return {Io::Status::WouldBlock, 0, errno};
    return {Io::Status::Failed, 0, errno};
}

SerialDevice::Io PosixSerialDevice::Write(const char* bytes, std::size_t count) {
    const ssize_t n = ::write(fd_, bytes, count);
    if (n > 0)
        return {Io::Status::Done, static_cast<std::size_t>(n), 0};
    if (n == 0 || errno == EAGAIN || errno == EINTR)
        return {Io::Status::WouldBlock, 0, n == 0 ? 0 : errno};
    return {Io::Status::Failed, 0, errno};
}

std::optional<quint32> PosixSerialDevice::ModemStatus() {
    int lines = 0;
    if (fd_ < 0 || ioctl(fd_, TIOCMGET, &lines) != 0)
        return std::nullopt;
    quint32 bits = 0;
    if (lines & TIOCM_CTS)
        bits |= ModemStatusBits::Cts;
    if (lines & TIOCM_DSR)
        bits |= ModemStatusBits::Dsr;
    if (lines & TIOCM_RNG)
        bits |= ModemStatusBits::Ring;
    if (lines & TIOCM_CAR)
        bits |= ModemStatusBits::Carrier;
    return bits;
}

std::optional<LineCounters> PosixSerialDevice::Counters() {
    serial_icounter_struct ic{};
    if (fd_ < 0 || ioctl(fd_, TIOCGICOUNT, &ic) != 0)
        return std::nullopt;
    LineCounters c;
    c.cts = ic.cts;
    c.dsr = ic.dsr;
    c.ring = ic.rng;
    c.carrier = ic.dcd;
    c.frame = ic.frame;
    c.overrun = ic.overrun;
    c.parity = ic.parity;
    c.brk = ic.brk;
    c.bufferOverrun = ic.buf_overrun;
    return c;
}

void PosixSerialDevice::Purge(bool receive, bool transmit) {
    if (fd_ < 0 || (!receive && !transmit))
        return;
    // A device that has gone away refuses the flush; there is nothing left to drop.
    (void)tcflush(fd_, receive && transmit ? TCIOFLUSH : receive ? TCIFLUSH : TCOFLUSH);
}

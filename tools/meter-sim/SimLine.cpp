#include "SimLine.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct SpeedEntry {
    int baud;
    speed_t speed;
};
constexpr SpeedEntry Speeds[] = {
    {300, B300},   {600, B600},     {1200, B1200},   {2400, B2400},   {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};

bool SpeedOf(int baud, speed_t& out) {
    for (const auto& e : Speeds)
        if (e.baud == baud) {
            out = e.speed;
            return true;
        }
    return false;
}

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Raw 8N1 at `baud`, reads never block in the driver.
bool MakeRaw(int fd, int baud) {
    termios t{};
    speed_t speed{};
    if (!SpeedOf(baud, speed) || tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

} // namespace

std::unique_ptr<SimLine> SimLine::OpenPseudoTerminal(int baud, std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        error = Reason("posix_openpt");
        return nullptr;
    }
    char name[128] = {};
    if (grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        error = Reason("pseudo-terminal set-up");
        close(master);
        return nullptr;
    }
    const int slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0 || !MakeRaw(slave, baud)) {
        error = Reason("pseudo-terminal slave");
        if (slave >= 0)
            close(slave);
        close(master);
        return nullptr;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    return std::unique_ptr<SimLine>(new SimLine(master, slave, name));
}

std::unique_ptr<SimLine> SimLine::OpenDevice(const std::string& path, int baud,
                                             std::string& error) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = Reason(path.c_str());
        return nullptr;
    }
    if (!MakeRaw(fd, baud)) {
        error = Reason("line settings");
        close(fd);
        return nullptr;
    }
    tcflush(fd, TCIOFLUSH);
    return std::unique_ptr<SimLine>(new SimLine(fd, -1, path));
}

std::unique_ptr<SimLine> SimLine::ListenTcp(int port, std::string& error) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        error = Reason("socket");
        return nullptr;
    }
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 4) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        error = Reason(("127.0.0.1:" + std::to_string(port)).c_str());
        close(listener);
        return nullptr;
    }
    auto line = std::unique_ptr<SimLine>(
        new SimLine(-1, -1, "127.0.0.1:" + std::to_string(ntohs(address.sin_port))));
    line->listenFd_ = listener;
    return line;
}

SimLine::~SimLine() {
    if (slaveFd_ >= 0)
        close(slaveFd_);
    if (fd_ >= 0)
        close(fd_);
    if (listenFd_ >= 0)
        close(listenFd_);
}

int SimLine::lineBaud() const {
    if (isNetwork())
        return 0;
    termios t{};
    // On Linux the master side of a pseudo-terminal reports the slave's settings.
    if (tcgetattr(fd_, &t) != 0)
        return 0;
    const speed_t speed = cfgetospeed(&t);
    for (const auto& e : Speeds)
        if (e.speed == speed)
            return e.baud;
    return 0;
}

bool SimLine::setBaud(int baud) {
    if (isPseudoTerminal() || isNetwork())
        return true;
    tcdrain(fd_);
    termios t{};
    speed_t speed{};
    if (!SpeedOf(baud, speed) || tcgetattr(fd_, &t) != 0)
        return false;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return tcsetattr(fd_, TCSANOW, &t) == 0;
}

bool SimLine::inputWaiting() const {
    if (fd_ < 0)
        return false;
    pollfd p{fd_, POLLIN, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

long SimLine::readSome(std::uint8_t* buffer, std::size_t size) {
    if (isNetwork() && fd_ < 0) {
        fd_ = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd_ >= 0) {
            // Each reply goes out at once, not held back to be joined with the next.
            const int on = 1;
            setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        }
        return 0;
    }
    const ssize_t n = read(fd_, buffer, size);
    if (isNetwork() && (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))) {
        // The master closed the connection (or it broke): wait for the next one.
        close(fd_);
        fd_ = -1;
        return 0;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    return n;
}

bool SimLine::writeAll(const std::uint8_t* data, std::size_t size) {
    if (fd_ < 0)
        return false;
    while (size > 0) {
        // A master that closed its end must not end the simulator by SIGPIPE.
        const ssize_t n =
            isNetwork() ? send(fd_, data, size, MSG_NOSIGNAL) : write(fd_, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        // The far side is not reading; give it a moment, but never hang on it.
        pollfd p{fd_, POLLOUT, 0};
        if (poll(&p, 1, 1000) <= 0)
            return false;
    }
    return true;
}

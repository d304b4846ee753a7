#include "SimProcess.h"

#include "SlaveProtocol.h"

#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

speed_t Speed(int baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 115200:
        return B115200;
    default:
        return B9600;
    }
}

} // namespace

LineClient::LineClient(const QString& path, int baud) {
    fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ >= 0)
        setBaud(baud);
}

LineClient::~LineClient() {
    if (fd_ >= 0)
        ::close(fd_);
}

void LineClient::setBaud(int baud) {
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, Speed(baud));
    cfsetospeed(&t, Speed(baud));
    tcsetattr(fd_, TCSANOW, &t);
}

void LineClient::send(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else {
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, 2000) <= 0)
                return;
        }
    }
}

Bytes LineClient::transact(const Bytes& frame, int timeoutMs, int quietMs) {
    tcflush(fd_, TCIFLUSH);
    send(frame);
    Bytes reply;
    int wait = timeoutMs;
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, wait) <= 0)
            return reply;
        std::uint8_t buffer[512];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            return reply;
        reply.insert(reply.end(), buffer, buffer + n);
        wait = quietMs;
    }
}

Bytes LineClient::transactUntil(const Bytes& frame, int timeoutMs,
                                const std::function<bool(const Bytes&)>& complete) {
    tcflush(fd_, TCIFLUSH);
    send(frame);
    Bytes reply;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!complete(reply)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) <= 0)
            break;
        std::uint8_t buffer[512];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        reply.insert(reply.end(), buffer, buffer + n);
    }
    return reply;
}

Bytes WithCrc(Bytes body) {
    AppendCrc(body);
    return body;
}

Bytes Request(std::uint8_t address, std::uint8_t function, std::uint16_t a, std::uint16_t b) {
    return WithCrc({address, function, std::uint8_t(a >> 8), std::uint8_t(a), std::uint8_t(b >> 8),
                    std::uint8_t(b)});
}

Bytes WriteRegisters(std::uint8_t address, std::uint16_t start,
                     const std::vector<std::uint16_t>& values) {
    Bytes body = {address,
                  0x10,
                  std::uint8_t(start >> 8),
                  std::uint8_t(start),
                  0,
                  std::uint8_t(values.size()),
                  std::uint8_t(2 * values.size())};
    for (auto v : values) {
        body.push_back(std::uint8_t(v >> 8));
        body.push_back(std::uint8_t(v));
    }
    return WithCrc(body);
}

std::vector<std::uint16_t> Registers(const Bytes& reply) {
    std::vector<std::uint16_t> out;
    if (reply.size() < 5 || reply[1] != 0x03 || reply.size() != 5u + reply[2])
        return out;
    for (std::size_t k = 0; k + 1 < reply[2]; k += 2)
        out.push_back(std::uint16_t((reply[3 + k] << 8) | reply[4 + k]));
    return out;
}

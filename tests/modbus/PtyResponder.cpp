#include "PtyResponder.h"

#include "Crc16.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace {
// Length of the request that starts the buffer, or 0 when it cannot be told yet.
int RequestLength(const QByteArray& b) {
    if (b.size() < 2)
        return 0;
    switch (quint8(b[1])) {
    case 0x10:
    case 0xB0:
        return b.size() >= 7 ? quint8(b[6]) + 9 : 0;
    default:
        return 8;
    }
}
} // namespace

PtyResponder::PtyResponder(Script script) : script_(std::move(script)) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
        return;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    thread_ = std::thread([this] { Run(); });
}

PtyResponder::~PtyResponder() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (master_ >= 0)
        ::close(master_);
}

void PtyResponder::Run() {
    QByteArray pending;
    while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 10);
        if (ready <= 0)
            continue;
        if (!(p.revents & POLLIN)) {
            // Nobody holds the slave open (yet, or any more): the master reports a hang-up
            // at once, so pause instead of spinning.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        char buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            continue;
        pending.append(buf, n);
        for (int len = RequestLength(pending); len > 0 && pending.size() >= len;
             len = RequestLength(pending)) {
            const QByteArray request = pending.left(len);
            if (ModbusCrcBytes(request, len - 2) != request.right(2)) {
                // Out of step with the line: drop a byte and look again.
                pending.remove(0, 1);
                ++discarded_;
                continue;
            }
            pending.remove(0, len);
            const QByteArray answer = script_(request, requests_++);
            if (!answer.isEmpty() && ::write(master_, answer.constData(), answer.size()) < 0)
                return;
        }
    }
}

QByteArray RegisterReadAnswer(const QByteArray& request) {
    if (request.size() != 8 || quint8(request[1]) != 0x03)
        return {};
    const int start = (quint8(request[2]) << 8) | quint8(request[3]);
    const int count = (quint8(request[4]) << 8) | quint8(request[5]);
    QByteArray reply;
    reply.append(request[0]).append(char(0x03)).append(char(2 * count));
    for (int i = 0; i < count; ++i) {
        const int value = 0x1000 + start + i;
        reply.append(char(value >> 8)).append(char(value & 0xFF));
    }
    return reply + ModbusCrcBytes(reply, reply.size());
}

// meter-sim: a simulated power meter answering Modbus RTU on a serial line.

#include "FaultInjector.h"
#include "MeterModel.h"
#include "PortName.h"
#include "QetraVersion.h"
#include "RtuReceiver.h"
#include "SimLine.h"
#include "SimOptions.h"
#include "SlaveProtocol.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLoggingCategory>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <thread>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcTraffic, "qetra.sim.traffic", QtWarningMsg)

namespace {

std::int64_t MonotonicUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

QString Hex(const std::uint8_t* data, std::size_t n) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(n))
        .toHex(' ')
        .toUpper();
}

void PrintStats(const LineCounts& line, const FaultCounts& faults) {
    std::fprintf(stderr, "%s\n", StatsLine(line, faults).c_str());
    std::fflush(stderr);
}

// Everything the simulator created, removed again however it ends.
struct Registrations {
    QString link;
    QString linkTarget;
    QString port;
    QString device;
    ~Registrations() {
        if (!link.isEmpty()) {
            // Only our own link: someone may have replaced it meanwhile.
            char target[4096] = {};
            const QByteArray path = link.toLocal8Bit();
            const ssize_t n = readlink(path.constData(), target, sizeof target - 1);
            if (n > 0 && QString::fromLocal8Bit(target, n) == linkTarget)
                unlink(path.constData());
        }
        if (!port.isEmpty())
            UnregisterComPort(port, device);
    }
};

class MeterServer {
public:
    MeterServer(const SimOptions& options, SimLine& line, int signalFd)
        : options_(options), line_(line), signalFd_(signalFd),
          startWallMs_(QDateTime::currentMSecsSinceEpoch()), startUs_(MonotonicUs()),
          faults_(options.faults), droppedReads_(options.droppedReads),
          receiver_(options.meter.baud), lineBaud_(options.meter.baud) {
        meters_.push_back(std::make_unique<Meter>(options.meter, startWallMs_));
        for (const int address : options.moreAddresses) {
            MeterConfig config = options.meter;
            config.address = address;
            // A meter of its own on another feeder: its own walk around its own load.
            config.seed = options.meter.seed + std::uint32_t(address);
            config.feeder = FeederLoadFor(address, options.meter.address);
            meters_.push_back(std::make_unique<Meter>(config, startWallMs_));
        }
    }

    // Serves until a stop signal (true) or a line failure (false).
    bool run() {
        std::uint8_t buffer[512];
        bool running = true;
        while (running) {
            // Wake for the end of a frame, else now and then so the meter's
            // clock, alarms and relays move on between requests.
            // The frame end is timed to the microsecond: at high baud rates the
            // silence is shorter than two milliseconds.
            std::int64_t waitUs = 200'000;
            if (const auto deadline = receiver_.deadlineUs())
                waitUs = std::max<std::int64_t>(0, *deadline - MonotonicUs());
            const timespec timeout{static_cast<time_t>(waitUs / 1'000'000),
                                   static_cast<long>(waitUs % 1'000'000 * 1000)};
            pollfd fds[2] = {{line_.fd(), POLLIN, 0}, {signalFd_, POLLIN, 0}};
            const int ready = ppoll(fds, 2, &timeout, nullptr);
            if (ready < 0 && errno != EINTR) {
                std::perror("meter-sim: ppoll");
                return false;
            }
            if (fds[1].revents & POLLIN)
                running = handleSignal();
            if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
                const long n = line_.readSome(buffer, sizeof buffer);
                if (n > 0 && gateway_) {
                    takeGatewayBytes(buffer, static_cast<std::size_t>(n));
                } else if (n > 0) {
                    receiver_.feed({buffer, static_cast<std::size_t>(n)}, MonotonicUs());
                } else if (n < 0 && !line_.isPseudoTerminal()) {
                    // The device went away (a USB adapter unplugged, say).
                    std::perror("meter-sim: read");
                    return false;
                } else if (n < 0 || (fds[0].revents & (POLLHUP | POLLERR))) {
                    // A line that only reports hang-ups would spin the loop.
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            }
            for (const auto& meter : meters_)
                meter->model.advance(meterTimeMs());
            if (auto frame = receiver_.take(MonotonicUs()))
                serve(*frame);
            lineCounts_.overlong = receiver_.overlongFrames();
        }
        return true;
    }

    void printStats() const { PrintStats(lineCounts_, faults_.counts()); }

private:
    // The meter's time runs from the PC clock at start on a monotonic clock, so
    // a clock adjustment on the PC neither freezes nor rushes the meter.
    std::int64_t meterTimeMs() const { return startWallMs_ + (MonotonicUs() - startUs_) / 1000; }

    // A Modbus TCP gateway takes a request by the length its header announces, and passes
    // it to the meters as the RTU frame (the unit identifier as address, a CRC added).
    void takeGatewayBytes(const std::uint8_t* data, std::size_t n) {
        gatewayIn_.insert(gatewayIn_.end(), data, data + n);
        while (gatewayIn_.size() >= 7) {
            const unsigned length = unsigned(gatewayIn_[4]) << 8 | gatewayIn_[5];
            const bool protocol = gatewayIn_[2] == 0 && gatewayIn_[3] == 0;
            if (length < 2 || length > 254 || !protocol) {
                // Not a request the gateway understands; nothing after it can be framed.
                qCDebug(lcTraffic) << "gateway: bad header, input dropped";
                gatewayIn_.clear();
                return;
            }
            if (gatewayIn_.size() < 6 + length)
                return;
            transaction_ = std::uint16_t(gatewayIn_[0] << 8 | gatewayIn_[1]);
            std::vector<std::uint8_t> frame(gatewayIn_.begin() + 6,
                                            gatewayIn_.begin() + 6 + length);
            gatewayIn_.erase(gatewayIn_.begin(), gatewayIn_.begin() + 6 + length);
            AppendCrc(frame);
            serve(frame);
        }
    }

    // The gateway's answer: the meter's reply without its CRC behind the request's header.
    std::vector<std::uint8_t> gatewayFrame(const std::vector<std::uint8_t>& rtu) const {
        const std::size_t length = rtu.size() - 2;
        std::vector<std::uint8_t> out(6 + length);
        out[0] = std::uint8_t(transaction_ >> 8);
        out[1] = std::uint8_t(transaction_ & 0xFF);
        out[4] = std::uint8_t(length >> 8);
        out[5] = std::uint8_t(length & 0xFF);
        std::copy_n(rtu.begin(), length, out.begin() + 6);
        return out;
    }

    bool handleSignal() {
        signalfd_siginfo info{};
        if (read(signalFd_, &info, sizeof info) != sizeof info)
            return true;
        if (info.ssi_signo == SIGUSR1) {
            printStats();
            return true;
        }
        return false;
    }

    void serve(const std::vector<std::uint8_t>& frame) {
        ++lineCounts_.frames;
        qCDebug(lcTraffic).noquote() << "rx" << Hex(frame.data(), frame.size());
        // Bytes sent at another baud rate arrive as garbage on a real line.
        if (line_.isPseudoTerminal()) {
            const int heard = line_.lineBaud();
            if (heard != lineBaud_) {
                ++lineCounts_.wrongBaud;
                qCDebug(lcTraffic)
                    << "line at" << heard << "bps, meter at" << lineBaud_ << "bps: not heard";
                return;
            }
        }
        if (refused(frame))
            return;
        // Every meter on the line hears the frame; the one it is addressed to answers, and
        // all of them carry out a broadcast.
        SlaveOutcome outcome;
        int baudBefore = 0;
        MeterModel* addressed = nullptr;
        for (const auto& meter : meters_) {
            if (options_.silentAddresses.contains(meter->model.address()))
                continue;
            const int before = meter->model.baud();
            const SlaveOutcome heard = meter->protocol.handle(frame);
            if (heard.kind == SlaveOutcome::Ignored)
                continue;
            if (!addressed || heard.kind != SlaveOutcome::Broadcast) {
                outcome = heard;
                baudBefore = before;
                addressed = &meter->model;
            }
        }
        switch (outcome.kind) {
        case SlaveOutcome::Ignored:
            ++lineCounts_.ignored;
            qCDebug(lcTraffic) << "ignored";
            // No meter behind the gateway answers that unit: the gateway says so.
            if (gateway_ && HasValidCrc(frame) && frame[0] != 0)
                reply(frame.size(), ExceptionReply(frame, 0x0B));
            return;
        case SlaveOutcome::Broadcast:
            ++lineCounts_.broadcasts;
            qCDebug(lcTraffic) << "broadcast executed";
            break;
        case SlaveOutcome::Exception:
            ++lineCounts_.exceptions;
            [[fallthrough]];
        case SlaveOutcome::Reply:
            if (TakeScriptedDrop(droppedReads_, frame)) {
                ++lineCounts_.scriptedDrops;
                qCDebug(lcTraffic) << "reply left out as scripted";
                break;
            }
            if (ReadsBlockOf(frame, options_.silentBlocks)) {
                qCDebug(lcTraffic) << "block kept silent";
                break;
            }
            reply(frame.size(), outcome.reply);
            break;
        }
        if (addressed->baud() != baudBefore && addressed->baud() != 0) {
            lineBaud_ = addressed->baud();
            line_.setBaud(lineBaud_);
            qCDebug(lcTraffic) << "now at" << lineBaud_ << "bps";
        }
        receiver_.setBaud(lineBaud_);
    }

    // A request to one of the meters that --refuse-write or --refuse-read turns down: not
    // carried out, answered with the exception or not at all.
    bool refused(const std::vector<std::uint8_t>& frame) {
        const Refusal* refusal = RefusalOf(options_.refusals, frame);
        if (!refusal || !HasValidCrc(frame))
            return false;
        const bool ours = std::any_of(meters_.begin(), meters_.end(), [&](const auto& meter) {
            return meter->model.address() == frame[0];
        });
        if (!ours)
            return false;
        ++lineCounts_.refused;
        qCDebug(lcTraffic) << "request refused";
        if (refusal->exception != 0)
            reply(frame.size(), ExceptionReply(frame, refusal->exception));
        return true;
    }

    void reply(std::size_t requestSize, const std::vector<std::uint8_t>& rtu) {
        const int baud = lineBaud_;
        const std::uint8_t address = rtu.front();
        const ReplyPlan plan = faults_.plan(gateway_ ? gatewayFrame(rtu) : rtu, address);
        if (plan.dropped) {
            qCDebug(lcTraffic) << "reply dropped";
            return;
        }
        std::int64_t dueUs = MonotonicUs() + 1000LL * options_.delayMs;
        // A pseudo-terminal moves bytes at once; pacing by the wire time makes a
        // transaction last as long as on a real line: the reply's last byte is due the
        // request's and the reply's characters after the request's closing silence. Timed
        // from the request's arrival, so the simulator's own delays do not add to it.
        if (options_.wireTime)
            dueUs = receiver_.frameEndUs() + receiver_.silenceUs() +
                    WireTimeUs(baud, requestSize + rtu.size()) + 1000LL * options_.delayMs;
        const std::int64_t waitUs = dueUs - MonotonicUs();
        if (waitUs > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(waitUs));
        // The master's next request is on the line before this reply is all out: it gave
        // up on this one, and the reply (or its rest) lands in front of the next answer.
        bool late = line_.inputWaiting();
        // Pauses between pieces stay well inside the 3.5-character gap.
        const auto pause =
            std::chrono::microseconds(std::max<std::int64_t>(500, CharacterTimeUs(baud)));
        std::size_t at = 0;
        for (std::size_t k = 0; k < plan.pieces.size(); ++k) {
            if (k > 0)
                std::this_thread::sleep_for(pause);
            if (!line_.writeAll(plan.bytes.data() + at, plan.pieces[k])) {
                qCDebug(lcTraffic) << "write failed";
                return;
            }
            at += plan.pieces[k];
            // Looked at right after each write, long before a master that got the whole
            // reply could have answered it with a new request.
            late = late || line_.inputWaiting();
        }
        if (late) {
            ++lineCounts_.late;
            qCDebug(lcTraffic) << "reply late: the master had moved on";
        }
        qCDebug(lcTraffic).noquote() << "tx" << Hex(plan.bytes.data(), plan.bytes.size());
    }

    const SimOptions& options_;
    SimLine& line_;
    int signalFd_;
    std::int64_t startWallMs_;
    std::int64_t startUs_;
    struct Meter {
        Meter(const MeterConfig& config, std::int64_t nowMs)
            : model(config, nowMs), protocol(model) {}
        MeterModel model;
        SlaveProtocol protocol;
    };
    std::vector<std::unique_ptr<Meter>> meters_;
    FaultInjector faults_;
    // The scripted losses still to come.
    std::vector<ScriptedDrop> droppedReads_;
    RtuReceiver receiver_;
    // A Modbus TCP gateway in front of the meters: requests framed by their header, the
    // transaction of the one served, and the bytes of one still arriving.
    bool gateway_ = options_.tcpPort >= 0 && !options_.rtuOverTcp;
    std::uint16_t transaction_ = 0;
    std::vector<std::uint8_t> gatewayIn_;
    // The rate the line runs at: the meter's own, or one beyond it given at start.
    int lineBaud_;
    LineCounts lineCounts_;
};

} // namespace

int main(int argc, char* argv[]) {
    // Signals are taken through a descriptor in the serving loop; block them
    // before anything could start a thread.
    sigset_t handledSignals;
    sigemptyset(&handledSignals);
    sigaddset(&handledSignals, SIGINT);
    sigaddset(&handledSignals, SIGTERM);
    sigaddset(&handledSignals, SIGUSR1);
    sigaddset(&handledSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &handledSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("meter-sim");

    SimOptions options;
    QString message;
    switch (ParseSimOptions(QCoreApplication::arguments(), options, message)) {
    case OptionsResult::Help:
        std::fputs(qPrintable(message), stdout);
        return 0;
    case OptionsResult::Version:
        std::printf("%s\n", qPrintable(ProgramVersionText(QStringLiteral("meter-sim"))));
        return 0;
    case OptionsResult::Error:
        std::fprintf(stderr, "meter-sim: %s\n", qPrintable(message));
        return 2;
    case OptionsResult::Run:
        break;
    }
    if (options.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("qetra.sim.traffic.debug=true"));

    std::string error;
    std::unique_ptr<SimLine> line =
        options.tcpPort >= 0 ? SimLine::ListenTcp(options.tcpPort, error)
        : options.device.isEmpty()
            ? SimLine::OpenPseudoTerminal(options.meter.baud, error)
            : SimLine::OpenDevice(options.device.toStdString(), options.meter.baud, error);
    if (!line) {
        std::fprintf(stderr, "meter-sim: %s\n", error.c_str());
        return 1;
    }
    const QString devicePath = QString::fromStdString(line->path());

    Registrations created;
    if (!options.link.isEmpty()) {
        const QByteArray linkPath = options.link.toLocal8Bit();
        char existing[8] = {};
        // Replace an old link, never a real file.
        if (readlink(linkPath.constData(), existing, sizeof existing) >= 0)
            unlink(linkPath.constData());
        if (symlink(line->path().c_str(), linkPath.constData()) != 0) {
            std::fprintf(stderr, "meter-sim: cannot create link %s: %s\n", linkPath.constData(),
                         std::strerror(errno));
            return 1;
        }
        created.link = options.link;
        created.linkTarget = devicePath;
    }
    if (!options.port.isEmpty()) {
        if (!RegisterComPort(options.port, devicePath, &message)) {
            std::fprintf(stderr, "meter-sim: %s\n", qPrintable(message));
            return 1;
        }
        created.port = options.port;
        created.device = devicePath;
    }

    const int signalFd = signalfd(-1, &handledSignals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::perror("meter-sim: signalfd");
        return 1;
    }

    std::printf("%s\n", line->path().c_str());
    std::fflush(stdout);

    MeterServer server(options, *line, signalFd);
    const bool stopped = server.run();
    server.printStats();
    close(signalFd);
    return stopped ? 0 : 1;
}

// qetra-poll: sends request message strings to a meter through the program's own Modbus
// master and serial port, and reports every transaction. See --help.

#include "BusRotation.h"
#include "CommModbusPort.h"
#include "EngineLink.h"
#include "LineStatusText.h"
#include "MessageText.h"
#include "MeterParamDecode.h"
#include "MeterSearch.h"
#include "MeteringCsv.h"
#include "NetworkModbusPort.h"
#include "PollOptions.h"
#include "PollReport.h"
#include "PortList.h"
#include "PortName.h"
#include "QetraVersion.h"
#include "ReportRun.h"
#include "RequestService.h"
#include "TqvModbus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QLoggingCategory>
#include <QMap>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void Print(FILE* out, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
    std::fflush(out);
}
void Say(const QString& text) {
    Print(stderr, ("qetra-poll: " + text + "\n").toLocal8Bit());
}

template <class T> QJsonArray ToJson(const QList<T>& values) {
    QJsonArray array;
    for (const T& v : values)
        array.append(v);
    return array;
}

// SIGINT and SIGTERM reach the event loop through a socket pair, so the run can end
// with its summary instead of dying in the middle of a line.
int signalPipe[2] = {-1, -1};
void OnStopSignal(int signo) {
    const char c = char(signo);
    (void)!::write(signalPipe[1], &c, 1);
}

class StopSignals {
public:
    explicit StopSignals(std::function<void()> stop) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
            return;
        notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, stop] {
            char c = 0;
            if (::read(signalPipe[0], &c, 1) == 1 && received_ == 0) {
                received_ = int(quint8(c));
                stop();
            }
        });
        struct sigaction sa {};
        sa.sa_handler = OnStopSignal;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGTERM, &sa, nullptr);
    }
    // 128 + the signal that stopped the run, or 0.
    int ExitCode() const { return received_ != 0 ? 128 + received_ : 0; }

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    int received_ = 0;
};

// The machine's devices and the COM links in the order of the settings dialog's list; the
// COM names without a link are left out (each is the on-board port /dev/ttyS<n-1>).
int ListPorts() {
    bool anyDevice = false;
    for (const PortChoice& c : ListPortChoices()) {
        if (c.kind == PortChoice::Kind::ComName)
            continue;
        anyDevice = anyDevice || c.kind != PortChoice::Kind::ComLink;
        Print(stdout, (c.line + "\n").toLocal8Bit());
    }
    if (!anyDevice)
        Print(stdout, "(no serial device found)\n");
    return 0;
}

int RunScan(QCoreApplication& app, const PollOptions& o) {
    TqvModbus::StartResponseWatcher();
    MeterSearch search;
    const bool progressInPlace = isatty(STDERR_FILENO);
    quint32 lastRate = 0;
    search.OnProgress = [&](int done, int total, quint32 baud, int address) {
        if (baud != lastRate) {
            lastRate = baud;
            if (progressInPlace)
                Print(stderr, "\n");
            Say(QStringLiteral("searching at %1 baud, addresses %2-%3, %4 ms a try")
                    .arg(baud)
                    .arg(o.scanPlan.firstAddress)
                    .arg(o.scanPlan.lastAddress)
                    .arg(SearchReplyWaitMs(baud, o.scanPlan.turnaroundMs)));
        }
        if (progressInPlace)
            Print(stderr, QStringLiteral("\r  try %1 of %2: address %3   ")
                              .arg(done + 1)
                              .arg(total)
                              .arg(address)
                              .toLocal8Bit());
    };
    search.OnFound = [&](const FoundMeter& m) {
        if (progressInPlace)
            Print(stderr, "\n");
        Print(stdout, ("found: " + FoundMeterText(m) + "\n").toLocal8Bit());
    };
    search.OnFinished = [&] { app.quit(); };
    StopSignals stops([&] { search.Cancel(); });

    QElapsedTimer took;
    took.start();
    QString why;
    if (!search.Start(o.port, o.scanPlan, &why)) {
        Say("cannot search " + o.port + ": " + why);
        TqvModbus::StopResponseWatcher();
        return 1;
    }
    app.exec();
    TqvModbus::StopResponseWatcher();
    if (progressInPlace)
        Print(stderr, "\n");
    if (!search.Failure().isEmpty())
        Say("search ended: " + search.Failure());
    Say(QStringLiteral("%1 meter(s) found in %2 of %3 tries, %4 s%5")
            .arg(search.Found().size())
            .arg(search.Done())
            .arg(search.Total())
            .arg(double(took.elapsed()) / 1000.0, 0, 'f', 1)
            .arg(search.Cancelled() ? QStringLiteral(" (stopped)") : QString()));
    if (stops.ExitCode() != 0)
        return stops.ExitCode();
    return search.Found().isEmpty() ? 1 : 0;
}

// How qetra-poll reports a transaction: the event the engine raised and its arguments.
PollRecord RecordOf(int n, const RequestOutcome& o) {
    PollRecord r;
    r.n = n;
    r.tx = o.request;
    r.rx = o.received;
    r.code = o.code;
    if (o.code != 0) {
        r.event = "OnResponseError";
        return r;
    }
    using Event = RequestOutcome::Event;
    switch (o.event) {
    case Event::F01:
    case Event::F02:
        r.event = o.event == Event::F01 ? "OnF01Response" : "OnF02Response";
        r.fields = {{"slave", o.slave}, {"start", o.start}, {"values", ToJson(o.bits)}};
        break;
    case Event::F03:
        r.event = "OnF03Response";
        r.fields = {{"slave", o.slave}, {"start", o.start}, {"values", ToJson(o.registers)}};
        break;
    case Event::F05:
        r.event = "OnF05Response";
        r.fields = {{"slave", o.slave}, {"dest", o.start}, {"value", o.bits.value(0)}};
        break;
    case Event::F10:
        r.event = "OnF10Response";
        r.fields = {{"slave", o.slave}, {"start", o.start}, {"count", o.count}};
        break;
    case Event::FC3:
        r.event = "OnFC3Response";
        r.fields = {{"slave", o.slave},
                    {"status", o.status},
                    {"length", o.count},
                    {"values", ToJson(o.registers)}};
        break;
    case Event::FC4:
        r.event = "OnFC4Response";
        r.fields = {{"slave", o.slave}, {"status", o.status}};
        break;
    case Event::None:
        break;
    }
    return r;
}

// One run of the poller: the messages in turn, --passes times, each through the request
// service, every transaction reported as it ends.
class PollRun {
public:
    PollRun(QCoreApplication& app, const PollOptions& o)
        : app_(app), o_(o), qv_(MakePort(o), nullptr), total_(o.passes * int(o.messages.size())) {}

    // Opens the port, polls, and sums up; the exit status.
    int Exec();

private:
    void BindLine();
    void SendNext();
    // Several meters: the next round's requests; false when every pass is done.
    bool FillRound();
    bool Finished() const;
    // Several meters: what became of a request to `address`.
    void CountMeter(int address, const RequestOutcome& outcome);
    QString MeterSummary() const;
    void Ended(int n, const QByteArray& message, const RequestOutcome& outcome);
    void Log(const RequestOutcome& outcome);
    // The serial port under its name, or the connection to the converter on the network.
    static std::unique_ptr<ModbusPort> MakePort(const PollOptions& o) {
        if (o.tcpHost.isEmpty())
            return std::make_unique<CommModbusPort>();
        return std::make_unique<NetworkModbusPort>(o.tcpHost, o.tcpPort,
                                                   o.rtuOverTcp ? NetworkFraming::RtuOverTcp
                                                                : NetworkFraming::ModbusTcp);
    }
    bool Network() const { return !o_.tcpHost.isEmpty(); }
    // The line as named to the operator: the port name, or the converter with its framing.
    QString LineName() const { return Network() ? qv_.LineDevice() : o_.port; }
    // The device the port name leads to now, to name it beside the name given.
    QString Device() const {
        return Network() ? QString() : QFileInfo(ResolvePortName(o_.port)).canonicalFilePath();
    }
    // The device the port opened, which every request goes to until the port opens again
    // (a COM link moved meanwhile changes nothing on the line).
    QString written_;

    QCoreApplication& app_;
    const PollOptions& o_;
    TqvModbus qv_;
    RequestService requests_{qv_};
    // The data log: the same lines as the program's, so field logs of both read alike.
    MeteringCsvLog csv_;
    ScaleRatios ratios_;
    bool csvFailed_ = false;
    const int total_;
    int next_ = 0;
    PollCounters counters_;
    bool over_ = false;
    bool gaveUp_ = false;
    // Silence from the very start is most often a wrong address or rate: said once per
    // opening, as long as nothing has answered.
    bool answered_ = false;
    bool toldNoAnswer_ = false;
    QTimer giveUp_;
    // Several meters on the line (--addresses): the rounds, the requests of the round under
    // way, and each meter's count.
    BusRotation rotation_;
    QList<QByteArray> round_;
    int roundsDone_ = 0;
    struct MeterCount {
        int sent = 0;
        int answered = 0;
    };
    QMap<int, MeterCount> meters_;
};

int PollRun::Exec() {
    rotation_.SetAddresses(o_.pollAddresses);
    if (o_.trace)
        QLoggingCategory::setFilterRules("qetra.modbus.trace.debug=true");
    qv_.SetOpenSettleMs(0);
    qv_.SetTraceModemStatus(false); // a direct line: no modem watcher thread
    qv_.SetQueryInterval(o_.interval);
    qv_.SetQueryTimeout(o_.timeout);
    qv_.SetReopenPollMs(200);
    if (!o_.csvFile.isEmpty() &&
        !csv_.Start(MeteringLogSettings{o_.csvFile, 0, LogRotation::None})) {
        Say(csv_.LastError());
        return 1;
    }
    BindLine();
    // An interrupted run is summed up as it stands: the request still on its way has no
    // outcome, and a stop would make one up for it (unanswered).
    StopSignals stops([this] { app_.quit(); });

    TqvModbus::StartResponseWatcher();
    try {
        qv_.Open(Network() ? qv_.CommName() : o_.port, o_.baud);
        written_ = Device();
    } catch (const std::exception& e) {
        Say("cannot open " + LineName() + ": " + QString::fromStdString(e.what()));
        TqvModbus::StopResponseWatcher();
        return 1;
    }
    SendNext();
    app_.exec();
    over_ = true;
    qv_.Close();
    TqvModbus::StopResponseWatcher();

    Print(o_.json ? stderr : stdout,
          (SummaryText(counters_, PortWithDevice(LineName(), written_)) + MeterSummary())
              .toLocal8Bit());
    if (stops.ExitCode() != 0)
        return stops.ExitCode();
    const bool allSent = o_.pollAddresses.isEmpty() ? counters_.sent == total_ : Finished();
    return !gaveUp_ && !csvFailed_ && counters_.ok == counters_.sent && allSent ? 0 : 1;
}

// A lost line: said in plain English here instead of the program's error box. Only the
// device that was lost is taken back: a reused terminal or another adapter under the same
// name is named and left alone.
void PollRun::BindLine() {
    giveUp_.setSingleShot(true);
    QObject::connect(&giveUp_, &QTimer::timeout, [this] {
        Say(QStringLiteral("%1 did not come back within %2 s; giving up")
                .arg(qv_.LineDevice())
                .arg(o_.waitBack));
        gaveUp_ = true;
        app_.quit();
    });
    qv_.OnOperatorError = [](const QString&, const QString&) {};
    qv_.OnLineLost = [this](TqvModbus* s) {
        Say(QStringLiteral("the line is lost: %1 hung up (adapter unplugged, or the other end "
                           "closed); waiting up to %2 s for it to come back. %3")
                .arg(s->LineDevice())
                .arg(o_.waitBack)
                .arg(s->LineWaiting()));
        if (!Finished()) // else nothing is left to send
            giveUp_.start(o_.waitBack * 1000);
    };
    qv_.OnLineWaiting = [](TqvModbus* s) { Say(s->LineWaiting()); };
    qv_.OnLineBack = [this](TqvModbus* s) {
        giveUp_.stop();
        answered_ = toldNoAnswer_ = false;
        written_ = Device();
        Say(QStringLiteral("%1 is back; polling goes on").arg(s->LineDevice()));
        if (!Finished())
            SendNext();
    };
}

bool PollRun::FillRound() {
    // A round may ask nobody (every meter silent, none due yet): it still counts.
    while (round_.isEmpty() && roundsDone_ < o_.passes) {
        ++roundsDone_;
        for (const int address : rotation_.NextRound())
            for (const QByteArray& message : o_.messages)
                round_ << WithSlaveAddress(QString::fromLatin1(message), address).toLatin1();
    }
    return !round_.isEmpty();
}

bool PollRun::Finished() const {
    if (o_.pollAddresses.isEmpty())
        return counters_.sent >= total_;
    return round_.isEmpty() && roundsDone_ >= o_.passes;
}

void PollRun::SendNext() {
    QByteArray message;
    if (o_.pollAddresses.isEmpty()) {
        message = o_.messages[next_ % o_.messages.size()];
    } else {
        if (!FillRound()) {
            app_.quit();
            return;
        }
        message = round_.takeFirst();
    }
    requests_.Submit(message, [this, n = ++next_, message](const RequestOutcome& outcome) {
        Ended(n, message, outcome);
    });
}

void PollRun::CountMeter(int address, const RequestOutcome& outcome) {
    const bool wasSilent = rotation_.IsSilent(address);
    MeterCount& count = meters_[address];
    ++count.sent;
    // A meter that refuses a request is there all the same.
    if (outcome.code == 0 || outcome.kind == RequestOutcome::Kind::Exception) {
        ++count.answered;
        rotation_.Answered(address);
    } else {
        rotation_.Missed(address);
    }
    if (rotation_.IsSilent(address) != wasSilent)
        Say(wasSilent ? QStringLiteral("meter %1 answers again").arg(address)
                      : QStringLiteral("meter %1 is silent: asked only every %2th round until "
                                       "it answers")
                            .arg(address)
                            .arg(BusRotation::kSilentEvery));
}

QString PollRun::MeterSummary() const {
    QString text;
    for (const int address : o_.pollAddresses) {
        const MeterCount count = meters_.value(address);
        text += QStringLiteral("Meter %1: Send= %2  Answered= %3%4\n")
                    .arg(address)
                    .arg(count.sent)
                    .arg(count.answered)
                    .arg(rotation_.IsSilent(address) ? QStringLiteral("  silent") : QString());
    }
    return text;
}

void PollRun::Ended(int n, const QByteArray& message, const RequestOutcome& outcome) {
    if (over_)
        return;
    if (outcome.kind == RequestOutcome::Kind::Cancelled) {
        // It never went out: the line is lost (its return sends it again), or the port
        // closed under the run.
        --next_;
        if (!o_.pollAddresses.isEmpty())
            round_.prepend(message);
        if (!qv_.LineLost())
            app_.quit();
        return;
    }
    PollRecord record = RecordOf(n, outcome);
    if (!o_.pollAddresses.isEmpty()) {
        const int address = message.left(2).toInt(nullptr, 16);
        record.fields[QStringLiteral("address")] = address;
        CountMeter(address, outcome);
    }
    counters_.Count(record);
    answered_ = answered_ || outcome.code == 0;
    if (outcome.code == 1 && !answered_ && !toldNoAnswer_) {
        toldNoAnswer_ = true;
        Say(NoAnswerText(o_.address, o_.baud, LineName(), written_));
    }
    if (outcome.event == RequestOutcome::Event::F03 && outcome.code == 0)
        Log(outcome);
    Print(stdout, o_.json ? RecordJsonLine(record) : RecordText(record).toLocal8Bit());
    if (Finished())
        app_.quit();
    else if (!qv_.LineLost()) // a lost line goes on when it is back
        SendNext();
}

void PollRun::Log(const RequestOutcome& outcome) {
    if (!csv_.Active())
        return;
    const QList<quint16>& values = outcome.registers;
    if (outcome.start == MeterParamBlockStart)
        ratios_ = RatiosFromParamBlock(values, ratios_);
    else if (outcome.start == TemperatureRegister && !values.isEmpty())
        csv_.TemperatureReceived(values.front());
    else if (outcome.start == MeteringBlockStart &&
             csv_.BlockReceived(values, ratios_) == MeteringCsvLog::Outcome::Failed) {
        csvFailed_ = true;
        Say("logging stopped: " + csv_.LastError());
    }
}

int RunPoll(QCoreApplication& app, const PollOptions& o) {
    PollRun run(app, o);
    return run.Exec();
}

// Silence from the first request on is most often a wrong address or baud rate.
void SayIfNobodyAnswered(const EngineLink& link, const PollOptions& o) {
    if (link.Heard() == 0)
        Say(NoAnswerText(o.address, o.baud, o.port,
                         QFileInfo(ResolvePortName(o.port)).canonicalFilePath()));
}

// --save-config, --compare-config, --apply-config. A file is checked in full before the
// port is opened, so a bad file never leads to a write.
int RunConfig(const PollOptions& o) {
    using Action = PollOptions::ConfigAction;
    std::optional<MeterConfiguration> file;
    if (o.configAction != Action::Save) {
        const MeterConfigRead read = LoadMeterConfig(o.configFile);
        if (!read.config) {
            Say(read.problem + (o.configAction == Action::Apply
                                    ? QStringLiteral("\nNothing was written to the meter.")
                                    : QString()));
            return 2;
        }
        file = read.config;
        if (o.writeCoefficients && !file->coefficients) {
            Say(o.configFile + ": --coefficients: the file has no coefficients (it was not "
                               "saved with --factory).\nNothing was written to the meter.");
            return 2;
        }
    }
    const int failed = o.configAction == Action::Compare ? 2 : 1;

    TqvModbus::StartResponseWatcher();
    struct WatcherStop {
        ~WatcherStop() { TqvModbus::StopResponseWatcher(); }
    } watcherStop;
    std::unique_ptr<EngineLink> link;
    try {
        link = std::make_unique<EngineLink>(o.port, o.baud, o.interval, o.timeout);
    } catch (const std::exception& e) {
        Say("cannot open " + o.port + ": " + QString::fromStdString(e.what()));
        return failed;
    }

    if (o.configAction == Action::Apply) {
        bool cancelled = false;
        StopSignals stops([&] { cancelled = true; });
        const QList<int> addresses =
            o.configAddresses.isEmpty() ? QList<int>{o.address} : o.configAddresses;
        int verified = 0;
        for (const int address : addresses) {
            if (cancelled) {
                Say(QStringLiteral("stopped before address %1").arg(address));
                break;
            }
            const MeterApplyOutcome outcome = ApplyMeterConfiguration(
                *link, *file, address, o.model, o.includeComm, o.writeCoefficients);
            Print(stdout, (ApplyOutcomeLine(outcome) + "\n").toLocal8Bit());
            verified += outcome.result == MeterApplyOutcome::Result::Verified ? 1 : 0;
        }
        if (addresses.size() == 1)
            SayIfNobodyAnswered(*link, o);
        Say(QStringLiteral("%1 of %2 meter(s) verified").arg(verified).arg(addresses.size()));
        if (stops.ExitCode() != 0)
            return stops.ExitCode();
        return verified == addresses.size() ? 0 : 1;
    }

    QString why;
    const bool coefficients = o.factory && (!file || file->coefficients);
    const auto meter = ReadMeterConfiguration(*link, o.address, o.model,
                                              QDateTime::currentDateTimeUtc(), &why, coefficients);
    if (!meter) {
        Say(why);
        SayIfNobodyAnswered(*link, o);
        return failed;
    }
    if (o.configAction == Action::Save) {
        if (!SaveMeterConfig(o.configFile, *meter, &why)) {
            Say(why);
            return 1;
        }
        Say(QStringLiteral("saved the configuration of the meter at address %1 (firmware %2) "
                           "to %3")
                .arg(o.address)
                .arg(meter->firmware, o.configFile));
        return 0;
    }
    const QList<ConfigComparison> rows = CompareConfigs(*file, *meter, o.includeComm);
    int differing = 0;
    for (const ConfigComparison& row : rows) {
        if (!row.differs)
            continue;
        ++differing;
        Print(stdout, QStringLiteral("%1: file \"%2\", meter \"%3\"\n")
                          .arg(row.name, row.leftText, row.rightText)
                          .toLocal8Bit());
    }
    Say(differing == 0 ? QStringLiteral("the meter holds the configuration of the file")
                       : QStringLiteral("%1 setting(s) differ").arg(differing));
    return differing == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    // The report is painted with fonts, which need the GUI side of Qt; without a display
    // it draws offscreen. Every other run stays a plain console program.
    bool report = false;
    for (int i = 1; i < argc; ++i)
        report = report || std::strcmp(argv[i], "--report") == 0 ||
                 std::strncmp(argv[i], "--report=", 9) == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application =
        report ? std::make_unique<QGuiApplication>(argc, argv)
               : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
    const PollArguments args = ParsePollArguments(app.arguments());
    if (args.help) {
        Print(stdout, args.helpText.toLocal8Bit());
        return 0;
    }
    if (args.version) {
        Print(stdout, (ProgramVersionText(QStringLiteral("qetra-poll")) + '\n').toLocal8Bit());
        return 0;
    }
    if (!args.options) {
        Print(stderr, ("qetra-poll: " + args.error +
                       "\nUsage: qetra-poll --port PORT [--baud N] [--addr A] [--interval MS] "
                       "[--timeout MS] [--passes N] [--wait-back S] [--json] [--trace] "
                       "[--csv FILE] MESSAGE...\n"
                       "       qetra-poll --port PORT --report FILE.pdf [--site TEXT] "
                       "[--feeder TEXT] [--technician TEXT] [--notes TEXT]\n"
                       "       qetra-poll --port PORT --scan [--scan-addresses A-B] "
                       "[--scan-rates R,...]\n"
                       "       qetra-poll --port PORT [--addr A] --save-config FILE | "
                       "--compare-config FILE [--include-comm] | --apply-config FILE "
                       "[--addresses LIST | --include-comm]\n"
                       "       qetra-poll --list-ports\n"
                       "Try 'qetra-poll --help' for more.\n")
                          .toLocal8Bit());
        return 2;
    }
    const PollOptions& o = *args.options;
    if (o.listPorts)
        return ListPorts();
    if (o.scan)
        return RunScan(app, o);
    if (!o.reportFile.isEmpty())
        return RunReport(o);
    if (o.configAction != PollOptions::ConfigAction::None)
        return RunConfig(o);
    return RunPoll(app, o);
}

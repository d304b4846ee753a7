#include "MeterSearch.h"

#include "ModbusPort.h"
#include "RequestService.h"
#include "TqvModbus.h"

#include <QtGlobal>

#include <optional>

namespace {
constexpr quint16 kVersionRegister = 0x510;
constexpr int kVersionRegisters = 4;
constexpr int kRequestBytes = 8;
constexpr int kReplyBytes = 5 + 2 * kVersionRegisters;
// A Modbus TCP gateway's own answers for a unit it could not reach: no meter is there.
constexpr int kGatewayPathUnavailable = 0x0A;
constexpr int kGatewayTargetFailedToRespond = 0x0B;
} // namespace

QList<quint32> MeterBaudRates() {
    return {9600, 38400, 19200, 4800, 2400, 1200, 600};
}

int SearchPlan::Tries() const {
    if (lastAddress < firstAddress)
        return 0;
    return int(rates.size()) * (lastAddress - firstAddress + 1);
}

int SearchPlan::TryWaitMs(quint32 baud) const {
    return tryWaitMs > 0 ? tryWaitMs : SearchReplyWaitMs(baud, turnaroundMs);
}

qint64 SearchPlan::LongestMs() const {
    qint64 total = 0;
    for (quint32 rate : rates)
        total += qint64(TryWaitMs(rate)) * (lastAddress - firstAddress + 1);
    return total;
}

SearchPlan NetworkSearchPlan(quint32 baud) {
    SearchPlan plan;
    plan.rates = {baud};
    plan.tryWaitMs = kNetworkSearchWaitMs;
    return plan;
}

QString SearchPlan::Problem() const {
    if (firstAddress < 1 || lastAddress > 247 || firstAddress > lastAddress)
        return QStringLiteral("addresses must lie within 1..247, the first not above the last");
    if (rates.isEmpty())
        return QStringLiteral("no baud rate to try");
    for (quint32 rate : rates)
        if (!MeterBaudRates().contains(rate))
            return QStringLiteral("%1 is not a baud rate of the meter (600, 1200, 2400, 4800, "
                                  "9600, 19200, 38400)")
                .arg(rate);
    if (turnaroundMs < 0 || turnaroundMs > 10000)
        return QStringLiteral("the turnaround must lie within 0..10000 ms");
    if (tryWaitMs < 0 || tryWaitMs > 10000)
        return QStringLiteral("the wait of a try must lie within 0..10000 ms");
    return {};
}

int SearchReplyWaitMs(quint32 baud, int turnaroundMs) {
    const double charMs = 10000.0 / double(qMax<quint32>(baud, 1));
    // Above 19200 baud the frame-end silence is fixed at 1.75 ms.
    const double silenceMs = baud > 19200 ? 1.75 : 3.5 * charMs;
    // The serial reader hands a chunk over after 5 ms without another byte.
    constexpr double kReaderMs = 5.0;
    return int((kRequestBytes + kReplyBytes) * charMs + silenceMs + kReaderMs + 0.999) +
           turnaroundMs;
}

QByteArray SearchMessage(int address) {
    return QStringLiteral("%1,03,05,10,00,%2,00,00")
        .arg(address, 2, 16, QLatin1Char('0'))
        .arg(kVersionRegisters, 2, 16, QLatin1Char('0'))
        .toUpper()
        .toLatin1();
}

QString VersionText(const QList<quint16>& registers) {
    QString text;
    for (quint16 r : registers) {
        const char c = char(r & 0xFF);
        if (c >= 0x20 && c < 0x7F)
            text += QLatin1Char(c);
    }
    return text.trimmed();
}

QString FoundMeterText(const FoundMeter& m) {
    const QString what = m.exception != 0
                             ? QStringLiteral("answers with exception %1").arg(m.exception)
                             : QStringLiteral("version %1")
                                   .arg(m.version.isEmpty() ? QStringLiteral("(none)") : m.version);
    return QStringLiteral("address %1 at %2 baud, %3").arg(m.address).arg(m.baud).arg(what);
}

MeterSearch::MeterSearch(std::unique_ptr<ModbusPort> port, QObject* parent) : QObject(parent) {
    if (port) {
        engine_ = std::make_unique<TqvModbus>(std::move(port));
    } else {
        engine_ = std::make_unique<TqvModbus>(nullptr);
        engine_->SetOpenSettleMs(0);
    }
    TqvModbus& e = *engine_;
    e.SetTraceModemStatus(false);
    e.SetConnectWithModem(false);
    e.SetReopenPollMs(0);
    // The engine's own box has nothing to add to the search's report.
    e.OnOperatorError = [](const QString&, const QString&) {};
    requests_ = std::make_unique<RequestService>(e);
}

void MeterSearch::UsePort(std::unique_ptr<ModbusPort> port) {
    if (running_)
        return;
    engine_->ReplacePort(std::move(port));
}

MeterSearch::~MeterSearch() {
    // The owner is going away: the try a stop ends reaches nobody.
    running_ = false;
    engine_->StopQuery();
    engine_->Close();
}

bool MeterSearch::Start(const QString& portName, const SearchPlan& plan, QString* why) {
    auto fail = [why](const QString& text) {
        if (why)
            *why = text;
        return false;
    };
    if (running_)
        return fail(QStringLiteral("a search is already running"));
    if (const QString problem = plan.Problem(); !problem.isEmpty())
        return fail(problem);
    plan_ = plan;
    done_ = 0;
    cancelled_ = false;
    found_.clear();
    failure_.clear();
    currentBaud_ = plan_.rates.first();
    SetTryTime(plan_.TryWaitMs(currentBaud_));
    try {
        engine_->Open(portName, currentBaud_);
    } catch (const std::exception& e) {
        return fail(QString::fromStdString(e.what()));
    }
    running_ = true;
    PrepareTry();
    return true;
}

void MeterSearch::Cancel() {
    if (!running_)
        return;
    // The try under way still gets its answer; TryEnded stops after it.
    cancelled_ = true;
}

void MeterSearch::Abort() {
    if (!running_)
        return;
    cancelled_ = true;
    running_ = false;
    engine_->StopQuery();
    engine_->Close();
}

void MeterSearch::PrepareTry() {
    const int perRate = plan_.lastAddress - plan_.firstAddress + 1;
    const quint32 baud = plan_.rates[done_ / perRate];
    if (baud != currentBaud_) {
        currentBaud_ = baud;
        // Applied to the open line at once; the last try's wait is over by now.
        engine_->SetBaudRate(baud);
        SetTryTime(plan_.TryWaitMs(baud));
    }
    const int address = plan_.firstAddress + done_ % perRate;
    if (OnProgress)
        OnProgress(done_, Total(), baud, address);
    requests_->Submit(SearchMessage(address),
                      [this](const RequestOutcome& outcome) { TryEnded(outcome); });
}

// A try is judged when its time is over, not as soon as enough bytes came in: a reply
// that arrives in pieces behind a stray byte would otherwise be judged on the junk and its
// first pieces, and its rest would land in front of the next try. Only a try that is
// answered waits longer for it; every other try waits its whole time anyway.
void MeterSearch::SetTryTime(int ms) {
    engine_->SetQueryTimeout(quint32(ms));
    engine_->SetQueryInterval(quint32(ms));
}

void MeterSearch::TryEnded(const RequestOutcome& outcome) {
    // After an Abort the try it ended is nobody's find.
    if (!running_)
        return;
    // A reply anywhere in what arrived within the try's time, behind junk that looked like
    // its start, is the engine's own find and counts as an answer. A meter that refuses
    // the read is still a meter at that address and rate.
    std::optional<FoundMeter> meter;
    if (outcome.Answered() && outcome.start == kVersionRegister)
        meter = FoundMeter{int(outcome.slave), currentBaud_, VersionText(outcome.registers), 0};
    else if (outcome.kind == RequestOutcome::Kind::Exception &&
             outcome.exception != kGatewayPathUnavailable &&
             outcome.exception != kGatewayTargetFailedToRespond)
        meter = FoundMeter{quint8(outcome.request[0]), currentBaud_, QString(), outcome.exception};
    if (meter) {
        found_ << *meter;
        if (OnFound)
            OnFound(*meter);
    }
    // A cancelled try never went out: the cycle ended under it.
    if (outcome.kind != RequestOutcome::Kind::Cancelled)
        ++done_;
    // A lost line ends the search, the try in flight first.
    if (engine_->LineLost() && failure_.isEmpty())
        failure_ = QStringLiteral("the line is lost: %1 hung up").arg(engine_->LineDevice());
    if (done_ >= Total() || cancelled_ || !failure_.isEmpty() ||
        outcome.kind == RequestOutcome::Kind::Cancelled) {
        // Once the engine has finished the transaction this completion is part of.
        QMetaObject::invokeMethod(this, &MeterSearch::Finish, Qt::QueuedConnection);
        return;
    }
    PrepareTry();
}

void MeterSearch::Finish() {
    if (!running_)
        return;
    running_ = false;
    engine_->StopQuery();
    engine_->Close();
    if (OnFinished)
        OnFinished();
}

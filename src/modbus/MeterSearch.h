#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ModbusPort;
class RequestService;
class TqvModbus;
struct RequestOutcome;

// The baud rates the meter can be set to, the most common first: 9600 (as delivered),
// then from 38400 down to 600.
QList<quint32> MeterBaudRates();

// What a search for a meter tries: every address of the range at every rate, rate by rate.
struct SearchPlan {
    QList<quint32> rates = MeterBaudRates();
    int firstAddress = 1;
    int lastAddress = 247;
    // Time the meter may take after the request before its reply starts.
    int turnaroundMs = 50;
    // > 0: every try waits this long whatever the rate (a meter behind a network converter,
    // whose serial timing is the converter's own).
    int tryWaitMs = 0;

    int Tries() const;
    // How long one try at `baud` waits for its reply.
    int TryWaitMs(quint32 baud) const;
    // The longest a full run of the plan can take when nothing answers: every try waits
    // its time-out.
    qint64 LongestMs() const;
    // The checks of an operator's or a command line's plan; empty when it will do.
    QString Problem() const;
};

// Behind a network converter only the unit identifiers are swept, at the rate the converter's
// serial side is set to: the program cannot change that rate, so trying others would only
// repeat the sweep. Each try waits this long.
constexpr int kNetworkSearchWaitMs = 250;
SearchPlan NetworkSearchPlan(quint32 baud);

// Longest wait for the reply to one try at `baud`: the request and the reply on the wire
// (10 bits a character on the meter's 8N1 line), the 3.5-character silence that ends a
// frame, and the meter's turnaround.
int SearchReplyWaitMs(quint32 baud, int turnaroundMs);

// The harmless read of one try: the first four registers of the model block 0x510 (the
// firmware version, one character a register) at `address`.
QByteArray SearchMessage(int address);

// The firmware version text of registers 0x510..0x513: the low byte of each, in order,
// printable characters only.
QString VersionText(const QList<quint16>& registers);

// A meter that answered.
struct FoundMeter {
    int address = 0;
    quint32 baud = 0;
    QString version;   // empty when it answered the read with an exception
    int exception = 0; // the meter's exception code, 0 for a normal answer
};
QString FoundMeterText(const FoundMeter& meter);

// Searches one port for meters with the program's own Modbus master: one try per address
// and rate, each a request of its own with a time-out fitted to the rate. Runs on the thread it
// lives on, from its event loop; the port is held only while a search runs.
class MeterSearch : public QObject {
    Q_OBJECT
public:
    // The port: the serial port component unless a test passes another.
    explicit MeterSearch(std::unique_ptr<ModbusPort> port = nullptr, QObject* parent = nullptr);
    ~MeterSearch() override;

    // Puts another port behind the search (a network port for a meter behind a converter);
    // only while no search runs.
    void UsePort(std::unique_ptr<ModbusPort> port);
    // Opens the port and starts. False with the reason in *why when the plan is bad or the
    // port cannot be opened (the explanation of the open failure).
    bool Start(const QString& portName, const SearchPlan& plan, QString* why = nullptr);
    // Stops after the try under way (at most one reply wait); OnFinished follows.
    void Cancel();
    // Stops at once and closes the port, without waiting for the try under way and
    // without OnFinished (the owner is going away).
    void Abort();
    bool Running() const { return running_; }
    bool Cancelled() const { return cancelled_; }
    int Done() const { return done_; }
    int Total() const { return plan_.Tries(); }
    const QList<FoundMeter>& Found() const { return found_; }
    // Why the search ended early ("the line is lost ..."), empty otherwise.
    const QString& Failure() const { return failure_; }
    TqvModbus& Engine() { return *engine_; }

    // Before each try: how many tries are done, of how many, and what comes next.
    std::function<void(int done, int total, quint32 baud, int address)> OnProgress;
    std::function<void(const FoundMeter& meter)> OnFound;
    // The search has ended (finished, cancelled or failed) and the port is closed.
    std::function<void()> OnFinished;

private:
    // Sets the line for the next try and sends it.
    void PrepareTry();
    // How long each try at the present rate waits, and when its bytes are judged.
    void SetTryTime(int ms);
    void TryEnded(const RequestOutcome& outcome);
    void Finish();

    std::unique_ptr<TqvModbus> engine_;
    std::unique_ptr<RequestService> requests_;
    SearchPlan plan_;
    bool running_ = false;
    bool cancelled_ = false;
    int done_ = 0;
    quint32 currentBaud_ = 0;
    QList<FoundMeter> found_;
    QString failure_;
};

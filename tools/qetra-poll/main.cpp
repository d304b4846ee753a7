// qetra-poll: sends request message strings to a meter through the program's own Modbus
// master and serial port, and reports every transaction. See --help.

#include "MeterParamDecode.h"
#include "MeteringCsv.h"
#include "PollOptions.h"
#include "PollReport.h"
#include "TqvModbus.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QLoggingCategory>

#include <cstdio>

namespace {

void Print(FILE* out, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
    std::fflush(out);
}

template <class T> QJsonArray ToJson(const QList<T>& values) {
    QJsonArray array;
    for (const T& v : values)
        array.append(v);
    return array;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const PollArguments args = ParsePollArguments(app.arguments());
    if (args.help) {
        Print(stdout, args.helpText.toLocal8Bit());
        return 0;
    }
    if (!args.options) {
        Print(stderr, ("qetra-poll: " + args.error +
                       "\nUsage: qetra-poll --port PORT [--baud N] [--addr A] [--interval MS] "
                       "[--timeout MS] [--passes N] [--json] [--trace] [--csv FILE] "
                       "MESSAGE...\n"
                       "Try 'qetra-poll --help' for more.\n")
                          .toLocal8Bit());
        return 2;
    }
    const PollOptions& o = *args.options;
    if (o.trace)
        QLoggingCategory::setFilterRules("qetra.modbus.trace.debug=true");

    TqvModbus qv(nullptr);
    qv.SetOpenSettleMs(0);
    qv.SetTraceModemStatus(false); // a direct line: no modem watcher thread
    qv.SetQueryInterval(o.interval);
    qv.SetQueryTimeout(o.timeout);

    // The data log: the same lines as the program's, so field logs of both read alike.
    MeteringCsvLog csv;
    ScaleRatios ratios;
    bool csvFailed = false;
    if (!o.csvFile.isEmpty() && !csv.Start(MeteringLogSettings{o.csvFile, 0, LogRotation::None})) {
        Print(stderr, "qetra-poll: " + csv.LastError().toLocal8Bit() + "\n");
        return 1;
    }

    const int total = o.passes * int(o.messages.size());
    int next = 0;
    PollRecord current;
    PollCounters counters;

    qv.OnQueryData = [&](TqvModbus* s) {
        s->SetQueryMessage(o.messages[next % o.messages.size()]);
        ++next;
        current = PollRecord();
        current.n = next;
    };
    qv.OnAfterSendMsg = [&](TqvModbus*, const QByteArray& msg) { current.tx = msg; };
    qv.OnResponseError = [&](TqvModbus*) { current.event = "OnResponseError"; };
    auto bits = [&](const char* name) {
        return [&, name](TqvModbus*, quint8 slave, quint16 start, QList<bool> values) {
            current.event = name;
            current.fields = {{"slave", slave}, {"start", start}, {"values", ToJson(values)}};
        };
    };
    qv.OnF01Response = bits("OnF01Response");
    qv.OnF02Response = bits("OnF02Response");
    qv.OnF03Response = [&](TqvModbus*, quint8 slave, quint16 start, QList<quint16> values) {
        current.event = "OnF03Response";
        current.fields = {{"slave", slave}, {"start", start}, {"values", ToJson(values)}};
        if (!csv.Active())
            return;
        if (start == MeterParamBlockStart)
            ratios = RatiosFromParamBlock(values, ratios);
        else if (start == TemperatureRegister && !values.isEmpty())
            csv.TemperatureReceived(values.front());
        else if (start == MeteringBlockStart &&
                 csv.BlockReceived(values, ratios) == MeteringCsvLog::Outcome::Failed) {
            csvFailed = true;
            Print(stderr, "qetra-poll: logging stopped: " + csv.LastError().toLocal8Bit() + "\n");
        }
    };
    qv.OnF05Response = [&](TqvModbus*, quint8 slave, quint16 dest, bool value) {
        current.event = "OnF05Response";
        current.fields = {{"slave", slave}, {"dest", dest}, {"value", value}};
    };
    qv.OnF10Response = [&](TqvModbus*, quint8 slave, quint16 start, quint16 count) {
        current.event = "OnF10Response";
        current.fields = {{"slave", slave}, {"start", start}, {"count", count}};
    };
    qv.OnFC3Response = [&](TqvModbus*, quint8 slave, quint16 status, quint16 length,
                           QList<quint16> values) {
        current.event = "OnFC3Response";
        current.fields = {
            {"slave", slave}, {"status", status}, {"length", length}, {"values", ToJson(values)}};
    };
    qv.OnFC4Response = [&](TqvModbus*, quint8 slave, quint16 status) {
        current.event = "OnFC4Response";
        current.fields = {{"slave", slave}, {"status", status}};
    };
    qv.OnAfterResponse = [&](TqvModbus* s) {
        current.rx = s->ReceiveBuffer();
        current.code = s->ResponseErrorCode();
        counters.Count(current.code);
        Print(stdout, o.json ? RecordJsonLine(current) : RecordText(current).toLocal8Bit());
        if (counters.sent >= total)
            s->StopQuery();
    };
    qv.OnQueryFinish = [&](TqvModbus*) { app.quit(); };

    TqvModbus::StartResponseWatcher();
    try {
        qv.Open(o.port, o.baud);
    } catch (const std::exception& e) {
        Print(stderr, "qetra-poll: " + QByteArray(e.what()) + " (" + o.port.toLocal8Bit() + ")\n");
        TqvModbus::StopResponseWatcher();
        return 1;
    }
    qv.StartQuery();
    app.exec();
    qv.Close();
    TqvModbus::StopResponseWatcher();

    Print(o.json ? stderr : stdout, SummaryText(counters).toLocal8Bit());
    return counters.ok == total && counters.sent == total && !csvFailed ? 0 : 1;
}

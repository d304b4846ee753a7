#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The traffic counters of the main window and the rule that decides whether the meter
// counts as connected. Pure bookkeeping: the main window feeds it the master's events
// and shows the texts it produces.
class TrafficCounters {
public:
    qint32 SendCount = 0;       // requests written ("Send=")
    qint32 NoResponseCount = 0; // replies missing or short ("No Response=")
    qint32 CrcErrorCount = 0;   // replies that failed the frame or field checks ("CRC Error=")
    // Missing replies since data was last received.
    qint32 ConsecutiveNoResponse = 0;
    // Received chunks counted while not connected. Never reset during a run, so once the
    // meter has answered eleven chunks, one chunk reconnects after a stop or an outage.
    qint32 ReceptionsWhileDisconnected = 0;
    bool Connected = false;

    // A request went out.
    void RequestSent() { ++SendCount; }
    // A chunk of bytes arrived (one per received chunk, not per reply).
    void DataReceived();
    // The master gave up on a reply; `errorCode` is its ResponseErrorCode (1 = missing or
    // short, 2 and 3 = rejected).
    void ResponseFailed(quint8 errorCode);
    // "Counter Reset(&C)": the three shown counters only.
    void ResetShownCounters() { SendCount = NoResponseCount = CrcErrorCount = 0; }

    QString SendText() const;       // "Send= 12"
    QString NoResponseText() const; // "No Response= 0"
    QString CrcErrorText() const;   // "CRC Error= 0"
    // "OK=   99.50%" with the system's decimal separator; empty while nothing was sent
    // (the panel then keeps its text).
    QString OkPercentText() const;

    // More than this many receptions connect, more than this many missing replies in a row
    // disconnect.
    static constexpr int kThreshold = 10;
};

// Each byte as two upper-case hex digits and a blank: "01 03 00 " (empty for no bytes).
QString BytesToHex(const QByteArray& bytes);

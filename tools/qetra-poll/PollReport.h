#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

// One transaction as qetra-poll reports it.
struct PollRecord {
    int n = 0;          // 1-based transaction number
    QByteArray tx;      // bytes written
    QByteArray rx;      // bytes received during the wait
    int code = 0;       // ResponseErrorCode
    QString event;      // "OnF03Response", "OnResponseError", "" when none was raised
    QJsonObject fields; // the event's arguments: slave, start or dest, values, value, count
};

struct PollCounters {
    int sent = 0;
    int ok = 0;
    int noResponse = 0; // code 1
    int crcError = 0;   // code 2
    int fieldError = 0; // code 3
    // Of the "No Response" ones, those the meter answered with an exception reply: the
    // program counts them as unanswered, but the line and the wiring are fine.
    int exceptions = 0;
    void Count(const PollRecord& r);
};

// The exception code of a reply to `tx` (address, function + 0x80, code, CRC), 0 when `rx`
// is none.
int ExceptionCode(const QByteArray& tx, const QByteArray& rx);
// "Illegal Data Address" for code 2; "exception N" for a code without a name.
QString ExceptionText(int code);

QString RecordText(const PollRecord& r);
QByteArray RecordJsonLine(const PollRecord& r);
// The counters, and the line they were counted on ("COM1 (/dev/pts/3)").
QString SummaryText(const PollCounters& c, const QString& line);

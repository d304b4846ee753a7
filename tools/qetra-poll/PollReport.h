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
    void Count(int code);
};

QString RecordText(const PollRecord& r);
QByteArray RecordJsonLine(const PollRecord& r);
// The counters, and the line they were counted on ("COM1 (/dev/pts/3)").
QString SummaryText(const PollCounters& c, const QString& line);

#pragma once

#include "TrendHistory.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Reads data log files (the program's "Log to file…" and `qetra-poll --csv`) back into a
// trend history: the file as written (comma between fields, decimal point, ISO 8601 times)
// and the same file after a spreadsheet on a German desktop saved it (semicolons, decimal
// commas, "01.05.2024 13:45:07" times). An hourly or daily set of files is read as one
// log, in the order of its times. A file of any other kind, or a damaged one, is refused
// whole with the file, the line and the reason; nothing of it is drawn.

struct TrendLogProblem {
    QString file; // the file's name without its folder
    int line = 0; // 1 = the header
    QString reason;
    QString Text() const;
};

struct TrendLog {
    TrendHistory history{0, 1};
    QList<int> quantities; // the trend quantities the files have columns for, in table order
    qsizetype rows = 0;
};

// `files` in any order. Either the log or the first problem found.
struct TrendLogResult {
    std::optional<TrendLog> log;
    TrendLogProblem problem;
};
TrendLogResult ReadTrendLog(const QStringList& files);

// One line of a log split into its fields (quotes as the log writes them); nullopt when a
// quote is not closed.
std::optional<QStringList> SplitLogLine(const QString& line, QChar separator);

#pragma once

#include "TrendHistory.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <atomic>
#include <optional>

// Reads data log files (the program's "Log to file…" and `qetra-poll --csv`) back into a
// trend history: the file as written (comma between fields, decimal point, ISO 8601 times)
// and the same file after a spreadsheet on a German desktop saved it (semicolons, decimal
// commas, maybe dots between thousands, "01.05.2024 13:45:07" times without an offset). An
// hourly or daily set of files is read as one log, in the order of its times. A file of any
// other kind, or a damaged one, is refused whole with the file, the line and the reason;
// nothing of it is drawn. No line of ours is longer than kLongestLogLine: a longer one is
// refused at once, without reading it into memory.

inline constexpr qsizetype kLongestLogLine = 64 * 1024;

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
    // What the reader had to decide on its own, for the operator ("the hour from 02:00
    // on 25.10.2026 came twice ...").
    QStringList notes;
};

// `files` in any order. Either the log or the first problem found.
struct TrendLogResult {
    std::optional<TrendLog> log;
    TrendLogProblem problem;
    bool cancelled = false;
};

// Shared with a reader running in another thread: how far it is, and a request to stop.
struct TrendLogProgress {
    std::atomic<qint64> bytesRead{0};
    std::atomic<qint64> bytesTotal{0};
    std::atomic<bool> cancel{false};
};

// Wall-clock times (a copy without offsets) are placed in `zone`.
TrendLogResult ReadTrendLog(const QStringList& files, TrendLogProgress* progress = nullptr,
                            const QTimeZone& zone = QTimeZone::systemTimeZone());

// One line of a log split into its fields (quotes as the log writes them); nullopt when a
// quote is not closed.
std::optional<QStringList> SplitLogLine(const QString& line, QChar separator);

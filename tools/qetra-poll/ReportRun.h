#pragma once

#include "PollOptions.h"
#include "ReportSnapshot.h"

#include <QString>

// The commissioning report from the command line: one pass over the report's blocks
// through the program's own Modbus master, then the PDF.

struct ReportRunTimes {
    qint64 snapshotMs = 0;
    qint64 writeMs = 0;
};

// Reads every block once into `snapshot` (blocks that do not answer stay unread). False
// with `why` when the port cannot be opened or the line is lost.
bool TakeReportSnapshot(const PollOptions& options, ReportSnapshot& snapshot, QString* why);

// Takes the snapshot and writes the report; the exit code of qetra-poll. Says on standard
// error what was read, how long it took and where the report went.
int RunReport(const PollOptions& options);

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

// Reads every block once into `snapshot` (a block that does not answer is asked again once,
// then stays unread). False with `why` when the port cannot be opened, the line is lost or
// nothing answers the first requests (a wrong address or baud rate).
bool TakeReportSnapshot(const PollOptions& options, ReportSnapshot& snapshot, QString* why);

// Takes the snapshot and writes the report; the exit code of qetra-poll (2 for texts the
// report form would refuse, 1 when the meter did not answer or the PDF was not written, 3
// when a block did not answer). Says on standard error what was read, how long it took and
// where the report went.
int RunReport(const PollOptions& options);

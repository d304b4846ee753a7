#pragma once

#include <QString>

class TransactionObserver;
#include <QtGlobal>
#include <vector>

// Block reads by the program's own master (TqvModbus over TComm), polled the way the
// main window polls: the same message string every transaction, the next transaction
// started at once after each evaluation.
struct EngineReadOptions {
    QString device;
    quint32 baud = 9600;
    int slave = 1;
    quint16 startAddress = 0x130;
    int registers = 54;
    int queryIntervalMs = 200;
    int queryTimeoutMs = 3000;
    int count = 0;      // stop after this many transactions; 0 = run for `seconds`
    double seconds = 0; // with count 0: stop at the first evaluation after this long
    // Watches every transaction, as the program's traffic monitor does; null = none.
    TransactionObserver* observer = nullptr;
};

struct EngineReadResult {
    int reads = 0;  // transactions evaluated
    int ok = 0;     // OnF03Response with the block's address and all its registers
    int errors = 0; // OnResponseError
    double seconds = 0;
    double cpuSeconds = 0; // process CPU time over the same stretch
    // Per accepted reply: ms from the moment it could be evaluated (its last chunk
    // delivered, and the interval over) to OnF03Response.
    std::vector<double> latenciesMs;
    // Where the rest of a transaction goes: from OnAfterSendMsg to the reply's last
    // chunk, and from OnF03Response to the next request's OnAfterSendMsg.
    std::vector<double> replyWaitMs;
    std::vector<double> turnaroundMs;
    int chunks = 0; // OnRecvData calls for the accepted replies
    QString error;  // the port could not be opened, or the run got stuck
};

// The message string of a function 03 read, slave address in front as the main
// window puts it: "01,03,01,30,00,36,00,00".
QByteArray ReadMessageString(int slave, quint16 startAddress, int registers);

// Needs a running QCoreApplication and a started response watcher.
EngineReadResult RunEngineReads(const EngineReadOptions& options);

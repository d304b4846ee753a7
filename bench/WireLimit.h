#pragma once

#include <QtGlobal>

// What one request/reply transaction costs on the serial line itself, with no
// software in the way: every character is 10 bits (start, 8 data, stop), and each
// frame is closed by the silent interval a receiver needs to see its end.
struct WireTiming {
    quint32 baud = 0;
    int requestBytes = 0;
    int replyBytes = 0;
    double charMs = 0;        // one character on the wire
    double gapMs = 0;         // silence that ends one frame
    double requestMs = 0;     // request characters
    double replyMs = 0;       // reply characters
    double transactionMs = 0; // request + gap + reply + gap
    double idealTps = 0;      // transactions per second when the line never idles otherwise
};

// Silence that ends a frame: 3.5 characters, but a fixed 1.75 ms above 19200 baud,
// where 3.5 characters would be too short for ordinary receivers to time.
double FrameGapMs(quint32 baud);

// Wire timing of one transaction. A baud of 0 gives an all-zero result.
WireTiming ComputeWireTiming(quint32 baud, int requestBytes, int replyBytes);

// Reply length of a function 03 read of `registers` registers: address, function,
// byte count, the registers and the CRC.
constexpr int ReadRegistersReplyBytes(int registers) {
    return 5 + 2 * registers;
}
// A function 03 request is always address, function, start, quantity and CRC.
constexpr int kReadRegistersRequestBytes = 8;

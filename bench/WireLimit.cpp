#include "WireLimit.h"

namespace {
constexpr double kBitsPerChar = 10.0;
constexpr double kGapChars = 3.5;
constexpr double kFixedGapMs = 1.75;
constexpr quint32 kFixedGapAbove = 19200;
} // namespace

double FrameGapMs(quint32 baud) {
    if (baud == 0)
        return 0;
    if (baud > kFixedGapAbove)
        return kFixedGapMs;
    return kGapChars * kBitsPerChar * 1000.0 / baud;
}

WireTiming ComputeWireTiming(quint32 baud, int requestBytes, int replyBytes) {
    WireTiming t;
    t.baud = baud;
    t.requestBytes = requestBytes;
    t.replyBytes = replyBytes;
    if (baud == 0)
        return t;
    t.charMs = kBitsPerChar * 1000.0 / baud;
    t.gapMs = FrameGapMs(baud);
    t.requestMs = requestBytes * t.charMs;
    t.replyMs = replyBytes * t.charMs;
    // The slave may answer only after the request's closing silence, and the master
    // may send the next request only after the reply's.
    t.transactionMs = t.requestMs + t.gapMs + t.replyMs + t.gapMs;
    t.idealTps = t.transactionMs > 0 ? 1000.0 / t.transactionMs : 0;
    return t;
}

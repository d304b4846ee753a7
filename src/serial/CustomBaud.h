#pragma once

#include <QtGlobal>
#include <array>

// What a request for a rate without a B-constant carries besides the rate. The C
// library and the kernel lay their terminal records out differently, so this plain
// copy is what passes between the two sides.
struct LineRecord {
    quint32 iflag = 0, oflag = 0, cflag = 0, lflag = 0;
    quint8 discipline = 0;
    std::array<quint8, 32> cc{};
};

// Sets the whole line at `rate` in one request to the driver, through its
// arbitrary-rate interface. The line never runs at any other rate on the way: a refusal
// leaves it as it was.
bool SetLineAtCustomRate(int fd, const LineRecord& line, quint32 rate);
// The output rate the driver reports in its arbitrary-rate record, or 0.
quint32 ReadCustomBaudRate(int fd);

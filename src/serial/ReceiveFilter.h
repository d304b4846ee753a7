#pragma once

#include "CommTypes.h"

#include <cstddef>

// Cleans received bytes before they are handed on: substitutes bytes that arrived
// with a parity or framing error (the driver marks them as FF 00 x and doubles a real
// FF) and drops zero bytes when asked to. A mark may be split across two reads, so
// the filter keeps its place between calls.
class ReceiveFilter {
public:
    struct Settings {
        bool decodeMarks = false; // the driver marks error bytes
        char replacement = 0;     // what a marked byte becomes
        bool dropNulls = false;
        bool operator==(const Settings&) const = default;
    };

    // New settings; a half-read mark is forgotten when marking is switched off.
    void Configure(const Settings& settings);

    // Filters data[0..count) in place and returns the number of bytes kept.
    std::size_t Apply(char* data, std::size_t count);

private:
    enum class MarkState { None, SawFF, SawFF00 };
    Settings settings_;
    MarkState state_ = MarkState::None;
};

// The clean-up that goes with a line: the driver marks error bytes only when parity
// checking replaces them by something other than 0 (a plain 0 it writes itself).
ReceiveFilter::Settings ReceiveFilterFor(const LineSettings& line);

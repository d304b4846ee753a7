#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Gathers received bytes into frames the way a slave on the line does: a frame
// ends when the line has been silent for 3.5 character times at the meter's baud
// rate, or 1.75 ms above 19200 bit/s. Times are microseconds
// of a monotonic clock supplied by the caller.
class RtuReceiver {
public:
    // Longest frame the line carries; anything longer is noise and is discarded.
    static constexpr std::size_t MaxFrame = 256;

    explicit RtuReceiver(int baud) { setBaud(baud); }

    void setBaud(int baud);
    std::int64_t silenceUs() const { return silenceUs_; }

    void feed(std::span<const std::uint8_t> bytes, std::int64_t nowUs);

    // When the frame being received will be complete if nothing more arrives.
    std::optional<std::int64_t> deadlineUs() const;

    // The completed frame once the silence has passed. Overlong frames are
    // dropped (and counted) instead of being returned.
    std::optional<std::vector<std::uint8_t>> take(std::int64_t nowUs);

    std::uint64_t overlongFrames() const { return overlong_; }
    // When the last byte of the frame taken last arrived.
    std::int64_t frameEndUs() const { return frameEndUs_; }

private:
    std::int64_t silenceUs_ = 0;
    std::vector<std::uint8_t> buffer_;
    bool overflow_ = false;
    bool receiving_ = false;
    std::int64_t lastByteUs_ = 0;
    std::int64_t frameEndUs_ = 0;
    std::uint64_t overlong_ = 0;
};

// Time one character takes on the meter's 8N1 line (start, eight data bits, stop:
// 10 bits), in microseconds.
std::int64_t CharacterTimeUs(int baud);
// Time `characters` take on that line, in microseconds, rounded up once for the lot.
std::int64_t WireTimeUs(int baud, std::size_t characters);

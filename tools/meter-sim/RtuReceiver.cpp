#include "RtuReceiver.h"

#include <utility>

std::int64_t CharacterTimeUs(int baud) {
    return baud > 0 ? (10'000'000LL + baud - 1) / baud : 0;
}

std::int64_t WireTimeUs(int baud, std::size_t characters) {
    if (baud <= 0)
        return 0;
    const auto bits = 10'000'000LL * static_cast<std::int64_t>(characters);
    return (bits + baud - 1) / baud;
}

void RtuReceiver::setBaud(int baud) {
    // Above 19200 bit/s the gap is fixed, as on real lines where the UART
    // timing would otherwise be too tight to observe.
    silenceUs_ = baud > 19200 || baud <= 0 ? 1750 : (35'000'000LL + baud - 1) / baud;
}

void RtuReceiver::feed(std::span<const std::uint8_t> bytes, std::int64_t nowUs) {
    if (bytes.empty())
        return;
    receiving_ = true;
    lastByteUs_ = nowUs;
    if (overflow_)
        return;
    if (buffer_.size() + bytes.size() > MaxFrame) {
        overflow_ = true;
        buffer_.clear();
        return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<std::int64_t> RtuReceiver::deadlineUs() const {
    if (!receiving_)
        return std::nullopt;
    return lastByteUs_ + silenceUs_;
}

std::optional<std::vector<std::uint8_t>> RtuReceiver::take(std::int64_t nowUs) {
    if (!receiving_ || nowUs < lastByteUs_ + silenceUs_)
        return std::nullopt;
    receiving_ = false;
    frameEndUs_ = lastByteUs_;
    if (overflow_) {
        overflow_ = false;
        ++overlong_;
        return std::nullopt;
    }
    return std::exchange(buffer_, {});
}

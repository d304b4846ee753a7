#include "ReceiveFilter.h"

void ReceiveFilter::Configure(const Settings& settings) {
    settings_ = settings;
    if (!settings_.decodeMarks)
        state_ = MarkState::None;
}

std::size_t ReceiveFilter::Apply(char* data, std::size_t count) {
    std::size_t out = 0;
    auto keep = [&](char c) {
        if (c == 0 && settings_.dropNulls)
            return;
        data[out++] = c;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const char c = data[i];
        if (!settings_.decodeMarks) {
            keep(c);
            continue;
        }
        switch (state_) {
        case MarkState::None:
            if (static_cast<unsigned char>(c) == 0xFF)
                state_ = MarkState::SawFF;
            else
                keep(c);
            break;
        case MarkState::SawFF:
            if (c == 0) {
                state_ = MarkState::SawFF00;
            } else {
                // FF FF is a real FF; anything else after FF cannot come from the
                // driver, so the bytes are passed on as they are.
                if (static_cast<unsigned char>(c) != 0xFF)
                    keep(static_cast<char>(0xFF));
                keep(c);
                state_ = MarkState::None;
            }
            break;
        case MarkState::SawFF00:
            keep(settings_.replacement);
            state_ = MarkState::None;
            break;
        }
    }
    return out;
}

ReceiveFilter::Settings ReceiveFilterFor(const LineSettings& line) {
    ReceiveFilter::Settings s;
    s.decodeMarks = line.ParityCheck && line.ReplaceWhenParityError && line.ReplacedChar != 0;
    s.replacement = line.ReplacedChar;
    s.dropNulls = line.IgnoreNullChar;
    return s;
}

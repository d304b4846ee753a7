// libFuzzer target: arbitrary line traffic into the meter's receiver and slave.
// The input is a sequence of chunks, each a gap byte (pause before it, in
// 100 us steps of its low seven bits; the top bit appends the chunk's CRC, so
// the fuzzer gets past the CRC check), a length byte and that many bytes.
// Every reply must be a well-formed frame for the address and function it answers.

#include "MeterModel.h"
#include "RtuReceiver.h"
#include "SlaveProtocol.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void CheckReply(const std::vector<std::uint8_t>& request, const SlaveOutcome& out) {
    if (out.kind == SlaveOutcome::Ignored || out.kind == SlaveOutcome::Broadcast) {
        Check(out.reply.empty());
        return;
    }
    const auto& r = out.reply;
    Check(r.size() >= 5 && r.size() <= RtuReceiver::MaxFrame);
    Check(HasValidCrc(r));
    Check(r[0] == request[0] && r[0] != 0);
    if (out.kind == SlaveOutcome::Exception) {
        Check(r.size() == 5 && r[1] == (request[1] | 0x80) && r[2] >= 1 && r[2] <= 3);
        return;
    }
    Check(r[1] == request[1]);
    if (r[1] <= 0x03)
        Check(r.size() == 5u + r[2]);
    else
        Check(r.size() == 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::int64_t startMs = 1'780'000'000'000;
    MeterModel meter({}, startMs);
    SlaveProtocol slave(meter);
    RtuReceiver receiver(meter.baud());
    std::int64_t nowUs = 0;
    std::size_t at = 0;
    auto serveDue = [&] {
        meter.advance(startMs + nowUs / 1000);
        if (auto frame = receiver.take(nowUs)) {
            const SlaveOutcome out = slave.handle(*frame);
            CheckReply(*frame, out);
            receiver.setBaud(meter.baud());
        }
    };
    while (at + 2 <= size) {
        nowUs += 100LL * (data[at] & 0x7F);
        serveDue();
        const std::size_t n = std::min<std::size_t>(data[at + 1], size - at - 2);
        std::vector<std::uint8_t> chunk(data + at + 2, data + at + 2 + n);
        if (data[at] & 0x80)
            AppendCrc(chunk);
        receiver.feed(chunk, nowUs);
        at += 2 + n;
    }
    nowUs += 1'000'000;
    serveDue();
    return 0;
}

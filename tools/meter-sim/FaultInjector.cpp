#include "FaultInjector.h"

#include "SlaveProtocol.h"

#include <algorithm>
#include <array>

FaultInjector::FaultInjector(const FaultSettings& settings)
    : settings_(settings), rng_(settings.seed) {}

ReplyPlan FaultInjector::plan(std::vector<std::uint8_t> reply, std::uint8_t address) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double dropDraw = unit(rng_);
    const double corruptDraw = unit(rng_);
    const double strayDraw = unit(rng_);
    const std::uint32_t bitDraw = rng_();
    const std::uint32_t strayCountDraw = rng_();
    std::array<std::uint32_t, 4> strayBytes{};
    for (auto& b : strayBytes)
        b = rng_();
    const std::uint32_t piecesDraw = rng_();
    std::array<std::uint32_t, 3> cutDraws{};
    for (auto& c : cutDraws)
        c = rng_();

    ++counts_.replies;
    ReplyPlan plan;
    if (reply.empty())
        return plan;
    if (dropDraw < settings_.drop) {
        plan.dropped = true;
        ++counts_.dropped;
        return plan;
    }
    if (corruptDraw < settings_.corrupt) {
        const std::size_t bit = bitDraw % (8 * reply.size());
        reply[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        ++counts_.corrupted;
    }
    if (strayDraw < settings_.stray) {
        const std::size_t n = 1 + strayCountDraw % strayBytes.size();
        for (std::size_t k = 0; k < n; ++k) {
            auto junk = static_cast<std::uint8_t>(strayBytes[k] & 0xFF);
            if (junk == address)
                junk = static_cast<std::uint8_t>(~junk);
            plan.bytes.push_back(junk);
        }
        ++counts_.stray;
    }
    plan.bytes.insert(plan.bytes.end(), reply.begin(), reply.end());

    std::size_t pieces = 1;
    if (settings_.split && plan.bytes.size() >= 2) {
        pieces = std::min<std::size_t>(2 + piecesDraw % 3, plan.bytes.size());
        ++counts_.split;
    }
    // Cut points: distinct positions inside the frame, in order.
    std::vector<std::size_t> cuts;
    for (std::size_t k = 0; k + 1 < pieces; ++k)
        cuts.push_back(1 + cutDraws[k] % (plan.bytes.size() - 1));
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        plan.pieces.push_back(cut - from);
        from = cut;
    }
    plan.pieces.push_back(plan.bytes.size() - from);
    return plan;
}

std::string StatsLine(const LineCounts& line, const FaultCounts& faults) {
    std::string s = "meter-sim-stats";
    auto add = [&s](const char* key, std::uint64_t v) {
        s += ' ';
        s += key;
        s += '=';
        s += std::to_string(v);
    };
    add("frames", line.frames);
    add("ignored", line.ignored);
    add("wrong_baud", line.wrongBaud);
    add("overlong", line.overlong);
    add("broadcasts", line.broadcasts);
    add("replies", faults.replies);
    add("exceptions", line.exceptions);
    add("late", line.late);
    add("dropped", faults.dropped);
    add("corrupted", faults.corrupted);
    add("stray", faults.stray);
    add("split", faults.split);
    add("refused", line.refused);
    add("scripted_drops", line.scriptedDrops);
    return s;
}

bool ReadsBlockOf(const std::vector<std::uint8_t>& request,
                  const std::vector<std::uint16_t>& starts) {
    if (request.size() < 4 || (request[1] != 0x03 && request[1] != 0x04))
        return false;
    const auto start = static_cast<std::uint16_t>((request[2] << 8) | request[3]);
    return std::find(starts.begin(), starts.end(), start) != starts.end();
}

bool TakeScriptedDrop(std::vector<ScriptedDrop>& drops, const std::vector<std::uint8_t>& request) {
    for (ScriptedDrop& drop : drops) {
        if (drop.count > 0 && ReadsBlockOf(request, {drop.start})) {
            --drop.count;
            return true;
        }
    }
    return false;
}

const Refusal* RefusalOf(const std::vector<Refusal>& refusals,
                         const std::vector<std::uint8_t>& request) {
    if (request.size() < 4)
        return nullptr;
    const std::uint8_t function = request[1];
    const bool write = function == 0x06 || function == 0x10 || function == 0xB0;
    const bool read = function == 0x03 || function == 0x04;
    if (!write && !read)
        return nullptr;
    const auto start = static_cast<std::uint16_t>((request[2] << 8) | request[3]);
    for (const Refusal& refusal : refusals)
        if (refusal.write == write && refusal.start == start)
            return &refusal;
    return nullptr;
}

std::vector<std::uint8_t> ExceptionReply(const std::vector<std::uint8_t>& request,
                                         std::uint8_t code) {
    std::vector<std::uint8_t> reply = {request.at(0),
                                       static_cast<std::uint8_t>(request.at(1) | 0x80), code};
    AppendCrc(reply);
    return reply;
}

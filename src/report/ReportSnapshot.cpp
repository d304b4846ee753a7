#include "ReportSnapshot.h"

#include "AlarmCodec.h"
#include "AlarmRecords.h"
#include "HarmonicsDecode.h"
#include "LineStatusText.h"
#include "MaxMinDecode.h"
#include "MeterModelDecode.h"
#include "MeterParamDecode.h"
#include "MeteringDecode.h"
#include "PhaseAngleDecode.h"

namespace {

// 34 registers of block 0x100 as the program's own poll reads them; the report shows
// 0x100..0x113.
constexpr quint16 kParameterCount = 34;
constexpr quint16 kModelCount = 34;
constexpr quint16 kClockCount = 6;
constexpr quint16 kRunTimeCount = 2;
constexpr quint16 kRelayCount = 2;
constexpr quint16 kInputCount = 4;

// clang-format off
const ReportRead kReads[] = {
    {ReportBlock::Clock,         3, ClockBlockStart,        kClockCount},
    {ReportBlock::Parameters,    3, MeterParamBlockStart,   kParameterCount},
    {ReportBlock::Model,         3, ModelBlockStart,        kModelCount},
    {ReportBlock::RunTime,       3, RunTimeBlockStart,      kRunTimeCount},
    {ReportBlock::Metering,      3, MeteringBlockStart,     MeteringBlockCount},
    {ReportBlock::Temperature,   3, TemperatureRegister,    1},
    {ReportBlock::Relays,        1, 0,                      kRelayCount},
    {ReportBlock::Inputs,        2, 0,                      kInputCount},
    {ReportBlock::Angles,        3, PhaseAngleBlockStart,   PhaseAngleBlockCount},
    {ReportBlock::Thd,           3, ThdBlockStart,          ThdBlockCount},
    {ReportBlock::Spectrum,      3, CurrentSpectrumStart,   CurrentSpectrumCount},
    {ReportBlock::Max,           3, MaxBlockStart,          MaxMinBlockCount},
    {ReportBlock::Min,           3, MinBlockStart,          MaxMinBlockCount},
    {ReportBlock::AlarmSettings, 3, AlarmParamBlockStart,   AlarmParamBlockCount},
    {ReportBlock::AlarmRecords,  3, AlarmRecordBlockStart,  AlarmRecordBlockCount},
};
// clang-format on

QString Hex2(int v) {
    return QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString ReportRead::Message() const {
    return QStringLiteral("00,%1,%2,%3,%4,%5,00,00")
        .arg(Hex2(function), Hex2(start >> 8), Hex2(start), Hex2(count >> 8), Hex2(count));
}

std::span<const ReportRead> ReportReads() {
    return kReads;
}

const ReportRead& ReportReadOf(ReportBlock block) {
    for (const ReportRead& r : kReads)
        if (r.block == block)
            return r;
    return kReads[0];
}

double ReportWireSeconds(quint32 baud) {
    if (baud == 0)
        return 0;
    double characters = 0;
    for (const ReportRead& r : kReads) {
        const int data = r.function == 3 ? 2 * r.count : (r.count + 7) / 8;
        characters += 8 + 3.5;        // request and its silence
        characters += 5 + data + 3.5; // reply and its silence
    }
    return characters * 10.0 / baud; // 8N1: start, eight data bits, stop
}

bool ReportSnapshot::Store(const ReportRead& read, const QList<quint16>& values) {
    if (values.size() < read.count)
        return false;
    blocks[int(read.block)] = values.mid(0, read.count);
    return true;
}

const ReportRead* ReportReadQueue::Next() const {
    if (next_ >= std::size(kReads) || NobodyAnswered())
        return nullptr;
    return &kReads[next_];
}

void ReportReadQueue::Done(bool good, bool heard) {
    ++asked_;
    heard_ += heard ? 1 : 0;
    if (good || ++attempt_ >= ReportReadAttempts) {
        ++next_;
        attempt_ = 0;
    }
}

int ReportReadQueue::Total() const {
    return int(std::size(kReads));
}

QString ReportNoAnswerText(const ReportSnapshot& s) {
    return NoAnswerText(s.address, s.baud, s.port, s.device);
}

std::optional<QDateTime> MeterClockTime(const QList<quint16>& values) {
    if (values.size() < 6)
        return std::nullopt;
    const QDate date(values[0], values[1], values[2]);
    const QTime time(values[3], values[4], values[5]);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

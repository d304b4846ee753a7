#pragma once

#include <cstdint>

// Holding-register addresses of the meter. Registers inside the readable areas
// that carry no quantity read as zero.
namespace MeterReg {

// Configuration: access code, address, baud rate, wiring, PT/CT, outputs.
constexpr std::uint16_t SettingsFirst = 0x100;
constexpr std::uint16_t AccessCode = 0x100;
constexpr std::uint16_t Address = 0x101;
constexpr std::uint16_t Baud = 0x102;
constexpr std::uint16_t VoltageWiring = 0x103;
constexpr std::uint16_t CurrentWiring = 0x104;
constexpr std::uint16_t Pt1High = 0x105;
constexpr std::uint16_t Pt1Low = 0x106;
constexpr std::uint16_t Pt2 = 0x107;
constexpr std::uint16_t Ct1 = 0x108;
constexpr std::uint16_t DoMode = 0x109;
constexpr std::uint16_t Do1Source = 0x10A;
constexpr std::uint16_t Do2Source = 0x10B;
constexpr std::uint16_t PulseWidth = 0x10C;
constexpr std::uint16_t PulseConst = 0x10D;
constexpr std::uint16_t Ro1Mode = 0x10E;
constexpr std::uint16_t Ro1Time = 0x10F;
constexpr std::uint16_t Ro2Mode = 0x110;
constexpr std::uint16_t Ro2Time = 0x111;
constexpr std::uint16_t BacklightTime = 0x112;
constexpr std::uint16_t DemandWindow = 0x113;
constexpr std::uint16_t ClearStatistics = 0x114;
constexpr std::uint16_t ResetRunTime = 0x115;
constexpr std::uint16_t SettingsLast = 0x121;
// The value that triggers the two command registers.
constexpr std::uint16_t CommandValue = 10;

// Live measurements.
constexpr std::uint16_t Frequency = 0x130;
constexpr std::uint16_t V1 = 0x131;  // V1 V2 V3 Vavg V12 V23 V31 Vllavg
constexpr std::uint16_t I1 = 0x139;  // I1 I2 I3 Iavg In
constexpr std::uint16_t P1 = 0x13E;  // P1 P2 P3 Psum, signed
constexpr std::uint16_t Q1 = 0x142;  // Q1 Q2 Q3 Qsum, signed
constexpr std::uint16_t S1 = 0x146;  // S1 S2 S3 Ssum
constexpr std::uint16_t Pf1 = 0x14A; // PF1 PF2 PF3 PF, signed, x1000
constexpr std::uint16_t VoltageUnbalance = 0x14E;
constexpr std::uint16_t CurrentUnbalance = 0x14F;
constexpr std::uint16_t LoadType = 0x150;
constexpr std::uint16_t DemandP = 0x151;
constexpr std::uint16_t DemandQ = 0x152;
constexpr std::uint16_t DemandS = 0x153;
constexpr std::uint16_t EnergyFirst = 0x156; // eight 32-bit counters, high word first
constexpr std::uint16_t EnergyLast = 0x165;
constexpr int EnergyCounters = 8;

// Distortion.
constexpr std::uint16_t Thd = 0x168;             // V1 V2 V3 Vavg I1 I2 I3 Iavg, % x100
constexpr std::uint16_t VoltageSpectrum = 0x170; // 3 phases x 34
constexpr int VoltageSpectrumPerPhase = 34;
constexpr std::uint16_t CurrentSpectrum = 0x1D6; // 3 phases x 33
constexpr int CurrentSpectrumPerPhase = 33;

// Max/min records: 17 records of 7 registers.
constexpr std::uint16_t MaxRecords = 0x239;
constexpr std::uint16_t MinRecords = 0x2B0;
constexpr int ExtremeRecords = 17;
constexpr int ExtremeRecordSize = 7;

constexpr std::uint16_t Clock = 0x32A; // year month day hour minute second
constexpr std::uint16_t ClockLast = 0x32F;

// Alarm configuration and records.
constexpr std::uint16_t AlarmEnable = 0x330;
constexpr std::uint16_t AlarmDelay = 0x331;
constexpr std::uint16_t AlarmDo1 = 0x332;
constexpr std::uint16_t AlarmDo2 = 0x333;
constexpr std::uint16_t AlarmGroups = 0x334; // 9 groups of item, direction, limit
constexpr std::uint16_t AlarmLast = 0x34E;
constexpr int AlarmGroupCount = 9;
constexpr std::uint16_t AlarmState = 0x354;
constexpr std::uint16_t AlarmRecords = 0x355; // 9 records of 8 registers
constexpr int AlarmRecordSize = 8;
constexpr int AlarmItemCount = 35;

constexpr std::uint16_t PhaseAngles = 0x39D; // 8 angles, tenths of a degree
constexpr std::uint16_t RunTime = 0x3A5;     // 32-bit, hundredths of an hour

// Model block.
constexpr std::uint16_t Version = 0x510; // four characters
constexpr std::uint16_t Temperature = 0x518;
constexpr std::uint16_t CoefficientsFirst = 0x51B;
constexpr std::uint16_t SystemFrequency = 0x529;
constexpr std::uint16_t DisplayMode = 0x52A;
constexpr std::uint16_t PtType = 0x52B;
constexpr std::uint16_t CoefficientsLast = 0x533;
constexpr std::uint16_t RawVectors = 0x534; // 6 channels of (re, im)
constexpr std::uint16_t RawVectorsLast = 0x53F;

// Readable areas; a read must lie inside one of them.
struct Area {
    std::uint16_t first;
    std::uint16_t last;
};
constexpr Area ReadableAreas[] = {
    {SettingsFirst, SettingsLast}, {Frequency, RunTime + 1}, {Version, RawVectorsLast}};

} // namespace MeterReg

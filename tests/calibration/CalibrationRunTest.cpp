#include "CalibrationRun.h"
#include "DecodeTestSupport.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <utility>

namespace {

// A reply of block 0x534: (real, imaginary) of voltages A, B, C and currents A, B, C.
QList<quint16> Raw(std::initializer_list<std::pair<int, int>> channels) {
    QList<quint16> values;
    for (const auto& [re, im] : channels)
        values << quint16(qint16(re)) << quint16(qint16(im));
    return values;
}

// A healthy 380 V / 100 % bench reading except where a case says otherwise.
const QList<quint16> kBench =
    Raw({{3800, 0}, {-1900, 3291}, {-1900, -3291}, {5000, 0}, {-2500, 4330}, {-2500, -4330}});

struct RunCase {
    const char* name;
    CalibrationSettings settings;
    // Readings of a first run that is stopped before it ends (its sums must not count).
    QList<QList<quint16>> stoppedRun;
    QList<QList<quint16>> readings;
    std::map<Channel, qint64> corrections;
    QList<Channel> overLimit;
};

} // namespace

TEST(CalibrationRun, CorrectionsFromTheReadingsOfARun) {
    using M = CalibrationMode;
    const CalibrationSettings amp380{M::Amplitude, true, true};
    const CalibrationSettings amp100V{M::Amplitude, false, true};
    const CalibrationSettings angle{M::Angle, true, true};
    // (-12401, 21566) lies 119.9 degrees from the real axis, (18817, 10864) 30 degrees,
    // both to within a ten-thousandth of a degree.
    const RunCase cases[] = {
        {"a voltage on the reference needs no correction",
         amp380,
         {},
         {kBench, kBench},
         {{VoltageA, 0}},
         {}},
        {"990 at 100 V adds 655.35 per reading",
         amp100V,
         {},
         {Raw({{990, 0}, {1000, 0}, {0, 1000}, {5000, 0}, {0, 5000}, {0, -5000}})},
         {{VoltageA, 655}, {VoltageB, 0}, {VoltageC, 0}, {CurrentA, 0}},
         {}},
        {"a low current counts against the 100 % reference",
         amp380,
         {},
         {Raw({{3800, 0}, {3800, 0}, {3800, 0}, {4000, 0}, {5000, 0}, {5000, 0}})},
         {{CurrentA, 13107}},
         {}},
        {"voltage B at 119.9 degrees needs a tenth of a degree",
         angle,
         {},
         {Raw({{3800, 0}, {-12401, 21566}, {-1900, -3291}, {5000, 0}, {0, 0}, {0, 0}}),
          Raw({{3800, 0}, {-12401, 21566}, {-1900, -3291}, {5000, 0}, {0, 0}, {0, 0}})},
         {{VoltageB, 100}, {CurrentA, 25}, {CurrentB, 0}, {CurrentC, 0}},
         {}},
        {"zero vectors sit at their fixed angles",
         angle,
         {},
         {Raw({{3800, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}})},
         {{VoltageB, 0}, {VoltageC, 0}, {CurrentA, 0}, {CurrentB, 0}, {CurrentC, 0}},
         {}},
        {"differences wrap into -90..270",
         angle,
         {},
         {Raw({{0, -3800},
               {18817, 10864},
               {-18817, 10864},
               {0, -5000},
               {18817, 10864},
               {-18817, 10864}})},
         {{VoltageB, 0}, {VoltageC, 0}, {CurrentA, 25}, {CurrentB, 0}, {CurrentC, 0}},
         {}},
        {"more than 5 degrees is reported and still corrected",
         angle,
         {},
         {Raw({{3800, 0}, {-1300, 3571}, {-1900, -3291}, {5000, 0}, {-2500, 4330}, {0, 0}})},
         {{VoltageB, 9996}},
         {VoltageB}},
        {"a stopped run's sums do not reach the next run",
         amp100V,
         {Raw({{990, 0}, {990, 0}, {990, 0}, {500, 0}, {500, 0}, {500, 0}}),
          Raw({{990, 0}, {990, 0}, {990, 0}, {500, 0}, {500, 0}, {500, 0}})},
         {Raw({{1000, 0}, {1000, 0}, {1000, 0}, {5000, 0}, {5000, 0}, {5000, 0}})},
         {{VoltageA, 0}, {VoltageB, 0}, {VoltageC, 0}, {CurrentA, 0}},
         {}},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        CalibrationRun run;
        if (!c.stoppedRun.isEmpty()) {
            run.Start(int(c.stoppedRun.size()) + 5, c.settings);
            for (const auto& r : c.stoppedRun)
                EXPECT_FALSE(run.AddReading(r));
            run.Stop();
            EXPECT_EQ(run.ReadsLeft(), -1);
            // A reply still on the line after the stop is no reading.
            EXPECT_FALSE(run.AddReading(c.stoppedRun.first()));
        }
        run.Start(int(c.readings.size()), c.settings);
        EXPECT_EQ(run.ReadsLeft(), c.readings.size());
        for (int i = 0; i < c.readings.size(); ++i) {
            EXPECT_EQ(run.AddReading(c.readings[i]), i + 1 == c.readings.size());
            EXPECT_EQ(run.ReadingsTaken(), i + 1);
        }
        EXPECT_EQ(run.ReadsLeft(), 0);
        const CalibrationResult result = run.Finish();
        EXPECT_EQ(result.readings, c.readings.size());
        for (const auto& [channel, correction] : c.corrections)
            EXPECT_EQ(result.corrections[channel], correction) << "channel " << channel;
        EXPECT_EQ(result.overLimit, c.overLimit);
        EXPECT_EQ(run.ReadingsTaken(), 0);
    }
}

TEST(CalibrationRun, RoundingTiesGoToTheEvenNumber) {
    const std::pair<double, qint64> cases[] = {{2.5, 2},   {3.5, 4},       {-2.5, -2},
                                               {-3.5, -4}, {655.35, 655},  {0.5, 0},
                                               {-0.5, 0},  {99.9999, 100}, {-1.51, -2}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

// The six writes a finished run offers, byte for byte, and the sums it refuses.
TEST(CalibrationRun, WritesOfEveryModeAndReference) {
    using M = CalibrationMode;
    CoefficientValues coefficients{};
    coefficients[0x520 - CoefficientBlockStart] = 32767; // + 1 goes out as its pattern
    CalibrationResult result;
    result.corrections = {1, -1, 300, 2, -2, 16};

    struct WriteCase {
        CalibrationSettings settings;
        const char* question;
        const char* message;
        QStringList labels;
    };
    const WriteCase cases[] = {
        {{M::Amplitude, true, false},
         "原始数据读取计算完毕，写入模校正系数吗（仅电流部分）?",
         "00,b0,05,26,00,03,06,00,02,FF,FE,00,10,00,00",
         {"LabIa1ADv", "LabIb1ADv", "LabIc1ADv"}},
        {{M::Amplitude, false, false}, // 10 % picks the currents whatever the PT setting
         "原始数据读取计算完毕，写入模校正系数吗（仅电流部分）?",
         "00,b0,05,26,00,03,06,00,02,FF,FE,00,10,00,00",
         {"LabIa1ADv", "LabIb1ADv", "LabIc1ADv"}},
        {{M::Amplitude, true, true},
         "原始数据读取计算完毕，写入模校正系数吗?",
         "00,b0,05,20,00,06,0c,80,00,FF,FF,01,2C,00,02,FF,FE,00,10,00,00",
         {"LabVaADv", "LabVbADv", "LabVcADv", "LabIaADv", "LabIbADv", "LabIcADv"}},
        {{M::Amplitude, false, true},
         "原始数据读取计算完毕，写入模校正系数吗（仅电压部分）?",
         "00,b0,05,1b,00,03,06,00,01,FF,FF,01,2C,00,00",
         {"LabVaaADv", "LabVbbADv", "LabVccADv"}},
        {{M::Angle, true, false},
         "原始数据读取计算完毕，写入角差校正常数吗（仅电流部分）?",
         "00,b0,05,31,00,03,06,00,02,FF,FE,00,10,00,00",
         {"LabIa1RIv", "LabIb1RIv", "LabIc1RIv"}},
        {{M::Angle, true, true},
         "原始数据读取计算完毕，写入角差校正系数吗?",
         "00,b0,05,2c,00,05,0a,00,02,FF,FF,FF,FE,01,2C,00,10,00,00",
         {"LabIaRIv", "LabVbRIv", "LabIbRIv", "LabVcRIv", "LabIcRIv"}},
        {{M::Angle, false, true},
         "原始数据读取计算完毕，写入角差校正系数吗（仅电压部分）?",
         "00,b0,05,1e,00,02,04,FF,FF,01,2C,00,00",
         {"LabVbbRIv", "LabVccRIv"}},
    };
    for (const WriteCase& c : cases) {
        const CalibrationWriteCase& writeCase = WriteCaseFor(c.settings);
        SCOPED_TRACE(c.message);
        EXPECT_EQ(QString::fromUtf8(writeCase.question), QString::fromUtf8(c.question));
        EXPECT_EQ(writeCase.labels, c.labels);
        const CalibrationWrite write = PlanCalibrationWrite(writeCase, coefficients, result);
        EXPECT_TRUE(write.error.isEmpty()) << write.error.toStdString();
        EXPECT_EQ(write.message, QLatin1String(c.message));
    }
    EXPECT_EQ(TextFor(CorrectionTexts(WriteCaseFor({M::Amplitude, true, true}), result),
                      QStringLiteral("LabVbADv")),
              "-1");

    // A sum judged the same way up and down across both ends of the register; one that
    // would carry it round its far end, or no coefficients to add to: nothing to write.
    struct SumCase {
        quint16 coefficient;
        qint64 correction;
        const char* written; // the register's two bytes, or the start of the refusal
    };
    const SumCase sums[] = {
        {0x7FFF, 1, "80,00"},
        {0x7FFF, -1, "7F,FE"},
        {0x8000, -1, "7F,FF"},
        {0x8000, 1, "80,01"},
        {0xFFFF, 1, "00,00"},
        {0xFFFF, -1, "FF,FE"},
        {0x0000, -1, "FF,FF"},
        {0x7FFF, 40000, "UA--ADJ: 32767 + 40000 = 72767 lies outside 0..65535"},
        {0x8000, -40000, "UA--ADJ: 32768 - 40000 = -7232 lies outside 0..65535"},
        {0xFFFF, 40000, "UA--ADJ: -1 + 40000 = 39999 lies outside -32768..32767"},
        {0x0000, -40000, "UA--ADJ: 0 - 40000 = -40000 lies outside -32768..32767"},
    };
    for (const SumCase& c : sums) {
        SCOPED_TRACE(c.written);
        CoefficientValues one{};
        one[0x520 - CoefficientBlockStart] = qint16(c.coefficient);
        CalibrationResult single;
        single.corrections[VoltageA] = c.correction;
        const CalibrationWrite write =
            PlanCalibrationWrite(WriteCaseFor({M::Amplitude, true, true}), one, single);
        if (QByteArray(c.written).contains(':')) {
            EXPECT_TRUE(write.message.isEmpty());
            EXPECT_TRUE(write.error.startsWith(QString::fromUtf8(c.written)))
                << write.error.toStdString();
        } else {
            EXPECT_TRUE(write.error.isEmpty()) << write.error.toStdString();
            EXPECT_TRUE(
                write.message.startsWith(QStringLiteral("00,b0,05,20,00,06,0c,") + c.written + ','))
                << write.message.toStdString();
        }
    }
    const CalibrationWrite unread =
        PlanCalibrationWrite(WriteCaseFor({M::Angle, true, true}), std::nullopt, result);
    EXPECT_TRUE(unread.message.isEmpty());
    EXPECT_FALSE(unread.error.isEmpty());
}

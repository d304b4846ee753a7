// The trend history against the simulated meter: every good metering reply, through the
// real serial port, Modbus master and reply routing, lands in the series decoded and
// scaled as the windows show it.

#include "MeterSimShell.h"
#include "ShellHarness.h"
#include "TqvModbus.h"
#include "TrendQuantities.h"
#include "TrendRecorder.h"

#include <gtest/gtest.h>

TEST(TrendsEndToEnd, TheSeriesReceiveTheDecodedValuesOfEveryMeteringReply) {
    WidgetTestApp();
    WithMeterSim<ViewShell> h;
    ASSERT_TRUE(h.StartMeter({"--pt-ratio", "100"})) << qPrintable(h.SimErrors());
    h.Make(false);
    TFormTeskLink& shell = *h.shell;
    const TrendHistory& history = shell.findChild<TrendRecorder*>()->History();

    // What the windows were handed, after the recorder took its sample.
    QList<std::vector<float>> expected;
    std::optional<quint16> temperature;
    shell.Routing().AddBlockDecoder(TemperatureRegister,
                                    [&](const QList<quint16>& v) { temperature = v.value(0); });
    shell.Routing().AddBlockDecoder(MeteringBlockStart, [&](const QList<quint16>& v) {
        const SessionState& s = shell.State();
        expected << TrendSample(v, ScaleRatios{s.PtRatio, s.CtRatio}, temperature);
    });

    shell.StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return expected.size() >= 6 && shell.State().PtRatio > 1; }, 60000))
        << expected.size() << " metering replies";
    shell.StopPolling();
    ASSERT_TRUE(WaitUntil([&] { return !shell.Modbus().CycleBusy(); }));

    // One sample per reply (no gaps on a good line), value for value.
    ASSERT_EQ(history.Size(), expected.size());
    for (qsizetype i = 0; i < history.Size(); ++i) {
        for (int q = 0; q < TrendQuantityCount(); ++q) {
            const float want = expected[i][size_t(q)], got = history.ValueAt(q, i);
            ASSERT_TRUE(got == want || (std::isnan(got) && std::isnan(want)))
                << "sample " << i << " " << TrendQuantities()[q].column.toStdString() << ": " << got
                << " vs " << want;
        }
    }
    const int v1 = TrendQuantityOfColumn("V1 (V)");
    EXPECT_GT(history.ValueAt(v1, history.Size() - 1), 20000.0f) << "scaled by the PT ratio";
}

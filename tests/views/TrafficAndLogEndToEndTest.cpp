// The traffic monitor and the data log against a simulated meter that drops and corrupts
// replies, through the real serial port, Modbus master and reply routing.

#include "MeterSimShell.h"
#include "MeteringLogControl.h"
#include "ShellHarness.h"
#include "TqvModbus.h"
#include "frmTrafficMonitor.h"

#include <QAction>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

TEST(TrafficAndLogEndToEnd, MonitorCountsMatchTheStatusBarAndTheLogHasEveryGoodBlock) {
    WidgetTestApp();
    WithMeterSim<ViewShell> h;
    ASSERT_TRUE(h.StartMeter({"--drop", "0.15", "--corrupt", "0.15", "--seed", "7"}))
        << qPrintable(h.SimErrors());
    h.Make(false);
    TFormTeskLink& shell = *h.shell;
    // A dropped reply costs the whole time-out; keep the run short.
    shell.Modbus().SetQueryTimeout(300);

    // The good metering replies as the windows get them.
    int goodBlocks = 0;
    shell.Routing().AddBlockDecoder(MeteringBlockStart,
                                    [&](const QList<quint16>&) { ++goodBlocks; });

    shell.Action("mnuTrafficMonitor")->trigger();
    auto* monitor = shell.findChild<TFormTrafficMonitor*>();
    ASSERT_NE(monitor, nullptr);
    ASSERT_NE(shell.SubWindowOf(monitor), nullptr); // a child of the client area
    EXPECT_FALSE(monitor->isHidden());

    auto* log = shell.findChild<MeteringLogControl*>();
    ASSERT_NE(log, nullptr);
    const QString csvPath = h.dir.filePath("field.csv");
    log->SetAskSettings([&](const MeteringLogSettings&) {
        return std::optional(MeteringLogSettings{csvPath, 0, LogRotation::None});
    });
    shell.Action("MMLogToFile")->trigger();
    ASSERT_TRUE(log->Log().Active()) << h.dialogs.Texts().join('|').toStdString();

    shell.StartPolling();
    const TrafficCounters& t = shell.State().Traffic;
    ASSERT_TRUE(WaitUntil(
        [&] { return t.SendCount >= 60 && t.NoResponseCount > 0 && t.CrcErrorCount > 0; }, 60000))
        << t.SendCount << " sent, " << t.NoResponseCount << " unanswered, " << t.CrcErrorCount
        << " rejected";
    shell.StopPolling();
    ASSERT_TRUE(WaitUntil([&] { return !shell.Modbus().CycleBusy(); }));

    RecordProperty("sent", t.SendCount);
    RecordProperty("no_response", t.NoResponseCount);
    RecordProperty("crc_error", t.CrcErrorCount);
    RecordProperty("stray_pieces", shell.Traffic().Count(TrafficStatus::Stray));
    RecordProperty("good_blocks", goodBlocks);
    // The monitor counted what the status bar counted.
    TrafficModel& m = shell.Traffic();
    EXPECT_EQ(m.Transactions(), t.SendCount);
    EXPECT_EQ(m.Count(TrafficStatus::NoResponse), t.NoResponseCount);
    EXPECT_EQ(m.Count(TrafficStatus::CrcError) + m.Count(TrafficStatus::FieldError),
              t.CrcErrorCount);
    EXPECT_EQ(m.Count(TrafficStatus::Ok), t.SendCount - t.NoResponseCount - t.CrcErrorCount);
    // Its window shows a request and a reply row for each unanswered transaction.
    m.Flush();
    monitor->Filter().SetStatus(TrafficStatus::NoResponse);
    EXPECT_EQ(monitor->Filter().rowCount(), 2 * t.NoResponseCount);

    // One line per good metering reply, under one header, and the status bar says so.
    h.dialogs.QueueAnswer(true); // stop logging?
    shell.Action("MMLogToFile")->trigger();
    EXPECT_FALSE(log->Log().Active());
    EXPECT_EQ(h.dialogs.UnansweredQuestions(), 0);
    ASSERT_GT(goodBlocks, 0);
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), goodBlocks + 2) << "header, lines, and the empty rest after the last";
    EXPECT_EQ(lines.front(), MeteringCsvHeader().toLatin1());
    EXPECT_TRUE(lines.back().isEmpty());
    EXPECT_EQ(log->Log().Rows(), goodBlocks);
    EXPECT_EQ(shell.StatusText(2, 4), QStringLiteral("Log stopped: %1 rows").arg(goodBlocks));

    h.shell.reset();
    qunsetenv("QETRA_PORTS_DIR");
}

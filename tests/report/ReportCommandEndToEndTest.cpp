// The commissioning report's command in the program against the simulated meter: the
// menu row, the not-connected refusal, and a snapshot through the program's running poll
// that leaves the poll going.

#include "MeterSimShell.h"
#include "ReportCommand.h"
#include "ReportSnapshotTaker.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace {

const auto* const app = ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QApplication>);

TEST(ReportCommandEndToEnd, SnapshotThroughTheProgramsPollWhichGoesOnAfterwards) {
    MeterSimShell h;
    ASSERT_TRUE(h.StartMeter()) << qPrintable(h.SimErrors());
    h.Make({RegisterCommissioningReport}, TestShell::RealPort);

    // A row of the Execute menu; before the meter answers it refuses with the usual box.
    QAction* command = h->Action(QStringLiteral("MMCommissioningReport"));
    ASSERT_NE(command, nullptr);
    EXPECT_TRUE(h->findChild<QMenu*>(QStringLiteral("MM01"))->actions().contains(command));
    command->trigger();
    EXPECT_EQ(h.dialogs.Texts(), QStringList{kNotConnectedText});
    h.dialogs.Clear();

    h->StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return h->Connected(); }));
    ReportSnapshot snapshot;
    ReportSnapshotTaker taker(h->Requests(), h.State().DevAddr, snapshot);
    taker.Start();
    ASSERT_TRUE(WaitUntil([&] { return taker.Finished(); }));
    EXPECT_FALSE(taker.Cancelled());
    EXPECT_EQ(taker.Line().good, int(ReportReads().size()));
    for (const ReportRead& read : ReportReads())
        EXPECT_TRUE(snapshot.Block(read.block).has_value()) << read.start;

    const int sent = h.State().Traffic.SendCount;
    EXPECT_TRUE(WaitUntil([&] { return h.State().Traffic.SendCount >= sent + 3; }));
    EXPECT_TRUE(h->Connected());
    EXPECT_TRUE(h.dialogs.Texts().isEmpty()) << h.dialogs.Texts().join('|').toStdString();
}

} // namespace

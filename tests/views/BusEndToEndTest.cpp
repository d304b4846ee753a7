// Several meters on one simulated line: the Bus window lists them with their own values,
// and the meter picked there is the one the windows show and write to.

#include "FormBus.h"
#include "MeterSimShell.h"
#include "ShellHarness.h"
#include "WindowTestSupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

// "5.912 A" -> 5.912; nothing parsed: -1.
double Number(const QString& text) {
    bool ok = false;
    const double v = text.section(QLatin1Char(' '), 0, 0).toDouble(&ok);
    return ok ? v : -1;
}

} // namespace

TEST(BusEndToEnd, TheBusListsItsMetersAndThePickedOneIsShownAndWrittenTo) {
    WidgetTestApp();
    WithMeterSim<ViewShell> h;
    // Meter 3's feeder draws about 5.9 A a phase, meter 1's about 5.0 A.
    ASSERT_TRUE(h.StartMeter({"--also-address", "2,3,4"})) << qPrintable(h.SimErrors());
    h.Make(false);
    h.shell->StartPolling();
    auto* bus = qobject_cast<TFormBus*>(h.shell->ShowWindowOfMenuItem("MMBus"));
    ASSERT_NE(bus, nullptr);
    bus->AddressEdit()->setText(QStringLiteral("1-4"));
    ASSERT_TRUE(bus->ApplyAddresses());
    auto cell = [bus](int address, int column) {
        return bus->Table()->item(bus->RowOf(address), column)->text();
    };
    // Every other meter in turn: its version, its ratios, then its values.
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (int a : {2, 3, 4})
                if (cell(a, TFormBus::ColValues + 1).isEmpty())
                    return false;
            return !cell(1, TFormBus::ColValues + 1).isEmpty();
        },
        20000));
    EXPECT_EQ(cell(3, TFormBus::ColState), "answering");
    EXPECT_FALSE(cell(3, TFormBus::ColVersion).isEmpty());
    EXPECT_GT(Number(cell(3, TFormBus::ColValues + 1)), 5.45);
    EXPECT_LT(Number(cell(1, TFormBus::ColValues + 1)), 5.45);
    EXPECT_LT(Number(h.BaseText("LabelIavg")), 5.45);

    ASSERT_TRUE(WaitUntil([&] { return h.shell->Connected(); }));
    QPushButton* ro1 = h.Base()->RelayButton(1);
    // What the next relay poll reports.
    auto relay = [&] {
        ro1->setText(QString());
        WaitUntil([&] { return !ro1->text().isEmpty(); });
        return ro1->text();
    };
    const QString meter1Relay = relay();
    ASSERT_FALSE(meter1Relay.isEmpty());

    // Picking meter 3: the metering window shows meter 3's currents.
    bus->PickRow(bus->RowOf(3));
    EXPECT_EQ(h.shell->State().DevAddr, 3);
    ASSERT_TRUE(WaitUntil([&] { return Number(h.BaseText("LabelIavg")) > 5.45; }));

    // A relay click now switches meter 3's relay, and only that one.
    ASSERT_TRUE(WaitUntil([&] { return h.shell->Connected(); }));
    const QString before = relay();
    ASSERT_FALSE(before.isEmpty());
    h.dialogs.QueueAnswer(true);
    ro1->click();
    ASSERT_TRUE(WaitUntil([&] { return h.dialogs.Texts().contains("Control RO1 successfully!"); }))
        << h.dialogs.Texts().join('|').toStdString();
    const QString switched = before == "On" ? "Off" : "On";
    EXPECT_EQ(relay(), switched);
    bus->PickRow(bus->RowOf(1));
    EXPECT_EQ(h.shell->State().DevAddr, 1);
    ASSERT_TRUE(WaitUntil([&] { return Number(h.BaseText("LabelIavg")) < 5.45; }));
    EXPECT_EQ(relay(), meter1Relay);
}

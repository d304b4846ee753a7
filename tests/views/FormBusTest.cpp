#include "FormBus.h"

#include "BusOverview.h"
#include "MeterParamDecode.h"
#include "MeteringDecode.h"
#include "RequestService.h"
#include "ScriptedDialogs.h"
#include "SessionState.h"
#include "TqvModbus.h"
#include "ValueFreshness.h"
#include "WindowTestSupport.h"

#include <QLineEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

// The window with its overview on an engine that is never opened: the rows are fed the
// replies a line would bring.
struct BusWindow {
    SessionState state;
    TqvModbus engine{nullptr};
    RequestService requests{engine};
    BusOverview overview{state, requests};
    ValueFreshness freshness;
    ScriptedDialogs dialogs;
    TFormBus form{overview, state, freshness, dialogs};

    QString Cell(int address, int column) const {
        const int row = form.RowOf(address);
        return row < 0 ? QStringLiteral("no row") : form.Table()->item(row, column)->text();
    }
};

} // namespace

TEST(FormBusTest, TheTypedListIsCheckedBeforeAnyMeterIsPolled) {
    WidgetTestApp();
    BusWindow w;
    const struct {
        const char* typed;
        bool taken;
        int rows; // after the line
    } cases[] = {
        {"1-4, 9", true, 5}, {"0-3", false, 5}, {"4, 300", false, 5},
        {"", false, 5},      {"2 3", true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const qsizetype boxes = w.dialogs.Shown().size();
        w.form.AddressEdit()->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(w.form.ApplyAddresses(), c.taken);
        EXPECT_EQ(w.form.Table()->rowCount(), c.rows);
        EXPECT_EQ(w.overview.Addresses().size(), c.rows);
        if (c.taken) {
            EXPECT_EQ(w.dialogs.Shown().size(), boxes);
            continue;
        }
        // The refusal names the field and the range.
        ASSERT_EQ(w.dialogs.Shown().size(), boxes + 1);
        EXPECT_TRUE(w.dialogs.Shown().back().text.contains("Addresses"));
        EXPECT_TRUE(w.dialogs.Shown().back().text.contains("247"));
    }
    EXPECT_EQ(w.state.BusAddresses, QStringLiteral("2, 3"));
}

TEST(FormBusTest, EachRowShowsItsMeterScaledByItsOwnRatiosAndARowPicksItsMeter) {
    WidgetTestApp();
    BusWindow w;
    w.form.AddressEdit()->setText(QStringLiteral("1-3"));
    ASSERT_TRUE(w.form.ApplyAddresses());
    QList<quint16> metering(MeteringBlockCount, 0);
    metering[0x00] = 5000; // 50.00 Hz
    metering[0x04] = 2300; // 230.0 V on the secondary
    metering[0x0C] = 5000; // 5.000 A
    metering[0x1D] = 950;  // PF 0.950
    // Meter 3 sits behind a 10 kV / 100 V PT.
    QList<quint16> params(0x22, 0);
    params[0x05] = 0;
    params[0x06] = 10000;
    params[0x07] = 100;
    params[0x08] = 5;
    w.form.MeterReplied(3, MeterParamBlockStart, params);
    w.form.MeterReplied(2, MeteringBlockStart, metering);
    w.form.MeterReplied(3, MeteringBlockStart, metering);
    const QStringList plain = BusValueTexts(metering, {});
    const QStringList scaled = BusValueTexts(metering, RatiosFromParamBlock(params, {}));
    ASSERT_EQ(plain.size(), 5);
    EXPECT_NE(plain[0], scaled[0]);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(w.Cell(2, TFormBus::ColValues + i), plain[i]) << i;
        EXPECT_EQ(w.Cell(3, TFormBus::ColValues + i), scaled[i]) << i;
        EXPECT_FALSE(plain[i].isEmpty());
    }
    EXPECT_EQ(w.Cell(1, TFormBus::ColValues), QString()); // nothing heard of meter 1

    // A relay command waits for meter 1; picking meter 3 drops it and reads meter 3.
    w.state.Schedule.Queue(RelaySlot, QStringLiteral("00,05,00,00,FF,00,00,00"));
    w.form.PickRow(w.form.RowOf(3));
    EXPECT_EQ(w.state.DevAddr, 3);
    EXPECT_TRUE(w.state.Schedule.Slot(RelaySlot).isEmpty());
    EXPECT_TRUE(w.form.Table()->item(w.form.RowOf(3), TFormBus::ColAddress)->font().bold());
    EXPECT_FALSE(w.form.Table()->item(w.form.RowOf(1), TFormBus::ColAddress)->font().bold());
}

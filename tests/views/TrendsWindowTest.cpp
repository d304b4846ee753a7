// The trends window in the main window: the live history fed through the reply routing
// from start-up, the window kept once opened, the choice of quantities and axes checked,
// the visible span exported and read back, and a foreign file refused.

#include "FormTrends.h"
#include "RegisterBlock.h"
#include "ShellHarness.h"
#include "TrendQuantities.h"
#include "TrendRecorder.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

QList<quint16> Metering(quint16 v1, quint16 i1) {
    return RegisterBlock(MeteringBlockCount).Set(0x01, v1).Set(0x09, i1).Values();
}

// The main window without a line, its recorder on the clock `now` (2024-05-01 10:40 UTC).
class RecordingShell : public ::testing::Test {
protected:
    void SetUp() override {
        h.Make(true);
        recorder = h.shell->findChild<TrendRecorder*>();
        ASSERT_NE(recorder, nullptr);
        recorder->SetClock([this] { return now; });
    }
    ViewShell h;
    TrendRecorder* recorder = nullptr;
    qint64 now = 1'714'560'000'000;
};

} // namespace

TEST_F(RecordingShell, AnotherMeterBeginsAnotherSeries) {
    TFormTeskLink& shell = *h.shell;
    // Three replies from each meter, at the usual spacing: address 1 on COM1, address 5
    // on COM1, address 5 on COM2.
    const struct {
        const char* port;
        int address;
    } meters[] = {{"COM1", 1}, {"COM1", 5}, {"COM2", 5}};
    for (const auto& m : meters) {
        shell.State().PortName = QString::fromLatin1(m.port);
        shell.State().DevAddr = m.address;
        for (int i = 0; i < 3; ++i) {
            now += 100;
            shell.Routing().RegistersReceived(MeteringBlockStart, Metering(2300, 5000));
        }
    }
    const TrendHistory& live = recorder->History();
    ASSERT_EQ(live.Size(), 11) << "nine replies and a break at each change of meter";
    const int v1 = TrendQuantityOfColumn("V1 (V)");
    for (qsizetype i = 0; i < live.Size(); ++i)
        EXPECT_EQ(std::isnan(live.ValueAt(v1, i)), i == 3 || i == 7) << i;
}

TEST_F(RecordingShell, RecordsFromStartUpAndDrawsExportsAndReadsBackTheSpan) {
    TFormTeskLink& shell = *h.shell;

    // Before the window exists: a reply of the parameter block sets the ratios, the
    // temperature follows, then a pause of a minute (a lost line) and more replies.
    // PT1 2000 V over PT2 100 V: ratio 20; CT1 10 A over 5 A: ratio 2.
    shell.Routing().RegistersReceived(
        0x100, RegisterBlock(34).Set32(0x05, 2000).Set(0x07, 100).Set(0x08, 10).Values());
    shell.Routing().RegistersReceived(TemperatureRegister, {quint16(355)});
    for (int i = 0; i < 10; ++i) {
        now += i == 5 ? 60'000 : 100;
        shell.Routing().RegistersReceived(MeteringBlockStart, Metering(2300 + i, 5000));
    }
    const TrendHistory& live = recorder->History();
    ASSERT_EQ(live.Size(), 11) << "ten replies and the gap";
    const int v1 = TrendQuantityOfColumn("V1 (V)"), temp = TrendQuantityOfColumn("Temp (degC)");
    EXPECT_FLOAT_EQ(live.ValueAt(v1, 0), 4600.0f);
    EXPECT_FLOAT_EQ(live.ValueAt(temp, 0), 35.5f);
    EXPECT_TRUE(std::isnan(live.ValueAt(v1, 5)));

    // Read -> Trends: a child window, kept when closed.
    shell.Action("MMTrends")->trigger();
    auto* w = h.Window<TFormTrends>(TrendsWindowName);
    ASSERT_NE(w, nullptr);
    ASSERT_NE(shell.SubWindowOf(w), nullptr);
    shell.SubWindowOf(w)->close();
    shell.Action("MMTrends")->trigger();
    EXPECT_EQ(h.Window<TFormTrends>(TrendsWindowName), w);
    EXPECT_FALSE(w->isHidden());

    // At most eight quantities, of at most two units.
    QList<int> many;
    for (const char* c : {"V1 (V)", "I1 (A)", "P1 (W)", "V2 (V)", "V3 (V)", "V12 (V)", "V23 (V)",
                          "V31 (V)", "I2 (A)", "I3 (A)", "In (A)"})
        many << TrendQuantityOfColumn(c);
    w->Choose(many);
    const QList<int> chosen = w->Chosen();
    EXPECT_EQ(chosen.size(), 8);
    EXPECT_FALSE(chosen.contains(TrendQuantityOfColumn("P1 (W)")));
    EXPECT_EQ(w->Chart()->Units(), (QStringList{"V", "A"}));
    EXPECT_FALSE(w->QuantityList()->item(TrendQuantityOfColumn("P1 (W)"))->flags() &
                 Qt::ItemIsEnabled);
    // Chosen again with other units, a greyed quantity can be taken off like any other.
    w->Choose({TrendQuantityOfColumn("P1 (W)")});
    EXPECT_TRUE(w->QuantityList()->item(TrendQuantityOfColumn("P1 (W)"))->flags() &
                Qt::ItemIsEnabled);
    w->Choose(many);

    // A fixed axis is checked before it is used, and the wrong field is named.
    w->CheckAutoscale()->setChecked(false);
    w->EditLow()->setText("250");
    w->EditHigh()->setText("abc");
    EXPECT_FALSE(w->ApplyFixedAxis());
    w->EditHigh()->setText("200");
    EXPECT_FALSE(w->ApplyFixedAxis());
    ASSERT_EQ(h.dialogs.Shown().size(), 2);
    EXPECT_TRUE(h.dialogs.Shown()[0].text.contains("Y axis (V) \"to\""))
        << h.dialogs.Shown()[0].text.toStdString();
    EXPECT_TRUE(h.dialogs.Shown()[1].text.contains("greater"));
    EXPECT_TRUE(w->Chart()->AxisOf("V").autoscale);
    w->EditHigh()->setText("5000");
    EXPECT_TRUE(w->ApplyFixedAxis());
    EXPECT_FALSE(w->Chart()->AxisOf("V").autoscale);

    // The cursor reads every shown value; the drawn columns keep the gap.
    w->Choose({v1, TrendQuantityOfColumn("I1 (A)")});
    w->Chart()->SetCursorMs(now);
    EXPECT_TRUE(w->Chart()->CursorText().contains("V1 4618 V"))
        << w->Chart()->CursorText().toStdString();
    EXPECT_TRUE(w->Chart()->CursorText().contains("I1 10 A"));

    // Dragging pauses the chart; the wheel zooms within a minute and a day.
    TrendChart* chart = w->Chart();
    chart->resize(800, 400);
    const QPointF mid = chart->PlotRect(chart->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, mid, mid, Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent move(QEvent::MouseMove, mid + QPointF(100, 0), mid, Qt::NoButton, Qt::LeftButton,
                     {});
    const qint64 endBefore = chart->EndMs();
    QCoreApplication::sendEvent(chart, &press);
    QCoreApplication::sendEvent(chart, &move);
    EXPECT_FALSE(chart->Follow());
    EXPECT_NEAR(double(endBefore - chart->EndMs()),
                100.0 / chart->PlotRect(chart->rect()).width() * double(chart->SpanMs()), 1.0)
        << "dragged right by 100 pixels: earlier values come into view";
    EXPECT_FALSE(w->findChild<QCheckBox*>("CheckFollow")->isChecked());
    for (int i = 0; i < 40; ++i) {
        QWheelEvent wheel(mid, mid, {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(chart, &wheel);
    }
    EXPECT_EQ(chart->SpanMs(), TrendChart::ShortestSpanMs);
    for (int i = 0; i < 80; ++i) {
        QWheelEvent wheel(mid, mid, {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(chart, &wheel);
    }
    EXPECT_EQ(chart->SpanMs(), TrendChart::LongestSpanMs);

    // The visible span as a data log, read back as drawn; then the chart as pictures.
    chart->SetFollow(true);
    chart->SetSpanMs(3'600'000);
    const QString csv = h.dir.filePath("span.csv");
    ASSERT_TRUE(w->ExportCsv(csv));
    ASSERT_TRUE(w->OpenLog({csv})) << h.dialogs.Texts().join('|').toStdString();
    EXPECT_TRUE(w->ShowingLog());
    const TrendHistory* back = chart->History();
    ASSERT_NE(back, &live);
    ASSERT_EQ(back->Size(), live.Size());
    for (qsizetype i = 0; i < live.Size(); ++i) {
        ASSERT_EQ(back->TimeAt(i), live.TimeAt(i)) << i;
        for (int q : w->Chosen()) {
            const float a = back->ValueAt(q, i), b = live.ValueAt(q, i);
            if (std::isnan(b))
                EXPECT_TRUE(std::isnan(a)) << i << " " << q << ": the gap stays a gap";
            else
                EXPECT_FLOAT_EQ(a, b) << i << " " << q;
        }
    }
    for (const QString& name : {QString("chart.png"), QString("chart.svg")}) {
        ASSERT_TRUE(w->ExportPicture(h.dir.filePath(name))) << name.toStdString();
        QFile f(h.dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(64);
        EXPECT_TRUE(name.endsWith("png") ? head.startsWith("\x89PNG") : head.contains("<?xml"))
            << head.toStdString();
    }

    // A file of another kind is refused with its line and reason; the log stays shown.
    const QString foreign = h.dir.filePath("other.csv");
    QFile f(foreign);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Time,V1 (V)\n2024-05-01T13:00:00+02:00,abc\n");
    f.close();
    h.dialogs.Clear();
    EXPECT_FALSE(w->OpenLog({foreign}));
    ASSERT_EQ(h.dialogs.Shown().size(), 1);
    EXPECT_EQ(h.dialogs.Shown()[0].text,
              "This file cannot be drawn: other.csv, line 2: \"abc\" in column \"V1 (V)\" is "
              "not a number");
    EXPECT_TRUE(w->ShowingLog());
}

#include "Crc16.h"
#include "QtTestSupport.h"
#include "RtuFrame.h"
#include "ScriptedDialogs.h"
#include "TrafficModel.h"
#include "frmTrafficMonitor.h"

#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QApplication>);

using namespace std::chrono_literals;
using TimePoint = TransactionRecord::TimePoint;

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray WithCrc(const QByteArray& body) {
    return body + ModbusCrcBytes(body, body.size());
}

// A transaction as the master reports it: the request framed from its message string,
// `received` as it came in, the last chunk `latency` after the write.
TransactionRecord Record(const char* message, const QByteArray& received, quint8 code,
                         std::optional<std::chrono::milliseconds> latency = 40ms) {
    const ParsedMessage frame = MakeRequestFrame(message);
    TransactionRecord r;
    r.request = frame.bytes;
    r.expectedLength = frame.expectedLength;
    r.received = received;
    r.code = code;
    r.written = TimePoint{} + 1000s;
    if (latency)
        r.lastChunk = r.written + *latency;
    r.evaluated = r.written + 200ms;
    return r;
}

// "dir status function start detail bytes" of every row, for comparing whole tables.
QStringList Summary(const QList<TrafficRow>& rows) {
    QStringList out;
    for (const TrafficRow& row : rows) {
        QStringList t = TrafficRowTexts(row);
        out << QStringList{t[ColDirection], t[ColStatus], t[ColFunction],
                           t[ColStart],     t[ColDetail], t[ColBytes]}
                   .join('|');
    }
    return out;
}

constexpr qint64 kWrittenAt = 1'700'000'000'000;

} // namespace

// Every function the program sends, an exception, stray bytes and every failure, each as
// the rows the monitor shows.
TEST(TrafficRows, EachTransactionBecomesItsRequestAndWhatCameBack) {
    const QByteArray readRegs = WithCrc(Hex("01 03 04 13 89 08 F4"));
    struct Case {
        const char* name;
        TransactionRecord record;
        QStringList rows;
    };
    const Case cases[] = {
        {"read coils",
         Record("01,01,00,00,00,02,00,00", WithCrc(Hex("01 01 01 02")), 0),
         {"TX|OK|Read Coils|0x0000|2|01 01 00 00 00 02 BD CB",
          "RX|OK|Read Coils|0x0000|2|01 01 01 02 D0 49"}},
        {"read inputs",
         Record("01,02,00,00,00,04,00,00", WithCrc(Hex("01 02 01 0D")), 0),
         {"TX|OK|Read Discrete Inputs|0x0000|4|01 02 00 00 00 04 79 C9",
          "RX|OK|Read Discrete Inputs|0x0000|4|01 02 01 0D 60 4D"}},
        {"read holding registers",
         Record("01,03,01,30,00,02,00,00", readRegs, 0),
         {"TX|OK|Read Holding Registers|0x0130|2|01 03 01 30 00 02 C5 F8",
          "RX|OK|Read Holding Registers|0x0130|2|" + QString(readRegs.toHex(' ').toUpper())}},
        {"read input registers",
         Record("01,04,00,10,00,01,00,00", WithCrc(Hex("01 04 02 00 07")), 0),
         {"TX|OK|Read Input Registers|0x0010|1|01 04 00 10 00 01 30 0F",
          "RX|OK|Read Input Registers|0x0010|1|01 04 02 00 07 F8 F2"}},
        {"write coil on",
         Record("01,05,00,01,FF,00,00,00", WithCrc(Hex("01 05 00 01 FF 00")), 0),
         {"TX|OK|Write Single Coil|0x0001|ON|01 05 00 01 FF 00 DD FA",
          "RX|OK|Write Single Coil|0x0001|ON|01 05 00 01 FF 00 DD FA"}},
        {"write register",
         Record("01,06,01,00,12,34,00,00", WithCrc(Hex("01 06 01 00 12 34")), 0),
         {"TX|OK|Write Single Register|0x0100|value 0x1234|01 06 01 00 12 34 85 41",
          "RX|OK|Write Single Register|0x0100|value 0x1234|01 06 01 00 12 34 85 41"}},
        {"write registers",
         Record("01,10,01,56,00,01,02,00,00,00,00", WithCrc(Hex("01 10 01 56 00 01")), 0),
         {"TX|OK|Write Multiple Registers|0x0156|1|01 10 01 56 00 01 02 00 00 BA A6",
          "RX|OK|Write Multiple Registers|0x0156|1|01 10 01 56 00 01 E0 25"}},
        {"meter registers (B0)",
         Record("01,B0,05,2A,00,01,02,00,01,00,00", WithCrc(Hex("01 B0 05 2A 00 01")), 0),
         {"TX|OK|Write Meter Registers|0x052A|1|01 B0 05 2A 00 01 02 00 01 3F 22",
          "RX|OK|Write Meter Registers|0x052A|1|01 B0 05 2A 00 01 A0 D4"}},
        {"coil without reply",
         Record("01,C5,00,00,00,00,00,00", {}, 0, std::nullopt),
         {"TX|OK|Write Coil, No Reply|0x0000|OFF|01 C5 00 00 00 00 CD DB"}},
        {"status request",
         Record("01,C4,00,00", WithCrc(Hex("01 C4 01 00 05")), 0),
         {"TX|OK|Status Request|||01 C4 01 B3", "RX|OK|Status Request|||01 C4 01 00 05 B5 33"}},
        {"counted request",
         Record("01,91,01,AA,00,00", WithCrc(Hex("01 91")), 0),
         {"TX|OK|Counted Request||1 bytes|01 91 01 AA D1 DA",
          "RX|OK|Counted Request||1 bytes|01 91 C1 8C"}},
        // The meter refuses: the exception reply is shorter than the reply the master waits
        // for, so the transaction counts as unanswered, and the row names the exception.
        {"exception",
         Record("01,03,05,00,00,02,00,00", WithCrc(Hex("01 83 02")), 1),
         {"TX|no response|Read Holding Registers|0x0500|2|01 03 05 00 00 02 C4 C7",
          "RX|no response|Read Holding Registers (exception)|0x0500|Illegal Data Address|01 83 "
          "02 C0 F1"}},
        {"time-out",
         Record("01,03,01,30,00,02,00,00", {}, 1, std::nullopt),
         {"TX|no response|Read Holding Registers|0x0130|2|01 03 01 30 00 02 C5 F8",
          "RX|no response|Read Holding Registers|0x0130|2|"}},
        {"stray bytes in front and behind",
         Record("01,03,01,30,00,02,00,00", Hex("FF 00") + readRegs + Hex("55"), 0),
         {"TX|OK|Read Holding Registers|0x0130|2|01 03 01 30 00 02 C5 F8", "RX|stray||||FF 00",
          "RX|OK|Read Holding Registers|0x0130|2|" + QString(readRegs.toHex(' ').toUpper()),
          "RX|stray||||55"}},
        {"CRC error shows every byte",
         Record("01,03,01,30,00,02,00,00", Hex("FF") + readRegs.left(8) + Hex("00"), 2),
         {"TX|CRC error|Read Holding Registers|0x0130|2|01 03 01 30 00 02 C5 F8",
          "RX|CRC error|Read Holding Registers|0x0130|2|FF " +
              QString(readRegs.left(8).toHex(' ').toUpper()) + " 00"}},
        {"field error",
         Record("01,03,01,30,00,02,00,00", WithCrc(Hex("01 03 02 00 00 00 00")), 3),
         {"TX|field error|Read Holding Registers|0x0130|2|01 03 01 30 00 02 C5 F8",
          "RX|field error|Read Holding Registers|0x0130|2|01 03 02 00 00 00 00 72 33"}},
        {"nothing written",
         Record("zz", Hex("01 02"), 1),
         {"TX|no response|(nothing written)|||", "RX|no response|(nothing written)|||01 02"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Summary(TransactionRows(c.record, kWrittenAt)), c.rows);
    }
}

TEST(TrafficRows, RepliesAreTimedByTheMastersClockAndCarryTheirLatency) {
    const auto rows = TransactionRows(
        Record("01,01,00,00,00,02,00,00", WithCrc(Hex("01 01 01 02")), 0, 135ms), kWrittenAt);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].timeMs, kWrittenAt);
    EXPECT_FALSE(rows[0].latencyMs);
    EXPECT_EQ(rows[1].timeMs, kWrittenAt + 135);
    ASSERT_TRUE(rows[1].latencyMs);
    EXPECT_DOUBLE_EQ(*rows[1].latencyMs, 135.0);
    EXPECT_EQ(TrafficRowTexts(rows[1])[ColLatency], "135.0");
    // A time-out is stamped when the master gave up.
    const auto late =
        TransactionRows(Record("01,01,00,00,00,02,00,00", {}, 1, std::nullopt), kWrittenAt);
    EXPECT_EQ(late[1].timeMs, kWrittenAt + 200);
}

TEST(TrafficRows, SavedFilesQuoteWhatWouldSplitAField) {
    TrafficRow row = StrayRow(Hex("2C"), kWrittenAt);
    row.detail = "a, \"b\"";
    const QStringList csv = TrafficRowsAsCsv({row}).split('\n');
    EXPECT_EQ(csv[0], TrafficHeaders().join(','));
    EXPECT_TRUE(csv[1].contains(",\"a, \"\"b\"\"\",")) << csv[1].toStdString();
    const QStringList text = TrafficRowsAsText({row}).split('\n');
    EXPECT_EQ(text[1].split('\t').size(), TrafficColumnCount);
}

// Save: the filter chosen decides what a name without an extension becomes.
// On a Chinese desktop the monitor names functions, exceptions and statuses in Chinese;
// the saved traffic keeps the untranslated names.
TEST(TrafficRows, TheScreenSpeaksTheDesktopsLanguageTheSavedFileDoesNot) {
    const ScopedTranslation chinese("zh_CN");
    ASSERT_TRUE(chinese.Loaded());
    const QList<TrafficRow> refused =
        TransactionRows(Record("01,03,05,00,00,02,00,00", WithCrc(Hex("01 83 02")), 1), kWrittenAt);
    const QList<TrafficRow> unknown =
        TransactionRows(Record("01,03,01,30,00,02,00,00", WithCrc(Hex("01 83 0C")), 1), kWrittenAt);
    const QList<TrafficRow> nothing =
        TransactionRows(Record("zz", {}, 1, std::nullopt), kWrittenAt);
    const auto shown = [](const TrafficRow& row) {
        return QStringList{ShownTrafficCellText(row, ColFunction),
                           ShownTrafficCellText(row, ColDetail),
                           ShownTrafficCellText(row, ColStatus)}
            .join('|');
    };
    const struct {
        const char* what;
        TrafficRow row;
        QString expected;
    } cases[] = {
        {"a request", refused[0], "读保持寄存器|2|无应答"},
        {"the meter's exception", refused[1], "读保持寄存器（异常）|非法数据地址|无应答"},
        {"an exception without a name", unknown[1], "读保持寄存器（异常）|异常码 0x0C|无应答"},
        {"a message that did not parse", nothing[0], "（未发送）||无应答"},
        {"stray bytes", StrayRow(Hex("55"), kWrittenAt), "||多余数据"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(c.row), c.expected) << c.what;
    EXPECT_EQ(ShownFunctionName(0x42), "功能码 0x42");
    EXPECT_EQ(FunctionName(0x42), "Function 0x42");
    EXPECT_EQ(Summary(unknown)[1],
              "RX|no response|Read Holding Registers (exception)|0x0130|Exception 0x0C|" +
                  QString(WithCrc(Hex("01 83 0C")).toHex(' ').toUpper()));
    const QString csv = TrafficRowsAsCsv(refused);
    EXPECT_TRUE(csv.contains(",Read Holding Registers (exception),0x0500,Illegal Data Address,"))
        << csv.toStdString();
}

TEST(TrafficRows, SaveTargetFollowsTheTypedExtensionElseTheFilter) {
    struct Case {
        const char* chosen;
        QString filter;
        const char* fileName;
        bool csv;
    };
    const Case cases[] = {
        {"/d/log", kTrafficCsvFilter, "/d/log.csv", true},
        {"/d/log", kTrafficTextFilter, "/d/log.txt", false},
        {"/d/log", QString(), "/d/log.csv", true},
        {"/d/my.dir/log", kTrafficCsvFilter, "/d/my.dir/log.csv", true},
        {"/d/log.CSV", kTrafficTextFilter, "/d/log.CSV", true},
        {"/d/log.txt", kTrafficCsvFilter, "/d/log.txt", false},
        {"/d/log.dat", kTrafficTextFilter, "/d/log.dat", false},
        {"/d/log.dat", kTrafficCsvFilter, "/d/log.dat", true},
    };
    for (const Case& c : cases) {
        const TrafficSaveTarget t = TrafficSaveTargetOf(c.chosen, c.filter);
        EXPECT_EQ(t.fileName, c.fileName) << c.chosen;
        EXPECT_EQ(t.csv, c.csv) << c.chosen;
    }
}

// The window on a long record: opens at the newest row and follows it while at the bottom,
// stays where the operator scrolled to, shows every status whole, saves what the filter says.
TEST(TrafficMonitorWindow, OpensAtTheNewestRowFollowsItAndFitsItsTexts) {
    TrafficModel model;
    qint64 now = kWrittenAt;
    model.SetWallClock([&] { return now; });
    const auto lost = Record("01,03,01,30,00,36,00,00", {}, 1, std::nullopt);
    for (int i = 0; i < 600; ++i)
        model.TransactionEvaluated(lost);
    model.Flush();
    ScriptedDialogs dialogs;
    TFormTrafficMonitor w(model, dialogs);
    w.resize(900, 300);
    w.show();
    QTableView* view = w.View();
    QScrollBar* bar = view->verticalScrollBar();
    const auto newestShown = [&] {
        return bar->maximum() > 0 && bar->value() == bar->maximum() &&
               view->rowAt(view->viewport()->height() - 2) == w.Filter().rowCount() - 1;
    };
    ASSERT_TRUE(WaitUntil(newestShown)) << bar->value() << " of " << bar->maximum();

    model.TransactionEvaluated(lost);
    model.Flush();
    EXPECT_TRUE(WaitUntil(newestShown)) << bar->value() << " of " << bar->maximum();

    // Scrolled up to read: new rows leave the view where it is.
    bar->setValue(10);
    model.TransactionEvaluated(lost);
    model.Flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->value(), 10);

    const QFontMetrics fm = view->fontMetrics();
    for (int s = 0; s < kTrafficStatusCount; ++s)
        EXPECT_GT(view->columnWidth(ColStatus),
                  fm.horizontalAdvance(StatusName(TrafficStatus(s))) + 4)
            << StatusName(TrafficStatus(s)).toStdString();
    EXPECT_GT(view->columnWidth(ColFunction), fm.horizontalAdvance(FunctionName(0x03)) + 4);

    // Save under the CSV filter without an extension: "name.csv", comma-separated.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString filter = kTrafficCsvFilter;
    w.SetSaveFileChooser([&](QWidget*) {
        return TFormTrafficMonitor::SaveChoice{dir.filePath("traffic"), filter};
    });
    auto* save = w.findChild<QPushButton*>("ButtonSave");
    ASSERT_NE(save, nullptr);
    save->click();
    QFile csv(dir.filePath("traffic.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readLine().trimmed(), TrafficHeaders().join(',').toUtf8());
    filter = kTrafficTextFilter;
    save->click();
    QFile text(dir.filePath("traffic.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readLine().trimmed(), TrafficHeaders().join('\t').toUtf8());
    EXPECT_TRUE(dialogs.Shown().isEmpty());
}

// The record: bounded, pausable, counted per transaction like the status bar.
TEST(TrafficModel, KeepsTheNewestRowsCountsEveryTransactionAndPausesOnlyTheView) {
    TrafficModel model;
    qint64 now = kWrittenAt;
    model.SetWallClock([&] { return now; });
    model.SetCapacity(5);
    const auto ok = Record("01,01,00,00,00,02,00,00", WithCrc(Hex("01 01 01 02")), 0);
    const auto lost = Record("01,01,00,00,00,02,00,00", {}, 1, std::nullopt);
    const auto bad = Record("01,01,00,00,00,02,00,00", Hex("01 01 01 02 00 00"), 2);

    for (int i = 0; i < 3; ++i)
        model.TransactionEvaluated(ok);
    model.TransactionEvaluated(lost);
    model.TransactionEvaluated(bad);
    model.StrayBytesReceived(Hex("AA"), {});
    // Counted at once; the rows come with the next batch.
    EXPECT_EQ(model.Transactions(), 5);
    EXPECT_EQ(model.rowCount(), 0);
    model.Flush();
    EXPECT_EQ(model.rowCount(), 5); // 11 rows made, the newest 5 kept
    EXPECT_EQ(model.RecordedRow(model.RecordedCount() - 1).status, TrafficStatus::Stray);
    EXPECT_EQ(model.Transactions(), 5);
    EXPECT_EQ(model.Count(TrafficStatus::Ok), 3);
    EXPECT_EQ(model.Count(TrafficStatus::NoResponse), 1);
    EXPECT_EQ(model.Count(TrafficStatus::CrcError), 1);
    EXPECT_EQ(model.Count(TrafficStatus::Stray), 1);

    // Paused: the view keeps its rows while the record goes on.
    model.SetPaused(true);
    const QString shownFirst = model.data(model.index(0, ColBytes)).toString();
    now += 1000;
    for (int i = 0; i < 4; ++i)
        model.TransactionEvaluated(ok);
    model.Flush();
    EXPECT_EQ(model.data(model.index(0, ColBytes)).toString(), shownFirst);
    EXPECT_EQ(model.RecordedCount(), 5);
    EXPECT_EQ(model.Count(TrafficStatus::Ok), 7);
    model.SetPaused(false);
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.RowAt(4).timeMs, now - 200 + 40); // written 200 ms before evaluation

    // Filters: one status, one function.
    TrafficFilterModel filter;
    filter.setSourceModel(&model);
    model.TransactionEvaluated(lost);
    // The batch comes from the event loop by itself.
    const QDeadlineTimer deadline(5000);
    while (model.RecordedRow(model.RecordedCount() - 1).status != TrafficStatus::NoResponse &&
           !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    filter.SetStatus(TrafficStatus::NoResponse);
    EXPECT_EQ(filter.rowCount(), 2); // the request and its missing reply
    filter.SetStatus(std::nullopt);
    filter.SetFunction(0x03);
    EXPECT_EQ(filter.rowCount(), 0);

    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.Transactions(), 0);

    // Hours of polling: the newest rows in order, in no more room than the capacity, also
    // across changes of the capacity while the buffer has wrapped.
    model.SetBatchMs(0);
    const auto inOrder = [&] {
        for (qsizetype i = 1; i < model.RecordedCount(); ++i)
            if (model.RecordedRow(i - 1).timeMs > model.RecordedRow(i).timeMs)
                return false;
        return true;
    };
    const struct {
        int capacity;
        int transactions;
    } steps[] = {{100, 1000}, {150, 60}, {30, 10}, {40, 10}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.capacity);
        model.SetCapacity(step.capacity);
        for (int i = 0; i < step.transactions; ++i) {
            now += 100; // one request after the other's reply
            model.TransactionEvaluated(ok);
        }
        const qint64 newest = now - 200 + 40;
        EXPECT_EQ(model.RecordedCount(), step.capacity);
        EXPECT_LE(model.RowsHeld(), step.capacity);
        EXPECT_EQ(model.RecordedRow(model.RecordedCount() - 1).timeMs, newest);
        EXPECT_TRUE(inOrder());
    }
}

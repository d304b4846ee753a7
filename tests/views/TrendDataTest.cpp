// The trends' data: the bounded history with its gaps, the per-column decimation the chart
// draws from, and the data log read back from file.

#include "RegisterBlock.h"
#include "TrendHistory.h"
#include "TrendLogReader.h"
#include "TrendQuantities.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr float kNone = TrendColumn::None;

std::vector<float> Values(int quantities, float v) {
    return std::vector<float>(size_t(quantities), v);
}

// What the decimation must give, found the slow way: every sample of the span put into
// its column one by one.
std::vector<TrendColumn> BruteForce(const TrendHistory& h, int q, qint64 t0, qint64 t1,
                                    int columns) {
    std::vector<TrendColumn> out(static_cast<size_t>(columns));
    bool gap = false;
    for (qsizetype i = 0; i < h.Size(); ++i) {
        const qint64 c = TrendColumnOf(h.TimeAt(i), t0, t1, columns);
        if (c < 0 || c >= columns)
            continue;
        const float v = h.ValueAt(q, i);
        if (std::isnan(v)) {
            gap = true;
            continue;
        }
        TrendColumn& col = out[size_t(c)];
        if (col.Empty()) {
            col.min = col.max = col.first = v;
            col.breakBefore = gap;
        }
        col.min = std::min(col.min, v);
        col.max = std::max(col.max, v);
        col.last = v;
        gap = false;
    }
    return out;
}

QList<quint16> Block(const RegisterBlock& b) {
    return b.Values();
}

} // namespace

// Random series with gaps, in a ring that has wrapped, over random spans and widths: each
// column keeps exactly the extremes, ends and breaks of the samples that fall into it.
TEST(TrendHistory, DecimationKeepsEveryColumnsMinimumMaximumAndBreaks) {
    std::mt19937 rng(26);
    for (int trial = 0; trial < 200; ++trial) {
        const int quantities = 2;
        TrendHistory h(quantities, 500 + trial);
        qint64 t = 1'700'000'000'000 + trial;
        std::uniform_int_distribution<int> step(0, trial % 3 == 0 ? 2000 : 120);
        std::uniform_real_distribution<float> value(-50, 50);
        const int samples = 700 + trial * 3;
        for (int i = 0; i < samples; ++i) {
            t += step(rng);
            std::vector<float> v{value(rng), value(rng)};
            if (rng() % 17 == 0)
                v[1] = kNone; // this series alone has no value here
            if (rng() % 53 == 0)
                h.AppendGap(t);
            else
                ASSERT_TRUE(h.Append(t, v));
        }
        ASSERT_EQ(h.Size(), h.Capacity()) << "the ring wrapped";
        const qint64 first = h.FirstTime(), last = h.LastTime();
        std::uniform_int_distribution<qint64> at(first - 5000, last + 5000);
        qint64 t0 = at(rng), t1 = at(rng);
        if (t1 < t0)
            std::swap(t0, t1);
        t1 += 1;
        const int columns = 1 + int(rng() % 400);
        for (int q = 0; q < quantities; ++q) {
            std::vector<TrendColumn> got(static_cast<size_t>(columns));
            h.Decimate(q, t0, t1, got);
            const std::vector<TrendColumn> want = BruteForce(h, q, t0, t1, columns);
            for (int c = 0; c < columns; ++c) {
                SCOPED_TRACE(testing::Message() << "trial " << trial << " series " << q
                                                << " column " << c << " of " << columns);
                ASSERT_EQ(got[c].Empty(), want[c].Empty());
                if (want[c].Empty())
                    continue;
                EXPECT_EQ(got[c].min, want[c].min);
                EXPECT_EQ(got[c].max, want[c].max);
                EXPECT_EQ(got[c].first, want[c].first);
                EXPECT_EQ(got[c].last, want[c].last);
                EXPECT_EQ(got[c].breakBefore, want[c].breakBefore);
            }
        }
    }
}

// A pause far beyond the usual spacing (a lost line, polling stopped) is a gap that no line
// crosses; a slow but steady log is not; the oldest samples go first once the history is
// full, and a sample from before the last one is refused.
TEST(TrendHistory, GapsStayGapsAndTheHistoryStaysBounded) {
    TrendHistory h(1, 100);
    qint64 t = 0;
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(h.Append(t += 90, Values(1, float(i))));
    const qint64 beforePause = t;
    ASSERT_TRUE(h.Append(t += 5000, Values(1, 100.0f)));
    ASSERT_TRUE(h.Append(t += 90, Values(1, 101.0f)));
    EXPECT_EQ(h.Size(), 23) << "a gap sample between the two runs";
    EXPECT_TRUE(std::isnan(h.ValueAt(0, 20)));

    // At one column per 100 ms: the columns of the pause hold nothing, and the first one
    // after it is not joined to the last one before.
    std::vector<TrendColumn> cols(60);
    h.Decimate(0, beforePause - 900, beforePause + 5100, cols);
    int filled = 0;
    for (const TrendColumn& c : cols)
        filled += !c.Empty();
    EXPECT_EQ(filled, 11) << "ten before the pause, one after it";
    const auto after = std::find_if(cols.begin() + 10, cols.end(),
                                    [](const TrendColumn& c) { return !c.Empty(); });
    ASSERT_NE(after, cols.end());
    EXPECT_EQ(after - cols.begin(), 59);
    EXPECT_EQ(after->first, 100.0f);
    EXPECT_EQ(after->max, 101.0f);
    EXPECT_TRUE(after->breakBefore);
    EXPECT_FALSE(cols[9].breakBefore);

    // A log written once a minute has no gaps between its lines.
    TrendHistory slow(1, 100);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(slow.Append(i * 60'000, Values(1, 1.0f)));
    EXPECT_EQ(slow.Size(), 10);

    EXPECT_FALSE(h.Append(t - 1, Values(1, 5.0f)));
    EXPECT_FALSE(h.Append(t + 1, Values(2, 5.0f)));
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(h.Append(t += 90, Values(1, float(i))));
    EXPECT_EQ(h.Size(), 100);
    EXPECT_EQ(h.FirstTime(), t - 99 * 90);
    EXPECT_EQ(h.ValueAt(0, 99), 199.0f);
    // Room for 24 h of the fastest poll (12 samples a second) in the 150 MiB the README
    // promises.
    EXPECT_EQ(kTrendCapacity, 24 * 3600 * 12);
    EXPECT_LE(TrendHistory::BytesAtCapacity(TrendQuantityCount(), kTrendCapacity),
              150LL * 1024 * 1024);
}

// The live history records what the data log writes: the same columns, the same PT and CT
// scaling, the temperature empty until one was read.
TEST(TrendQuantities, ASampleHoldsTheValuesTheLogWrites) {
    RegisterBlock b(MeteringBlockCount);
    b.Set(0x00, 4998).Set(0x01, 2301).Set(0x05, 3987).Set(0x09, 4321).SetSigned(0x0E, -250);
    b.Set(0x16, 60000).SetSigned(0x1D, -875).Set(0x1E, 12).Set(0x23, 777);
    const ScaleRatios ratios{100.0, 40.0};
    const std::vector<float> sample = TrendSample(Block(b), ratios, quint16(0xFF9C));
    ASSERT_EQ(int(sample.size()), TrendQuantityCount());
    const QStringList header = MeteringCsvHeader().split(',');
    const QStringList row =
        MeteringCsvRow(QDateTime::currentDateTime(), Block(b), ratios, quint16(0xFF9C)).split(',');
    for (int q = 0; q < TrendQuantityCount(); ++q) {
        const TrendQuantity& tq = TrendQuantities()[q];
        const qsizetype at = header.indexOf(tq.column);
        ASSERT_GE(at, 0) << tq.column.toStdString();
        EXPECT_NEAR(sample[q], row[at].toDouble(), std::abs(row[at].toDouble()) * 1e-6 + 0.001)
            << tq.column.toStdString();
    }
    EXPECT_EQ(TrendQuantities()[TrendQuantityOfColumn("Temp (degC)")].unit, "\u00B0C");
    EXPECT_EQ(TrendQuantities()[TrendQuantityOfColumn("PF")].unit, "");
    EXPECT_TRUE(std::isnan(TrendSample(Block(b), ratios, std::nullopt).back()));
    EXPECT_TRUE(TrendSample(Block(b).mid(0, 53), ratios, std::nullopt).empty());
}

namespace {

struct LogFiles {
    QTemporaryDir dir;
    QString Write(const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    }
};

// Two hours of the program's own hourly log, a line every 30 s, with a stop of ten minutes.
QStringList WriteHourlyLog(const QString& dir) {
    MeteringCsvLog log;
    QDateTime now(QDate(2024, 5, 1), QTime(13, 0, 0), QTimeZone(7200));
    log.SetClock([&] { return now; });
    EXPECT_TRUE(log.Start({QDir(dir).filePath("meter.csv"), 0, LogRotation::Hourly}));
    quint16 temperature = 300;
    for (int i = 0; i < 240; ++i) {
        now = now.addSecs(i == 100 ? 600 : 30);
        RegisterBlock b(MeteringBlockCount);
        b.Set(0x01, quint16(2200 + i)).Set(0x09, quint16(5000 + 10 * i));
        if (i > 0)
            log.TemperatureReceived(temperature++);
        EXPECT_EQ(log.BlockReceived(b.Values(), ScaleRatios{1.0, 2.0}),
                  MeteringCsvLog::Outcome::Written);
    }
    log.Stop();
    return QDir(dir).entryList({"meter-*.csv"}, QDir::Files, QDir::Name);
}

} // namespace

// The program's own hourly files, chosen in any order, and the same log as a spreadsheet
// on a German desktop saves it, read back value for value, with the stop as a gap.
TEST(TrendLogReader, ReadsTheProgramsOwnFilesAndTheirGermanSpreadsheetCopies) {
    LogFiles files;
    const QStringList names = WriteHourlyLog(files.dir.path());
    ASSERT_EQ(names.size(), 3) << names.join(' ').toStdString(); // 13:xx, 14:xx, 15:00..
    QStringList paths;
    for (const QString& n : names)
        paths.prepend(files.dir.filePath(n));

    // The German copy of the first file: semicolons, decimal commas, the desktop's
    // own times, a byte order mark and CR LF.
    QFile first(files.dir.filePath(names.front()));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    QByteArray german = "\xEF\xBB\xBF";
    for (const QByteArray& line : first.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        QList<QByteArray> fields = line.split(',');
        for (QByteArray& f : fields)
            f.replace('.', ',');
        if (!line.startsWith("Time")) {
            const QDateTime t = QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODate);
            fields[0] = t.toLocalTime().toString("dd.MM.yyyy HH:mm:ss").toLatin1();
        }
        german += fields.join(';') + "\r\n";
    }
    const QString germanPath = files.Write("excel.csv", german);

    const TrendLogResult all = ReadTrendLog(paths);
    ASSERT_TRUE(all.log) << all.problem.Text().toStdString();
    const TrendLog& log = *all.log;
    EXPECT_EQ(log.rows, 240);
    EXPECT_EQ(log.history.Size(), 241) << "240 lines and the gap of the stop";
    EXPECT_EQ(log.quantities.size(), TrendQuantityCount());
    const int v1 = TrendQuantityOfColumn("V1 (V)"), i1 = TrendQuantityOfColumn("I1 (A)");
    const int temp = TrendQuantityOfColumn("Temp (degC)");
    const QDateTime start(QDate(2024, 5, 1), QTime(13, 0, 30), QTimeZone(7200));
    EXPECT_EQ(log.history.FirstTime(), start.toMSecsSinceEpoch());
    EXPECT_FLOAT_EQ(log.history.ValueAt(v1, 0), 220.0f);
    EXPECT_FLOAT_EQ(log.history.ValueAt(i1, 0), 10.0f) << "CT ratio 2";
    EXPECT_TRUE(std::isnan(log.history.ValueAt(temp, 0))) << "no temperature read yet";
    EXPECT_FLOAT_EQ(log.history.ValueAt(temp, 1), 30.0f);
    EXPECT_TRUE(std::isnan(log.history.ValueAt(v1, 100))) << "the stop";
    EXPECT_FLOAT_EQ(log.history.ValueAt(v1, 240), 243.9f);

    const TrendLogResult copy = ReadTrendLog({germanPath});
    ASSERT_TRUE(copy.log) << copy.problem.Text().toStdString();
    const TrendHistory& g = copy.log->history;
    ASSERT_EQ(g.Size(), 100) << "the first hour: up to the stop";
    for (qsizetype i = 0; i < g.Size(); ++i) {
        ASSERT_EQ(g.TimeAt(i), log.history.TimeAt(i)) << i;
        for (int q = 0; q < TrendQuantityCount(); ++q) {
            const float a = g.ValueAt(q, i), b = log.history.ValueAt(q, i);
            ASSERT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << i << " " << q;
        }
    }
}

// Files of another kind, and damaged ones, are refused whole with the file, line and reason.
TEST(TrendLogReader, RefusesForeignAndDamagedFilesWithTheLineAndReason) {
    const QByteArray header = "Time,V1 (V),I1 (A),Load,Temp (degC)\n";
    const QByteArray good = "2024-05-01T13:00:00+02:00,230.1,5.000,Reactive,\n";
    struct Case {
        const char* what;
        QByteArray content;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"empty file", "", 0, "empty"},
        {"another program's CSV", "Date,Value\n2024-05-01,3\n", 1, "not a data log"},
        {"a column we never write", "Time,V1 (V),Power factor\n", 1, "\"Power factor\""},
        {"a column twice", "Time,V1 (V),V1 (V)\n", 1, "twice"},
        {"nothing to draw", "Time,Load\n", 1, "none of its columns"},
        {"header only", header, 0, "no values"},
        {"cut last line", header + good + "2024-05-01T13:00:01+02:00,23", 3, "2 fields"},
        {"not a number", header + good + "2024-05-01T13:00:01+02:00,230.x,5,R,\n", 3,
         "\"230.x\" in column \"V1 (V)\""},
        {"not a time", header + "yesterday,230.1,5.000,R,\n", 2, "\"yesterday\" is not a time"},
        {"time goes back", header + good + "2024-05-01T12:59:59+02:00,230,5,R,\n", 3,
         "before the line above"},
        {"open quote", header + good + "2024-05-01T13:00:01+02:00,230,5,\"R,\n", 3,
         "unclosed quote"},
        {"open quote in the header", "Time,\"V1 (V),I1 (A)\n" + good, 1, "unclosed quote"},
        {"a line longer than any log's", header + good + QByteArray(100'000, '7'), 3,
         "line too long"},
        {"a long line with more after it", header + QByteArray(70'000, ',') + "\n" + good, 2,
         "line too long"},
        {"a German copy's point that may be a thousand", "Time;V1 (V)\n01.05.2024 13:00:00;1.231\n",
         2, "\"1.231\" in column \"V1 (V)\" may be meant two ways: type 1231 or 1,231"},
        {"a German copy's time going back outside a clock change",
         "Time;V1 (V)\n01.05.2024 13:00:00;1\n01.05.2024 12:00:00;1\n", 3, "before the line above"},
        {"an exponent word", header + "2024-05-01T13:00:00+02:00,inf,5,R,\n", 2,
         "\"inf\" in column"},
        {"binary", QByteArray("\x00\x01\x02PK\x03\x04", 8), 1, "not a data log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogFiles files;
        const TrendLogResult r = ReadTrendLog({files.Write("meter.csv", c.content)});
        ASSERT_FALSE(r.log);
        EXPECT_EQ(r.problem.file, "meter.csv");
        EXPECT_EQ(r.problem.line, c.line) << r.problem.Text().toStdString();
        EXPECT_TRUE(r.problem.reason.contains(c.reason)) << r.problem.Text().toStdString();
    }

    // A set whose files overlap in time is not one log; a missing file says so.
    LogFiles files;
    const QString a = files.Write("a.csv", header + good);
    const QString b = files.Write("b.csv", header + good);
    const TrendLogResult overlap = ReadTrendLog({a, b});
    ASSERT_FALSE(overlap.log);
    EXPECT_TRUE(overlap.problem.reason.contains("overlap")) << overlap.problem.Text().toStdString();
    const TrendLogResult missing = ReadTrendLog({files.dir.filePath("gone.csv")});
    ASSERT_FALSE(missing.log);
    EXPECT_TRUE(missing.problem.Text().startsWith("gone.csv: cannot be read"))
        << missing.problem.Text().toStdString();
}

// What a spreadsheet on a German desktop may write besides: points between thousands with a
// decimal comma, and, without offsets, the hour the clock is set back in autumn twice. The
// repeated hour is read as the time line had it, and the reader says what it decided.
TEST(TrendLogReader, ReadsThousandsPointsAndTheHourThatComesTwice) {
    const QTimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(berlin.isValid());
    struct Case {
        const char* what;
        QByteArray rows;
        QStringList utc; // the instants the rows are placed at
        QList<float> volts;
        bool noted;
    };
    const Case cases[] = {
        {"points between thousands",
         "25.10.2026 01:00:00;1.231,5\n25.10.2026 01:00:05;12.345.678,25\n25.10.2026 "
         "01:00:10;-1.5\n",
         {"2026-10-24T23:00:00Z", "2026-10-24T23:00:05Z", "2026-10-24T23:00:10Z"},
         {1231.5f, 12345678.25f, -1.5f},
         false},
        {"the autumn hour twice",
         "25.10.2026 02:00:00;1\n25.10.2026 02:59:00;2\n25.10.2026 02:00:00;3\n25.10.2026 "
         "02:30:00;4\n25.10.2026 03:00:00;5\n",
         {"2026-10-25T00:00:00Z", "2026-10-25T00:59:00Z", "2026-10-25T01:00:00Z",
          "2026-10-25T01:30:00Z", "2026-10-25T02:00:00Z"},
         {1, 2, 3, 4, 5},
         true},
        {"the skipped spring hour",
         "29.03.2026 01:59:00;1\n29.03.2026 03:00:00;2\n",
         {"2026-03-29T00:59:00Z", "2026-03-29T01:00:00Z"},
         {1, 2},
         false},
    };
    const int v1 = TrendQuantityOfColumn("V1 (V)");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogFiles files;
        const QString path = files.Write("copy.csv", "Time;V1 (V)\r\n" + c.rows);
        const TrendLogResult r = ReadTrendLog({path}, nullptr, berlin);
        ASSERT_TRUE(r.log) << r.problem.Text().toStdString();
        const TrendHistory& h = r.log->history;
        ASSERT_EQ(r.log->rows, c.volts.size());
        qsizetype row = 0;
        for (qsizetype i = 0; i < h.Size(); ++i) {
            if (std::isnan(h.ValueAt(v1, i)))
                continue; // a gap the history put in
            ASSERT_LT(row, c.utc.size());
            EXPECT_EQ(h.TimeAt(i),
                      QDateTime::fromString(c.utc[row], Qt::ISODate).toMSecsSinceEpoch())
                << row;
            EXPECT_FLOAT_EQ(h.ValueAt(v1, i), c.volts[row]) << row;
            ++row;
        }
        EXPECT_EQ(row, c.utc.size());
        EXPECT_EQ(!r.log->notes.isEmpty(), c.noted) << r.log->notes.join('|').toStdString();
    }
}

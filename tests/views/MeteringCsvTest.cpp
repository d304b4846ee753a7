#include "MeteringCsv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <unistd.h>

namespace {

// A block 0x130 with every register 0 except the ones given (offset from 0x130).
QList<quint16> Block(std::initializer_list<std::pair<int, quint16>> regs) {
    QList<quint16> v(MeteringBlockCount, 0);
    for (const auto& [offset, value] : regs)
        v[offset] = value;
    return v;
}

QStringList Lines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {"<cannot read " + path + ">"};
    QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.isEmpty() || text.endsWith('\n')) << "cut line in " << path.toStdString();
    text.chop(1);
    return text.split('\n');
}

QDateTime At(int day, int hour, int minute, int second) {
    return QDateTime(QDate(2024, 5, day), QTime(hour, minute, second));
}

} // namespace

// A known block in a locale with a decimal comma: every column has its unit in the header,
// a point for decimals, and the window's scaling by PT and CT.
TEST(MeteringCsv, ARowFromAKnownBlockReadsTheSameInEveryLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QList<quint16> block = Block({{0x00, 5001},   // 50.01 Hz
                                        {0x01, 2292},   // 229.2 V secondary
                                        {0x09, 5000},   // 5 A secondary
                                        {0x0E, 0xFF9C}, // -100 W
                                        {0x16, 0xFF9C}, // 65436 VA, never negative
                                        {0x1A, 0xFC18}, // PF -1
                                        {0x1E, 15},     // 1.5 %
                                        {0x20, 'L'},
                                        {0x26, 0x0001}, // 6553.6 kWh
                                        {0x34, 0xFFFF},
                                        {0x35, 0xFFFF}, // -0.1 kvarh
                                        {0x21, 1234}});
    const QDateTime time(QDate(2024, 5, 1), QTime(13, 45, 7), QTimeZone(7200));
    const QString row = MeteringCsvRow(time, block, ScaleRatios{100.0, 20.0}, quint16(0xFF38));
    QLocale::setDefault(saved);

    const QStringList header = MeteringCsvHeader().split(',');
    const QStringList fields = row.split(',');
    ASSERT_EQ(fields.size(), header.size()) << row.toStdString();
    auto field = [&](const char* name) { return fields.value(header.indexOf(name)); };
    EXPECT_EQ(field("F (Hz)"), "50.01");
    EXPECT_EQ(field("V1 (V)"), "22920.0");
    EXPECT_EQ(field("V2 (V)"), "0.0");
    EXPECT_EQ(field("I1 (A)"), "100.000");
    EXPECT_EQ(field("P1 (W)"), "-200000");
    EXPECT_EQ(field("S1 (VA)"), "130872000");
    EXPECT_EQ(field("PF1"), "-1.000");
    EXPECT_EQ(field("U_unbl (%)"), "1.5");
    EXPECT_EQ(field("Load"), "Reactive");
    EXPECT_EQ(field("Ep_imp (kWh)"), "6553.6");
    EXPECT_EQ(field("Eq_net (kvarh)"), "-0.1");
    EXPECT_EQ(field("Dmd_P (W)"), "2468000");
    EXPECT_EQ(field("Temp (degC)"), "-20.0");
    EXPECT_EQ(header.first(), "Time");
    EXPECT_EQ(header.size(), 46);
    // Local time with its offset: it names the same instant wherever the log is read.
    const QString stamp = fields.first();
    EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$)")
                    .match(stamp)
                    .hasMatch())
        << stamp.toStdString();
    EXPECT_EQ(QDateTime::fromString(stamp, Qt::ISODate), time);

    // A load-type character that is the separator itself stays one field; a control
    // character never reaches the line.
    const QString comma = MeteringCsvRow(time, Block({{0x20, ','}}), {}, std::nullopt);
    EXPECT_TRUE(comma.contains(",\",\",")) << comma.toStdString();
    for (const quint16 control : {0x000A, 0x000D, 0x0009, 0x001B, 0x007F, 0x0085}) {
        const QString row = MeteringCsvRow(time, Block({{0x20, control}}), {}, std::nullopt);
        const QString hex = QStringLiteral("0x%1").arg(control, 4, 16, QLatin1Char('0')).toUpper();
        EXPECT_EQ(row.split(',').value(header.indexOf("Load")).toUpper(), hex) << control;
        EXPECT_FALSE(std::any_of(row.begin(), row.end(), [](QChar c) { return !c.isPrint(); }))
            << control;
    }
    EXPECT_TRUE(comma.endsWith(',')); // no temperature read yet
    EXPECT_TRUE(MeteringCsvRow(time, Block({}).mid(0, 53), {}, std::nullopt).isEmpty());
}

TEST(MeteringCsv, LogsEveryReplyOrAtMostOncePerIntervalAndBeginsNewFilesOnTheHour) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDateTime now = At(1, 13, 59, 55);
    MeteringCsvLog log;
    log.SetClock([&] { return now; });
    log.SetTicks([&] { return now.toMSecsSinceEpoch(); }); // no jumps here
    ASSERT_TRUE(log.Start({dir.filePath("meter.csv"), 10, LogRotation::Hourly}))
        << log.LastError().toStdString();
    log.TemperatureReceived(250);

    using O = MeteringCsvLog::Outcome;
    EXPECT_EQ(log.BlockReceived(Block({}), {}), O::Written);
    now = now.addSecs(5);
    EXPECT_EQ(log.BlockReceived(Block({}), {}), O::Skipped); // within the interval
    now = now.addSecs(5);
    EXPECT_EQ(log.BlockReceived(Block({}), {}), O::Written); // 14:00:05, a new hour
    now = now.addSecs(10);
    EXPECT_EQ(log.BlockReceived(Block({}), {}), O::Written);
    EXPECT_EQ(log.Rows(), 3);

    const QStringList first = Lines(dir.filePath("meter-2024-05-01_13.csv"));
    const QStringList second = Lines(dir.filePath("meter-2024-05-01_14.csv"));
    ASSERT_EQ(first.size(), 2);
    ASSERT_EQ(second.size(), 3);
    EXPECT_EQ(first[0], MeteringCsvHeader());
    EXPECT_EQ(second[0], MeteringCsvHeader());
    EXPECT_TRUE(second[2].endsWith(",25.0"));

    // Started again on the same file: appended to, without a second header.
    log.Stop();
    EXPECT_EQ(log.BlockReceived(Block({}), {}), O::Off);
    ASSERT_TRUE(log.Start({dir.filePath("meter.csv"), 0, LogRotation::Hourly}));
    EXPECT_EQ(log.BlockReceived(Block({}), {}), O::Written);
    EXPECT_EQ(Lines(dir.filePath("meter-2024-05-01_14.csv")).size(), 4);

    EXPECT_EQ(RotatedFileName("/logs/meter.csv", LogRotation::Daily, At(2, 0, 0, 1)),
              "/logs/meter-2024-05-02.csv");
    EXPECT_EQ(RotatedFileName("/logs/meter", LogRotation::Daily, At(2, 0, 0, 1)),
              "/logs/meter-2024-05-02.csv");
    EXPECT_EQ(RotatedFileName("/logs/meter.csv", LogRotation::None, At(2, 0, 0, 1)),
              "/logs/meter.csv");
}

// "At most once every N s" spaces the lines on the monotonic clock; the wall clock only
// stamps them, so setting it back or forward neither stops nor floods the log.
TEST(MeteringCsv, TheIntervalHoldsWhenTheWallClockJumps) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Step {
        qint64 wallJumpS; // the wall clock set by this much before the reply
        qint64 elapsedS;  // time that really passed
        MeteringCsvLog::Outcome outcome;
    };
    using O = MeteringCsvLog::Outcome;
    const Step steps[] = {
        {0, 0, O::Written}, {0, 10, O::Written},    {-3600, 10, O::Written}, {0, 5, O::Skipped},
        {0, 5, O::Written}, {+3600, 1, O::Skipped}, {-86400, 9, O::Written}, {0, 9, O::Skipped},
    };
    QDateTime now = At(1, 13, 0, 0);
    qint64 tick = 1'000'000;
    MeteringCsvLog log;
    log.SetClock([&] { return now; });
    log.SetTicks([&] { return tick; });
    ASSERT_TRUE(log.Start({dir.filePath("meter.csv"), 10, LogRotation::None}));
    for (std::size_t n = 0; n < std::size(steps); ++n) {
        now = now.addSecs(steps[n].wallJumpS + steps[n].elapsedS);
        tick += steps[n].elapsedS * 1000;
        EXPECT_EQ(log.BlockReceived(Block({}), {}), steps[n].outcome) << "step " << n;
    }
    EXPECT_EQ(log.Rows(), 5);
}

// A full disk and a removed folder stop the log with the reason; the file keeps whole
// lines only.
TEST(MeteringCsv, AFailingWriteStopsTheLogAndSaysWhy) {
    MeteringCsvLog full;
    EXPECT_FALSE(full.Start({"/dev/full", 0, LogRotation::None}));
    EXPECT_TRUE(full.LastError().contains("/dev/full")) << full.LastError().toStdString();
    EXPECT_FALSE(full.Active());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("day"));
    const QString path = dir.filePath("day/meter.csv");
    MeteringCsvLog log;
    ASSERT_TRUE(log.Start({path, 0, LogRotation::None}));
    EXPECT_EQ(log.BlockReceived(Block({}), {}), MeteringCsvLog::Outcome::Written);
    EXPECT_EQ(Lines(path).size(), 2);
    ASSERT_TRUE(QDir(dir.filePath("day")).removeRecursively());
    EXPECT_EQ(log.BlockReceived(Block({}), {}), MeteringCsvLog::Outcome::Failed);
    EXPECT_FALSE(log.Active());
    EXPECT_TRUE(log.LastError().contains("removed")) << log.LastError().toStdString();
    EXPECT_EQ(log.Rows(), 1);
    EXPECT_EQ(log.BlockReceived(Block({}), {}), MeteringCsvLog::Outcome::Off);
}

// The name the operator chose must still lead to the file written: a log saved over by an
// editor, removed and made again, or renamed aside stops at the next row instead of filling
// a file nobody finds; a full disk says so in the system's words. Either way the file ends
// with whole rows, and the log says how many it wrote.
TEST(MeteringCsv, ALogWhoseFileIsReplacedOrWhoseDiskFillsStopsAndSaysWhy) {
    struct Case {
        const char* what;
        std::function<void(const QString& path, MeteringCsvLog& log)> after2Rows;
        const char* reason;
        int linesLeft; // in the file under the name afterwards, -1: none there
    };
    auto write = [](const QString& path, const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    const Case cases[] = {
        {"removed and made again",
         [&](const QString& p, MeteringCsvLog&) {
             ASSERT_TRUE(QFile::remove(p));
             write(p, "an editor's text\n");
         },
         "another file now", 1},
        {"saved over through a temporary file",
         [&](const QString& p, MeteringCsvLog&) {
             write(p + ".tmp", "Time\n");
             ASSERT_EQ(::rename(QFile::encodeName(p + ".tmp").constData(),
                                QFile::encodeName(p).constData()),
                       0);
         },
         "another file now", 1},
        {"renamed aside",
         [](const QString& p, MeteringCsvLog&) { ASSERT_TRUE(QFile::rename(p, p + ".old")); },
         "is gone", -1},
        {"a disk that fills in the middle of a row",
         [](const QString&, MeteringCsvLog& log) {
             log.SetWriter([](int fd, const char* data, qint64 size) -> qint64 {
                 if (size > 10)
                     return qint64(::write(fd, data, 10)); // part of the row fits
                 errno = ENOSPC;
                 return -1;
             });
         },
         "No space left on device", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath("meter.csv");
        MeteringCsvLog log;
        ASSERT_TRUE(log.Start({path, 0, LogRotation::None}));
        for (int i = 0; i < 2; ++i)
            ASSERT_EQ(log.BlockReceived(Block({}), {}), MeteringCsvLog::Outcome::Written);
        c.after2Rows(path, log);
        EXPECT_EQ(log.BlockReceived(Block({}), {}), MeteringCsvLog::Outcome::Failed);
        EXPECT_FALSE(log.Active());
        EXPECT_EQ(log.Rows(), 2);
        EXPECT_TRUE(log.LastError().contains(path)) << log.LastError().toStdString();
        EXPECT_TRUE(log.LastError().contains(c.reason)) << log.LastError().toStdString();
        if (c.linesLeft >= 0)
            EXPECT_EQ(Lines(path).size(), c.linesLeft);
        else
            EXPECT_FALSE(QFileInfo::exists(path));
    }

    // The system's words for a device that is always full, not "Unknown error".
    MeteringCsvLog full;
    EXPECT_FALSE(full.Start({"/dev/full", 0, LogRotation::None}));
    EXPECT_TRUE(full.LastError().contains("No space left on device"))
        << full.LastError().toStdString();
}

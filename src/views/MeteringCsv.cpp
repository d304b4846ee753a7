#include "MeteringCsv.h"

#include "ValueText.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Kind { Volt, Amp, Power, Factor, Hertz, Percent, Load, Energy };

struct Column {
    const char* name; // with its unit
    int offset;       // register - 0x130
    Kind kind;
    int powerKind = PowerWatt;
};

// The metering window's values in the order a technician reads them.
constexpr Column kColumns[] = {
    {"V1 (V)", 0x01, Kind::Volt},
    {"V2 (V)", 0x02, Kind::Volt},
    {"V3 (V)", 0x03, Kind::Volt},
    {"Vlnavg (V)", 0x04, Kind::Volt},
    {"V12 (V)", 0x05, Kind::Volt},
    {"V23 (V)", 0x06, Kind::Volt},
    {"V31 (V)", 0x07, Kind::Volt},
    {"Vllavg (V)", 0x08, Kind::Volt},
    {"I1 (A)", 0x09, Kind::Amp},
    {"I2 (A)", 0x0A, Kind::Amp},
    {"I3 (A)", 0x0B, Kind::Amp},
    {"Iavg (A)", 0x0C, Kind::Amp},
    {"In (A)", 0x0D, Kind::Amp},
    {"P1 (W)", 0x0E, Kind::Power, PowerWatt},
    {"P2 (W)", 0x0F, Kind::Power, PowerWatt},
    {"P3 (W)", 0x10, Kind::Power, PowerWatt},
    {"Psum (W)", 0x11, Kind::Power, PowerWatt},
    {"Q1 (var)", 0x12, Kind::Power, PowerVar},
    {"Q2 (var)", 0x13, Kind::Power, PowerVar},
    {"Q3 (var)", 0x14, Kind::Power, PowerVar},
    {"Qsum (var)", 0x15, Kind::Power, PowerVar},
    {"S1 (VA)", 0x16, Kind::Power, PowerVoltAmpere},
    {"S2 (VA)", 0x17, Kind::Power, PowerVoltAmpere},
    {"S3 (VA)", 0x18, Kind::Power, PowerVoltAmpere},
    {"Ssum (VA)", 0x19, Kind::Power, PowerVoltAmpere},
    {"PF1", 0x1A, Kind::Factor},
    {"PF2", 0x1B, Kind::Factor},
    {"PF3", 0x1C, Kind::Factor},
    {"PF", 0x1D, Kind::Factor},
    {"F (Hz)", 0x00, Kind::Hertz},
    {"U_unbl (%)", 0x1E, Kind::Percent},
    {"I_unbl (%)", 0x1F, Kind::Percent},
    {"Load", 0x20, Kind::Load},
    {"Ep_imp (kWh)", 0x26, Kind::Energy},
    {"Ep_exp (kWh)", 0x28, Kind::Energy},
    {"Eq_imp (kvarh)", 0x2A, Kind::Energy},
    {"Eq_exp (kvarh)", 0x2C, Kind::Energy},
    {"Ep_total (kWh)", 0x2E, Kind::Energy},
    {"Ep_net (kWh)", 0x30, Kind::Energy},
    {"Eq_total (kvarh)", 0x32, Kind::Energy},
    {"Eq_net (kvarh)", 0x34, Kind::Energy},
    {"Dmd_P (W)", 0x21, Kind::Power, PowerWatt},
    {"Dmd_Q (var)", 0x22, Kind::Power, PowerVar},
    {"Dmd_S (VA)", 0x23, Kind::Power, PowerVoltAmpere},
};

QString Number(double value, int decimals) {
    return FixedText(value, decimals, QLocale::c());
}

QString Field(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

double ColumnNumber(const Column& c, const QList<quint16>& v, const ScaleRatios& r) {
    const quint16 reg = v[c.offset];
    switch (c.kind) {
    case Kind::Volt:
        return PrimaryVoltage(reg, r.pt);
    case Kind::Amp:
        return PrimaryCurrent(reg, r.ct);
    case Kind::Power:
        return PrimaryPower(reg, c.powerKind, r.pt, r.ct);
    case Kind::Factor:
        return static_cast<qint16>(reg) / 1000.0;
    case Kind::Hertz:
        return reg / 100.0;
    case Kind::Percent:
        return reg / 10.0;
    case Kind::Energy:
        return static_cast<qint32>((quint32(reg) << 16) | v[c.offset + 1]) / 10.0;
    case Kind::Load:
        break;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

int Decimals(Kind kind) {
    switch (kind) {
    case Kind::Amp:
    case Kind::Factor:
        return 3;
    case Kind::Hertz:
        return 2;
    case Kind::Power:
        return 0;
    default:
        return 1;
    }
}

QString ColumnText(const Column& c, const QList<quint16>& v, const ScaleRatios& r) {
    if (c.kind == Kind::Load) {
        // The meter sends any byte as its load letter; a control character would break the
        // line (a line feed ends the row for every reader), so such a byte is logged as the
        // register it came in.
        const quint16 reg = v[c.offset];
        const QString text = LoadTypeText(reg);
        for (const QChar ch : text)
            if (!ch.isPrint())
                return QStringLiteral("0x") +
                       QString::number(reg, 16).toUpper().rightJustified(4, QLatin1Char('0'));
        return Field(text);
    }
    return Number(ColumnNumber(c, v, r), Decimals(c.kind));
}

} // namespace

QStringList MeteringCsvColumns() {
    QStringList names;
    for (const Column& c : kColumns)
        names << QString::fromLatin1(c.name);
    names << QStringLiteral("Temp (degC)");
    return names;
}

double MeteringCsvNumber(int column, const QList<quint16>& block, const ScaleRatios& ratios) {
    if (column < 0 || column >= int(std::size(kColumns)) || block.size() < MeteringBlockCount)
        return std::numeric_limits<double>::quiet_NaN();
    return ColumnNumber(kColumns[column], block, ratios);
}

double TemperatureCelsius(quint16 reg) {
    return static_cast<qint16>(reg) / 10.0;
}

QString MeteringCsvHeader() {
    return (QStringList{QStringLiteral("Time")} + MeteringCsvColumns()).join(QLatin1Char(','));
}

QString IsoLocalTime(const QDateTime& time) {
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString MeteringCsvRow(const QDateTime& time, const QList<quint16>& block,
                       const ScaleRatios& ratios, std::optional<quint16> temperature) {
    if (block.size() < MeteringBlockCount)
        return {};
    QStringList fields{IsoLocalTime(time)};
    for (const Column& c : kColumns)
        fields << ColumnText(c, block, ratios);
    fields << (temperature ? Number(TemperatureCelsius(*temperature), 1) : QString());
    return fields.join(QLatin1Char(','));
}

QString RotatedFileName(const QString& fileName, LogRotation rotation, const QDateTime& time) {
    if (rotation == LogRotation::None)
        return fileName;
    const QFileInfo info(fileName);
    const QString stamp = time.toLocalTime().toString(rotation == LogRotation::Daily
                                                          ? QStringLiteral("yyyy-MM-dd")
                                                          : QStringLiteral("yyyy-MM-dd_HH"));
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("csv") : info.suffix();
    return info.dir().filePath(info.completeBaseName() + QLatin1Char('-') + stamp +
                               QLatin1Char('.') + suffix);
}

MeteringCsvLog::MeteringCsvLog()
    : clock_([] { return QDateTime::currentDateTime(); }), ticks_([] {
          return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count());
      }),
      writer_([](int fd, const char* data, qint64 size) {
          return qint64(::write(fd, data, size_t(size)));
      }) {}

bool MeteringCsvLog::Start(const MeteringLogSettings& settings) {
    Stop();
    settings_ = settings;
    rows_ = 0;
    lastRowTick_.reset();
    error_.clear();
    return OpenFor(clock_());
}

void MeteringCsvLog::Stop() {
    if (file_.isOpen())
        file_.close();
}

bool MeteringCsvLog::OpenFor(const QDateTime& now) {
    if (file_.isOpen())
        file_.close();
    file_.setFileName(RotatedFileName(settings_.fileName, settings_.rotation, now));
    // Unbuffered: every line goes to the system at once, and a full disk shows at the
    // write of the line it cut, not later at some flush.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        error_ =
            QStringLiteral("Cannot open \"%1\": %2").arg(file_.fileName(), file_.errorString());
        return false;
    }
    struct stat st {};
    if (::fstat(file_.handle(), &st) != 0) {
        error_ = QStringLiteral("Cannot open \"%1\": %2")
                     .arg(file_.fileName(), QString::fromLocal8Bit(std::strerror(errno)));
        file_.close();
        return false;
    }
    device_ = quint64(st.st_dev);
    inode_ = quint64(st.st_ino);
    if (st.st_size == 0 && !WriteLine(MeteringCsvHeader().toLatin1() + '\n')) {
        file_.close();
        return false;
    }
    return true;
}

bool MeteringCsvLog::StillThere() {
    struct stat st {};
    if (::stat(QFile::encodeName(file_.fileName()).constData(), &st) != 0) {
        error_ = QStringLiteral("\"%1\" is gone (the file or its folder was removed or renamed)")
                     .arg(file_.fileName());
        return false;
    }
    if (quint64(st.st_dev) != device_ || quint64(st.st_ino) != inode_) {
        error_ = QStringLiteral("\"%1\" is another file now (the log was replaced or saved over "
                                "under its name)")
                     .arg(file_.fileName());
        return false;
    }
    return true;
}

bool MeteringCsvLog::WriteLine(const QByteArray& line) {
    // A file removed, renamed aside or replaced still takes writes, into a file nobody
    // will find under the name the operator chose: that stops the log.
    if (!StillThere())
        return false;
    const int fd = file_.handle();
    const off_t before = ::lseek(fd, 0, SEEK_END);
    qint64 done = 0;
    while (done < line.size()) {
        const qint64 n = writer_(fd, line.constData() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int why = n < 0 ? errno : ENOSPC;
            error_ = QStringLiteral("Cannot write to \"%1\": %2")
                         .arg(file_.fileName(), QString::fromLocal8Bit(std::strerror(why)));
            // Never leave a cut line behind: the file ends with the last whole line.
            if (done > 0 && before >= 0)
                (void)!::ftruncate(fd, before);
            return false;
        }
        done += n;
    }
    return true;
}

MeteringCsvLog::Outcome MeteringCsvLog::Fail() {
    Stop();
    return Outcome::Failed;
}

MeteringCsvLog::Outcome MeteringCsvLog::BlockReceived(const QList<quint16>& block,
                                                      const ScaleRatios& ratios) {
    if (!file_.isOpen())
        return Outcome::Off;
    // The interval runs on the monotonic clock: the wall clock set back by an hour (or by
    // the switch from summer time) must not stop the log for that hour.
    const qint64 tick = ticks_();
    if (settings_.minIntervalS > 0 && lastRowTick_ &&
        tick - *lastRowTick_ < qint64(settings_.minIntervalS) * 1000)
        return Outcome::Skipped;
    const QDateTime now = clock_();
    const QString row = MeteringCsvRow(now, block, ratios, temperature_);
    if (row.isEmpty())
        return Outcome::Skipped;
    const QString wanted = RotatedFileName(settings_.fileName, settings_.rotation, now);
    if (wanted != file_.fileName() && !OpenFor(now))
        return Fail();
    if (!WriteLine(row.toUtf8() + '\n'))
        return Fail();
    ++rows_;
    lastRowTick_ = tick;
    return Outcome::Written;
}

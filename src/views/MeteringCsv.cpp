#include "MeteringCsv.h"

#include "ValueText.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>

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

QString ColumnText(const Column& c, const QList<quint16>& v, const ScaleRatios& r) {
    const quint16 reg = v[c.offset];
    switch (c.kind) {
    case Kind::Volt:
        return Number(PrimaryVoltage(reg, r.pt), 1);
    case Kind::Amp:
        return Number(PrimaryCurrent(reg, r.ct), 3);
    case Kind::Power:
        return Number(PrimaryPower(reg, c.powerKind, r.pt, r.ct), 0);
    case Kind::Factor:
        return Number(static_cast<qint16>(reg) / 1000.0, 3);
    case Kind::Hertz:
        return Number(reg / 100.0, 2);
    case Kind::Percent:
        return Number(reg / 10.0, 1);
    case Kind::Load: {
        // The meter sends any byte as its load letter; a control character would break the
        // line (a line feed ends the row for every reader), so such a byte is logged as the
        // register it came in.
        const QString text = LoadTypeText(reg);
        for (const QChar ch : text)
            if (!ch.isPrint())
                return QStringLiteral("0x") +
                       QString::number(reg, 16).toUpper().rightJustified(4, QLatin1Char('0'));
        return Field(text);
    }
    case Kind::Energy: {
        const auto value = static_cast<qint32>((quint32(reg) << 16) | v[c.offset + 1]);
        return Number(value / 10.0, 1);
    }
    }
    return {};
}

} // namespace

QString MeteringCsvHeader() {
    QStringList names{QStringLiteral("Time")};
    for (const Column& c : kColumns)
        names << QString::fromLatin1(c.name);
    names << QStringLiteral("Temp (degC)");
    return names.join(QLatin1Char(','));
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
    fields << (temperature ? Number(static_cast<qint16>(*temperature) / 10.0, 1) : QString());
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
    if (file_.size() == 0 && !WriteLine(MeteringCsvHeader().toLatin1() + '\n')) {
        file_.close();
        return false;
    }
    return true;
}

bool MeteringCsvLog::WriteLine(const QByteArray& line) {
    // A file whose folder was removed still takes writes, into nothing anyone can read:
    // that must stop the log, not fill a deleted file.
    if (!QFileInfo::exists(file_.fileName())) {
        error_ = QStringLiteral("\"%1\" is gone (the file or its folder was removed)")
                     .arg(file_.fileName());
        return false;
    }
    const qint64 before = file_.size();
    if (file_.write(line) == line.size())
        return true;
    error_ =
        QStringLiteral("Cannot write to \"%1\": %2").arg(file_.fileName(), file_.errorString());
    // Never leave a cut line behind: the file ends with the last whole line.
    if (!file_.isSequential())
        file_.resize(before);
    return false;
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

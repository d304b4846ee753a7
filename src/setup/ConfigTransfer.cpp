#include "ConfigTransfer.h"

#include "ChangedFields.h"

#include "CoefficientMessages.h"
#include "MeterSearch.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

constexpr quint16 kVersionStart = 0x510;
constexpr int kVersionCount = 4;

using Result = MeterApplyOutcome::Result;

MeterApplyOutcome Outcome(int address, Result result, const QString& detail = {}) {
    return {address, result, detail};
}

} // namespace

std::optional<MeterConfiguration> ReadMeterConfiguration(RegisterLink& link, int address,
                                                         const QString& model, const QDateTime& now,
                                                         QString* why, bool withCoefficients) {
    const auto version = link.Read(address, kVersionStart, kVersionCount);
    const auto settings =
        version ? link.Read(address, MeterSettingsStart, MeterSettingsCount) : std::nullopt;
    const auto alarms =
        settings ? link.Read(address, AlarmParamBlockStart, AlarmParamBlockCount) : std::nullopt;
    const auto coefficients = alarms && withCoefficients
                                  ? link.Read(address, CoefficientBlockStart, CoefficientBlockCount)
                                  : std::nullopt;
    if (!alarms || (withCoefficients && !coefficients)) {
        if (why)
            *why = QStringLiteral("the meter at address %1 does not answer the read of %2")
                       .arg(address)
                       .arg(!version    ? QStringLiteral("its version (0x510)")
                            : !settings ? QStringLiteral("its settings (0x100)")
                            : !alarms   ? QStringLiteral("its alarm configuration (0x330)")
                                        : QStringLiteral("its coefficients (0x51B)"));
        return std::nullopt;
    }
    auto config = ConfigFromMeter(*settings, *alarms, VersionText(*version), model, address, now);
    if (config && coefficients)
        config->coefficients = CoefficientsFromBlock(*coefficients);
    return config;
}

QString ApplyResultText(Result result) {
    switch (result) {
    case Result::Verified:
        return QStringLiteral("verified");
    case Result::Differs:
        return QStringLiteral("differs");
    case Result::NoAnswer:
        return QStringLiteral("no answer");
    case Result::OtherKind:
        return QStringLiteral("other kind");
    }
    return {};
}

QString ApplyOutcomeLine(const MeterApplyOutcome& o) {
    QString line = QStringLiteral("address %1: %2").arg(o.address).arg(ApplyResultText(o.result));
    if (!o.detail.isEmpty())
        line += QStringLiteral(": ") + o.detail;
    return line;
}

MeterApplyOutcome ApplyMeterConfiguration(RegisterLink& link, const MeterConfiguration& config,
                                          int address, bool includeComm, bool writeCoefficients) {
    const auto version = link.Read(address, kVersionStart, kVersionCount);
    if (!version)
        return Outcome(address, Result::NoAnswer);
    // A meter that tells no version is taken at its word that it is a meter of ours.
    const QString family = FirmwareFamily(VersionText(*version));
    const QString fileFamily = FirmwareFamily(config.firmware);
    if (!family.isEmpty() && !fileFamily.isEmpty() && family != fileFamily)
        return Outcome(address, Result::OtherKind,
                       QStringLiteral("firmware %1, the file is from firmware %2")
                           .arg(VersionText(*version), config.firmware));
    const auto now = link.Read(address, MeterSettingsStart, MeterSettingsCount);
    if (!now || now->size() < MeterSettingsCount)
        return Outcome(address, Result::NoAnswer);

    MeterSettingsRegisters current{};
    std::copy_n(now->begin(), MeterSettingsCount, current.begin());
    const MeterSettingsRegisters settings = SettingsToWrite(config, current, includeComm);
    const bool coefficients = writeCoefficients && config.coefficients;
    QStringList messages;
    if (coefficients)
        messages << CoefficientWriteMessages(*config.coefficients);
    messages << ConfigWriteMessages(settings, config.alarms);
    QString unconfirmed;
    for (const QString& message : messages) {
        if (!link.Write(address, message)) {
            // Nothing after a refused write goes out; the read-back shows what the meter
            // took.
            unconfirmed = QStringLiteral("the write at 0x%1 was not confirmed")
                              .arg(message.mid(6, 5).remove(QLatin1Char(',')).toLower());
            break;
        }
    }
    int readAt = address;
    if (unconfirmed.isEmpty() && includeComm) {
        // The meter answered the write at its old address and baud rate; it listens at the
        // new ones from now on.
        readAt = settings[0x01];
        if (settings[0x02] != current[0x02])
            link.FollowBaudRate(settings[0x02]);
    }
    const auto readSettings = link.Read(readAt, MeterSettingsStart, MeterSettingsCount);
    const auto readAlarms =
        readSettings ? link.Read(readAt, AlarmParamBlockStart, AlarmParamBlockCount) : std::nullopt;
    if (!readAlarms)
        return Outcome(address, Result::NoAnswer,
                       (unconfirmed.isEmpty() ? QString() : unconfirmed + QStringLiteral("; ")) +
                           QStringLiteral("no answer to the read-back"));
    QStringList differing = DifferingRegisters(settings, config.alarms, *readSettings, *readAlarms);
    if (coefficients) {
        const auto block = link.Read(readAt, CoefficientBlockStart, CoefficientBlockCount);
        const auto read = block ? CoefficientsFromBlock(*block) : std::nullopt;
        if (!read)
            return Outcome(address, Result::NoAnswer, QStringLiteral("no answer to the read-back"));
        int k = 0;
        for (const CoefficientRow& row : CoefficientRows()) {
            if ((*read)[k] != (*config.coefficients)[k])
                differing << QStringLiteral("0x%1 (%2)")
                                 .arg(row.reg, 3, 16, QLatin1Char('0'))
                                 .arg(QString::fromUtf8(row.editCaption).remove(u'\uFF1A'));
            ++k;
        }
    }
    if (differing.isEmpty() && unconfirmed.isEmpty())
        return Outcome(address, Result::Verified);
    QString detail = differing.join(QStringLiteral(", "));
    if (!unconfirmed.isEmpty())
        detail = unconfirmed + (detail.isEmpty() ? QString() : QStringLiteral("; ") + detail);
    return Outcome(address, Result::Differs, detail);
}

std::optional<QList<int>> ParseAddressList(const QString& text, QString* why) {
    static const QRegularExpression item(
        QStringLiteral(R"(^\s*(\d{1,3})\s*(?:-\s*(\d{1,3})\s*)?$)"));
    auto fail = [&](const QString& reason) -> std::optional<QList<int>> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    QList<int> addresses;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const auto m = item.match(part);
        if (!m.hasMatch())
            return fail(QCoreApplication::translate("ConfigTransfer",
                                                    "\"%1\" is not an address or a range like 1-20")
                            .arg(part.trimmed()));
        const int first = m.captured(1).toInt();
        const int last = m.captured(2).isEmpty() ? first : m.captured(2).toInt();
        if (first < 1 || last > 247 || last < first)
            return fail(QCoreApplication::translate(
                            "ConfigTransfer", "\"%1\" is not within 1..247 (first not above last)")
                            .arg(part.trimmed()));
        for (int a = first; a <= last; ++a) {
            if (addresses.contains(a))
                return fail(
                    QCoreApplication::translate("ConfigTransfer", "address %1 is listed twice")
                        .arg(a));
            addresses << a;
        }
    }
    return addresses;
}

QStringList RestoreChanges(const QList<ConfigComparison>& fileAgainstMeter) {
    // Row by row, so that a caption the table holds twice cannot take another row's value.
    QStringList changes;
    for (const ConfigComparison& row : fileAgainstMeter)
        if (row.differs)
            changes << ChangedFields({{row.name, row.rightText}}, {{row.name, row.leftText}});
    return changes;
}

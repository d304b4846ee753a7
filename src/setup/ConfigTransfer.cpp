#include "ConfigTransfer.h"

#include "ChangedFields.h"

#include "CoefficientMessages.h"
#include "MeterSearch.h"
#include "TrafficRows.h"

#include <QCoreApplication>
#include <QMap>
#include <QRegularExpression>

namespace {

constexpr quint16 kVersionStart = 0x510;
constexpr int kVersionCount = 4;
constexpr int kAddressOffset = 0x01;
constexpr int kBaudOffset = 0x02;

using Result = MeterApplyOutcome::Result;

// What a read failed for, as the sentences of the configuration commands say it.
QString ReadFailureText(int address, const QString& what, const LinkFailure& failure) {
    switch (failure.kind) {
    case LinkFailure::Kind::Exception:
        return QStringLiteral("the meter at address %1 refused the read of %2: %3")
            .arg(QString::number(address), what, LinkFailureText(failure));
    case LinkFailure::Kind::Damaged:
        return QStringLiteral("the meter at address %1 gave a damaged reply to the read of %2")
            .arg(QString::number(address), what);
    default:
        return QStringLiteral("the meter at address %1 does not answer the read of %2")
            .arg(QString::number(address), what);
    }
}

// What the apply touches in one meter: its settings, its alarm block and, in the factory's
// run, its coefficients.
struct MeterImage {
    MeterSettingsRegisters settings{};
    AlarmBlockRegisters alarms{};
    std::optional<ConfigCoefficients> coefficients;

    QMap<quint16, quint16> Registers() const {
        QMap<quint16, quint16> map;
        for (int i = 0; i < MeterSettingsCount; ++i)
            map.insert(quint16(MeterSettingsStart + i), settings[size_t(i)]);
        for (int i = 0; i < AlarmParamBlockCount; ++i)
            map.insert(quint16(AlarmParamBlockStart + i), alarms[size_t(i)]);
        if (coefficients) {
            int k = 0;
            for (const CoefficientRow& row : CoefficientRows())
                map.insert(row.reg, (*coefficients)[size_t(k++)]);
        }
        return map;
    }
};

// One write of the apply, with the registers it covers.
struct WriteUnit {
    QString what; // "settings", "alarm groups 5-9", ...
    QString message;
    quint16 start = 0;
    int count = 0;
    QString Named() const { return QStringLiteral("%1 (%2)").arg(what, RegisterText(start)); }
};

quint16 MessageWord(const QString& message, int field) {
    return quint16(message.mid(3 * field, 5).remove(QLatin1Char(',')).toUInt(nullptr, 16));
}

// The writes that make a meter hold `image`, in the order they go out: the settings first,
// since the alarm limits are scaled by their PT and CT ratios, then the alarm window's two
// writes, then the coefficients.
QList<WriteUnit> Units(const MeterImage& image) {
    const QStringList m = ConfigWriteMessages(image.settings, image.alarms);
    QList<WriteUnit> units = {
        {QStringLiteral("settings"), m[0], MeterSettingsStart, MeterSettingsCount},
        {QStringLiteral("alarm groups 5-9"), m[1], 0x340, 15},
        {QStringLiteral("alarm words and groups 1-4"), m[2], AlarmParamBlockStart, 16}};
    if (image.coefficients)
        for (const QString& message : CoefficientWriteMessages(*image.coefficients))
            units << WriteUnit{QStringLiteral("coefficients"), message, MessageWord(message, 2),
                               MessageWord(message, 4)};
    return units;
}

QString WriteFailureText(const WriteUnit& unit, const LinkFailure& failure) {
    switch (failure.kind) {
    case LinkFailure::Kind::Exception:
        return QStringLiteral("the meter refused the write of its %1: %2")
            .arg(unit.Named(), LinkFailureText(failure));
    case LinkFailure::Kind::Damaged:
        return QStringLiteral("the reply to the write of its %1 was damaged").arg(unit.Named());
    case LinkFailure::Kind::NoReply:
        return QStringLiteral("the write of its %1 was not answered").arg(unit.Named());
    case LinkFailure::Kind::None:
        break;
    }
    return QStringLiteral("the write of its %1 was not confirmed").arg(unit.Named());
}

QString WhereText(int address, quint32 baud) {
    return QStringLiteral("address %1, %2 baud").arg(address).arg(baud);
}

// One apply, request by request, with what it needs to put the meter back.
class ApplyRun {
public:
    explicit ApplyRun(RegisterLink& link) : link_(link) {}

    // The meter's blocks as they are now; nothing, with the failure in `failure_`, when a
    // read gets no good reply.
    std::optional<MeterImage> ReadImage(int at, bool withCoefficients) {
        MeterImage image;
        const auto settings = Read(at, MeterSettingsStart, MeterSettingsCount,
                                   QStringLiteral("its settings (0x0100)"));
        const auto alarms = settings ? Read(at, AlarmParamBlockStart, AlarmParamBlockCount,
                                            QStringLiteral("its alarm configuration (0x0330)"))
                                     : std::nullopt;
        if (!alarms)
            return std::nullopt;
        std::copy_n(settings->begin(), MeterSettingsCount, image.settings.begin());
        std::copy_n(alarms->begin(), AlarmParamBlockCount, image.alarms.begin());
        if (withCoefficients) {
            const auto block = Read(at, CoefficientBlockStart, CoefficientBlockCount,
                                    QStringLiteral("its coefficients (0x051B)"));
            image.coefficients = block ? CoefficientsFromBlock(*block) : std::nullopt;
            if (!image.coefficients)
                return std::nullopt;
        }
        return image;
    }

    std::optional<QList<quint16>> Read(int at, quint16 start, int count, const QString& what) {
        const auto values = link_.Read(at, start, count);
        if (values && values->size() >= count)
            return values;
        failure_ = ReadFailureText(at, what, link_.LastFailure());
        failureKind_ = link_.LastFailure().kind;
        return std::nullopt;
    }

    // Writes `units` in order until one fails; true when all were confirmed. The units
    // sent (the failed one too: the meter may have taken it) are remembered for a
    // rollback.
    bool WriteAll(const QList<WriteUnit>& units, int at) {
        for (const WriteUnit& unit : units) {
            written_ << unit;
            if (!link_.Write(at, unit.message)) {
                failureKind_ = link_.LastFailure().kind;
                failure_ = WriteFailureText(unit, link_.LastFailure());
                return false;
            }
        }
        return true;
    }

    // Writes the earlier values of every unit sent to the meter, which answers at `at`
    // and `atBaud`, then reads them back at the earlier address and baud rate.
    QString RollBack(const MeterImage& before, const MeterImage& target, int at, quint32 atBaud) {
        QList<WriteUnit> restore;
        const QList<WriteUnit> earlier = Units(before);
        for (const WriteUnit& sent : written_)
            for (const WriteUnit& unit : earlier)
                if (unit.message.mid(0, 17) == sent.message.mid(0, 17))
                    restore << unit;
        for (const WriteUnit& unit : restore) {
            // A failed write here still leaves the read-back to say what the meter holds.
            link_.Write(at, unit.message);
            if (unit.start == MeterSettingsStart) {
                at = before.settings[kAddressOffset];
                if (atBaud != before.settings[kBaudOffset])
                    link_.FollowBaudRate(atBaud = before.settings[kBaudOffset]);
            }
        }
        const auto after = ReadImage(at, bool(before.coefficients));
        return Holdings(restore, before, target, after);
    }

    QString Failure() const { return failure_; }
    LinkFailure::Kind FailureKind() const { return failureKind_; }
    bool WroteAny() const { return !written_.isEmpty(); }

private:
    // What each restored block holds after a rollback.
    static QString Holdings(const QList<WriteUnit>& units, const MeterImage& before,
                            const MeterImage& target, const std::optional<MeterImage>& after) {
        if (!after)
            return QStringLiteral("not rolled back: the meter does not answer the read-back, so "
                                  "what it holds is unknown (blocks written: %1)")
                .arg(Names(units));
        const QMap<quint16, quint16> was = before.Registers(), file = target.Registers(),
                                     now = after->Registers();
        QStringList blocks;
        bool allBack = true;
        for (const WriteUnit& unit : units) {
            QStringList other;
            bool asFile = true;
            for (int r = unit.start; r < unit.start + unit.count; ++r) {
                if (now.value(quint16(r)) != was.value(quint16(r)))
                    other << ConfigRegisterName(quint16(r));
                asFile = asFile && now.value(quint16(r)) == file.value(quint16(r));
            }
            allBack = allBack && other.isEmpty();
            blocks << unit.Named() + QStringLiteral(": ") +
                          (other.isEmpty() ? QStringLiteral("what it held before")
                           : asFile        ? QStringLiteral("the file's values")
                                    : QStringLiteral("other values in %1").arg(other.join(", ")));
        }
        if (allBack)
            return QStringLiteral("rolled back: the meter holds what it held before");
        return QStringLiteral("not rolled back: ") + blocks.join(QStringLiteral("; "));
    }
    static QString Names(const QList<WriteUnit>& units) {
        QStringList names;
        for (const WriteUnit& unit : units)
            names << unit.Named();
        return names.join(QStringLiteral(", "));
    }

    RegisterLink& link_;
    QList<WriteUnit> written_;
    QString failure_;
    LinkFailure::Kind failureKind_ = LinkFailure::Kind::None;
};

Result ResultOf(LinkFailure::Kind kind) {
    return kind == LinkFailure::Kind::Exception ? Result::Refused : Result::NoAnswer;
}

} // namespace

QString LinkFailureText(const LinkFailure& failure) {
    switch (failure.kind) {
    case LinkFailure::Kind::None:
        return QStringLiteral("no failure");
    case LinkFailure::Kind::NoReply:
        return QStringLiteral("no answer");
    case LinkFailure::Kind::Damaged:
        return QStringLiteral("a damaged reply");
    case LinkFailure::Kind::Exception:
        return QStringLiteral("exception %1 (%2)")
            .arg(QString::number(failure.exception), ExceptionName(failure.exception));
    }
    return {};
}

std::optional<MeterConfiguration> ReadMeterConfiguration(RegisterLink& link, int address,
                                                         const QString& model, const QDateTime& now,
                                                         QString* why, bool withCoefficients) {
    ApplyRun run(link);
    const auto version =
        run.Read(address, kVersionStart, kVersionCount, QStringLiteral("its version (0x0510)"));
    const auto image = version ? run.ReadImage(address, withCoefficients) : std::nullopt;
    if (!image) {
        if (why)
            *why = run.Failure();
        return std::nullopt;
    }
    auto config = ConfigFromMeter(QList<quint16>(image->settings.begin(), image->settings.end()),
                                  QList<quint16>(image->alarms.begin(), image->alarms.end()),
                                  VersionText(*version), model, address, now);
    if (config)
        config->coefficients = image->coefficients;
    return config;
}

QString ApplyResultText(Result result) {
    switch (result) {
    case Result::Verified:
        return QStringLiteral("verified");
    case Result::Differs:
        return QStringLiteral("differs");
    case Result::Refused:
        return QStringLiteral("refused");
    case Result::NoAnswer:
        return QStringLiteral("no answer");
    case Result::OtherKind:
        return QStringLiteral("other kind");
    }
    return {};
}

QString ApplyOutcomeLine(const MeterApplyOutcome& o) {
    QString line = QStringLiteral("address %1: %2").arg(o.address).arg(ApplyResultText(o.result));
    for (const QString& part : {o.detail, o.rollback, o.answersAt})
        if (!part.isEmpty())
            line += (part == o.detail ? QStringLiteral(": ") : QStringLiteral("; ")) + part;
    return line;
}

namespace {

// The last step of an apply with the address and baud rate: the settings once more, now
// with the file's, and the meter looked for where it should answer, then where it was.
MeterApplyOutcome MoveMeter(RegisterLink& link, ApplyRun& run, int address,
                            const MeterImage& before, MeterImage target, int newAddress,
                            quint32 newBaud) {
    const quint32 oldBaud = before.settings[kBaudOffset];
    target.settings[kAddressOffset] = quint16(newAddress);
    target.settings[kBaudOffset] = quint16(newBaud);
    MeterApplyOutcome o{address, Result::Verified, {}, {}, {}};
    const QString move = MeterSettingsMessage(target.settings);
    const bool confirmed = link.Write(address, move);
    const LinkFailure writeFailure = link.LastFailure();
    // The reply to the change comes at the old baud rate; the meter then listens at the new.
    if (newBaud != oldBaud)
        link.FollowBaudRate(newBaud);
    const auto there = link.Read(newAddress, MeterSettingsStart, MeterSettingsCount);
    if (there && there->mid(0, MeterSettingsCount) ==
                     QList<quint16>(target.settings.begin(), target.settings.end())) {
        o.answersAt = QStringLiteral("the meter now answers at ") + WhereText(newAddress, newBaud);
        return o;
    }
    const QString writeNote =
        confirmed ? QString()
                  : QStringLiteral(" (the write of the address and baud rate got %1)")
                        .arg(LinkFailureText(writeFailure));
    if (there) {
        // It took the change but holds something else: put it all back from there.
        o.result = Result::Differs;
        o.detail = QStringLiteral("after the change of address and baud rate the settings read "
                                  "back other values");
        o.rollback = run.RollBack(before, target, newAddress, newBaud);
        return o;
    }
    if (newBaud != oldBaud)
        link.FollowBaudRate(oldBaud);
    if (link.Read(address, MeterSettingsStart, MeterSettingsCount)) {
        o.result = Result::Differs;
        o.detail = QStringLiteral("the meter did not take the new address and baud rate: it "
                                  "still answers at %1, not at %2%3")
                       .arg(WhereText(address, oldBaud), WhereText(newAddress, newBaud), writeNote);
        o.rollback = run.RollBack(before, target, address, oldBaud);
        return o;
    }
    o.result = Result::NoAnswer;
    o.detail = QStringLiteral("after the write of the address and baud rate the meter answers "
                              "neither at %1 nor at %2%3; try it at either")
                   .arg(WhereText(newAddress, newBaud), WhereText(address, oldBaud), writeNote);
    o.rollback = QStringLiteral("not rolled back: the meter does not answer");
    return o;
}

} // namespace

MeterApplyOutcome ApplyMeterConfiguration(RegisterLink& link, const MeterConfiguration& config,
                                          int address, const QString& model, bool includeComm,
                                          bool writeCoefficients) {
    MeterApplyOutcome o{address, Result::NoAnswer, {}, {}, {}};
    ApplyRun run(link);
    const auto version =
        run.Read(address, kVersionStart, kVersionCount, QStringLiteral("its version (0x0510)"));
    if (!version) {
        o.result = ResultOf(run.FailureKind());
        o.detail = run.Failure();
        return o;
    }
    if (const QString why = OtherKindProblem(config, model, VersionText(*version));
        !why.isEmpty()) {
        o.result = Result::OtherKind;
        o.detail = why;
        return o;
    }
    const bool coefficients = writeCoefficients && config.coefficients;
    const auto before = run.ReadImage(address, coefficients);
    if (!before) {
        o.result = ResultOf(run.FailureKind());
        o.detail = run.Failure();
        return o;
    }
    // Everything at the meter's own address and baud rate first; a new one goes last.
    MeterImage target = *before;
    target.settings = SettingsToWrite(config, before->settings, false);
    target.alarms = config.alarms;
    if (coefficients)
        target.coefficients = config.coefficients;
    const bool wrote = run.WriteAll(Units(target), address);
    const auto after = wrote ? run.ReadImage(address, coefficients) : std::nullopt;
    QStringList differing;
    if (after) {
        const QMap<quint16, quint16> want = target.Registers(), now = after->Registers();
        for (auto it = want.begin(); it != want.end(); ++it)
            if (now.value(it.key()) != it.value())
                differing << ConfigRegisterName(it.key());
    }
    if (!wrote || !after || !differing.isEmpty()) {
        o.result = !wrote   ? ResultOf(run.FailureKind())
                   : !after ? Result::NoAnswer
                            : Result::Differs;
        o.detail = !after ? run.Failure() : differing.join(QStringLiteral(", "));
        o.rollback = run.RollBack(*before, target, address, before->settings[kBaudOffset]);
        return o;
    }
    const int newAddress = config.settings[kAddressOffset];
    const quint32 newBaud = config.settings[kBaudOffset];
    const quint32 baud = before->settings[kBaudOffset];
    if (includeComm && (newAddress != address || newBaud != baud))
        return MoveMeter(link, run, address, *before, target, newAddress, newBaud);
    o.result = Result::Verified;
    if (includeComm)
        o.answersAt =
            QStringLiteral("the meter answers at %1 as before").arg(WhereText(address, baud));
    return o;
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

QString AddressListText(const QList<int>& addresses) {
    QStringList parts;
    for (qsizetype i = 0; i < addresses.size();) {
        qsizetype end = i;
        while (end + 1 < addresses.size() && addresses[end + 1] == addresses[end] + 1)
            ++end;
        parts << (end == i ? QString::number(addresses[i])
                           : QStringLiteral("%1-%2").arg(addresses[i]).arg(addresses[end]));
        i = end + 1;
    }
    return parts.join(QStringLiteral(", "));
}

QStringList RestoreChanges(const QList<ConfigComparison>& fileAgainstMeter) {
    // Row by row, so that a caption the table holds twice cannot take another row's value.
    QStringList changes;
    for (const ConfigComparison& row : fileAgainstMeter)
        if (row.differs)
            changes << ChangedFields({{row.name, row.rightText}}, {{row.name, row.leftText}});
    return changes;
}

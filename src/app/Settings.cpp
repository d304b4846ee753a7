#include "Settings.h"

#include "AddressList.h"
#include "PortName.h"

#include <QCoreApplication>
#include <QSettings>
#include <functional>
#include <optional>

namespace {
const QString kGroup = QStringLiteral("Comm");

// The longest text of a stored value shown back to the operator.
constexpr qsizetype kShownValueChars = 40;

QString Shown(const QVariant& v) {
    const QString text = v.toString();
    return text.size() > kShownValueChars ? text.left(kShownValueChars) + QChar(0x2026) : text;
}

// A stored whole number in min..max; nothing for any other text (a sign, decimals, a
// number past the range, which must never be cut down to one inside it).
std::optional<qlonglong> WholeNumber(const QVariant& v, qlonglong min, qlonglong max) {
    bool ok = false;
    const qlonglong n = v.toString().trimmed().toLongLong(&ok, 10);
    if (!ok || n < min || n > max)
        return std::nullopt;
    return n;
}

// The port as the dialog takes it: COM1..COM128 or a device path. Whether the device is
// there shows when the port opens (an adapter may be away at start-up).
bool UsablePortName(const QString& name) {
    if (name.isEmpty() || name.size() > 4096 || name.contains(QChar(0)))
        return false;
    const int n = ComPortNumber(name);
    return (n >= 1 && n <= kMaxComPort) || BarePortName(name).startsWith(QLatin1Char('/'));
}

// The bus overview's address list: the usable addresses are kept, the entries that are
// not addresses of the line are dropped and the operator is told which.
template <typename Ignore>
void ReadBusAddresses(QSettings& settings, CommSettings& values, Ignore& ignore) {
    const QVariant stored = settings.value(QStringLiteral("BusAddresses"));
    if (!stored.isValid())
        return;
    const AddressList list = AddressList::Read(stored.toString());
    values.BusAddresses = AddressList::Text(list.addresses);
    if (!list.refused.isEmpty())
        ignore(QStringLiteral("BusAddresses"), stored,
               QCoreApplication::translate("Settings",
                                           "addresses must be %1 to %2; dropped from the list: %3")
                   .arg(AddressList::kFirst)
                   .arg(AddressList::kLast)
                   .arg(Shown(list.refused.join(QStringLiteral(", ")))));
}

const QString kSerialLink = QStringLiteral("Serial");
const QString kNetworkLink = QStringLiteral("Network");
const QString kModbusTcp = QStringLiteral("ModbusTcp");
const QString kRtuOverTcp = QStringLiteral("RtuOverTcp");

// The converter's keys, beside the serial ones: which line, the host, its port, the framing.
void ReadNetworkSettings(
    QSettings& settings, CommSettings& values,
    const std::function<void(const QString&, const QVariant&, const QString&)>& ignore) {
    const QVariant link = settings.value(QStringLiteral("Link"));
    if (link.toString() == kSerialLink || link.toString() == kNetworkLink)
        values.Network = link.toString() == kNetworkLink;
    else
        ignore(QStringLiteral("Link"), link,
               QCoreApplication::translate("Settings", "the line must be %1 or %2")
                   .arg(kSerialLink, kNetworkLink));

    const QVariant host = settings.value(QStringLiteral("NetHost"));
    if (CheckNetworkHost(host.toString()).isEmpty())
        values.NetHost = host.toString().trimmed();
    else
        ignore(QStringLiteral("NetHost"), host, CheckNetworkHost(host.toString()));

    const QVariant port = settings.value(QStringLiteral("NetPort"));
    if (const auto p = WholeNumber(port, 1, 65535))
        values.NetPort = quint16(*p);
    else
        ignore(QStringLiteral("NetPort"), port,
               QCoreApplication::translate("Settings", "the TCP port must be 1 to 65535"));

    const QVariant framing = settings.value(QStringLiteral("NetFraming"));
    if (framing.toString() == kModbusTcp || framing.toString() == kRtuOverTcp)
        values.NetFraming = framing.toString() == kModbusTcp ? NetworkFraming::ModbusTcp
                                                             : NetworkFraming::RtuOverTcp;
    else
        ignore(QStringLiteral("NetFraming"), framing,
               QCoreApplication::translate("Settings", "the framing must be %1 or %2")
                   .arg(kModbusTcp, kRtuOverTcp));

    // A network line without a host to connect to stays on the serial port, and says so.
    if (values.Network && !CheckNetworkHost(values.NetHost).isEmpty()) {
        values.Network = false;
        ignore(QStringLiteral("Link"), link,
               QCoreApplication::translate("Settings", "a network line needs a usable NetHost"));
    }
}

} // namespace

QString CheckNetworkHost(const QString& host) {
    const QString name = host.trimmed();
    if (name.isEmpty())
        return QCoreApplication::translate("Settings", "the host must not be empty");
    if (name.size() > kLongestHostName)
        return QCoreApplication::translate("Settings",
                                           "the host must be at most %1 characters long")
            .arg(kLongestHostName);
    for (const QChar c : name)
        if (c.isSpace() || c.category() == QChar::Other_Control || c == QLatin1Char('/'))
            return QCoreApplication::translate(
                "Settings", "the host must be a name or an address, without blanks or slashes");
    return {};
}

QString NetworkLineName(const QString& host, quint16 port) {
    const QString name = host.trimmed();
    return (name.contains(QLatin1Char(':')) ? QLatin1Char('[') + name + QLatin1Char(']') : name) +
           QLatin1Char(':') + QString::number(port);
}

QList<quint32> CommBaudRates() {
    return {600, 1200, 2400, 4800, 9600, 19200, 38400};
}

bool ReadCommSettings(QSettings& settings, CommSettings& values, QList<IgnoredSetting>* ignored) {
    // Looking at childGroups() does not create the group, so a first run stays without
    // saved settings until the operator asks for them.
    if (!settings.childGroups().contains(kGroup))
        return false;
    settings.beginGroup(kGroup);
    auto ignore = [&](const QString& key, const QVariant& v, const QString& reason) {
        if (ignored && v.isValid())
            *ignored << IgnoredSetting{key, Shown(v), reason};
    };
    const QVariant port = settings.value(QStringLiteral("PortName"));
    if (UsablePortName(port.toString()))
        values.PortName = port.toString();
    else
        ignore(
            QStringLiteral("PortName"), port,
            QCoreApplication::translate(
                "Settings", "the port must be COM1 to COM%1 or a device path such as /dev/ttyUSB0")
                .arg(kMaxComPort));

    const QVariant baud = settings.value(QStringLiteral("Baudrate"));
    const auto rate = WholeNumber(baud, CommBaudRates().front(), CommBaudRates().back());
    if (rate && CommBaudRates().contains(quint32(*rate)))
        values.Baudrate = quint32(*rate);
    else
        ignore(QStringLiteral("Baudrate"), baud,
               QCoreApplication::translate(
                   "Settings",
                   "the baud rate must be one of 600, 1200, 2400, 4800, 9600, 19200, 38400"));

    const QVariant address = settings.value(QStringLiteral("DevAddr"));
    if (const auto a = WholeNumber(address, kLowestMeterAddress, kHighestMeterAddress))
        values.DevAddr = int(*a);
    else
        ignore(QStringLiteral("DevAddr"), address,
               QCoreApplication::translate("Settings", "the meter address must be %1 to %2")
                   .arg(kLowestMeterAddress)
                   .arg(kHighestMeterAddress));

    const QVariant interval = settings.value(QStringLiteral("QueryInterval"));
    if (const auto ms = WholeNumber(interval, 0, kLongestQueryIntervalMs))
        values.QueryInterval = quint32(*ms);
    else
        ignore(QStringLiteral("QueryInterval"), interval,
               QCoreApplication::translate("Settings", "the query interval must be 0 to %1 ms")
                   .arg(kLongestQueryIntervalMs));
    ReadBusAddresses(settings, values, ignore);
    ReadNetworkSettings(settings, values, ignore);
    settings.endGroup();
    return true;
}

QString IgnoredSettingsText(const QString& file, const QList<IgnoredSetting>& ignored) {
    QStringList lines;
    for (const IgnoredSetting& i : ignored)
        lines
            << QCoreApplication::translate("Settings", "%1=%2: %3.").arg(i.key, i.stored, i.reason);
    return QCoreApplication::translate(
               "Settings",
               "These saved settings in %1 were ignored, and the defaults are used instead:\n%2\n"
               "Check them in COMM Settings.")
        .arg(file, lines.join(QLatin1Char('\n')));
}

void WriteCommSettings(QSettings& settings, const CommSettings& values) {
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("PortName"), values.PortName);
    settings.setValue(QStringLiteral("Baudrate"), values.Baudrate);
    settings.setValue(QStringLiteral("DevAddr"), values.DevAddr);
    settings.setValue(QStringLiteral("QueryInterval"), values.QueryInterval);
    settings.setValue(QStringLiteral("BusAddresses"), values.BusAddresses);
    settings.setValue(QStringLiteral("Link"), values.Network ? kNetworkLink : kSerialLink);
    // An empty host is not written: reading it back would name it as damaged.
    if (CheckNetworkHost(values.NetHost).isEmpty())
        settings.setValue(QStringLiteral("NetHost"), values.NetHost);
    settings.setValue(QStringLiteral("NetPort"), values.NetPort);
    settings.setValue(QStringLiteral("NetFraming"),
                      values.NetFraming == NetworkFraming::ModbusTcp ? kModbusTcp : kRtuOverTcp);
    settings.endGroup();
    settings.sync();
}

#include "PortList.h"

#include "PortName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

QString ReadLine(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readLine()).trimmed();
}

// "ttyUSB10" -> ("ttyUSB", 10), for an order that humans expect.
bool DeviceLess(const QString& a, const QString& b) {
    static const QRegularExpression split(QStringLiteral("^(.*?)(\\d+)$"));
    const auto ma = split.match(QFileInfo(a).fileName());
    const auto mb = split.match(QFileInfo(b).fileName());
    if (ma.hasMatch() && mb.hasMatch() && ma.captured(1) == mb.captured(1))
        return ma.captured(2).toInt() < mb.captured(2).toInt();
    return a < b;
}

// A 16550-style port node exists for every possible port; only a non-zero UART type
// means there is hardware behind it. Without a type file the port is taken as real.
bool HasUart(const QString& sysRoot, const QString& name) {
    const QString type = ReadLine(sysRoot + QStringLiteral("/class/tty/") + name + "/type");
    return type.isEmpty() || type != QLatin1String("0");
}

// Device nodes named `prefix` followed by a number.
QStringList DeviceNodes(const QString& devRoot, const QString& prefix) {
    QStringList nodes;
    const QDir dev(devRoot);
    const QRegularExpression numbered(QStringLiteral("^%1\\d+$").arg(prefix));
    for (const QString& n : dev.entryList({prefix + QLatin1Char('*')},
                                          QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (numbered.match(n).hasMatch())
            nodes << dev.filePath(n);
    std::sort(nodes.begin(), nodes.end(), DeviceLess);
    return nodes;
}

// COMn links of the program's link folder, by the canonical device they point at.
QHash<QString, QStringList> ComLinksByDevice() {
    QHash<QString, QStringList> links;
    const QDir folder(PortLinksFolder());
    for (const QFileInfo& link :
         folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const int n = ComPortNumber(link.fileName());
        if (n < 1 || n > kMaxComPort || !link.isSymLink() || !link.exists())
            continue;
        links[link.canonicalFilePath()] << QStringLiteral("COM%1").arg(n);
    }
    for (QStringList& names : links)
        std::sort(names.begin(), names.end(), DeviceLess);
    return links;
}

} // namespace

// What sysfs knows about the tty named `name` ("ttyUSB0"): the driver, and the USB
// device above it (the first parent folder that carries idVendor).
void ReadTtySysfs(const QString& sysRoot, const QString& name, SerialPortInfo& info) {
    const QString ttyDevice = sysRoot + QStringLiteral("/class/tty/") + name + "/device";
    const QFileInfo device(ttyDevice);
    if (!device.exists())
        return;
    info.driver = QFileInfo(ttyDevice + QStringLiteral("/driver")).canonicalFilePath();
    info.driver = info.driver.isEmpty() ? QString() : QFileInfo(info.driver).fileName();
    QDir dir(device.canonicalFilePath());
    const QString top = QFileInfo(sysRoot).canonicalFilePath();
    for (int depth = 0; depth < 8 && dir.path().startsWith(top) && dir.path() != top; ++depth) {
        if (QFileInfo::exists(dir.filePath(QStringLiteral("idVendor")))) {
            info.vendorId = ReadLine(dir.filePath(QStringLiteral("idVendor")));
            info.productId = ReadLine(dir.filePath(QStringLiteral("idProduct")));
            info.manufacturer = ReadLine(dir.filePath(QStringLiteral("manufacturer")));
            info.product = ReadLine(dir.filePath(QStringLiteral("product")));
            info.serial = ReadLine(dir.filePath(QStringLiteral("serial")));
            info.usbPort = dir.dirName();
            return;
        }
        if (!dir.cdUp())
            return;
    }
}

QList<SerialPortInfo> ListSerialPorts(const QString& root) {
    const QString devRoot = root + QStringLiteral("/dev");
    const QString sysRoot = root + QStringLiteral("/sys");
    const QHash<QString, QStringList> comLinks = ComLinksByDevice();
    QList<SerialPortInfo> ports;
    QSet<QString> covered; // devices already listed under their stable name

    auto add = [&](SerialPortKind kind, const QString& path, const QString& deviceNode) {
        SerialPortInfo info;
        info.kind = kind;
        info.path = path;
        info.device = deviceNode;
        ReadTtySysfs(sysRoot, QFileInfo(deviceNode).fileName(), info);
        info.comNames = comLinks.value(QFileInfo(deviceNode).canonicalFilePath());
        // The links may name the stable path instead of the device it stands for.
        if (path != deviceNode)
            for (const QString& c : comLinks.value(QFileInfo(path).canonicalFilePath()))
                if (!info.comNames.contains(c))
                    info.comNames << c;
        ports << info;
    };

    const QDir byId(devRoot + QStringLiteral("/serial/by-id"));
    QFileInfoList links =
        byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    QList<std::pair<QString, QString>> stable; // (link, device node)
    for (const QFileInfo& link : links) {
        if (!link.exists())
            continue; // a link left behind by an adapter that has gone
        stable.append({link.filePath(), link.canonicalFilePath()});
    }
    std::sort(stable.begin(), stable.end(),
              [](const auto& a, const auto& b) { return DeviceLess(a.second, b.second); });
    for (const auto& [link, node] : stable) {
        // The node is named as it appears under dev/, not by where the fake tree sits.
        const QString deviceNode = devRoot + QLatin1Char('/') + QFileInfo(node).fileName();
        add(SerialPortKind::Adapter, link, deviceNode);
        covered.insert(QFileInfo(node).fileName());
    }
    for (const QString& prefix : {QStringLiteral("ttyUSB"), QStringLiteral("ttyACM")}) {
        for (const QString& node : DeviceNodes(devRoot, prefix))
            if (!covered.contains(QFileInfo(node).fileName()))
                add(SerialPortKind::UsbDevice, node, node);
    }
    for (const QString& node : DeviceNodes(devRoot, QStringLiteral("ttyS")))
        if (HasUart(sysRoot, QFileInfo(node).fileName()))
            add(SerialPortKind::OnBoard, node, node);
    return ports;
}

namespace {

// What the device is: "0403:6001  FTDI FT232R USB UART, serial A10K3XYZ", or its driver.
QStringList DeviceDescription(const SerialPortInfo& p) {
    QStringList parts;
    if (!p.vendorId.isEmpty())
        parts << p.vendorId + QLatin1Char(':') + p.productId;
    QString name = (p.manufacturer + QLatin1Char(' ') + p.product).trimmed();
    if (!p.serial.isEmpty())
        name += (name.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("serial ") +
                p.serial;
    if (!name.isEmpty())
        parts << name;
    else if (!p.driver.isEmpty())
        parts << QStringLiteral("(driver %1)").arg(p.driver);
    return parts;
}

} // namespace

QString SerialPortDetails(const SerialPortInfo& p) {
    QStringList parts;
    if (p.path != p.device)
        parts << QStringLiteral("= ") + p.device;
    parts << DeviceDescription(p);
    if (!p.comNames.isEmpty())
        parts << QLatin1Char('[') + p.comNames.join(QStringLiteral(", ")) + QLatin1Char(']');
    return parts.join(QStringLiteral("  "));
}

QString SerialPortLine(const SerialPortInfo& p) {
    const QString details = SerialPortDetails(p);
    return details.isEmpty() ? p.path : p.path + QStringLiteral("  ") + details;
}

QList<ComPortLink> ListComPortLinks() {
    QList<ComPortLink> links;
    const QDir folder(PortLinksFolder());
    for (const QFileInfo& link :
         folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const int n = ComPortNumber(link.fileName());
        if (n < 1 || n > kMaxComPort || !link.isSymLink())
            continue;
        links.append({QStringLiteral("COM%1").arg(n), link.symLinkTarget(), link.exists()});
    }
    std::sort(links.begin(), links.end(), [](const ComPortLink& a, const ComPortLink& b) {
        return DeviceLess(a.name, b.name);
    });
    return links;
}

QString ComPortLinkLine(const ComPortLink& link) {
    return QStringLiteral("%1 -> %2%3")
        .arg(link.name, link.target, link.present ? QString() : QStringLiteral(" (missing)"));
}

QString ResolvedDeviceText(const QString& portName) {
    const QString resolved = ResolvePortName(portName);
    const QFileInfo info(resolved);
    if (info.exists())
        return QStringLiteral("= ") + info.canonicalFilePath();
    const QString target = info.isSymLink() ? info.symLinkTarget() : resolved;
    return QStringLiteral("= ") +
           QCoreApplication::translate("PortList", "%1 (not present)").arg(target);
}

QList<PortChoice> ListPortChoices(const QString& root) {
    const QList<SerialPortInfo> devices = ListSerialPorts(root);
    QList<PortChoice> choices;
    auto addDevices = [&](SerialPortKind kind, PortChoice::Kind as) {
        for (const SerialPortInfo& p : devices)
            if (p.kind == kind)
                choices.append({as, p.path, SerialPortDetails(p), SerialPortLine(p)});
    };
    addDevices(SerialPortKind::Adapter, PortChoice::Kind::Adapter);
    addDevices(SerialPortKind::UsbDevice, PortChoice::Kind::UsbDevice);

    // A COM link is shown by the device it ends at, and what that device is when it is
    // one of the machine's.
    QSet<int> linked;
    for (const ComPortLink& link : ListComPortLinks()) {
        // COM3 and com3 name one port; the first found stands for both.
        if (linked.contains(ComPortNumber(link.name)))
            continue;
        linked.insert(ComPortNumber(link.name));
        QStringList details = {ResolvedDeviceText(link.name)};
        const QString device = QFileInfo(ResolvePortName(link.name)).canonicalFilePath();
        for (const SerialPortInfo& p : devices)
            if (!device.isEmpty() && QFileInfo(p.device).canonicalFilePath() == device)
                details << DeviceDescription(p);
        QString line = ComPortLinkLine(link);
        if (link.present && device != link.target)
            line += QStringLiteral("  = ") + device;
        choices.append(
            {PortChoice::Kind::ComLink, link.name, details.join(QStringLiteral("  ")), line});
    }

    addDevices(SerialPortKind::OnBoard, PortChoice::Kind::OnBoard);
    for (int n = 1; n <= kMaxComPort; ++n) {
        if (linked.contains(n))
            continue;
        const QString name = QStringLiteral("COM%1").arg(n);
        const QString details = ResolvedDeviceText(name);
        choices.append(
            {PortChoice::Kind::ComName, name, details, name + QStringLiteral("  ") + details});
    }
    return choices;
}

#include "LineIdentity.h"

#include "PortList.h"
#include "PortName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

NodeStamp StampOf(const struct stat& st) {
    return {quint64(st.st_dev), quint64(st.st_ino), quint64(st.st_rdev),
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

// The file itself (a link, not what it points at).
NodeStamp LinkStamp(const QString& path) {
    struct stat st {};
    return ::lstat(path.toLocal8Bit().constData(), &st) == 0 ? StampOf(st) : NodeStamp{};
}

NodeStamp NodeStampOf(const QString& path) {
    struct stat st {};
    return ::stat(path.toLocal8Bit().constData(), &st) == 0 ? StampOf(st) : NodeStamp{};
}

QString FolderOf(const DeviceTree& tree) {
    return tree.portsFolder.isEmpty() ? PortLinksFolder() : tree.portsFolder;
}

// The COMn (or comn) entry of the link folder, as ResolvePortName finds it; empty when
// there is none. A dangling link counts: it is there, only its device is not.
QString FindComLink(const DeviceTree& tree, int n) {
    const QDir folder(FolderOf(tree));
    for (const QString& link : {QStringLiteral("COM%1").arg(n), QStringLiteral("com%1").arg(n)}) {
        const QFileInfo info(folder.filePath(link));
        if (info.isSymLink() || info.exists())
            return info.filePath();
    }
    return {};
}

QString OnBoardPort(const DeviceTree& tree, int n) {
    return tree.root + QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

struct UsbIdentity {
    QString vendorId, productId, serial, product, usbPort;

    // The same adapter: the same model and serial number; without a serial number (many
    // CH340 and PL2303 adapters have none) the same model on the same USB port, since
    // another adapter of that model elsewhere cannot be told apart from it.
    bool Same(const UsbIdentity& o) const {
        return vendorId == o.vendorId && productId == o.productId && serial == o.serial &&
               (!serial.isEmpty() || usbPort == o.usbPort);
    }
};

UsbIdentity UsbIdentityOf(const DeviceTree& tree, const QString& node) {
    SerialPortInfo info;
    ReadTtySysfs(tree.root + QStringLiteral("/sys"), QFileInfo(node).fileName(), info);
    return {info.vendorId, info.productId, info.serial, info.product, info.usbPort};
}

QString Describe(const UsbIdentity& usb) {
    QString text = usb.vendorId + QLatin1Char(':') + usb.productId;
    if (!usb.product.isEmpty())
        text += QLatin1Char(' ') + usb.product;
    if (!usb.serial.isEmpty())
        return text + QStringLiteral(", serial ") + usb.serial;
    return text + QStringLiteral(" without a serial number") +
           (usb.usbPort.isEmpty() ? QString() : QStringLiteral(" on USB port ") + usb.usbPort);
}

// A test tree stands plain files in for the device nodes under its dev/.
bool IsPortNode(const DeviceTree& tree, const QString& node) {
    if (!tree.root.isEmpty() && node.startsWith(tree.root + QStringLiteral("/dev/")) &&
        QFileInfo(node).isFile())
        return true;
    return IsTerminalNode(node);
}

} // namespace

LineIdentity IdentifyLine(const QString& portName, const DeviceTree& tree) {
    LineIdentity id;
    id.name = BarePortName(portName);
    id.comNumber = ComPortNumber(id.name);
    QString path = id.name;
    if (id.comNumber > 0) {
        id.comLink = FindComLink(tree, id.comNumber);
        if (id.comLink.isEmpty()) {
            path = OnBoardPort(tree, id.comNumber);
        } else {
            path = id.comLink;
            id.linkTarget = QFileInfo(id.comLink).symLinkTarget();
            id.linkStamp = LinkStamp(id.comLink);
        }
    }
    id.node = QFileInfo(path).canonicalFilePath();
    if (id.node.isEmpty())
        return id;
    id.nodeStamp = NodeStampOf(id.node);
    const UsbIdentity usb = UsbIdentityOf(tree, id.node);
    id.vendorId = usb.vendorId;
    id.productId = usb.productId;
    id.serial = usb.serial;
    id.product = usb.product;
    id.usbPort = usb.usbPort;
    return id;
}

LostLine::LostLine(LineIdentity lost, DeviceTree tree)
    : lost_(std::move(lost)), tree_(std::move(tree)) {}

QString LostLine::Shown(const QString& path) const {
    if (!tree_.root.isEmpty() && path.startsWith(tree_.root + QLatin1Char('/')))
        return path.mid(tree_.root.size());
    return path;
}

QString LostLine::Subject() const {
    return lost_.comNumber > 0 ? QStringLiteral("COM%1").arg(lost_.comNumber) : Shown(lost_.name);
}

QString LostLine::WaitingText() const {
    if (lost_.node.isEmpty() || lost_.node == lost_.name)
        return QCoreApplication::translate("LineIdentity", "Waiting for %1").arg(Subject());
    return QCoreApplication::translate("LineIdentity", "Waiting for %1 (was %2)")
        .arg(Subject(), Shown(lost_.node));
}

LineReturn LostLine::Away() const {
    return {LineReturn::Verdict::Away, WaitingText()};
}

LineReturn LostLine::Refused(const QString& what) const {
    return {LineReturn::Verdict::Refused,
            QCoreApplication::translate("LineIdentity",
                                        "%1 now points at a different device (%2); waiting")
                .arg(Subject(), what)};
}

QString LostLine::PathNow() const {
    if (lost_.comNumber == 0)
        return lost_.name;
    const QString link = FindComLink(tree_, lost_.comNumber);
    return link.isEmpty() ? OnBoardPort(tree_, lost_.comNumber) : link;
}

LineReturn LostLine::Check() {
    LineReturn r = Judge();
    if (r.verdict != LineReturn::Verdict::Back)
        return r;
    // Whatever the name leads to is looked at before it is opened: a link pointed at
    // /dev/null, a FIFO or a file is no line, and opening a FIFO would wake its reader.
    const QString node = QFileInfo(PathNow()).canonicalFilePath();
    if (!node.isEmpty() && !IsPortNode(tree_, node))
        return {LineReturn::Verdict::Refused,
                QCoreApplication::translate("LineIdentity",
                                            "%1 now leads to %2, which is not a serial port; "
                                            "waiting")
                    .arg(Subject(), Shown(node))};
    return r;
}

LineReturn LostLine::Judge() {
    const LineReturn back{LineReturn::Verdict::Back, WaitingText()};
    QString path = lost_.name;
    if (lost_.comNumber > 0) {
        const QString link = FindComLink(tree_, lost_.comNumber);
        if (lost_.comLink.isEmpty()) {
            // The on-board port it was, until somebody gave the name a link: their choice.
            if (!link.isEmpty())
                return QFileInfo::exists(link) ? back : Away();
            path = OnBoardPort(tree_, lost_.comNumber);
        } else {
            // A COM name that was a link waits for its link; it never falls back to the
            // on-board port of the same number.
            if (link.isEmpty()) {
                linkSeenGone_ = true;
                return Away();
            }
            const bool setAnew = linkSeenGone_ || link != lost_.comLink ||
                                 LinkStamp(link) != lost_.linkStamp ||
                                 QFileInfo(link).symLinkTarget() != lost_.linkTarget;
            if (setAnew)
                return QFileInfo::exists(link) ? back : Away();
            path = link;
        }
    }
    const QString node = QFileInfo(path).canonicalFilePath();
    if (node.isEmpty())
        return Away();
    const QString shown = Shown(node);

    if (lost_.HasUsbIdentity()) {
        // An adapter plugged in again may get another node; its USB identity stays.
        const UsbIdentity now = UsbIdentityOf(tree_, node);
        const UsbIdentity lostOne{lost_.vendorId, lost_.productId, lost_.serial, lost_.product,
                                  lost_.usbPort};
        if (now.Same(lostOne))
            return back;
        if (now.vendorId.isEmpty())
            return Refused(QCoreApplication::translate(
                               "LineIdentity", "%1 is no USB adapter now, not the %2 that was lost")
                               .arg(shown, Describe(lostOne)));
        return Refused(QCoreApplication::translate("LineIdentity",
                                                   "%1 is the adapter %2, not the %3 that was lost")
                           .arg(shown, Describe(now), Describe(lostOne)));
    }
    // A pseudo-terminal number, once freed, is given to the next program that asks.
    if (NodeStampOf(node) == lost_.nodeStamp)
        return back;
    return Refused(QCoreApplication::translate("LineIdentity",
                                               "%1 is a new device node, not the one that was lost")
                       .arg(shown));
}

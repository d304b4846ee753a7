#pragma once

#include <QString>

// A lost line must come back as the device that was lost, not as whatever its name
// happens to mean later: a COM link left behind by a simulator killed outright points at a
// /dev/pts/N that the next program is given, a COM name without its link would mean the
// on-board port, and another adapter may be plugged in where ours was. So what a name
// stood for is recorded when the port opens, and a returning line is judged against it.

// Where names are looked up: the machine's /dev and /sys under `root` ("" = this machine;
// tests build a tree of their own), and the folder of COM links (empty: PortLinksFolder()).
struct DeviceTree {
    QString root;
    QString portsFolder;
};

// Who a file is, beyond its path: a file made anew at the same path (a new link, a reused
// pseudo-terminal number) differs in inode or change time.
struct NodeStamp {
    quint64 device = 0; // the file system it is on
    quint64 inode = 0;
    quint64 rdev = 0; // the device number of a device node
    qint64 changeNs = 0;
    friend bool operator==(const NodeStamp&, const NodeStamp&) = default;
};

// What a port name stood for when the port was opened.
struct LineIdentity {
    QString name;       // as given, without "\\.\": "COM1", "/dev/serial/by-id/usb-..."
    int comNumber = 0;  // n of a COMn name, else 0
    QString comLink;    // the COMn link the name went through; empty when none
    QString linkTarget; // what that link pointed at
    NodeStamp linkStamp;
    QString node; // the device node opened, "/dev/pts/3"
    NodeStamp nodeStamp;
    // The USB adapter behind the node (sysfs); all empty for on-board ports and
    // pseudo-terminals, which are known by their node stamp instead. An adapter without a
    // serial number (CH340, PL2303) is known by the USB port it is plugged into.
    QString vendorId, productId, serial, product, usbPort;

    bool HasUsbIdentity() const { return !vendorId.isEmpty(); }
};

// What `portName` stands for right now (the rules of ResolvePortName). `node` is empty when
// no device is there.
LineIdentity IdentifyLine(const QString& portName, const DeviceTree& tree = {});

// Whether a lost line may be opened again, and what the operator is told meanwhile.
struct LineReturn {
    enum class Verdict {
        Away,    // nothing there yet: keep waiting
        Back,    // the same device, or a link the operator (or the simulator) set anew
        Refused, // a device is there, but not the one that was lost
    };
    Verdict verdict = Verdict::Away;
    // "Waiting for COM1 (was /dev/pts/3)", or for a refused device "COM1 now points at a
    // different device (...); waiting". Set for every verdict.
    QString text;
};

// The watch over one lost line, from its loss until it opens again.
class LostLine {
public:
    explicit LostLine(LineIdentity lost, DeviceTree tree = {});

    // Looks at the tree now. A link seen gone once makes any later link a new choice, even
    // one that names the same path again (a restarted simulator given the same /dev/pts/N).
    LineReturn Check();
    QString WaitingText() const;
    const LineIdentity& Lost() const { return lost_; }

private:
    LineReturn Judge();
    QString PathNow() const; // what the name leads to now, before links are followed
    LineReturn Away() const;
    LineReturn Refused(const QString& what) const;
    QString Shown(const QString& path) const; // as on the machine, without the tree's root
    QString Subject() const;                  // "COM1", or the device path the port was

    LineIdentity lost_;
    DeviceTree tree_;
    bool linkSeenGone_ = false;
};

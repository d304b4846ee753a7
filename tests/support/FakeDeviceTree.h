#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

// A folder that stands in for the machine's /dev and /sys (and /proc), built from
// files and relative links as the kernel lays them out.
struct FakeDeviceTree {
    QTemporaryDir dir;
    QString Path(const QString& rel) const { return dir.filePath(rel); }
    void File(const QString& rel, const QByteArray& text = {}) {
        QDir().mkpath(QFileInfo(Path(rel)).path());
        QFile f(Path(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    // Replaces a link already there (an adapter plugged in again).
    void Link(const QString& rel, const QString& target) {
        QDir().mkpath(QFileInfo(Path(rel)).path());
        QFile::remove(Path(rel));
        ASSERT_TRUE(QFile::link(target, Path(rel))) << rel.toStdString();
    }
    // A USB adapter: its tty under the USB interface, the USB device's descriptor texts.
    void UsbAdapter(const QString& tty, const QString& usbDev, const QByteArray& vid,
                    const QByteArray& pid, const QByteArray& maker, const QByteArray& product,
                    const QByteArray& serial, const QString& driver) {
        const QString usb = "sys/devices/pci0000:00/usb1/" + usbDev;
        File(usb + "/idVendor", vid + "\n");
        File(usb + "/idProduct", pid + "\n");
        if (!maker.isEmpty())
            File(usb + "/manufacturer", maker + "\n");
        File(usb + "/product", product + "\n");
        if (!serial.isEmpty())
            File(usb + "/serial", serial + "\n");
        File(usb + "/" + usbDev + ":1.0/" + tty + "/uevent");
        QDir().mkpath(Path("sys/bus/usb-serial/drivers/" + driver));
        Link(usb + "/" + usbDev + ":1.0/" + tty + "/driver",
             Path("sys/bus/usb-serial/drivers/" + driver));
        Link("sys/class/tty/" + tty + "/device", Path(usb + "/" + usbDev + ":1.0/" + tty));
        File("dev/" + tty);
    }
    // The adapter on `tty` pulled out: its node and its sysfs entry go.
    void Unplug(const QString& tty) {
        QFile::remove(Path("dev/" + tty));
        QFile::remove(Path("sys/class/tty/" + tty + "/device"));
    }
    // The link at `rel` set again (a new inode, as a restarted simulator's link has, even
    // to the same target): made beside it first, then moved over it.
    void RenewLink(const QString& rel, const QString& target) {
        const QString fresh = Path(rel) + ".new";
        ASSERT_TRUE(QFile::link(target, fresh));
        ASSERT_EQ(::rename(fresh.toLocal8Bit().constData(), Path(rel).toLocal8Bit().constData()),
                  0);
    }
};

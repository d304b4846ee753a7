#include "LineIdentity.h"
#include "FakeDeviceTree.h"

#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Verdict = LineReturn::Verdict;

const char* const kByIdA = "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";

void AdapterA(FakeDeviceTree& t, const QString& tty) {
    t.UsbAdapter(tty, "1-1", "0403", "6001", "FTDI", "FT232R USB UART", "A1", "ftdi_sio");
}
void AdapterB(FakeDeviceTree& t, const QString& tty) {
    t.UsbAdapter(tty, "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "B2", "ftdi_sio");
}
// CH340 adapters, as most RS-485 converters carry them: no serial number.
void Ch340(FakeDeviceTree& t, const QString& tty, const QString& usbPort) {
    t.UsbAdapter(tty, usbPort, "1a86", "7523", "", "USB Serial", "", "ch341-uart");
}
// COM1 set to `rel` by the operator or a simulator (a link made anew).
void LinkCom1(FakeDeviceTree& t, const QString& rel) {
    QFile::remove(t.Path("ports/COM1"));
    t.Link("ports/COM1", t.Path(rel));
}

// The line is opened under `name`, then lost; after each change of the tree the watch over
// the lost line says whether the device there may be opened, and what the operator reads.
TEST(LostLineTest, OnlyTheDeviceThatWasLostIsOpenedAgain) {
    struct Step {
        std::function<void(FakeDeviceTree&)> change;
        Verdict verdict;
        QString text;
    };
    struct Case {
        const char* what;
        QString name; // relative to the tree unless a COM name
        std::function<void(FakeDeviceTree&)> before;
        QList<Step> steps;
    };
    const QString waitPts = "Waiting for COM1 (was /dev/pts/3)";
    const QString newPts = "COM1 now points at a different device (/dev/pts/3 is a new device "
                           "node, not the one that was lost); waiting";
    const auto pts3 = [](FakeDeviceTree& t) {
        t.File("dev/pts/3");
        t.File("dev/ttyS0"); // the on-board port the name would mean without its link
        t.File("sys/class/tty/ttyS0/type", "4\n");
        LinkCom1(t, "dev/pts/3");
    };
    const Case cases[] = {
        {"a link removed waits for its link, never the on-board port",
         "COM1",
         pts3,
         {{[](FakeDeviceTree& t) {
               QFile::remove(t.Path("dev/pts/3"));
               QFile::remove(t.Path("ports/COM1"));
           },
           Verdict::Away, waitPts},
          {[](FakeDeviceTree& t) { t.File("dev/pts/3"); }, Verdict::Away, waitPts},
          // The simulator back under its name, given the same terminal number.
          {[](FakeDeviceTree& t) { LinkCom1(t, "dev/pts/3"); }, Verdict::Back, waitPts}}},
        {"a link set to another device is the operator's choice",
         "COM1",
         pts3,
         {{[](FakeDeviceTree& t) {
               QFile::remove(t.Path("dev/pts/3"));
               t.File("dev/pts/4");
               LinkCom1(t, "dev/pts/4");
           },
           Verdict::Back, waitPts}}},
        {"a link left behind on a reused terminal is refused until the link is set again",
         "COM1",
         pts3,
         // The old node is kept aside, so the new one cannot get its inode back.
         {{[](FakeDeviceTree& t) { QFile::rename(t.Path("dev/pts/3"), t.Path("closed-pts")); },
           Verdict::Away, waitPts},
          {[](FakeDeviceTree& t) { t.File("dev/pts/3"); }, Verdict::Refused, newPts},
          {[](FakeDeviceTree&) {}, Verdict::Refused, newPts},
          {[](FakeDeviceTree& t) { t.RenewLink("ports/COM1", t.Path("dev/pts/3")); }, Verdict::Back,
           waitPts}}},
        {"an adapter plugged in again on a new node, under its by-id name",
         kByIdA,
         [](FakeDeviceTree& t) {
             AdapterA(t, "ttyUSB0");
             t.Link(kByIdA, "../../ttyUSB0");
         },
         {{[](FakeDeviceTree& t) {
               t.Unplug("ttyUSB0");
               QFile::remove(t.Path(kByIdA));
           },
           Verdict::Away, QStringLiteral("Waiting for /%1 (was /dev/ttyUSB0)").arg(kByIdA)},
          {[](FakeDeviceTree& t) {
               AdapterA(t, "ttyUSB1");
               t.Link(kByIdA, "../../ttyUSB1");
           },
           Verdict::Back, QStringLiteral("Waiting for /%1 (was /dev/ttyUSB0)").arg(kByIdA)}}},
        {"another adapter on the node a link names is refused, naming it; ours is taken back",
         "COM1",
         [](FakeDeviceTree& t) {
             AdapterA(t, "ttyUSB0");
             LinkCom1(t, "dev/ttyUSB0");
         },
         {{[](FakeDeviceTree& t) {
               t.Unplug("ttyUSB0");
               AdapterB(t, "ttyUSB0");
           },
           Verdict::Refused,
           "COM1 now points at a different device (/dev/ttyUSB0 is the adapter 0403:6001 "
           "FT232R USB UART, serial B2, not the 0403:6001 FT232R USB UART, serial A1 that was "
           "lost); waiting"},
          {[](FakeDeviceTree& t) {
               t.Unplug("ttyUSB0");
               AdapterA(t, "ttyUSB0");
           },
           Verdict::Back, "Waiting for COM1 (was /dev/ttyUSB0)"}}},
        {"an adapter without a serial number is known by its USB port",
         "COM1",
         [](FakeDeviceTree& t) {
             Ch340(t, "ttyUSB0", "1-1.4");
             LinkCom1(t, "dev/ttyUSB0");
         },
         {{[](FakeDeviceTree& t) {
               t.Unplug("ttyUSB0");
               Ch340(t, "ttyUSB0", "1-1.3"); // the same model, in the port beside it
           },
           Verdict::Refused,
           "COM1 now points at a different device (/dev/ttyUSB0 is the adapter 1a86:7523 USB "
           "Serial without a serial number on USB port 1-1.3, not the 1a86:7523 USB Serial "
           "without a serial number on USB port 1-1.4 that was lost); waiting"},
          {[](FakeDeviceTree& t) {
               t.Unplug("ttyUSB0");
               Ch340(t, "ttyUSB1", "1-1.4"); // ours, back in its port on another node
               LinkCom1(t, "dev/ttyUSB1");
           },
           Verdict::Back, "Waiting for COM1 (was /dev/ttyUSB0)"}}},
        {"a link pointed at what is no port is never opened",
         "COM1",
         pts3,
         {{[](FakeDeviceTree& t) {
               QFile::remove(t.Path("dev/pts/3"));
               t.Link("ports/COM1", "/dev/null");
           },
           Verdict::Refused, "COM1 now leads to /dev/null, which is not a serial port; waiting"},
          {[](FakeDeviceTree& t) {
               ASSERT_EQ(::mkfifo(t.Path("fifo").toLocal8Bit().constData(), 0600), 0);
               t.Link("ports/COM1", t.Path("fifo"));
           },
           Verdict::Refused, "COM1 now leads to /fifo, which is not a serial port; waiting"},
          {[](FakeDeviceTree& t) {
               t.File("notes.txt", "x");
               t.Link("ports/COM1", t.Path("notes.txt"));
           },
           Verdict::Refused, "COM1 now leads to /notes.txt, which is not a serial port; waiting"},
          {[](FakeDeviceTree& t) {
               t.File("dev/pts/5");
               t.Link("ports/COM1", t.Path("dev/pts/5"));
           },
           Verdict::Back, waitPts}}},
        {"a COM name without a link is the on-board port, and a link given later is taken",
         "COM1",
         [](FakeDeviceTree& t) { t.File("dev/ttyS0"); },
         {{[](FakeDeviceTree& t) { QFile::remove(t.Path("dev/ttyS0")); }, Verdict::Away,
           "Waiting for COM1 (was /dev/ttyS0)"},
          {[](FakeDeviceTree& t) {
               t.File("dev/pts/7");
               LinkCom1(t, "dev/pts/7");
           },
           Verdict::Back, "Waiting for COM1 (was /dev/ttyS0)"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDeviceTree t;
        ASSERT_TRUE(t.dir.isValid());
        c.before(t);
        const DeviceTree tree{QFileInfo(t.dir.path()).canonicalFilePath(), t.Path("ports")};
        const QString name = c.name.startsWith("COM") ? c.name : tree.root + "/" + c.name;
        LostLine lost(IdentifyLine(name, tree), tree);
        ASSERT_FALSE(lost.Lost().node.isEmpty());
        for (int i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(i);
            c.steps[i].change(t);
            const LineReturn r = lost.Check();
            EXPECT_EQ(r.verdict, c.steps[i].verdict) << r.text.toStdString();
            EXPECT_EQ(r.text, c.steps[i].text);
        }
    }
}

} // namespace

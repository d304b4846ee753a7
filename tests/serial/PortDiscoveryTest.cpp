#include "FakeDeviceTree.h"
#include "OpenFailure.h"
#include "PortList.h"
#include "PortName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

struct PortDiscoveryTest : ::testing::Test {
    FakeDeviceTree tree;
    QTemporaryDir links;
    void SetUp() override {
        ASSERT_TRUE(tree.dir.isValid());
        ASSERT_TRUE(links.isValid());
        qputenv("QETRA_PORTS_DIR", links.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("QETRA_PORTS_DIR"); }
};

} // namespace

TEST_F(PortDiscoveryTest, ListsTheMachinesDevicesAndComLinksBeforeTheOtherComNames) {
    tree.UsbAdapter("ttyUSB10", "1-2", "1a86", "7523", "", "USB Serial", "", "ch341-uart");
    tree.UsbAdapter("ttyUSB2", "1-1", "0403", "6001", "FTDI", "FT232R USB UART", "A10K3XYZ",
                    "ftdi_sio");
    tree.UsbAdapter("ttyACM0", "1-3", "2341", "0043", "Arduino", "Uno", "", "cdc_acm");
    tree.Link("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0", "../../ttyUSB2");
    // A link left behind by an adapter that has gone is not a port.
    tree.Link("dev/serial/by-id/usb-gone-if00-port0", "../../ttyUSB7");
    // ttyS0 has a UART, ttyS1 is an empty slot; ttyS1a is no port name at all.
    tree.File("sys/class/tty/ttyS0/type", "4\n");
    tree.File("sys/class/tty/ttyS1/type", "0\n");
    tree.File("dev/ttyS0");
    tree.File("dev/ttyS1");
    tree.File("dev/ttyS1a");
    tree.File("dev/ttyUSB");
    // The program's COM3 points at the stable name of the FTDI adapter.
    ASSERT_TRUE(
        QFile::link(tree.Path("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0"),
                    QDir(links.path()).filePath("COM3")));

    const QList<SerialPortInfo> ports = ListSerialPorts(tree.dir.path());
    QStringList paths;
    for (const SerialPortInfo& p : ports)
        paths << p.path.mid(tree.dir.path().size());
    EXPECT_EQ(paths, QStringList({"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0",
                                  "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS0"}));
    ASSERT_EQ(ports.size(), 4);

    const SerialPortInfo& ftdi = ports[0];
    EXPECT_EQ(ftdi.device, tree.Path("dev/ttyUSB2"));
    EXPECT_EQ(ftdi.vendorId, "0403");
    EXPECT_EQ(ftdi.productId, "6001");
    EXPECT_EQ(ftdi.manufacturer, "FTDI");
    EXPECT_EQ(ftdi.product, "FT232R USB UART");
    EXPECT_EQ(ftdi.serial, "A10K3XYZ");
    EXPECT_EQ(ftdi.driver, "ftdi_sio");
    EXPECT_EQ(ftdi.comNames, QStringList({"COM3"}));
    EXPECT_EQ(SerialPortDetails(ftdi),
              "= " + tree.Path("dev/ttyUSB2") +
                  "  0403:6001  FTDI FT232R USB UART, serial A10K3XYZ  [COM3]");

    const SerialPortInfo& ch340 = ports[1];
    EXPECT_EQ(SerialPortLine(ch340), tree.Path("dev/ttyUSB10") + "  1a86:7523  USB Serial");
    EXPECT_EQ(ports[2].driver, "cdc_acm");
    // An on-board port: no USB device above it, nothing but its name.
    EXPECT_EQ(SerialPortLine(ports[3]), tree.Path("dev/ttyS0"));

    // The port list: the devices, then the COM links (by the device they end at, a link
    // whose adapter is away named as such), the on-board ports, the other COM names.
    ASSERT_TRUE(QFile::link(tree.Path("dev/ttyACM0"), QDir(links.path()).filePath("com12")));
    ASSERT_TRUE(QFile::link(tree.Path("dev/serial/by-id/usb-gone-if00-port0"),
                            QDir(links.path()).filePath("COM7")));
    const auto device = [&](const QString& rel) {
        return QFileInfo(tree.Path(rel)).canonicalFilePath();
    };
    using K = PortChoice::Kind;
    const struct {
        K kind;
        QString name, details;
    } expected[] = {
        {K::Adapter, tree.Path("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0"),
         SerialPortDetails(ftdi)},
        {K::UsbDevice, tree.Path("dev/ttyUSB10"), "1a86:7523  USB Serial"},
        {K::UsbDevice, tree.Path("dev/ttyACM0"), "2341:0043  Arduino Uno  [COM12]"},
        {K::ComLink, "COM3",
         "= " + device("dev/ttyUSB2") + "  0403:6001  FTDI FT232R USB UART, serial A10K3XYZ"},
        {K::ComLink, "COM7",
         "= " + tree.Path("dev/serial/by-id/usb-gone-if00-port0") + " (not present)"},
        {K::ComLink, "COM12", "= " + device("dev/ttyACM0") + "  2341:0043  Arduino Uno"},
        {K::OnBoard, tree.Path("dev/ttyS0"), ""},
        {K::ComName, "COM1", "= /dev/ttyS0"},
        {K::ComName, "COM2", "= /dev/ttyS1"},
        {K::ComName, "COM4", "= /dev/ttyS3"},
    };
    const QList<PortChoice> choices = ListPortChoices(tree.dir.path());
    ASSERT_EQ(choices.size(), 7 + kMaxComPort - 3);
    for (qsizetype i = 0; i < qsizetype(std::size(expected)); ++i) {
        const auto& e = expected[i];
        EXPECT_EQ(choices[i].kind, e.kind) << i;
        EXPECT_EQ(choices[i].name, e.name) << i;
        // The on-board ttyS of this machine may be there or not.
        if (e.kind == K::ComName)
            EXPECT_TRUE(choices[i].details.startsWith(e.details))
                << choices[i].details.toStdString();
        else
            EXPECT_EQ(choices[i].details, e.details) << i;
    }
    EXPECT_EQ(choices.last().name, "COM128");
    EXPECT_EQ(choices[3].line,
              "COM3 -> " +
                  tree.Path("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0") +
                  "  = " + device("dev/ttyUSB2"));
}

TEST(OpenFailureText, SaysWhyAndWhatToDoForEachError) {
    struct Case {
        int error;
        bool notTerminal;
        QString group;
        bool inGroup;
        QList<DeviceHolder> holders;
        QString text;
    };
    const QString d = "/dev/ttyUSB0";
    const Case cases[] = {
        {ENOENT,
         false,
         {},
         false,
         {},
         d + ": no such device. The adapter is not plugged in (or the port name is wrong)."},
        {ENXIO,
         false,
         {},
         false,
         {},
         d + ": no such device. The adapter is not plugged in (or the port name is wrong)."},
        {EACCES,
         false,
         "dialout",
         false,
         {},
         d + ": permission denied. The device belongs to group dialout: add your user to it "
             "(sudo usermod -aG dialout $USER), then log out and in again."},
        {EACCES,
         false,
         "dialout",
         true,
         {},
         d + ": permission denied. The device belongs to group dialout, which your account "
             "already has: log out and in again so that it takes effect."},
        {EPERM,
         false,
         {},
         false,
         {},
         d + ": permission denied. No group may use it: ask the administrator for access to "
             "the device."},
        {EBUSY, false, {}, false, {}, d + " is busy: another program has it open."},
        {EBUSY,
         false,
         {},
         false,
         {{812, "brltty"}},
         d + " is busy: another program has it open. Held by brltty (process 812). brltty (the "
             "Braille display service) takes USB serial adapters such as the CH340; remove it "
             "(sudo apt remove brltty) if nobody here uses a Braille display."},
        {EBUSY,
         false,
         {},
         false,
         {{77, "ModemManager"}, {78, "minicom"}},
         d + " is busy: another program has it open. Held by ModemManager (process 77), "
             "minicom (process 78). ModemManager probes new serial devices for a modem; wait a "
             "few seconds, or stop it (sudo systemctl stop ModemManager)."},
        {EIO,
         false,
         {},
         false,
         {},
         d + ": the device does not answer. There is no port behind it, or the adapter is "
             "going away."},
        {EISDIR, false, {}, false, {}, d + " is a folder, not a serial device."},
        {0, true, {}, false, {}, d + " is not a serial device (it is no terminal)."},
        {ENOMEM, false, {}, false, {}, d + ": Cannot allocate memory."},
    };
    for (const Case& c : cases) {
        OpenFailure f;
        f.device = d;
        f.error = c.error;
        f.notTerminal = c.notTerminal;
        f.group = c.group;
        f.userInGroup = c.inGroup;
        f.holders = c.holders;
        EXPECT_EQ(OpenFailureText(f), c.text) << "errno " << c.error;
    }
}

TEST_F(PortDiscoveryTest, HoldersAreFoundByTheirOpenFileDescriptors) {
    tree.File("proc/812/comm", "brltty\n");
    tree.Link("proc/812/fd/0", "/dev/null");
    tree.Link("proc/812/fd/7", "/dev/ttyUSB0");
    tree.File("proc/900/comm", "bash\n");
    tree.Link("proc/900/fd/1", "/dev/ttyUSB1");
    tree.File("proc/self/comm", "x\n"); // not a process number
    const QList<DeviceHolder> h = FindDeviceHolders("/dev/ttyUSB0", tree.Path("proc"));
    ASSERT_EQ(h.size(), 1);
    EXPECT_EQ(h[0].pid, 812);
    EXPECT_EQ(h[0].name, "brltty");
}

TEST_F(PortDiscoveryTest, BadPortChoicesAreRefusedWithTheirReason) {
    tree.File("plain");
    tree.Link("dev/serial/by-id/usb-gone-if00-port0", "../../ttyUSB7");
    struct Case {
        QString name;
        QString reason; // empty: accepted
    };
    const Case cases[] = {
        {"COM1", {}},
        {"\\\\.\\com128", {}},
        {"COM0", "COM0 is not a port of the program: use COM1 to COM128"},
        {"COM129", "COM129 is not a port of the program: use COM1 to COM128"},
        {"ttyUSB0", "\"ttyUSB0\" is neither COM1..COM128 nor a device path such as /dev/ttyUSB0"},
        {tree.Path("dev/serial/by-id/usb-gone-if00-port0"),
         tree.Path("dev/serial/by-id/usb-gone-if00-port0") + " points to " +
             tree.Path("dev/ttyUSB7") + ", which does not exist: the adapter is not plugged in"},
        {tree.Path("nothing"), tree.Path("nothing") + " does not exist: the adapter is not "
                                                      "plugged in, or the name is wrong"},
        {tree.dir.path(), tree.dir.path() + " is a folder, not a serial device"},
        {tree.Path("plain"),
         tree.Path("plain") + " is not a serial device (not a character device)"},
        {"/dev/null", "/dev/null is not a serial device (a character device, but no terminal)"},
        {"/dev/ptmx", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckPortChoice(c.name), c.reason) << c.name.toStdString();

    QString why;
    EXPECT_FALSE(RegisterComPort("COM129", "/dev/ptmx", &why));
    EXPECT_EQ(why, "COM129 is not a port of the program: use COM1 to COM128");
    EXPECT_FALSE(QFileInfo::exists(QDir(links.path()).filePath("COM129")));
}

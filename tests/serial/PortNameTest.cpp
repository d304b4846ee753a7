#include "PortName.h"
#include "QtTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PortNameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("QETRA_PORTS_DIR", dir.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("QETRA_PORTS_DIR"); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(PortNameTest, ComNamesFallBackToOnBoardPorts) {
    EXPECT_EQ(ResolvePortName("\\\\.\\COM1"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortName("com12"), "/dev/ttyS11");
    EXPECT_EQ(ResolvePortName("\\\\.\\/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortName("/dev/ttyACM1"), "/dev/ttyACM1");
    EXPECT_EQ(ResolvePortName("COM0"), "COM0");
    EXPECT_EQ(ResolvePortName("LPT1"), "LPT1");
    EXPECT_EQ(ComPortNumber("\\\\.\\Com128"), 128);
    EXPECT_EQ(ComPortNumber("COM1x"), 0);
}

TEST_F(PortNameTest, RegisteredLinkWinsAndIsRemovedOnlyByItsOwner) {
    const QString device = dir.filePath("pty-stand-in");
    QFile f(device);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString why;
    ASSERT_TRUE(RegisterComPort("\\\\.\\COM3", device, &why)) << why.toStdString();
    EXPECT_EQ(ResolvePortName("\\\\.\\COM3"), QDir(dir.path()).filePath("COM3"));
    EXPECT_EQ(QFileInfo(ResolvePortName("com3")).canonicalFilePath(),
              QFileInfo(device).canonicalFilePath());

    UnregisterComPort("COM3", dir.filePath("someone-else"));
    EXPECT_TRUE(QFileInfo(dir.filePath("COM3")).isSymLink());
    UnregisterComPort("COM3", device);
    EXPECT_EQ(ResolvePortName("COM3"), "/dev/ttyS2");

    EXPECT_FALSE(RegisterComPort("ttyS0", device, &why));
}

TEST_F(PortNameTest, LowercaseWineStyleLinkIsFound) {
    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("com7")));
    EXPECT_EQ(ResolvePortName("COM7"), dir.filePath("com7"));
}

// Giving COM3 a device that is reached through COM3 itself would leave a link to itself;
// it is refused and the link kept. Any other assignment replaces the link in one step,
// leaving nothing behind.
TEST_F(PortNameTest, AssigningAPathThroughTheSameLinkKeepsTheLink) {
    const QString device = dir.filePath("pty-stand-in");
    const QString other = dir.filePath("other-stand-in");
    for (const QString& path : {device, other}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QDir folder(dir.path());
    struct Case {
        const char* what;
        QString device; // assigned to COM3, with COM3 -> device and COM4 -> COM3
        bool assigned;
        QString resolves; // what COM3 leads to afterwards
    };
    const Case cases[] = {
        {"the link itself", folder.filePath("COM3"), false, device},
        {"the link by a roundabout path", folder.filePath("../" + folder.dirName() + "/COM3"),
         false, device},
        {"another link that leads through it", folder.filePath("COM4"), false, device},
        {"a link that leads elsewhere", folder.filePath("COM5"), true, other},
        {"another device", other, true, other},
        {"the same device again", device, true, device},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString why;
        ASSERT_TRUE(RegisterComPort("COM3", device, &why)) << why.toStdString();
        ASSERT_TRUE(RegisterComPort("COM4", folder.filePath("COM3"), &why)) << why.toStdString();
        ASSERT_TRUE(RegisterComPort("COM5", other, &why)) << why.toStdString();
        why.clear();
        EXPECT_EQ(RegisterComPort("COM3", c.device, &why), c.assigned);
        EXPECT_EQ(why.isEmpty(), c.assigned) << why.toStdString();
        EXPECT_EQ(QFileInfo(ResolvePortName("COM3")).canonicalFilePath(),
                  QFileInfo(c.resolves).canonicalFilePath());
        EXPECT_EQ(folder.entryList(QDir::System | QDir::Hidden | QDir::NoDotAndDotDot | QDir::Files)
                      .filter(".new"),
                  QStringList());
    }
}

#include "PortName.h"

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

// The window layout kept between runs: what is saved comes back the same, and a layout
// from a larger screen is fitted into the present one.
#include "WindowLayout.h"

#include "WindowTable.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(WindowLayout, FittingKeepsEveryWindowReachable) {
    const QRect area(0, 0, 1000, 600);
    const struct {
        const char* what;
        QRect window;
        bool shrink;
        QRect fitted;
    } cases[] = {
        {"inside stays", {100, 50, 300, 200}, false, {100, 50, 300, 200}},
        {"past the right edge moves left", {900, 50, 300, 200}, false, {700, 50, 300, 200}},
        {"past the bottom moves up", {100, 500, 300, 200}, false, {100, 400, 300, 200}},
        {"above and left moves in", {-80, -40, 300, 200}, false, {0, 0, 300, 200}},
        {"far away comes back", {5000, 4000, 300, 200}, false, {700, 400, 300, 200}},
        {"larger fixed starts at the corner", {300, 300, 1200, 700}, false, {0, 0, 1200, 700}},
        {"larger resizable is cut", {300, 300, 1200, 700}, true, {0, 0, 1000, 600}},
        {"wider resizable is cut in width", {300, 300, 1200, 100}, true, {0, 300, 1000, 100}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitInto(c.window, area, c.shrink), c.fitted) << c.what;
}

TEST(WindowLayout, SavedLayoutComesBackAndALargerOneIsFittedToTheScreen) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
    settings.setValue("Comm/PortName", "COM3");

    WindowLayout none;
    EXPECT_FALSE(ReadWindowLayout(settings, none)); // a first run

    // Saved on a large desktop at a small scale: bigger than the laptop it starts on.
    WindowLayout saved;
    saved.frame = QRect(2200, 1300, 2400, 1400);
    saved.toolBars = QByteArray("\x00\x01tool", 6);
    saved.trafficColumns = QByteArray("\xff\x00columns", 9);
    saved.children = {{"FormWave", {40, 30, 1900, 900}, true, false},
                      {"FormTrafficMonitor", {10, 20, 900, 400}, false, true},
                      {"FormBase", {0, 0, 640, 480}, false, false}};
    WriteWindowLayout(settings, saved);
    WindowLayout read;
    ASSERT_TRUE(ReadWindowLayout(settings, read));
    EXPECT_EQ(read, saved);
    EXPECT_EQ(settings.value("Comm/PortName").toString(), "COM3"); // beside the line's group

    const QRect laptop(0, 0, 1366, 728);
    EXPECT_EQ(FitFrame(read.frame, {1024, 700}, laptop), laptop);
    EXPECT_EQ(FitFrame(QRect(), {1024, 700}, laptop), QRect(171, 14, 1024, 700)); // first run
    EXPECT_EQ(FitFrame(QRect(), {1024, 700}, {0, 0, 853, 480}), QRect(0, 0, 853, 480));

    // A shorter list replaces a longer one whole, and a damaged entry is passed over.
    saved.children.removeLast();
    saved.maximised = true;
    WriteWindowLayout(settings, saved);
    settings.setValue("Layout/Windows/1/Geometry", "nowhere"); // the first entry
    ASSERT_TRUE(ReadWindowLayout(settings, read));
    ASSERT_EQ(read.children.size(), 1);
    EXPECT_EQ(read.children[0].name, "FormTrafficMonitor");
    EXPECT_TRUE(read.maximised);

    // A frame that cannot be read is no layout: the window starts as on a first run.
    settings.setValue("Layout/Frame", "garbled");
    EXPECT_FALSE(ReadWindowLayout(settings, read));
    ForgetWindowLayout(settings);
    EXPECT_FALSE(settings.childGroups().contains("Layout"));
    EXPECT_TRUE(settings.childGroups().contains("Comm"));
}

// The count of open windows comes from the file: a damaged or hostile one must not keep
// the program reading entries before it shows up. No more are read than the program has
// windows, whatever the count says and however many entries follow it.
TEST(WindowLayout, NoMoreWindowsAreReadThanTheProgramHas) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
    const int windows = int(WindowTable().size());
    WindowLayout saved;
    saved.frame = QRect(0, 0, 800, 600);
    for (int i = 0; i < windows + 20; ++i)
        saved.children << ChildPlacement{
            WindowTable()[size_t(i % windows)].name, {i, i, 300, 200}, false, false};
    WriteWindowLayout(settings, saved);
    for (const qint64 count : {qint64(windows + 20), qint64(2147483647)}) {
        SCOPED_TRACE(count);
        settings.setValue("Layout/Windows/size", count);
        WindowLayout read;
        ASSERT_TRUE(ReadWindowLayout(settings, read));
        ASSERT_EQ(read.children.size(), windows);
        EXPECT_EQ(read.children, saved.children.mid(0, windows));
    }
}

} // namespace

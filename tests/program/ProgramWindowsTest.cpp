// Every window subsystem registered with one main window, as the program starts it: what
// the meter is asked in turn, what follows each write it confirms, and how the windows
// share a small screen and come back at the next start.

#include "ProgramWindows.h"
#include "TestShell.h"
#include "WindowLayout.h"
#include "WindowTable.h"
#include "WindowTestSupport.h"
#include "frmTrafficMonitor.h"

#include <QHeaderView>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

class ProgramWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp();
        t.Make({RegisterProgramWindows});
        t->show();
    }

    TestShell t;
};

} // namespace

TEST_F(ProgramWindowsTest, TheFirstRequestsOfASessionAndTheActiveWindowsBlocks) {
    PollSchedule& s = t->Schedule();
    const QString coils = "01,01,00,00,00,02,00,00", inputs = "01,02,00,00,00,04,00,00";
    const QString metering = "01,03,01,30,00,36,00,00", params = "01,03,01,00,00,22,00,00";
    const QString temp = "01,03,05,18,00,01,00,00", alarms = "01,03,03,54,00,49,00,00";
    // The 7300's alarm records window, created at start-up, is the active one; its
    // activation read of the group items, asked before "Start COMM", follows the parameters.
    s.Restart(); // "Start COMM"
    QStringList first15;
    for (int i = 0; i < 15; ++i)
        first15 << s.NextMessage(1);
    EXPECT_EQ(first15, QStringList({"01,03,05,1B,00,19,00,00", params, "01,03,03,30,00,1F,00,00",
                                    coils, inputs, metering, params, temp, alarms, coils, inputs,
                                    metering, params, temp, alarms}));

    // The max/min window brought forward takes the sixth place with its two blocks in turn.
    t->ShowWindowOfMenuItem("MM0203");
    QStringList sixth;
    for (int i = 0; i < 18; ++i) {
        const QString m = s.NextMessage(1);
        if (s.RotationIndex() == 0)
            sixth << m;
    }
    EXPECT_EQ(sixth, QStringList({"01,03,02,39,00,77,00,00", "01,03,02,B0,00,77,00,00",
                                  "01,03,02,39,00,77,00,00"}));
}

TEST_F(ProgramWindowsTest, EveryConfirmedWriteShowsItsBoxClosesItsWindowAndReadsBack) {
    const QString coefficients = "00,03,05,1B,00,19,00,00";
    const QString alarms = "00,03,03,30,00,1F,00,00";
    const struct {
        quint16 addr;
        QString box;
        QStringList reads;  // the one-shot reads waiting after the write
        const char* closes; // a window open before the write and closed by it
    } cases[] = {
        {0x100,
         "Meter Parameters have modified successfully!",
         {"00,03,01,00,00,14,00,00"},
         nullptr},
        {0x156, "Energy Parameters have modified successfully!", {}, nullptr},
        {0x32A, "Meter Clock has adjusted successfully!", {}, nullptr},
        {0x330, "Alarm Parameters have modified successfully!", {alarms}, "FormSetAlarm"},
        {0x51B,
         "Modular Coefficients have modified successfully!",
         {coefficients},
         "FormChangeConst"},
        {0x526,
         "Modular Coefficients have modified successfully!",
         {coefficients},
         "FormChangeConst"},
        {0x529, "Meter Coefficients have modified successfully!", {coefficients}, nullptr},
        {0x52A, "Meter Display Mode has modified successfully!", {coefficients}, nullptr},
        {0x52B, "Meter PT Type has modified successfully!", {coefficients}, nullptr},
        {0x52C,
         "Angle Difference Const has modified successfully!",
         {coefficients},
         "FormChangeConst"},
        {0x531,
         "Angle Difference Const has modified successfully!",
         {coefficients},
         "FormChangeConst"},
        {0x52E, "", {coefficients}, nullptr},
        {0x115, "", {}, nullptr},
        {0x114, "", {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.addr);
        // Both windows a write can finish are open; only the write's own one closes.
        for (const char* name : {"FormSetAlarm", "FormChangeConst"})
            ASSERT_NE(t->ShowWindowNamed(name), nullptr) << name;
        t.dialogs.Clear();
        t->Schedule().Queue(ReadOnceSlot, QString());
        t->Routing().WriteConfirmed(c.addr);
        if (c.box.isEmpty()) {
            EXPECT_TRUE(t.dialogs.Shown().isEmpty());
        } else {
            ASSERT_EQ(t.dialogs.Shown().size(), 1);
            EXPECT_EQ(t.dialogs.Shown()[0].text, c.box);
        }
        QStringList reads = t->Schedule().PendingReads();
        // The alarm settings window may come to the front when the coefficients window
        // closes; what it asks for then is its activation read, not a read-back.
        if (c.closes != nullptr && QString(c.closes) == "FormChangeConst")
            reads.removeAll(alarms);
        EXPECT_EQ(reads, c.reads);
        for (const char* name : {"FormSetAlarm", "FormChangeConst"})
            EXPECT_EQ(t->IsChildOpen(name), c.closes == nullptr || QString(c.closes) != name)
                << name;
    }
}

TEST_F(ProgramWindowsTest, WriteReplyForTheCoefficientAreaQueuesTheirReadWithoutABox) {
    t.Make({RegisterProgramWindows}, TestShell::ScriptedLine);
    t.FastLine();
    t->Schedule().Queue(WriteSlot, "00,B0,05,2E,00,01,02,00,01,00,00");
    t.port.Reply = ZeroMeterReply;
    t->StartPolling(); // a start drops writes queued while stopped
    EXPECT_TRUE(t->Schedule().Slot(WriteSlot).isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return t->Connected(); }));
    t.dialogs.Clear();
    t->Schedule().Queue(WriteSlot, "00,B0,05,2E,00,01,02,00,01,00,00");
    ASSERT_TRUE(WaitUntil([&] {
        const QList<QByteArray>& sent = t.port.sent;
        for (qsizetype i = 1; i < sent.size(); ++i)
            if (quint8(sent[i - 1][1]) == 0xB0 &&
                sent[i].left(6) == QByteArray::fromHex("0103051b0019"))
                return true;
        return false;
    }));
    EXPECT_TRUE(t.dialogs.Shown().isEmpty());
    t->StopPolling();
    EXPECT_TRUE(WaitUntil([&] { return !t->Modbus().CycleBusy(); }));
}

// A placement as a test failure shows it.
void PrintTo(const ChildPlacement& p, std::ostream* os) {
    *os << p.name.toStdString() << " " << p.geometry.x() << "," << p.geometry.y() << " "
        << p.geometry.width() << "x" << p.geometry.height() << (p.minimised ? " min" : "")
        << (p.maximised ? " max" : "");
}

namespace {

// Opens every client-area window of the program and returns their names.
QStringList OpenEveryWindow(TFormTeskLink& shell) {
    QStringList names;
    for (const WindowRow& row : WindowTable()) {
        const QString name = QLatin1String(row.name);
        if (row.placement == WindowPlacement::MdiChild && shell.IsWindowRegistered(name) &&
            shell.SubWindowOf(shell.ShowWindowNamed(name)) != nullptr)
            names << name;
    }
    QCoreApplication::processEvents();
    return names;
}

// The largest grid, list or chart of a window: what must follow a larger frame.
QWidget* MainContent(QWidget* window) {
    QWidget* largest = nullptr;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool content = qobject_cast<QAbstractScrollArea*>(w) != nullptr ||
                             QByteArray(w->metaObject()->className()).endsWith("Chart");
        if (content && w->isVisible() &&
            (largest == nullptr ||
             w->width() * w->height() > largest->width() * largest->height())) {
            largest = w;
        }
    }
    return largest;
}

} // namespace

TEST_F(ProgramWindowsTest, TheMainWindowFitsALaptopScreenWithEveryWindowOpen) {
    ASSERT_GE(OpenEveryWindow(*t.shell).size(), 10);
    // The smallest frame comes from the menus and bars, not from the largest child: it
    // fits a 1280 x 720 screen even at 150 % (853 x 480 pixels of the program's own).
    const QSize least = t->minimumSizeHint().expandedTo(t->minimumSize());
    EXPECT_LE(least.width(), 853);
    EXPECT_LE(least.height(), 480);
    for (const QSize screen : {QSize(1366, 768), QSize(1280, 720), QSize(853, 480)}) {
        t->resize(screen);
        QCoreApplication::processEvents();
        EXPECT_EQ(t->size(), screen);
        auto* counters = t->findChild<QWidget*>("StatusBar2");
        ASSERT_NE(counters, nullptr);
        EXPECT_TRUE(counters->isVisible());
        EXPECT_LE(counters->mapTo(t.shell.get(), QPoint(0, counters->height())).y(),
                  screen.height());
    }
}

TEST_F(ProgramWindowsTest, GridAndChartWindowsGrowWithTheirFrameAndFormsKeepTheirSize) {
    t->resize(1366, 768);
    const QStringList open = OpenEveryWindow(*t.shell);
    const QStringList growing = {
        "FormWave", "FormSuperNum",   "FormAlarm",         "FormTrafficMonitor", "FormTrends",
        "FormBus",  "FormConfigSave", "FormConfigCompare", "FormConfigRestore",  "FormConfigClone"};
    for (const QString& name : open) {
        QMdiSubWindow* sub = t->SubWindowOf(t->Window(name));
        ASSERT_NE(sub, nullptr) << name.toStdString();
        sub->showNormal();
        QCoreApplication::processEvents();
        QWidget* content = MainContent(sub->widget());
        const QSize before = sub->size();
        const QSize contentBefore = content ? content->size() : QSize();
        sub->resize(before + QSize(240, 160));
        QCoreApplication::processEvents();
        if (growing.contains(name)) {
            EXPECT_EQ(sub->size(), before + QSize(240, 160)) << name.toStdString();
            ASSERT_NE(content, nullptr) << name.toStdString();
            EXPECT_TRUE(content->width() > contentBefore.width() ||
                        content->height() > contentBefore.height())
                << name.toStdString() << " did not follow its frame";
        } else if (sub->widget()->layout() &&
                   sub->widget()->layout()->sizeConstraint() == QLayout::SetFixedSize) {
            EXPECT_EQ(sub->size(), before) << name.toStdString();
        } else {
            ADD_FAILURE() << name.toStdString() << " is neither a form nor a growing window";
        }
    }
    for (const QString& name : growing)
        EXPECT_TRUE(open.contains(name)) << name.toStdString() << " was not checked";
}

TEST_F(ProgramWindowsTest, CascadeAndTileKeepEveryWindowInTheClientArea) {
    OpenEveryWindow(*t.shell);
    QMdiArea* area = t->ClientArea();
    // A laptop screen less its panel, and a 1280 x 720 one at 150 %: there most windows
    // are larger than their share of the area, and some larger than the area.
    for (const QSize screen : {QSize(1366, 728), QSize(853, 480)})
        for (const char* command : {"N6", "N7", "N8"}) {
            t->resize(screen);
            // Start from a scattered desk: windows half outside the area.
            for (QMdiSubWindow* sub : area->subWindowList()) {
                if (!sub->isMinimized())
                    sub->move(area->viewport()->width() - 40, area->viewport()->height() - 30);
            }
            t->Action(command)->trigger();
            QCoreApplication::processEvents();
            const QRect view = area->viewport()->rect();
            for (QMdiSubWindow* sub : area->subWindowList()) {
                if (sub->isHidden() || sub->isMinimized())
                    continue;
                const std::string what =
                    std::string(command) + " " + sub->widget()->objectName().toStdString();
                EXPECT_TRUE(view.contains(sub->geometry().topLeft())) << what;
                if (sub->width() <= view.width() && sub->height() <= view.height()) {
                    EXPECT_TRUE(view.contains(sub->geometry())) << what;
                }
            }
        }
}

TEST_F(ProgramWindowsTest, TheLayoutIsKeptAcrossARestartAndFittedToASmallerScreen) {
    t->resize(1200, 700);
    t->ShowTrafficMonitor();
    t->ShowWindowNamed(WindowName::Para);
    QMdiSubWindow* monitor = t->SubWindowOf(t->Window(WindowName::TrafficMonitor));
    QMdiSubWindow* para = t->SubWindowOf(t->Window(WindowName::Para));
    ASSERT_TRUE(monitor && para);
    monitor->setGeometry(30, 40, 700, 300);
    para->move(60, 20);
    auto* columns =
        t->WindowAs<TFormTrafficMonitor>(WindowName::TrafficMonitor)->View()->horizontalHeader();
    columns->resizeSection(0, 173);
    t->SubWindowOf(t->Window(WindowName::Wave))->showMinimized();
    QCoreApplication::processEvents();
    const WindowLayout left = t->CurrentLayout();
    t->close();

    auto restart = [this] {
        t.Make({RegisterProgramWindows}, TestShell::NoLine, false);
        t->ShowWithSavedLayout(); // starts up when shown
        QCoreApplication::processEvents();
    };
    // The same windows in the same order and states; those that fit the (smaller) test
    // screen in the same places.
    auto opened = [](const WindowLayout& layout) {
        QStringList names;
        for (const ChildPlacement& c : layout.children)
            names << c.name + (c.minimised ? " minimised" : "");
        return names;
    };
    restart();
    EXPECT_EQ(opened(t->CurrentLayout()), opened(left));
    EXPECT_EQ(t->SubWindowOf(t->Window(WindowName::TrafficMonitor))->geometry(),
              QRect(30, 40, 700, 300));
    EXPECT_EQ(t->SubWindowOf(t->Window(WindowName::Para))->pos(), QPoint(60, 20));
    EXPECT_EQ(t->WindowAs<TFormTrafficMonitor>(WindowName::TrafficMonitor)
                  ->View()
                  ->horizontalHeader()
                  ->sectionSize(0),
              173);
    EXPECT_TRUE(t->SubWindowOf(t->Window(WindowName::Wave))->isMinimized());

    // Saved on a much larger desktop: the frame and its windows are fitted to this one.
    WindowLayout huge = left;
    huge.maximised = false;
    huge.frame = QRect(3000, 2000, 3800, 2100);
    for (ChildPlacement& c : huge.children)
        c.geometry.moveTopLeft({3100, 1900});
    t.shell.reset();
    WriteWindowLayout(t.settings, huge);
    restart();
    const QRect screen = t->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(QRect(t->pos(), t->size())))
        << t->x() << "," << t->y() << " " << t->width() << "x" << t->height();
    const QRect view = t->ClientArea()->viewport()->rect();
    for (const QString& name : {WindowName::TrafficMonitor, WindowName::Para}) {
        const QRect g = t->SubWindowOf(t->Window(name))->geometry();
        EXPECT_TRUE(view.contains(g.topLeft())) << name.toStdString();
    }

    // "Reset Layout" forgets it: the next start is a first run again.
    t->Action("mnuResetLayout")->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(t.settings.childGroups().contains("Layout"));
    EXPECT_FALSE(t->SubWindowOf(t->Window(WindowName::Base))->isMinimized());
    EXPECT_TRUE(t->SubWindowOf(t->Window(WindowName::Wave))->isMinimized());
}

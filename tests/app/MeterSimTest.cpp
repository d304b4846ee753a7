#include "MeterSimProcess.h"
#include "TestShell.h"
#include "TqvModbus.h"
#include "frmComm.h"
#include "frmMain.h"
#include "ui_frmComm.h"

#include <memory>

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QApplication>);

// The simulated meter on a pseudo-terminal, registered as COM1 in a private folder of
// port links so the user's own links are left alone.
struct MeterSimFixture : ::testing::Test {
    QTemporaryDir ports;
    QTemporaryDir config;
    std::unique_ptr<MeterSimProcess> sim;
    QString device;

    void SetUp() override {
        ASSERT_TRUE(ports.isValid());
        ASSERT_TRUE(config.isValid());
        // The simulator registers COM1 there, and the program looks it up there.
        qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
        // -v: the simulator traces every frame it receives on standard error.
        sim = std::make_unique<MeterSimProcess>(QStringList{"--port", "COM1", "-v"});
        ASSERT_TRUE(sim->started()) << qPrintable(sim->errors());
        device = sim->device();
    }
    void TearDown() override {
        sim.reset();
        qunsetenv("QETRA_PORTS_DIR");
    }
};

} // namespace

TEST_F(MeterSimFixture, PollsTheMeterShowsTrafficAndSavesOnQuitWhenAsked) {
    ASSERT_TRUE(device.startsWith("/dev/"));
    QSettings settings(config.filePath("settings.ini"), QSettings::IniFormat);
    ScriptedDialogs dialogs;
    ShellOptions o;
    o.dialogs = &dialogs;
    o.settings = &settings;
    o.portSettleMs = 0;
    TFormTeskLink shell(o);
    shell.StartUp();
    ASSERT_TRUE(dialogs.Shown().isEmpty()) << dialogs.Texts().join('|').toStdString();
    ASSERT_TRUE(shell.Modbus().PortOpen());

    shell.Action("MMStart")->trigger();
    QStringList txSeen;
    ASSERT_TRUE(WaitUntil([&] {
        txSeen << shell.StatusText(0);
        return shell.StatusText(0).startsWith("TxD: 01 03 01 00 00 22 ");
    }));
    ASSERT_TRUE(WaitUntil([&] { return shell.StatusText(1).startsWith("RxD: 01 "); }));
    ASSERT_TRUE(WaitUntil([&] { return shell.Connected(); }, 15000));
    const int sentEarlier = shell.State().Traffic.SendCount;
    ASSERT_TRUE(WaitUntil([&] { return shell.State().Traffic.SendCount >= sentEarlier + 5; }));
    EXPECT_TRUE(shell.StatusText(2, 0).startsWith("Send= "));
    EXPECT_EQ(shell.StatusText(2, 1), "No Response= 0");
    EXPECT_EQ(shell.StatusText(2, 2), "CRC Error= 0");
    EXPECT_EQ(shell.StatusText(2, 3), "OK=   100.00%");

    shell.Action("MMStop")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !shell.Modbus().CycleBusy(); }));
    EXPECT_EQ(shell.StatusText(0), QString());

    // The operator asks for the settings to be kept.
    {
        TFormComm comm(shell);
        comm.Controls().CheckBox1->setChecked(true);
        ASSERT_TRUE(comm.Button1Click());
    }
    EXPECT_TRUE(shell.Modbus().PortOpen());
    shell.Action("MMExit")->trigger();
    EXPECT_FALSE(shell.Modbus().PortOpen());
    settings.sync();
    EXPECT_EQ(settings.value("Comm/PortName").toString(), "COM1");
    EXPECT_EQ(settings.value("Comm/Baudrate").toInt(), 9600);
    EXPECT_EQ(settings.value("Comm/DevAddr").toInt(), 1);
    EXPECT_EQ(settings.value("Comm/QueryInterval").toInt(), 200);
    EXPECT_TRUE(dialogs.Shown().isEmpty());
}

TEST_F(MeterSimFixture, AWriteQueuedBeforeAnIdleSixthPlaceReachesTheMeterOnce) {
    TestShell t;
    t.Make({}, TestShell::RealPort);
    ASSERT_TRUE(t->Modbus().PortOpen());
    t->StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return t->Connected(); }, 15000));
    // No measurement window is active. Right after the temperature read goes out, the
    // operator switches RO1 on: the command is the next request, and the sixth place of
    // the rotation follows it.
    ASSERT_TRUE(WaitUntil([&] { return t->StatusText(0).startsWith("TxD: 01 03 05 18 "); }));
    t->Schedule().Queue(RelaySlot, "00,05,00,00,FF,00,00,00");
    const int sent = t->State().Traffic.SendCount;
    ASSERT_TRUE(WaitUntil([&] { return t->State().Traffic.SendCount >= sent + 5; }));
    t->StopPolling();
    ASSERT_TRUE(WaitUntil([&] { return !t->Modbus().CycleBusy(); }));
    EXPECT_EQ(sim->errors().count("rx 01 05 00 00 FF 00"), 1) << qPrintable(sim->errors());
}

#include "CommModbusPort.h"
#include "LineNoticeBar.h"
#include "LineStatusText.h"
#include "MeterSimProcess.h"
#include "PosixSerialDevice.h"
#include "TComm.h"
#include "TestShell.h"
#include "TqvModbus.h"
#include "frmComm.h"
#include "frmMain.h"
#include "frmSearch.h"
#include "ui_frmComm.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {

// The serial device of the program, noting every path it is asked to open.
struct RecordingDevice : PosixSerialDevice {
    explicit RecordingDevice(QStringList& opened) : opened_(opened) {}
    OpenResult Open(const QString& path) override {
        opened_ << QFileInfo(path).canonicalFilePath();
        return PosixSerialDevice::Open(path);
    }
    QStringList& opened_;
};

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QApplication>);

// The simulated meter on a pseudo-terminal, registered as COM1 in a private folder of
// port links so the user's own links are left alone.
struct MeterSimFixture : ::testing::Test {
    QTemporaryDir ports;
    std::unique_ptr<MeterSimProcess> sim;
    QString device;

    void SetUp() override {
        ASSERT_TRUE(ports.isValid());
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
    TestShell t;
    TFormTeskLink& shell = t.Make({}, TestShell::RealPort);
    ScriptedDialogs& dialogs = t.dialogs;
    QSettings& settings = t.settings;
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
        TFormComm comm(shell, shell.Line());
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

TEST_F(MeterSimFixture, ALostLineResumesWhenTheMeterIsBackUnderItsComNameOrOnStart) {
    TestShell t;
    TFormTeskLink& shell = t.Make({}, TestShell::RealPort);
    ScriptedDialogs& dialogs = t.dialogs;
    ASSERT_TRUE(shell.Modbus().PortOpen());
    // Every device the program opens from here on, as the kernel names it: while COM1 has
    // no link the program must not fall back to the on-board port of that name.
    QStringList opened;
    auto* port = dynamic_cast<CommModbusPort*>(&shell.Modbus().Port());
    ASSERT_NE(port, nullptr);
    port->Comm().SetDeviceFactory([&opened] { return std::make_unique<RecordingDevice>(opened); });
    shell.Modbus().SetReopenPollMs(20);
    shell.Action("MMStart")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return shell.State().Traffic.SendCount >= 3; }));

    // The far end goes away mid-poll (the simulator ends and takes its COM1 link along).
    const QString oldDevice = device;
    ASSERT_EQ(sim->stop(), 0);
    ASSERT_TRUE(WaitUntil([&] { return !dialogs.Shown().isEmpty(); }));
    EXPECT_EQ(dialogs.Shown()[0].caption, QString::fromUtf8("严重错误"));
    EXPECT_TRUE(
        dialogs.Shown()[0].text.startsWith(QString::fromUtf8("端口 ") + oldDevice + " (COM1) "))
        << dialogs.Shown()[0].text.toStdString();
    EXPECT_EQ(shell.StatusText(2, 4), "Line lost. Waiting for COM1 (was " + oldDevice +
                                          ") - polling resumes when it is back");
    EXPECT_FALSE(shell.Modbus().PortOpen());
    const int sentWhileLost = shell.State().Traffic.SendCount;
    const int unansweredWhileLost = shell.State().Traffic.NoResponseCount;

    // A new simulator under the same COM name: polling resumes by itself.
    sim = std::make_unique<MeterSimProcess>(QStringList{"--port", "COM1"});
    ASSERT_TRUE(sim->started()) << qPrintable(sim->errors());
    ASSERT_TRUE(WaitUntil([&] { return shell.State().Traffic.SendCount >= sentWhileLost + 3; }));
    EXPECT_EQ(shell.StatusText(2, 4), "Line back: " + sim->device() + " (COM1)");
    EXPECT_EQ(opened, QStringList{QFileInfo(sim->device()).canonicalFilePath()});
    EXPECT_EQ(shell.State().Traffic.NoResponseCount, unansweredWhileLost);
    EXPECT_FALSE(shell.Action("MMStart")->isEnabled());

    // Once more, with Stop and Start: Start opens the port that is back.
    shell.Modbus().SetReopenPollMs(0);
    ASSERT_EQ(sim->stop(), 0);
    ASSERT_TRUE(WaitUntil([&] { return dialogs.Shown().size() == 2; }));
    shell.Action("MMStop")->trigger();
    sim = std::make_unique<MeterSimProcess>(QStringList{"--port", "COM1"});
    ASSERT_TRUE(sim->started()) << qPrintable(sim->errors());
    EXPECT_FALSE(shell.Modbus().PortOpen());
    const int sentBeforeStart = shell.State().Traffic.SendCount;
    shell.Action("MMStart")->trigger();
    EXPECT_TRUE(shell.Modbus().PortOpen());
    ASSERT_TRUE(WaitUntil([&] { return shell.State().Traffic.SendCount >= sentBeforeStart + 3; }));
    EXPECT_TRUE(WaitUntil([&] { return shell.StatusText(1).startsWith("RxD: 01 "); }));
    EXPECT_EQ(dialogs.Shown().size(), 2) << dialogs.Texts().join('|').toStdString();
}

TEST(MeterSimSearch, FindsTheMeterAtItsUnusualAddressAndRateAndOneClickUsesIt) {
    QTemporaryDir ports;
    ASSERT_TRUE(ports.isValid());
    qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
    MeterSimProcess sim({"--port", "COM1", "--address", "200", "--baud", "2400"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    TestShell t;
    TFormTeskLink& shell = t.Make({}, TestShell::RealPort);
    ScriptedDialogs& dialogs = t.dialogs;
    ASSERT_TRUE(shell.Modbus().PortOpen());

    TFormComm comm(shell, shell.Line());
    SearchPlan plan;
    plan.rates = {9600, 2400};
    plan.firstAddress = 198;
    plan.lastAddress = 202;
    plan.turnaroundMs = 400; // a loaded test machine may be slow to schedule the meter
    {
        // While polling, the search refuses: it would take the line from under it.
        shell.StartPolling();
        TFormSearch refused(shell.Dialogs(), shell.Line(), "COM1", &comm);
        EXPECT_FALSE(refused.StartSearch());
        ASSERT_EQ(dialogs.Shown().size(), 1);
        EXPECT_TRUE(dialogs.Shown()[0].text.startsWith("The meter is being polled"));
        shell.StopPolling();
        ASSERT_TRUE(WaitUntil([&] { return !shell.Modbus().CycleBusy(); }));
    }
    TFormSearch search(shell.Dialogs(), shell.Line(), "COM1", &comm);
    search.SetPlan(plan);
    ASSERT_TRUE(search.StartSearch()) << dialogs.Texts().join('|').toStdString();
    EXPECT_FALSE(shell.Modbus().PortOpen()); // lent to the search
    ASSERT_TRUE(WaitUntil([&] { return !search.Running(); }, int(plan.LongestMs()) + 10000));
    ASSERT_EQ(search.List()->count(), 1) << qPrintable(sim.errors());
    EXPECT_EQ(search.List()->item(0)->text(), "address 200 at 2400 baud, version 1.20");
    EXPECT_EQ(search.StatusLabel()->text(), "Done: 1 meter(s) found in 10 tries.");
    EXPECT_EQ(search.Progress()->value(), 10);
    EXPECT_TRUE(shell.Modbus().PortOpen()); // given back

    // For the documentation: the dialog with the meter it found.
    const QByteArray shots = qgetenv("QETRA_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        comm.show();
        search.show();
        QApplication::processEvents();
        EXPECT_TRUE(search.grab().save(QString::fromLocal8Bit(shots) + "/search-found-meter.png"));
    }

    search.UseRow(0);
    ASSERT_TRUE(search.Chosen());
    comm.UseFoundMeter(search.Chosen()->address, search.Chosen()->baud);
    ASSERT_TRUE(comm.Button1Click());
    EXPECT_EQ(shell.State().DevAddr, 200);
    EXPECT_EQ(shell.Modbus().BaudRate(), 2400u);
    shell.StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return shell.StatusText(1).startsWith("RxD: C8 03 "); }, 15000));
    shell.StopPolling();
    qunsetenv("QETRA_PORTS_DIR");
}

TEST(MeterSimSilence, AMeterAtAnotherAddressIsExplainedAndTheSearchIsOneClickAway) {
    QTemporaryDir ports;
    ASSERT_TRUE(ports.isValid());
    qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
    MeterSimProcess sim({"--port", "COM1", "--address", "5"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    TestShell t;
    TFormTeskLink& shell = t.Make({}, TestShell::RealPort); // address 1, as at first start
    shell.Modbus().SetQueryTimeout(300);
    const LineNoticeBar& notice = shell.LineNotice();
    EXPECT_TRUE(notice.isHidden());
    shell.StartPolling();
    const QString silence =
        NoAnswerText(1, 9600, "COM1", QFileInfo(sim.device()).canonicalFilePath());
    ASSERT_TRUE(WaitUntil([&] { return notice.NoAnswer() == silence; }))
        << notice.NoAnswer().toStdString();
    EXPECT_FALSE(notice.isHidden());
    EXPECT_FALSE(notice.SearchButton()->isHidden());

    // One click: polling gives the line up and the search runs on it. The test plays the
    // operator who watches it start and cancels it.
    bool searched = false;
    QString searchedOn;
    QTimer operatorAtTheDesk;
    QObject::connect(&operatorAtTheDesk, &QTimer::timeout, [&] {
        auto* search = qobject_cast<TFormSearch*>(QApplication::activeModalWidget());
        if (search == nullptr)
            return;
        if (search->Running()) {
            searched = true;
            searchedOn = search->findChild<QLabel*>()->text();
            search->CancelSearch();
        } else if (searched) {
            static_cast<QDialog*>(search)->reject();
        }
    });
    operatorAtTheDesk.start(10);
    notice.SearchButton()->click();
    ASSERT_TRUE(WaitUntil([&] { return searched && QApplication::activeModalWidget() == nullptr; }))
        << t.dialogs.Texts().join('|').toStdString();
    operatorAtTheDesk.stop();
    EXPECT_TRUE(searchedOn.contains(sim.device() + " (COM1)")) << searchedOn.toStdString();
    EXPECT_TRUE(shell.Line().Polling()); // borrowed, given back

    // The right address: the text goes with the first good reply.
    shell.State().DevAddr = 5;
    EXPECT_TRUE(WaitUntil([&] { return notice.NoAnswer().isEmpty(); }));
    EXPECT_TRUE(notice.isHidden());
    shell.StopPolling();
    EXPECT_EQ(t.dialogs.Shown().size(), 0) << t.dialogs.Texts().join('|').toStdString();
    qunsetenv("QETRA_PORTS_DIR");
}

TEST(MeterSimSilence, OkInCommSettingsAndStartOpenTheMeterTheComLinkNowPointsAt) {
    QTemporaryDir ports;
    ASSERT_TRUE(ports.isValid());
    qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
    MeterSimProcess first({"--port", "COM1"});
    MeterSimProcess second({"--port", "COM2"});
    ASSERT_TRUE(first.started() && second.started())
        << qPrintable(first.errors() + second.errors());
    TestShell t;
    TFormTeskLink& shell = t.Make({}, TestShell::RealPort);
    ASSERT_TRUE(shell.Modbus().PortOpen());
    QStringList opened;
    auto* port = dynamic_cast<CommModbusPort*>(&shell.Modbus().Port());
    ASSERT_NE(port, nullptr);
    port->Comm().SetDeviceFactory([&opened] { return std::make_unique<RecordingDevice>(opened); });
    const QString link = ports.filePath("COM1");
    auto pointComOneAt = [&](const QString& device) {
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(device, link));
    };
    const QString firstNode = QFileInfo(first.device()).canonicalFilePath();
    const QString secondNode = QFileInfo(second.device()).canonicalFilePath();

    // OK with the same name: unchanged, the open line stays; moved, the new device opens.
    {
        TFormComm comm(shell, shell.Line());
        ASSERT_TRUE(comm.Button1Click());
    }
    EXPECT_EQ(opened, QStringList{});
    pointComOneAt(second.device());
    {
        TFormComm comm(shell, shell.Line());
        ASSERT_TRUE(comm.Button1Click());
    }
    EXPECT_EQ(opened, QStringList{secondNode});
    EXPECT_EQ(port->Comm().OpenedLine().node, secondNode);
    shell.StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return shell.StatusText(1).startsWith("RxD: 01 03 "); }));

    // Start after Stop resolves the name afresh as well.
    shell.StopPolling();
    pointComOneAt(first.device());
    shell.StartPolling();
    EXPECT_EQ(opened, (QStringList{secondNode, firstNode}));
    EXPECT_EQ(port->Comm().OpenedLine().node, firstNode);
    ASSERT_TRUE(WaitUntil([&] { return shell.StatusText(1).startsWith("RxD: 01 03 "); }));
    shell.StopPolling();
    EXPECT_EQ(t.dialogs.Shown().size(), 0) << t.dialogs.Texts().join('|').toStdString();
    qunsetenv("QETRA_PORTS_DIR");
}

TEST(MeterSimSilence, AnotherAddressStartsTheCountersAndTheSilenceRuleAfresh) {
    QTemporaryDir ports;
    ASSERT_TRUE(ports.isValid());
    qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
    MeterSimProcess sim({"--port", "COM1", "--address", "5"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    TestShell t;
    TFormTeskLink& shell = t.Make({}, TestShell::RealPort);
    shell.Modbus().SetQueryTimeout(300);
    const TrafficCounters& counters = shell.State().Traffic;
    const LineNoticeBar& notice = shell.LineNotice();
    TFormComm comm(shell, shell.Line());
    comm.UseFoundMeter(5, 9600);
    ASSERT_TRUE(comm.Button1Click());

    // A session in which the meter answered, with a few misses of its own counted.
    shell.StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return counters.SendCount - counters.NoResponseCount > 12; }))
        << qPrintable(sim.errors());
    shell.StopPolling();
    ASSERT_TRUE(WaitUntil([&] { return !shell.Modbus().CycleBusy(); }));

    // Address 7, where nobody answers: the first missing reply is explained, as on a port
    // that never answered, and the counters are this meter's alone.
    TFormComm other(shell, shell.Line());
    other.UseFoundMeter(7, 9600);
    ASSERT_TRUE(other.Button1Click());
    EXPECT_EQ(counters.SendCount, 0);
    EXPECT_EQ(counters.NoResponseCount, 0);
    shell.StartPolling();
    const QString silence =
        NoAnswerText(7, 9600, "COM1", QFileInfo(sim.device()).canonicalFilePath());
    ASSERT_TRUE(WaitUntil([&] { return notice.NoAnswer() == silence; }))
        << notice.NoAnswer().toStdString();
    EXPECT_LT(counters.NoResponseCount, TrafficCounters::kThreshold);
    EXPECT_LE(counters.SendCount, counters.NoResponseCount + 1);
    shell.StopPolling();

    ASSERT_TRUE(WaitUntil([&] { return !shell.Modbus().CycleBusy(); }));
    ASSERT_GT(counters.NoResponseCount, 0);

    // Start COMM alone starts afresh too: at most its own first request is counted.
    shell.StartPolling();
    EXPECT_EQ(counters.NoResponseCount, 0);
    EXPECT_LE(counters.SendCount, 1);
    shell.StopPolling();
    qunsetenv("QETRA_PORTS_DIR");
}

// The program's saved settings for a Modbus TCP gateway on this machine.
static void SaveGatewayLine(QSettings& settings, const QString& tcpPort) {
    settings.beginGroup(QStringLiteral("Comm"));
    settings.setValue(QStringLiteral("Link"), QStringLiteral("Network"));
    settings.setValue(QStringLiteral("NetHost"), QStringLiteral("127.0.0.1"));
    settings.setValue(QStringLiteral("NetPort"), tcpPort);
    settings.setValue(QStringLiteral("NetFraming"), QStringLiteral("ModbusTcp"));
    settings.setValue(QStringLiteral("QueryInterval"), 20);
    settings.endGroup();
}

// The meter behind a Modbus TCP gateway (meter-sim serving on a port it chooses): the program
// connects through its saved network settings and polls, the gateway going away is a lost
// line, and polling goes on by itself once a gateway answers on the same port again. COMM
// Settings refuses a converter it could not reach, naming the field.
TEST(MeterSimNetwork, PollsAMeterBehindAGatewayAndResumesWhenTheGatewayIsBack) {
    auto sim = std::make_unique<MeterSimProcess>(QStringList{"--tcp", "0"});
    ASSERT_TRUE(sim->started()) << qPrintable(sim->errors());
    const QString where = sim->device(); // "127.0.0.1:PORT"
    const QString tcpPort = where.section(':', 1);
    const QString named = where + " (Modbus TCP)";
    TestShell t;
    SaveGatewayLine(t.settings, tcpPort);
    TFormTeskLink& shell = t.Make({}, TestShell::RealPort);
    ScriptedDialogs& dialogs = t.dialogs;
    ASSERT_TRUE(dialogs.Shown().isEmpty()) << dialogs.Texts().join('|').toStdString();
    EXPECT_EQ(shell.StatusText(2, 4), named);
    EXPECT_EQ(shell.Meter().port, named);
    shell.Modbus().SetReopenPollMs(20);
    shell.Action("MMStart")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return shell.Connected(); }));
    ASSERT_TRUE(WaitUntil([&] { return shell.StatusText(1).startsWith("RxD: 01 03 "); }));
    EXPECT_EQ(shell.StatusText(2, 2), "CRC Error= 0");

    ASSERT_EQ(sim->stop(), 0);
    ASSERT_TRUE(WaitUntil([&] { return !dialogs.Shown().isEmpty(); }));
    EXPECT_EQ(dialogs.Shown()[0].caption, "Connection lost");
    EXPECT_TRUE(dialogs.Shown()[0].text.startsWith("Connection to " + named + " lost"))
        << dialogs.Shown()[0].text.toStdString();
    EXPECT_FALSE(shell.Connected());
    const int sentWhileLost = shell.State().Traffic.SendCount;

    // Another gateway on the same port, when the port can still be had.
    sim = std::make_unique<MeterSimProcess>(QStringList{"--tcp", tcpPort});
    if (!sim->started())
        GTEST_SKIP() << "port " << tcpPort.toStdString()
                     << " was taken meanwhile: " << sim->errors().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return shell.State().Traffic.SendCount >= sentWhileLost + 3; }));
    ASSERT_TRUE(WaitUntil([&] { return shell.Connected(); }));
    EXPECT_EQ(shell.StatusText(2, 4), "Line back: " + named);
    shell.Action("MMStop")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !shell.Modbus().CycleBusy(); }));

    // A converter that cannot be reached is refused before anything changes.
    struct Case {
        const char* host;
        const char* port;
        const char* named; // the field the box names
    };
    const Case refused[] = {
        {"", "502", "Host: the host must not be empty"},
        {"gw panel", "502", "Host: the host must be a name or an address"},
        {"127.0.0.1", "0", "TCP Port \"0\" must be a whole number from 1 to 65535"},
        {"127.0.0.1", "65536", "TCP Port \"65536\""},
        {"127.0.0.1", "5o2", "TCP Port \"5o2\""},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(std::string(c.host) + ":" + c.port);
        const qsizetype boxes = dialogs.Shown().size();
        TFormComm comm(shell, shell.Line());
        EXPECT_TRUE(comm.NetworkChosen());
        comm.Controls().EditHost->setText(c.host);
        comm.Controls().EditTcpPort->setText(c.port);
        EXPECT_FALSE(comm.Button1Click());
        ASSERT_EQ(dialogs.Shown().size(), boxes + 1);
        EXPECT_TRUE(dialogs.Shown().back().text.startsWith(c.named))
            << dialogs.Shown().back().text.toStdString();
        EXPECT_EQ(shell.State().NetHost, "127.0.0.1");
        EXPECT_EQ(shell.State().NetPort, tcpPort.toUInt());
    }
}

// Behind a gateway the search sweeps unit identifiers at the line's rate only, and the
// gateway's own answer for a unit nobody answers to (exception 0x0B) is no meter.
TEST(MeterSimNetwork, TheSearchSweepsUnitIdentifiersAndSkipsTheGatewaysOwnAnswers) {
    MeterSimProcess sim({"--tcp", "0", "--address", "7", "--also-address", "8"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    const QString tcpPort = sim.device().section(':', 1);
    TestShell t;
    SaveGatewayLine(t.settings, tcpPort);
    TFormTeskLink& shell = t.Make({}, TestShell::RealPort);
    ASSERT_TRUE(shell.Modbus().PortOpen());

    TFormComm comm(shell, shell.Line());
    // For the documentation: COMM Settings with a gateway chosen, as a panel would have it.
    const QByteArray shots = qgetenv("QETRA_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        TFormComm shown(shell, shell.Line());
        shown.Controls().EditHost->setText(QStringLiteral("10.0.0.5"));
        shown.Controls().EditTcpPort->setText(QStringLiteral("502"));
        shown.show();
        QApplication::processEvents();
        EXPECT_TRUE(
            shown.grab().save(QString::fromLocal8Bit(shots) + "/comm-settings-network.png"));
    }
    TFormSearch search(shell.Dialogs(), shell.Line(), QString(), &comm);
    search.SearchNetwork(QStringLiteral("127.0.0.1"), quint16(tcpPort.toUInt()),
                         NetworkFraming::ModbusTcp);
    SearchPlan plan = NetworkSearchPlan(9600);
    EXPECT_EQ(plan.rates, QList<quint32>{9600});
    plan.firstAddress = 5;
    plan.lastAddress = 9;
    plan.tryWaitMs = 2000; // a loaded test machine may be slow to schedule the gateway
    search.SetPlan(plan);
    ASSERT_TRUE(search.StartSearch()) << t.dialogs.Texts().join('|').toStdString();
    EXPECT_FALSE(shell.Modbus().PortOpen()); // lent to the search
    ASSERT_TRUE(WaitUntil([&] { return !search.Running(); }, int(plan.LongestMs()) + 10000));
    ASSERT_EQ(search.List()->count(), 2) << qPrintable(sim.errors());
    EXPECT_TRUE(search.List()->item(0)->text().startsWith("address 7 at 9600 baud, version "));
    EXPECT_TRUE(search.List()->item(1)->text().startsWith("address 8 at 9600 baud, version "));
    EXPECT_EQ(search.StatusLabel()->text(), "Done: 2 meter(s) found in 5 tries.");
    EXPECT_TRUE(shell.Modbus().PortOpen()); // given back
}

#include "LineNoticeBar.h"
#include "LineStatusText.h"
#include "TestShell.h"
#include "TqvModbus.h"
#include "frmComm.h"
#include "frmMain.h"
#include "ui_frmComm.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QApplication>);

struct ShellFixture : ::testing::Test, TestShell {
    QTemporaryDir links; // the folder of COM links, private to the test

    void SetUp() override {
        ASSERT_TRUE(links.isValid());
        qputenv("QETRA_PORTS_DIR", links.path().toLocal8Bit());
    }
    void TearDown() override {
        shell.reset();
        qunsetenv("QETRA_PORTS_DIR");
    }

    // A main window as the program builds it, on a scripted line, started up without
    // being shown.
    TFormTeskLink& Make(bool startUp = true) { return TestShell::Make({}, ScriptedLine, startUp); }
    bool Enabled(const char* action) { return shell->Action(action)->isEnabled(); }
};

QWidget* Plain(const QString& name) {
    auto* w = new QWidget;
    w->setObjectName(name);
    w->setWindowTitle(name);
    return w;
}

} // namespace

TEST_F(ShellFixture, FirstStartWithoutSettingsThenSavedSettingsAreReadBack) {
    Make();
    EXPECT_TRUE(shell->windowTitle().endsWith("-- QETRA 7300"));
    EXPECT_EQ(port.opens, QStringList({"\\\\.\\COM1@9600"}));
    EXPECT_TRUE(dialogs.Shown().isEmpty());
    EXPECT_FALSE(shell->State().SaveSettings);
    {
        TFormComm comm(*shell, shell->Line());
        EXPECT_FALSE(comm.Controls().CheckBox1->isChecked());
        EXPECT_EQ(comm.Controls().ComboBox1->currentText(), "COM1");
        EXPECT_EQ(comm.Controls().Edit2->text(), "200");
        comm.Controls().CheckBox1->setChecked(true);
        comm.Controls().ComboBox2->setCurrentText("19200");
        comm.Controls().ComboBox3->setCurrentText("16");
        comm.Controls().Edit2->setText("350");
        comm.Controls().ComboBox1->setCurrentText("COM7");
        EXPECT_TRUE(comm.Button1Click());
    }
    shell->close();
    ASSERT_TRUE(settings.childGroups().contains("Comm"));

    port = {};
    Make();
    EXPECT_TRUE(shell->State().SaveSettings);
    EXPECT_EQ(shell->State().PortName, "COM7");
    EXPECT_EQ(shell->State().DevAddr, 16);
    EXPECT_EQ(shell->Modbus().QueryInterval(), 350u);
    EXPECT_EQ(port.opens, QStringList({"\\\\.\\COM7@19200"}));
    TFormComm comm(*shell, shell->Line());
    EXPECT_TRUE(comm.Controls().CheckBox1->isChecked());
}

TEST_F(ShellFixture, ClosingWithoutTheSaveBoxWritesNothing) {
    Make();
    shell->close();
    EXPECT_FALSE(settings.childGroups().contains("Comm"));
}

TEST_F(ShellFixture, ADamagedSavedValueKeepsItsDefaultAndStartUpGoesOn) {
    settings.setValue("Comm/PortName", "COM3");
    settings.setValue("Comm/Baudrate", "fast");
    settings.setValue("Comm/QueryInterval", 500);
    settings.sync();
    Make();
    EXPECT_EQ(port.opens, QStringList({"\\\\.\\COM3@9600"}));
    EXPECT_EQ(shell->State().DevAddr, 1);
    EXPECT_EQ(shell->Modbus().QueryInterval(), 500u);
    EXPECT_TRUE(shell->windowTitle().endsWith("-- QETRA 7300"));
    // The operator learns which value of which file was not used.
    ASSERT_EQ(dialogs.Shown().size(), 1);
    EXPECT_TRUE(dialogs.Shown().front().text.contains("Baudrate=fast"));
    EXPECT_TRUE(dialogs.Shown().front().text.contains(settings.fileName()));
}

TEST_F(ShellFixture, APortThatCannotOpenIsReportedAndStartStaysDisabled) {
    port.failNextOpens = true;
    Make();
    ASSERT_EQ(dialogs.Shown().size(), 1);
    EXPECT_EQ(dialogs.Shown()[0].caption, "Error");
    EXPECT_EQ(dialogs.Shown()[0].icon, OperatorDialogs::Icon::Error);
    // The program's own text, and under it why the port would not open.
    EXPECT_EQ(dialogs.Shown()[0].text,
              "  Cannot open the port \"COM1\".          \n\nno such port");
    EXPECT_FALSE(Enabled("MMStart"));
    EXPECT_FALSE(Enabled("ToolButtonStart"));
    EXPECT_TRUE(Enabled("MMSetConn"));
    EXPECT_TRUE(shell->windowTitle().endsWith("-- QETRA 7300"));

    // OK with the same port tries it once more: the adapter may be plugged in by now.
    {
        TFormComm again(*shell, shell->Line());
        EXPECT_TRUE(again.Button1Click());
    }
    EXPECT_EQ(port.failedOpens, 2);
    EXPECT_EQ(dialogs.Shown().size(), 2);

    // Choosing another port that opens makes Start available again.
    port.failNextOpens = false;
    shell->State().PtRatio = 2.0;
    shell->State().Traffic.SendCount = 4;
    TFormComm comm(*shell, shell->Line());
    comm.Controls().ComboBox1->setCurrentText("COM2");
    comm.Button1Click();
    EXPECT_TRUE(Enabled("MMStart"));
    EXPECT_EQ(port.opens, QStringList({"\\\\.\\COM2@9600"}));
    // A new port starts a new session, and its counters start afresh: the meter behind it
    // may be another one.
    EXPECT_EQ(shell->State().PtRatio, 1.0);
    EXPECT_EQ(shell->State().Traffic.SendCount, 0);
}

TEST_F(ShellFixture, StartAndStopSwitchTheControls) {
    Make();
    FastLine();
    EXPECT_TRUE(Enabled("MMStart"));
    EXPECT_FALSE(Enabled("MMStop"));
    EXPECT_TRUE(Enabled("MMSetConn"));
    EXPECT_FALSE(Enabled("ToolButtonCut"));
    shell->Action("MMStart")->trigger();
    EXPECT_FALSE(Enabled("MMStart"));
    EXPECT_TRUE(Enabled("MMStop"));
    EXPECT_FALSE(Enabled("MMSetConn"));
    EXPECT_FALSE(Enabled("ToolButtonStart"));
    EXPECT_TRUE(Enabled("ToolButtonCut"));
    EXPECT_FALSE(Enabled("ToolButtonSetConn"));
    EXPECT_TRUE(shell->Modbus().CycleBusy());
    shell->Action("ToolButtonCut")->trigger();
    EXPECT_TRUE(Enabled("MMStart"));
    EXPECT_FALSE(Enabled("MMStop"));
    EXPECT_TRUE(Enabled("ToolButtonSetConn"));
    EXPECT_TRUE(WaitUntil([&] { return !shell->Modbus().CycleBusy(); }));
}

TEST_F(ShellFixture, ConnectedFollowsRepliesAndMissingReplies) {
    Make();
    FastLine();
    port.Reply = ZeroMeterReply;
    shell->StartPolling();
    // The first request reads the coefficients, then block 0x100.
    ASSERT_TRUE(WaitUntil([&] { return port.sent.size() >= 2; }));
    EXPECT_EQ(port.sent[0].left(6), QByteArray::fromHex("010305 1b0019"));
    EXPECT_EQ(port.sent[1].left(6), QByteArray::fromHex("010301000022"));
    ASSERT_TRUE(
        WaitUntil([&] { return shell->State().Traffic.ReceptionsWhileDisconnected >= 10; }));
    EXPECT_EQ(shell->Connected(), shell->State().Traffic.ReceptionsWhileDisconnected > 10);
    ASSERT_TRUE(WaitUntil([&] { return shell->Connected(); }));
    EXPECT_EQ(shell->State().Traffic.ReceptionsWhileDisconnected, 11);

    // The meter falls silent. Each request goes out right after the previous reply was
    // evaluated, so the port sees the connected state after 1, 2, ... missing replies.
    QList<bool> connectedAfterMisses;
    port.Reply = [&](const QByteArray&) {
        connectedAfterMisses << shell->Connected();
        return QByteArray();
    };
    ASSERT_TRUE(WaitUntil([&] { return connectedAfterMisses.size() >= 13; }));
    // Entry 0 is the first unanswered request, before any miss was counted.
    EXPECT_EQ(connectedAfterMisses.mid(0, 11), QList<bool>(11, true));
    EXPECT_EQ(connectedAfterMisses.mid(11, 2), QList<bool>(2, false));

    // After a stop one reply is enough to connect again.
    shell->StopPolling();
    ASSERT_TRUE(WaitUntil([&] { return !shell->Modbus().CycleBusy(); }));
    port.Reply = ZeroMeterReply;
    shell->StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return shell->Connected(); }));
    EXPECT_EQ(shell->State().Traffic.ReceptionsWhileDisconnected, 12);
    shell->StopPolling();
    EXPECT_FALSE(shell->Connected());
    EXPECT_TRUE(WaitUntil([&] { return !shell->Modbus().CycleBusy(); }));
    EXPECT_TRUE(dialogs.Shown().isEmpty());
}

TEST_F(ShellFixture, StatusBarsShowTrafficAndCounterResetWaitsForTheNextReply) {
    Make();
    FastLine();
    // The panels as they stand each time a request goes out: by then the previous reply
    // has been received and evaluated.
    struct Panels {
        QString tx, rx, send, noResponse, crcError, ok;
    };
    QList<Panels> atSend;
    QString sendPanelAfterReset;
    port.Reply = [&](const QByteArray& req) {
        atSend.append({shell->StatusText(0), shell->StatusText(1), shell->StatusText(2, 0),
                       shell->StatusText(2, 1), shell->StatusText(2, 2), shell->StatusText(2, 3)});
        if (atSend.size() == 3) {
            // "Counter Reset(&C)" while the third reply is on its way: queued ahead of that
            // reply, and so of its evaluation.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [&] {
                    shell->Action("MMZero")->trigger();
                    sendPanelAfterReset = shell->StatusText(2, 0);
                },
                Qt::QueuedConnection);
        }
        return ZeroMeterReply(req);
    };
    shell->StartPolling();
    EXPECT_EQ(shell->StatusText(0), "TxD: 01 03 05 1B 00 19 F4 CB ");
    EXPECT_EQ(shell->StatusText(1), "RxD: ");
    EXPECT_EQ(shell->StatusText(2, 3), QString()); // nothing evaluated yet
    ASSERT_TRUE(WaitUntil([&] { return atSend.size() >= 5; }));
    shell->StopPolling();

    // Requests: coefficients, parameters, coils, inputs, metering block.
    EXPECT_TRUE(atSend[2].tx.startsWith("TxD: 01 03 01 00 00 22 "));
    EXPECT_TRUE(atSend[2].rx.startsWith("RxD: 01 03 44 00 00 "));
    EXPECT_EQ(atSend[2].send, "Send= 2");
    EXPECT_EQ(atSend[2].noResponse, "No Response= 0");
    EXPECT_EQ(atSend[2].crcError, "CRC Error= 0");
    EXPECT_EQ(atSend[2].ok, "OK=   100.00%");
    EXPECT_EQ(atSend[3].tx, "TxD: 01 01 00 00 00 02 BD CB ");
    EXPECT_TRUE(atSend[3].rx.startsWith("RxD: 01 01 01 00 "));

    // The reset leaves the panels until the next reply; that one shows the zeroed counts
    // and, with nothing sent since the reset, leaves the percentage as it was.
    EXPECT_EQ(sendPanelAfterReset, "Send= 2");
    EXPECT_EQ(atSend[3].send, "Send= 0");
    EXPECT_EQ(atSend[3].ok, "OK=   100.00%");
    EXPECT_EQ(atSend[4].send, "Send= 1");

    // The end of the cycle clears the traffic panels.
    ASSERT_TRUE(WaitUntil([&] { return !shell->Modbus().CycleBusy(); }));
    EXPECT_EQ(shell->StatusText(0), QString());
    EXPECT_EQ(shell->StatusText(1), QString());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(shell->StatusText(2, i), QString()) << i;
}

TEST_F(ShellFixture, AddressAndBaudChangeAreConfirmedAndTheLineFollows) {
    Make();
    FastLine();
    port.Reply = ZeroMeterReply;
    shell->StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return shell->Connected(); }));

    // The meter settings window wrote a new address and baud rate; the meter now keeps
    // quiet at the old ones.
    SessionState& s = shell->State();
    s.MeterAddress = 5;
    s.MeterBaudRate = 19200;
    s.AddressChangePending = s.BaudChangePending = true;
    port.Reply = [&](const QByteArray& req) {
        return port.baud == 19200 && quint8(req[0]) == 5 ? ZeroMeterReply(req) : QByteArray();
    };
    ASSERT_TRUE(WaitUntil([&] { return dialogs.Shown().size() >= 2; }));
    EXPECT_EQ(dialogs.Texts(), QStringList({"Meter Address has modified successfully!",
                                            "Meter Baudrate has modified successfully!"}));
    EXPECT_EQ(s.DevAddr, 5);
    const qsizetype mark = port.sent.size();
    ASSERT_TRUE(WaitUntil([&] { return port.sent.size() >= mark + 3 && port.opens.size() == 2; }));
    EXPECT_EQ(port.opens.last(), "\\\\.\\COM1@19200");
    EXPECT_EQ(quint8(port.sent.last()[0]), 5);
    EXPECT_TRUE(shell->Modbus().CycleBusy());
    EXPECT_TRUE(WaitUntil([&] { return shell->StatusText(1).startsWith("RxD: 05 "); }));
    shell->StopPolling();
    EXPECT_TRUE(WaitUntil([&] { return !shell->Modbus().CycleBusy(); }));
}

TEST_F(ShellFixture, ABaudChangeConfirmedAfterStopReopensThePortWithoutPolling) {
    Make();
    FastLine();
    shell->StartPolling();
    SessionState& s = shell->State();
    s.MeterBaudRate = 19200;
    s.BaudChangePending = true;
    // The operator stops while the first request still waits for its (missing) reply;
    // that failure confirms the change.
    shell->StopPolling();
    ASSERT_TRUE(WaitUntil([&] { return port.opens.size() == 2; }));
    EXPECT_EQ(port.opens.last(), "\\\\.\\COM1@19200");
    EXPECT_EQ(dialogs.Texts(), QStringList({"Meter Baudrate has modified successfully!"}));
    EXPECT_TRUE(WaitUntil([&] { return !shell->Modbus().CycleBusy(); }));
    const qsizetype sent = port.sent.size();
    QCoreApplication::processEvents();
    EXPECT_FALSE(shell->Modbus().CycleBusy());
    EXPECT_EQ(port.sent.size(), sent);
    EXPECT_TRUE(Enabled("MMStart"));
    EXPECT_FALSE(Enabled("MMStop"));
}

TEST_F(ShellFixture, AReopenThatFailsIsReportedNotThrown) {
    Make();
    FastLine();
    shell->StartPolling();
    SessionState& s = shell->State();
    s.MeterBaudRate = 38400;
    s.BaudChangePending = true;
    port.failNextOpens = true;
    ASSERT_TRUE(WaitUntil([&] { return port.failedOpens == 1 && dialogs.Shown().size() == 2; }));
    EXPECT_EQ(dialogs.Texts(), QStringList({"Meter Baudrate has modified successfully!",
                                            "  Cannot open the port \"COM1\".          "}));
    EXPECT_FALSE(Enabled("MMStart"));
    EXPECT_FALSE(Enabled("MMStop"));
    EXPECT_TRUE(Enabled("MMSetConn"));
    EXPECT_FALSE(shell->Modbus().PortOpen());
    EXPECT_TRUE(WaitUntil([&] { return !shell->Modbus().CycleBusy(); }));
}

TEST_F(ShellFixture, CommDialogChecksEveryFieldBeforeApplyingAny) {
    Make();
    TFormComm comm(*shell, shell->Line());
    comm.Controls().ComboDriveType->setCurrentIndex(0);
    comm.Controls().ComboBox3->setCurrentText("9");
    comm.Controls().Edit2->setText("1x");
    comm.Controls().ComboBox1->setCurrentText("COM4");
    EXPECT_FALSE(comm.Button1Click());
    ASSERT_EQ(dialogs.Shown().size(), 1);
    EXPECT_TRUE(dialogs.Shown()[0].text.contains("Query Interval"));
    EXPECT_EQ(comm.result(), 0);
    EXPECT_EQ(shell->State().MeterModel, 1);
    EXPECT_EQ(shell->State().DevAddr, 1);
    EXPECT_EQ(shell->State().PortName, "COM1");
    EXPECT_EQ(port.opens.size(), 1);

    comm.Controls().Edit2->setText("0");
    EXPECT_TRUE(comm.Button1Click());
    EXPECT_EQ(comm.result(), QDialog::Accepted);
    EXPECT_EQ(shell->State().MeterModel, 0);
    EXPECT_EQ(shell->State().DevAddr, 9);
    EXPECT_EQ(shell->Modbus().QueryInterval(), 0u);
    EXPECT_EQ(port.opens.last(), "\\\\.\\COM4@9600");
}

TEST_F(ShellFixture, CommDialogTakesTheMeterAddressAsTypedWithinOneTo247) {
    Make();
    // Typed key by key into the address field, as an operator does.
    auto type = [](QComboBox* box, const QString& text) {
        box->setFocus();
        box->lineEdit()->selectAll();
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + c.digitValue(), Qt::NoModifier, c);
            QApplication::sendEvent(box->lineEdit(), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_0 + c.digitValue(), Qt::NoModifier, c);
            QApplication::sendEvent(box->lineEdit(), &release);
        }
    };
    const struct {
        const char* typed;
        int address; // 0: refused
    } cases[] = {{"1", 1}, {"125", 125}, {"18", 18}, {"247", 247}, {"2", 2}};
    for (const auto& c : cases) {
        TFormComm comm(*shell, shell->Line());
        QComboBox* address = comm.Controls().ComboBox3;
        ASSERT_TRUE(address->isEditable());
        type(address, c.typed);
        EXPECT_EQ(address->currentText(), c.typed);
        EXPECT_TRUE(comm.Button1Click()) << dialogs.Texts().join('|').toStdString();
        EXPECT_EQ(shell->State().DevAddr, c.address) << c.typed;
    }
    // Beyond the range, however it got there: refused with the field and its range.
    for (const char* text : {"0", "248", "300"}) {
        dialogs.Clear();
        TFormComm comm(*shell, shell->Line());
        comm.Controls().ComboBox3->setEditText(text);
        EXPECT_FALSE(comm.Button1Click()) << text;
        ASSERT_EQ(dialogs.Shown().size(), 1) << text;
        EXPECT_EQ(
            dialogs.Shown()[0].text,
            QString("Meter Address %1 is not within 1 to 247. Nothing was changed.").arg(text));
        EXPECT_EQ(shell->State().DevAddr, 2);
    }
}

TEST_F(ShellFixture, CommDialogChangingOnlyTheBaudRateKeepsPortAndSession) {
    Make();
    shell->State().Traffic.SendCount = 7;
    shell->State().PtRatio = 2.0;
    TFormComm comm(*shell, shell->Line());
    EXPECT_TRUE(comm.Controls().LabelDevice->text().contains("/"));
    comm.Controls().ComboBox2->setCurrentText("4800");
    EXPECT_TRUE(comm.Button1Click());
    EXPECT_EQ(port.opens.size(), 1);
    EXPECT_TRUE(port.open);
    EXPECT_EQ(port.baud, 4800u);
    EXPECT_EQ(shell->State().Traffic.SendCount, 7);
    EXPECT_EQ(shell->State().PtRatio, 2.0);
}

TEST_F(ShellFixture, CommDialogKeepsAPortThatIsNotInItsList) {
    settings.setValue("Comm/PortName", "/dev/ttyUSB0");
    settings.setValue("Comm/Baudrate", 9600);
    settings.setValue("Comm/DevAddr", 1);
    settings.setValue("Comm/QueryInterval", 200);
    Make();
    ASSERT_EQ(port.opens, QStringList({"\\\\.\\/dev/ttyUSB0@9600"}));
    shell->State().PtRatio = 2.0;
    TFormComm comm(*shell, shell->Line());
    EXPECT_EQ(comm.Controls().ComboBox1->currentIndex(), -1);
    EXPECT_TRUE(comm.Controls().LabelDevice->text().contains("/dev/ttyUSB0"));
    comm.Controls().Edit2->setText("300");
    EXPECT_TRUE(comm.Button1Click());
    EXPECT_EQ(shell->Modbus().QueryInterval(), 300u);
    EXPECT_EQ(shell->State().PortName, "/dev/ttyUSB0");
    EXPECT_EQ(port.opens.size(), 1);
    EXPECT_TRUE(port.open);
    EXPECT_EQ(shell->State().PtRatio, 2.0);
    EXPECT_TRUE(dialogs.Shown().isEmpty());
}

TEST_F(ShellFixture, MeterModelDecidesTheAlarmWindowAndItsMenuItems) {
    Make(false);
    int created = 0;
    shell->RegisterWindow("FormAlarm", [&](Shell&) {
        ++created;
        return Plain("FormAlarm");
    });
    shell->StartUp();
    EXPECT_TRUE(shell->IsChildOpen("FormAlarm"));
    EXPECT_TRUE(shell->SubWindowOf(shell->Window("FormAlarm"))->isMinimized());
    std::vector<quint8> applied;
    QObject::connect(&shell->Events(), &ShellEvents::MeterModelApplied,
                     [&](quint8 m) { applied.push_back(m); });

    shell->State().MeterModel = 0;
    shell->ApplyMeterModel();
    EXPECT_TRUE(shell->windowTitle().endsWith("-- QETRA 7100"));
    EXPECT_FALSE(shell->IsChildOpen("FormAlarm"));
    EXPECT_FALSE(shell->Action("MM0205")->isVisible());
    EXPECT_FALSE(shell->Action("MM0303")->isVisible());
    EXPECT_TRUE(shell->Action("MM0203")->isVisible());

    shell->State().MeterModel = 1;
    shell->ApplyMeterModel();
    EXPECT_EQ(created, 2);
    EXPECT_TRUE(shell->IsChildOpen("FormAlarm"));
    EXPECT_TRUE(shell->SubWindowOf(shell->Window("FormAlarm"))->isMinimized());
    EXPECT_TRUE(shell->Action("MM0205")->isVisible());
    EXPECT_EQ(applied, (std::vector<quint8>{0, 1}));
}

TEST_F(ShellFixture, MenuAndHiddenMenusAreAsTheOperatorExpects) {
    Make();
    QStringList titles;
    for (QAction* a : shell->menuBar()->actions())
        titles << a->text() + (a->isVisible() ? "" : "[hidden]");
    EXPECT_EQ(titles, QStringList({"Execute(&C)", "SYS[hidden]", "Read(&M)", "Setup(&S)",
                                   "Calibrate[hidden]", "Window(&W)", "Help(&H)"}));

    // Every item as the operator finds it: "name caption shortcut", in menu order.
    auto items = [](QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions())
            out << (a->isSeparator()
                        ? QStringLiteral("-")
                        : QStringLiteral("%1 %2 %3")
                              .arg(a->objectName(), a->text(), a->shortcut().toString()));
        return out;
    };
    auto menu = [&](const char* name) { return items(shell->findChild<QMenu*>(name)); };
    EXPECT_EQ(menu("MM01"),
              QStringList({"MMStart Start COMM(&R) Ctrl+R", "MMStop Stop COMM(&E) Ctrl+E",
                           "MMSetConn COMM Settings(&S) Ctrl+S", "MMZero Counter Reset(&C) ",
                           "MMLogToFile Log to file\u2026(&L) ", "MMExit Quit(&Q) Ctrl+X"}));
    EXPECT_EQ(menu("mnuSys"), QStringList({"mnuDisplay Display ", "PT1 PT "}));
    EXPECT_EQ(menu("MM02"),
              QStringList({"MM0201 Metering Parameters(&T) ", "MM0202 Meter Parameters(&B) ",
                           "MM0203 Max / Min Parameters(&N) ", "MM0204 Harmonics Parameters(&H) ",
                           "MM0205 Alarm Parameters(&A) ", "MM0206 Phase Angle Parameters(&P) ",
                           "MMTrends Trends(&R) ", "MMBus Bus(&U) "}));
    EXPECT_EQ(menu("MM03"),
              QStringList({"MM0301 Energy Presetting(&E) ", "MM0302 Meter Settings(&M) ",
                           "MM0303 Alarm Settings(&A) ", "MM0304 Select Meter Model(&T) ", "-",
                           "mnuSaveConfig Save Meter Configuration\u2026 ",
                           "mnuCompareConfig Compare with File\u2026 ",
                           "mnuRestoreConfig Restore from File\u2026 ",
                           "mnuCloneConfig Clone to Meters\u2026 "}));
    EXPECT_EQ(
        menu("Window1").mid(0, 5),
        QStringList({"N6 Cascade(&C) ", "N7 Tile Horizontally(&H) ", "N8 Tile Vertically(&T) ",
                     "N9 Minimize All(&M) ", "mnuTrafficMonitor Traffic Monitor(&F) "}));
    EXPECT_EQ(menu("MM04"),
              QStringList({"MM0401 About Intelligent Power Meter(&M) ", "MM0402 About Us(&A) "}));

    QStringList tools;
    for (QAction* a : shell->findChild<QToolBar*>("ToolBar1")->actions())
        tools << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + " " + a->toolTip());
    EXPECT_EQ(tools,
              QStringList({"ToolButtonStart Start COMM", "ToolButtonCut Stop COMM",
                           "ToolButtonSetConn COMM Settings", "-", "ToolButtonCascade Cascade",
                           "ToolButtonTileHorizontal Tile Horizontal",
                           "ToolButtonTileVertical Tile Vertical",
                           "ToolButtonMinimizeAll Minimize All", "-", "ToolButton9 Help"}));
}

TEST_F(ShellFixture, OnDemandWindowsOpenOnceFreeThemselvesWhenClosedAndKeptOnesComeBackWhole) {
    Make();
    int created = 0;
    shell->RegisterWindow("FormPara", [&](Shell&) {
        ++created;
        return Plain("FormPara");
    });
    QWidget* first = shell->ShowWindowOfMenuItem("MM0202");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(shell->ShowWindowOfMenuItem("MM0202"), first);
    EXPECT_EQ(created, 1);
    QPointer<QWidget> watch(first);
    shell->CloseChild("FormPara");
    EXPECT_FALSE(shell->IsChildOpen("FormPara")); // at once, though deleted a bit later
    EXPECT_TRUE(WaitUntil([&] { return watch.isNull(); }));
    EXPECT_NE(shell->ShowWindowOfMenuItem("MM0202"), nullptr);
    EXPECT_EQ(created, 2);
    EXPECT_EQ(shell->ShowWindowOfMenuItem("MM0302"), nullptr); // not registered: nothing opens

    // A window kept once opened comes back from its menu whole after its close box: the
    // frame's close hides the contents too, and an empty frame is no window.
    shell->RegisterWindow("FormTrafficMonitor",
                          [&](Shell&) { return Plain("FormTrafficMonitor"); });
    QWidget* kept = shell->ShowWindowOfMenuItem("mnuTrafficMonitor");
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(shell->SubWindowOf(kept), nullptr);
    shell->SubWindowOf(kept)->close();
    EXPECT_TRUE(kept->isHidden());
    EXPECT_EQ(shell->ShowWindowOfMenuItem("mnuTrafficMonitor"), kept);
    EXPECT_FALSE(kept->isHidden());
    EXPECT_FALSE(shell->SubWindowOf(kept)->isHidden());
}

TEST_F(ShellFixture, ResidentWindowsAreCreatedInTheirOrderAndMinimisedAtStartUp) {
    Make(false);
    QStringList order;
    for (const char* n : {"FormBase", "FormWave", "FormAngle", "FormSuperNum"}) {
        const QString name = n;
        shell->RegisterWindow(name, [&order, name](Shell&) {
            order << name;
            return Plain(name);
        });
    }
    shell->CreateResidentWindows();
    EXPECT_EQ(order, QStringList({"FormSuperNum", "FormAngle", "FormWave", "FormBase"}));
    shell->StartUp();
    for (const char* n : {"FormSuperNum", "FormAngle", "FormWave"})
        EXPECT_TRUE(shell->SubWindowOf(shell->Window(n))->isMinimized()) << n;
    EXPECT_FALSE(shell->SubWindowOf(shell->Window("FormBase"))->isMinimized());

    // The close box of a resident window minimises it; its menu item brings it back.
    shell->show();
    for (const auto& [name, item] : {std::pair{"FormBase", "MM0201"}, {"FormAngle", "MM0206"}}) {
        QMdiSubWindow* sub = shell->SubWindowOf(shell->Window(name));
        shell->ShowWindowOfMenuItem(item);
        ASSERT_FALSE(sub->isMinimized()) << name;
        QAction* closeBox = nullptr;
        for (QAction* a : sub->systemMenu()->actions())
            if (a->shortcut() == QKeySequence::Close || a->text().contains("Close"))
                closeBox = a;
        ASSERT_NE(closeBox, nullptr);
        closeBox->trigger();
        QCoreApplication::processEvents();
        ASSERT_EQ(shell->Window(name), sub->widget()) << name << " was destroyed";
        EXPECT_TRUE(sub->isMinimized()) << name;
        EXPECT_EQ(shell->ShowWindowOfMenuItem(item), sub->widget());
        EXPECT_FALSE(sub->isMinimized()) << name;
        EXPECT_EQ(shell->ClientArea()->activeSubWindow(), sub) << name;
    }
}

TEST_F(ShellFixture, ActivatingAMeasurementWindowSelectsItsBlockAndDestroyingItDropsIt) {
    Make(false);
    for (const char* n : {"FormBase", "FormAngle", "FormSuperNum", "FormDriveType"}) {
        const QString name = n;
        // The metering window reads nothing beyond the rotation.
        const QStringList reads = name == "FormBase" ? QStringList() : QStringList{name};
        shell->RegisterWindow(
            name, [name](Shell&) { return Plain(name); }, reads);
    }
    shell->CreateResidentWindows();
    shell->StartUp();
    shell->show();
    PollSchedule& s = shell->Schedule();
    auto activate = [&](const char* name) {
        shell->ClientArea()->setActiveSubWindow(shell->SubWindowOf(shell->Window(name)));
    };
    activate("FormSuperNum");
    EXPECT_TRUE(s.ReadsWindow("FormSuperNum"));
    activate("FormAngle");
    EXPECT_TRUE(s.ReadsWindow("FormAngle"));
    EXPECT_FALSE(s.ReadsWindow("FormSuperNum"));
    activate("FormBase"); // no block of its own: the last window's block stays
    EXPECT_TRUE(s.ReadsWindow("FormAngle"));

    QPointer<QWidget> model = shell->ShowWindowOfMenuItem("MM0304");
    ASSERT_FALSE(model.isNull());
    EXPECT_TRUE(s.ReadsWindow("FormDriveType"));
    EXPECT_FALSE(s.ReadsWindow("FormAngle"));
    shell->CloseChild("FormDriveType");
    ASSERT_TRUE(WaitUntil([&] { return model.isNull(); }));
    EXPECT_FALSE(s.ReadsWindow("FormDriveType"));
}

TEST_F(ShellFixture, DisplayCommandNeedsTheMeterAndQueuesTheToggledMode) {
    Make();
    shell->ToggleDisplayMode();
    EXPECT_EQ(dialogs.Texts(), QStringList({"Please connect the meter first! "}));
    EXPECT_EQ(dialogs.Shown()[0].caption, "Communication Error");
    shell->State().Traffic.Connected = true;
    shell->ToggleDisplayMode();
    EXPECT_EQ(shell->Schedule().Slot(2), "00,B0,05,2A,00,01,02,00,01,00,00");
    shell->State().DisplayModeByte = 1;
    shell->ToggleDisplayMode();
    EXPECT_EQ(shell->Schedule().Slot(2), "00,B0,05,2A,00,01,02,00,00,00,00");
}

TEST_F(ShellFixture, HelpCommandsOpenTheirModalWindows) {
    Make();
    struct Case {
        const char* action;
        const char* dialogClass;
    } cases[] = {{"MM0401", "TFormHelp"}, {"ToolButton9", "TFormHelp"}, {"MM0402", "TForm_About"}};
    for (const auto& c : cases) {
        QString seen;
        QTimer::singleShot(0, [&] {
            WaitUntil([] { return QApplication::activeModalWidget() != nullptr; }, 5000);
            if (QWidget* w = QApplication::activeModalWidget()) {
                seen = w->metaObject()->className();
                w->close();
            }
        });
        shell->Action(c.action)->trigger();
        EXPECT_EQ(seen, c.dialogClass) << c.action;
    }
}

TEST_F(ShellFixture, ALongReplyDoesNotWidenTheWindow) {
    Make();
    FastLine();
    port.Reply = ZeroMeterReply;
    shell->resize(800, 600);
    shell->show();
    shell->StartPolling();
    // The metering block's reply: 113 bytes, over 300 characters of hex.
    ASSERT_TRUE(WaitUntil([&] { return shell->StatusText(1).size() > 300; }));
    shell->resize(800, 600);
    QCoreApplication::processEvents();
    EXPECT_LE(shell->width(), 800);
    EXPECT_LE(shell->minimumSizeHint().width(), 800);
    shell->StopPolling();
    EXPECT_TRUE(WaitUntil([&] { return !shell->Modbus().CycleBusy(); }));
}

TEST_F(ShellFixture, TheStatisticsPanelsShareTheirBarEvenly) {
    Make();
    shell->resize(1000, 600);
    shell->show();
    for (int width : {1000, 640}) {
        shell->resize(width, 600);
        QCoreApplication::processEvents();
        auto* bar = shell->findChild<QStatusBar*>("StatusBar2");
        ASSERT_NE(bar, nullptr);
        const QList<QLabel*> panels = bar->findChildren<QLabel*>();
        ASSERT_EQ(panels.size(), 5);
        int left = -1;
        for (QLabel* p : panels) {
            EXPECT_NEAR(p->width(), bar->width() / 5, 12) << width;
            EXPECT_GT(p->x(), left); // side by side, in order
            left = p->x() + p->width() - 1;
        }
    }
}

TEST_F(ShellFixture, TheWindowMenuListsTheChildren) {
    Make();
    shell->RegisterWindow("FormBase", [](Shell&) { return Plain("FormBase"); });
    shell->RegisterWindow("FormKw", [](Shell&) { return Plain("FormKw"); });
    shell->CreateResidentWindows();
    shell->ShowWindowOfMenuItem("MM0301");
    auto* menu = shell->findChild<QMenu*>("Window1");
    ASSERT_NE(menu, nullptr);
    for (int round = 0; round < 2; ++round) { // the list is rebuilt, not appended to
        emit menu->aboutToShow();
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << (a->isSeparator() ? "-" : a->text());
        EXPECT_EQ(texts, QStringList({"Cascade(&C)", "Tile Horizontally(&H)", "Tile Vertically(&T)",
                                      "Minimize All(&M)", "Traffic Monitor(&F)", "Reset Layout",
                                      "-", "&1 FormBase", "&2 FormKw"}));
    }
    QAction* base = menu->actions()[7];
    base->trigger();
    EXPECT_EQ(shell->ClientArea()->activeSubWindow(),
              shell->SubWindowOf(shell->Window("FormBase")));
}

TEST_F(ShellFixture, ALostLineIsShownPausedResumesWhenTheDeviceIsBackAndOneBoxTellsEveryLoss) {
    // COM1 is a link to a stand-in for the adapter, which the test unplugs and plugs in.
    const QString device = dir.filePath("ttyUSB0");
    auto plugIn = [&] {
        QFile f(device);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    plugIn();
    ASSERT_TRUE(QFile::link(device, links.filePath("COM1")));
    Make();
    FastLine();
    shell->Modbus().SetReopenPollMs(0); // the test decides when a try is made
    QDateTime now(QDate(2026, 12, 7), QTime(14, 2, 30));
    shell->Line().SetWallClock([&now] { return now; });
    // The operator is away: the first box stays on the screen.
    dialogs.HoldNotices(true);
    shell->Action("MMStart")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return port.sent.size() >= 2; }));
    const int noResponse = shell->State().Traffic.NoResponseCount;
    // Nothing has answered since the port opened: the bar says so, with the search.
    const LineNoticeBar& notice = shell->LineNotice();
    EXPECT_EQ(notice.NoAnswer(),
              NoAnswerText(1, 9600, "COM1", QFileInfo(device).canonicalFilePath()));
    EXPECT_FALSE(notice.SearchButton()->isHidden());

    QFile::remove(device);
    shell->Modbus().Port().OnRequestHangup();
    ASSERT_EQ(dialogs.Shown().size(), 1);
    EXPECT_EQ(dialogs.Shown()[0].caption, QString::fromUtf8("严重错误"));
    const QString named = device + " (COM1)";
    EXPECT_TRUE(
        dialogs.Shown()[0].text.startsWith(QString::fromUtf8("端口 ") + named +
                                           QString::fromUtf8(" 发生通讯内部错误。\nThe line "
                                                             "to the meter is lost: ")))
        << dialogs.Shown()[0].text.toStdString();
    EXPECT_FALSE(port.open);
    EXPECT_EQ(shell->StatusText(2, 4),
              "Line lost. Waiting for COM1 - polling resumes when it is back");
    // The loss is what the operator must see now, not the silence before it.
    EXPECT_EQ(notice.NoAnswer(), "");
    EXPECT_EQ(notice.Losses(), "Line lost at 14:02");
    // The request in flight is counted as unanswered; nothing more is sent.
    EXPECT_EQ(shell->State().Traffic.NoResponseCount, noResponse + 1);
    const qsizetype sent = port.sent.size();
    EXPECT_FALSE(WaitUntil([&] { return port.sent.size() > sent; }, 100));
    EXPECT_TRUE(Enabled("MMStart"));
    EXPECT_TRUE(Enabled("MMStop"));
    EXPECT_TRUE(Enabled("MMSetConn"));
    EXPECT_FALSE(shell->Connected());

    // Plugged in again: the port reopens and polling goes on without anybody touching it.
    plugIn();
    shell->Modbus().SetReopenPollMs(10);
    ASSERT_TRUE(WaitUntil([&] { return port.sent.size() > sent; }));
    EXPECT_TRUE(port.open);
    EXPECT_EQ(shell->StatusText(2, 4), "Line back: " + named);
    EXPECT_FALSE(Enabled("MMStart"));
    EXPECT_TRUE(Enabled("MMStop"));
    // The box of the loss closes with the line back; the notice bar keeps the count.
    EXPECT_FALSE(dialogs.NoticeOpen("line-lost"));
    EXPECT_EQ(notice.Losses(), "Line lost at 14:02");

    // Lost again, and this time the operator stops and starts: the new box tells of both
    // losses, and Start reopens the port.
    shell->Modbus().SetReopenPollMs(0);
    now = now.addSecs(40 * 60);
    shell->Modbus().Port().OnRequestHangup();
    ASSERT_EQ(dialogs.Shown().size(), 2);
    EXPECT_TRUE(dialogs.NoticeOpen("line-lost"));
    EXPECT_TRUE(dialogs.Shown()[1].text.endsWith("\n\nLine lost 2 times since 14:02."))
        << dialogs.Shown()[1].text.toStdString();
    EXPECT_EQ(notice.Losses(), "Line lost 2 times since 14:02");
    shell->Action("MMStop")->trigger();
    EXPECT_EQ(shell->StatusText(2, 4), "Line lost. Waiting for COM1 - reopened when it is back");
    EXPECT_FALSE(Enabled("MMStop"));
    shell->Action("MMStart")->trigger();
    EXPECT_TRUE(port.open);
    EXPECT_TRUE(shell->Modbus().CycleBusy());
    EXPECT_FALSE(Enabled("MMStart"));
    EXPECT_FALSE(dialogs.NoticeOpen("line-lost")); // reopened by Start: over too
    shell->Modbus().Port().OnRequestHangup();
    EXPECT_EQ(dialogs.Shown().size(), 3);
    EXPECT_EQ(notice.Losses(), "Line lost 3 times since 14:02");
}

TEST_F(ShellFixture, CommDialogListsPresentDevicesRefusesBadPortsAndAssignsComNames) {
    // A machine with one USB adapter, and a by-id link of one that has gone.
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QDir(root.path()).mkpath("dev/serial/by-id");
    QFile node(root.filePath("dev/ttyUSB0"));
    ASSERT_TRUE(node.open(QIODevice::WriteOnly));
    node.close();
    const QString stable = root.filePath("dev/serial/by-id/usb-FTDI_FT232R_A10K-if00-port0");
    ASSERT_TRUE(QFile::link("../../ttyUSB0", stable));
    const QString gone = root.filePath("dev/serial/by-id/usb-gone-if00-port0");
    ASSERT_TRUE(QFile::link("../../ttyUSB5", gone));
    Make();
    TFormComm comm(*shell, shell->Line(), nullptr, root.path());
    QComboBox* list = comm.Controls().ComboBox1;
    ASSERT_EQ(list->count(), 129);
    EXPECT_EQ(list->itemText(0), stable);
    EXPECT_EQ(list->itemText(1), "COM1");
    EXPECT_EQ(list->itemText(128), "COM128");
    list->setCurrentIndex(0);
    EXPECT_EQ(comm.Controls().LabelDevice->text(), "= " + root.filePath("dev/ttyUSB0"));

    // Bad ports: a clear reason, nothing saved, the port in use stays open.
    const struct {
        QString typed;
        QString reason;
    } bad[] = {
        {"COM129", "COM129 is not a port of the program: use COM1 to COM128"},
        {root.path(), root.path() + " is a folder, not a serial device"},
        {gone, gone + " points to " + root.filePath("dev/ttyUSB5") +
                   ", which does not exist: the adapter is not plugged in"},
        {"/dev/null", "/dev/null is not a serial device (a character device, but no terminal)"},
        {stable, stable + " is not a serial device (not a character device)"},
    };
    for (const auto& b : bad) {
        dialogs.Clear();
        list->setEditText(b.typed);
        EXPECT_FALSE(comm.Button1Click()) << b.typed.toStdString();
        ASSERT_EQ(dialogs.Shown().size(), 1);
        EXPECT_EQ(dialogs.Shown()[0].text, "COMM Port: " + b.reason + ". Nothing was changed.");
    }
    EXPECT_EQ(shell->State().PortName, "COM1");
    EXPECT_EQ(port.opens.size(), 1);
    EXPECT_TRUE(port.open);

    // A device gets a COM name: the link goes into the folder and the name is chosen.
    dialogs.Clear();
    list->setEditText("/dev/ptmx");
    comm.Controls().ComboComName->setCurrentText("COM9");
    ASSERT_TRUE(comm.AssignComName()) << dialogs.Texts().join('|').toStdString();
    EXPECT_EQ(QFileInfo(links.filePath("COM9")).symLinkTarget(), "/dev/ptmx");
    EXPECT_EQ(list->currentText(), "COM9");
    // Beside it the device, not the link file; the linked name comes before the others.
    EXPECT_EQ(comm.Controls().LabelDevice->text(), "= /dev/ptmx");
    EXPECT_EQ(list->itemText(1), "COM9");
    // A COM name is no device to name.
    EXPECT_FALSE(comm.AssignComName());
    EXPECT_EQ(dialogs.Shown().size(), 1);

    // A meter found by the search fills in its rate and address.
    comm.UseFoundMeter(200, 2400);
    EXPECT_TRUE(comm.Button1Click());
    EXPECT_EQ(shell->State().PortName, "COM9");
    EXPECT_EQ(shell->State().DevAddr, 200);
    EXPECT_EQ(shell->Modbus().BaudRate(), 2400u);
}

TEST(OperatorNotice, ALaterNoticeUpdatesTheBoxStillOpenAClosedOneMakesWayAndAnOverOneCloses) {
    QWidget window;
    MessageBoxDialogs dialogs(&window);
    auto boxes = [&] { return window.findChildren<QMessageBox*>(); };
    dialogs.ShowNotice("line-lost", OperatorDialogs::Icon::Error, "Lost", "once");
    dialogs.ShowNotice("line-lost", OperatorDialogs::Icon::Error, "Lost", "twice");
    ASSERT_EQ(boxes().size(), 1);
    QMessageBox* box = boxes()[0];
    EXPECT_TRUE(box->isVisible()); // shown without waiting for the operator
    EXPECT_EQ(box->text(), "twice");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    // Another key is another box.
    dialogs.ShowNotice("other", OperatorDialogs::Icon::Warning, "Other", "text");
    EXPECT_EQ(boxes().size(), 2);

    box->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(WaitUntil([&] { return boxes().size() == 1; }));
    dialogs.ShowNotice("line-lost", OperatorDialogs::Icon::Error, "Lost", "again");
    ASSERT_EQ(boxes().size(), 2);
    // Its state over, the box closes by itself; the other key's box stays.
    dialogs.CloseNotice("line-lost");
    ASSERT_TRUE(WaitUntil([&] { return boxes().size() == 1; }));
    EXPECT_EQ(boxes()[0]->text(), "text");
    dialogs.CloseNotice("line-lost"); // nothing open: nothing happens
    EXPECT_EQ(boxes().size(), 1);
    for (QMessageBox* b : boxes())
        b->close();
}

#include "frmMain.h"

#include "LineNoticeBar.h"
#include "RequestService.h"
#include "Settings.h"
#include "TqvModbus.h"
#include "WindowTable.h"
#include "frmComm.h"
#include "frmSearch.h"
#include "frmTrafficMonitor.h"
#include "ui_frmMain.h"

#ifdef QETRA_HAVE_APPDIALOGS
#include "frmAbout.h"
#include "frmHelp.h"
#endif

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>

Q_LOGGING_CATEGORY(lcShell, "qetra.shell")

namespace {
// The Window menu's own commands (the four window actions, the traffic monitor and
// "Reset Layout"); the list of open windows follows them.
constexpr int kFixedWindowItems = 6;
} // namespace

QString MeterModelTitle(quint8 model) {
    return QCoreApplication::translate(
               "TFormTeskLink",
               "Advanced Intelligent Power Meter Test Program (Ver:2006-3-1) -- %1")
        .arg(model != 0 ? QStringLiteral("QETRA 7300") : QStringLiteral("QETRA 7100"));
}

TFormTeskLink::TFormTeskLink(ShellOptions options, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TFormTeskLink>()), options_(std::move(options)) {
    ui->setupUi(this);
    setObjectName(QStringLiteral("FormTeskLink"));

    if (options_.dialogs) {
        dialogs_ = options_.dialogs;
    } else {
        ownDialogs_ = std::make_unique<MessageBoxDialogs>(this);
        dialogs_ = ownDialogs_.get();
    }
    if (options_.settings) {
        settings_ = options_.settings;
    } else {
        ownSettings_ =
            std::make_unique<QSettings>(QStringLiteral("Quorvant"), QStringLiteral("TeskLink"));
        settings_ = ownSettings_.get();
    }

    line_ =
        std::make_unique<MeterLine>(state_, *dialogs_, options_.makePort, options_.portSettleMs);
    qvModbus1 = &line_->Modbus();
    connect(line_.get(), &MeterLine::ControlsChanged, this, &TFormTeskLink::ShowLineControls);
    connect(line_.get(), &MeterLine::StateChanged, this, [this](const QString& text) {
        // The fifth statistics panel is free: the line's state goes there.
        SetPanel(2, 4, text);
    });
    lineNotice_ = new LineNoticeBar(ui->centralwidget);
    connect(line_.get(), &MeterLine::NoAnswerChanged, lineNotice_, &LineNoticeBar::SetNoAnswer);
    connect(line_.get(), &MeterLine::LossHistoryChanged, lineNotice_, &LineNoticeBar::SetLosses);
    connect(lineNotice_, &LineNoticeBar::SearchRequested, this, &TFormTeskLink::SearchForMeter);
    routing_ = std::make_unique<ReplyRouting>(
        state_, *dialogs_,
        ReplyRouting::Host{[this](const QString& n) { return windows_->IsOpen(n); },
                           [this](const QString& n) { windows_->Close(n); },
                           [this] { line_->RequestReopenAtMeterRate(); }});
    // Values read before a start, a stop or a loss are drawn as old until read again.
    connect(line_.get(), &MeterLine::ConnectionChanged, this, [this](bool begun) {
        if (begun)
            routing_->Freshness().BeginConnection();
        else
            routing_->Freshness().EndConnection();
    });
    // A meter that stopped answering on a line that stays up: what it said before is old.
    connect(line_.get(), &MeterLine::NoAnswerChanged, this, [this](const QString& text) {
        if (!text.isEmpty())
            routing_->Freshness().MeterSilent();
    });
    // The client area scrolls to a window that does not fit, so the main window's smallest
    // size comes from its menus and bars, never from its largest child: on a small laptop
    // screen the status bars with the counters stay in view.
    ui->ClientArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ui->ClientArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    haveSavedLayout_ = ReadWindowLayout(*settings_, savedLayout_);
    windows_ = std::make_unique<ChildWindows>(*ui->ClientArea, *this);
    // A window's blocks leave the rotation with the window.
    connect(windows_.get(), &ChildWindows::Destroyed, this,
            [this](const QString& name) { state_.Schedule.DropWindowReads(name); });

    BindModbusEvents();
    traffic_ = std::make_unique<TrafficModel>();
    qvModbus1->SetTransactionObserver(traffic_.get());

    BuildStatusBars();
    BindMenuCommands();
    AddTrafficCommands();
    ui->mnuSys->menuAction()->setVisible(false);
    ui->MM05->setVisible(false);

    connect(ui->ClientArea, &QMdiArea::subWindowActivated, this,
            &TFormTeskLink::ChildWindowActivated);
}

TFormTeskLink::~TFormTeskLink() {
    // No more events into a half-destroyed window.
    line_->Detach();
    // Child windows go first: their destructors clear their poll reads and registrations
    // in the state that this window still holds.
    windows_->DeleteAll();
    line_.reset();
}

// ---------------------------------------------------------------- layout and commands

void TFormTeskLink::BuildStatusBars() {
    auto makeBar = [this](const char* name, int panels) {
        auto* bar = new QStatusBar(ui->centralwidget);
        bar->setObjectName(QLatin1String(name));
        bar->setSizeGripEnabled(false);
        QList<QLabel*> labels;
        for (int i = 0; i < panels; ++i) {
            auto* label = new QLabel(bar);
            label->setObjectName(QStringLiteral("%1Panel%2").arg(QLatin1String(name)).arg(i));
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            // A long reply must not widen the window: the text is cut at the panel's edge.
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            label->setMinimumWidth(1);
            // Equal stretches: the panels share their bar evenly at any width.
            bar->addWidget(label, 1);
            labels << label;
        }
        ui->centralLayout->addWidget(bar);
        return std::make_pair(bar, labels);
    };
    std::tie(StatusBarSend, panels_[0]) = makeBar("StatusBarSend", 1);
    std::tie(StatusBarRecv, panels_[1]) = makeBar("StatusBarRecv", 1);
    std::tie(StatusBar2, panels_[2]) = makeBar("StatusBar2", 5);
    ui->centralLayout->addWidget(lineNotice_);
}

void TFormTeskLink::BindMenuCommands() {
    QStyle* st = style();
    ui->ToolButtonStart->setIcon(st->standardIcon(QStyle::SP_MediaPlay));
    ui->ToolButtonCut->setIcon(st->standardIcon(QStyle::SP_MediaStop));
    ui->ToolButtonSetConn->setIcon(st->standardIcon(QStyle::SP_FileDialogDetailedView));
    ui->ToolButtonCascade->setIcon(st->standardIcon(QStyle::SP_TitleBarNormalButton));
    ui->ToolButtonTileHorizontal->setIcon(
        st->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton));
    ui->ToolButtonTileVertical->setIcon(
        st->standardIcon(QStyle::SP_ToolBarVerticalExtensionButton));
    ui->ToolButtonMinimizeAll->setIcon(st->standardIcon(QStyle::SP_TitleBarMinButton));
    ui->ToolButton9->setIcon(st->standardIcon(QStyle::SP_MessageBoxQuestion));

    auto on = [this](QAction* a, auto fn) { connect(a, &QAction::triggered, this, fn); };
    on(ui->MMStart, [this] { StartPolling(); });
    on(ui->ToolButtonStart, [this] { StartPolling(); });
    on(ui->MMStop, [this] { StopPolling(); });
    on(ui->ToolButtonCut, [this] { StopPolling(); });
    on(ui->MMSetConn, [this] { OpenSettingsDialog(); });
    on(ui->ToolButtonSetConn, [this] { OpenSettingsDialog(); });
    on(ui->MMZero, [this] { ResetCounters(); });
    on(ui->MMExit, [this] { Quit(); });
    on(ui->mnuDisplay, [this] { ToggleDisplayMode(); });
    // "PT" of the SYS menu has no command.
    on(ui->MM0401, [this] { OpenHelp(); });
    on(ui->ToolButton9, [this] { OpenHelp(); });
    on(ui->MM0402, [this] { OpenAbout(); });

    ChildWindows& w = *windows_;
    on(ui->N6, [&w] { w.Cascade(); });
    on(ui->ToolButtonCascade, [&w] { w.Cascade(); });
    on(ui->N7, [&w] { w.Tile(Qt::Horizontal); });
    on(ui->ToolButtonTileHorizontal, [&w] { w.Tile(Qt::Horizontal); });
    on(ui->N8, [&w] { w.Tile(Qt::Vertical); });
    on(ui->ToolButtonTileVertical, [&w] { w.Tile(Qt::Vertical); });
    on(ui->N9, [&w] { w.MinimiseAll(); });
    on(ui->ToolButtonMinimizeAll, [&w] { w.MinimiseAll(); });

    for (const WindowRow& row : WindowTable()) {
        if (row.menuItem == nullptr)
            continue;
        if (QAction* a = Action(QLatin1String(row.menuItem))) {
            const QString name = QLatin1String(row.name);
            on(a, [this, name] { ShowWindowNamed(name); });
        }
    }

    // The Window menu lists the children after its own commands.
    connect(ui->Window1, &QMenu::aboutToShow, this,
            [this] { windows_->ListInMenu(*ui->Window1, kFixedWindowItems); });
}

void TFormTeskLink::AddTrafficCommands() {
    auto* monitor = new QAction(tr("Traffic Monitor(&F)"), this);
    monitor->setObjectName(QStringLiteral("mnuTrafficMonitor"));
    ui->Window1->insertAction(nullptr, monitor);
    connect(monitor, &QAction::triggered, this, [this] { ShowTrafficMonitor(); });
    // Recording never depended on the window: the model records from the start.
    RegisterWindow(WindowName::TrafficMonitor, [this](Shell&) -> QWidget* {
        auto* window = new TFormTrafficMonitor(*traffic_, *dialogs_);
        QHeaderView* columns = window->View()->horizontalHeader();
        designedTrafficColumns_ = columns->saveState();
        if (!savedLayout_.trafficColumns.isEmpty())
            columns->restoreState(savedLayout_.trafficColumns);
        return window;
    });

    auto* reset = new QAction(tr("Reset Layout"), this);
    reset->setObjectName(QStringLiteral("mnuResetLayout"));
    ui->Window1->insertAction(nullptr, reset);
    connect(reset, &QAction::triggered, this, [this] { ResetLayout(); });

    auto* log = new QAction(tr("Log to file\u2026(&L)"), this);
    log->setObjectName(QStringLiteral("MMLogToFile"));
    log->setEnabled(false);
    ui->MM01->insertAction(ui->MMExit, log);
}

TFormTrafficMonitor* TFormTeskLink::ShowTrafficMonitor() {
    return qobject_cast<TFormTrafficMonitor*>(ShowWindowNamed(WindowName::TrafficMonitor));
}

void TFormTeskLink::SetStatusNote(const QString& text) {
    SetPanel(2, 4, text);
}

QAction* TFormTeskLink::Action(const QString& name) const {
    return findChild<QAction*>(name);
}

QMenu* TFormTeskLink::Menu(const QString& name) const {
    return findChild<QMenu*>(name);
}

ConnectedMeter TFormTeskLink::Meter() const {
    return {state_.DevAddr, state_.Baudrate, line_->ShownLineName(), qvModbus1->LineDevice(),
            qvModbus1->KeepPolling()};
}

QString TFormTeskLink::StatusText(int bar, int panel) const {
    if (bar < 0 || bar > 2 || panel < 0 || panel >= panels_[bar].size())
        return {};
    return panels_[bar][panel]->text();
}

void TFormTeskLink::SetPanel(int bar, int panel, const QString& text) {
    panels_[bar][panel]->setText(text);
}

// ---------------------------------------------------------------- windows

void TFormTeskLink::RegisterWindow(const QString& name, WindowFactory factory,
                                   const QStringList& readsWhileActive) {
    windows_->Register(name, [this, factory = std::move(factory)] { return factory(*this); });
    if (!readsWhileActive.isEmpty())
        state_.Schedule.SetWindowReads(name, readsWhileActive);
}

QMdiArea* TFormTeskLink::ClientArea() const {
    return ui->ClientArea;
}

QWidget* TFormTeskLink::BringWindowToFront(const QString& name) {
    QWidget* window = ShowWindowNamed(name);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
    if (QMdiSubWindow* sub = window ? SubWindowOf(window) : nullptr)
        ui->ClientArea->setActiveSubWindow(sub);
    return window;
}

void TFormTeskLink::ChildWindowActivated(QMdiSubWindow* sub) {
    QWidget* child = sub ? sub->widget() : nullptr;
    if (child != nullptr)
        state_.Schedule.SelectWindowReads(child->objectName());
    emit events_.ChildActivated(child);
}

// ---------------------------------------------------------------- shared operations

void TFormTeskLink::ShowLineControls(const LineControls& c) {
    ui->MMStart->setEnabled(c.start);
    ui->ToolButtonStart->setEnabled(c.start);
    ui->MMStop->setEnabled(c.stop);
    ui->ToolButtonCut->setEnabled(c.stop);
    ui->MMSetConn->setEnabled(c.settings);
    ui->ToolButtonSetConn->setEnabled(c.settings);
}

void TFormTeskLink::ResetSession() {
    line_->ShowStopped();
    state_.ResetSession();
}

void TFormTeskLink::ApplyMeterModel() {
    const quint8 model = state_.MeterModel;
    setWindowTitle(MeterModelTitle(model));
    if (model != 0) {
        windows_->CreateMinimised(WindowName::Alarm);
        ui->MM0203->setVisible(true);
        ui->MM0205->setVisible(true);
        ui->MM0303->setVisible(true);
        windows_->CreateMinimised(WindowName::SuperNum);
    } else {
        windows_->Destroy(WindowName::Alarm);
        ui->MM0205->setVisible(false);
        ui->MM0303->setVisible(false);
    }
    emit events_.MeterModelApplied(model);
}

void TFormTeskLink::StartPolling() {
    line_->Start();
}

void TFormTeskLink::StopPolling() {
    line_->Stop();
}

void TFormTeskLink::ResetCounters() {
    state_.Traffic.ResetShownCounters();
}

void TFormTeskLink::Quit() {
    line_->Close();
    close();
}

void TFormTeskLink::ToggleDisplayMode() {
    if (!Connected()) {
        dialogs_->ShowNotConnected();
        return;
    }
    const int mode = (state_.DisplayModeByte ^ 1) & 0x7F;
    state_.Schedule.Queue(WriteSlot, QStringLiteral("00,B0,05,2A,00,01,02,%1,%2,00,00")
                                         .arg(mode >> 8, 2, 16, QLatin1Char('0'))
                                         .arg(mode & 0xFF, 2, 16, QLatin1Char('0'))
                                         .toUpper());
}

void TFormTeskLink::ShowFactoryMenus() {
    ui->mnuSys->menuAction()->setVisible(true);
    ui->MM05->setVisible(true);
}

// ---------------------------------------------------------------- start-up, port, settings

void TFormTeskLink::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!startedUp_)
        StartUp();
}

void TFormTeskLink::StartUp() {
    startedUp_ = true;
    ResetSession();
    state_.MeterModel = 1;
    state_.CalibrationCount = QStringLiteral("100");
    windows_->ArrangeAtStart();
    state_.PortName = QStringLiteral("COM1");
    state_.DevAddr = 1;
    state_.Baudrate = qvModbus1->BaudRate();
    ReadSettings();
    line_->Open();
    ApplyMeterModel();
    RestoreChildLayout();
}

// ---------------------------------------------------------------- layout

void TFormTeskLink::ShowWithSavedLayout() {
    QScreen* where =
        haveSavedLayout_ ? QGuiApplication::screenAt(savedLayout_.frame.center()) : nullptr;
    if (where == nullptr)
        where = screen();
    const QRect frame = FitFrame(haveSavedLayout_ ? savedLayout_.frame : QRect(), size(),
                                 where->availableGeometry());
    resize(frame.size());
    move(frame.topLeft());
    if (haveSavedLayout_ && !savedLayout_.toolBars.isEmpty())
        restoreState(savedLayout_.toolBars);
    if (!haveSavedLayout_ || savedLayout_.maximised)
        showMaximized();
    else
        show();
}

void TFormTeskLink::RestoreChildLayout() {
    if (!haveSavedLayout_)
        return;
    // Only windows the operator could open from a visible menu item come back: a factory
    // window stays closed on a normal start.
    windows_->Restore(savedLayout_.children, [this](const QString& name) {
        const WindowRow* row = FindWindowRow(name);
        const QAction* item = row && row->menuItem ? Action(QLatin1String(row->menuItem)) : nullptr;
        return item != nullptr && item->isVisible();
    });
}

WindowLayout TFormTeskLink::CurrentLayout() const {
    WindowLayout layout;
    layout.maximised = isMaximized();
    layout.frame = layout.maximised ? normalGeometry() : QRect(pos(), size());
    layout.toolBars = saveState();
    layout.children = windows_->Placements();
    if (auto* monitor = WindowAs<TFormTrafficMonitor>(WindowName::TrafficMonitor))
        layout.trafficColumns = monitor->View()->horizontalHeader()->saveState();
    else
        layout.trafficColumns = savedLayout_.trafficColumns;
    return layout;
}

void TFormTeskLink::ResetLayout() {
    ForgetWindowLayout(*settings_);
    savedLayout_ = {};
    haveSavedLayout_ = false;
    if (auto* monitor = WindowAs<TFormTrafficMonitor>(WindowName::TrafficMonitor))
        monitor->View()->horizontalHeader()->restoreState(designedTrafficColumns_);
    showMaximized();
    windows_->ResetArrangement();
}

void TFormTeskLink::ReadSettings() {
    CommSettings values;
    values.PortName = state_.PortName;
    values.Baudrate = state_.Baudrate;
    values.DevAddr = state_.DevAddr;
    values.QueryInterval = qvModbus1->QueryInterval();
    values.BusAddresses = state_.BusAddresses;
    values.Network = state_.Network;
    values.NetHost = state_.NetHost;
    values.NetPort = state_.NetPort;
    values.NetFraming = state_.NetFraming;
    QList<IgnoredSetting> ignored;
    state_.SaveSettings = ReadCommSettings(*settings_, values, &ignored);
    if (!ignored.isEmpty())
        dialogs_->Warn(tr("COMM Settings"), IgnoredSettingsText(settings_->fileName(), ignored));
    if (!state_.SaveSettings)
        return;
    state_.PortName = values.PortName;
    state_.Baudrate = values.Baudrate;
    qvModbus1->SetBaudRate(values.Baudrate);
    state_.DevAddr = values.DevAddr;
    state_.BusAddresses = values.BusAddresses;
    qvModbus1->SetQueryInterval(values.QueryInterval);
    // A network line without a usable host stays on the serial port (the host was named
    // among the ignored settings).
    state_.Network = values.Network && CheckNetworkHost(values.NetHost).isEmpty();
    state_.NetHost = values.NetHost;
    state_.NetPort = values.NetPort;
    state_.NetFraming = values.NetFraming;
}

void TFormTeskLink::WriteSettings() {
    CommSettings values;
    values.PortName = state_.PortName;
    values.Baudrate = qvModbus1->BaudRate();
    values.DevAddr = state_.DevAddr;
    values.QueryInterval = qvModbus1->QueryInterval();
    values.BusAddresses = state_.BusAddresses;
    values.Network = state_.Network;
    values.NetHost = state_.NetHost;
    values.NetPort = state_.NetPort;
    values.NetFraming = state_.NetFraming;
    WriteCommSettings(*settings_, values);
}

void TFormTeskLink::closeEvent(QCloseEvent* event) {
    if (state_.SaveSettings)
        WriteSettings();
    // The layout is kept whether or not the line settings are: it is the desk, not the
    // line.
    WriteWindowLayout(*settings_, CurrentLayout());
    QMainWindow::closeEvent(event);
}

void TFormTeskLink::OpenSettingsDialog() {
    {
        TFormComm dialog(*this, *line_);
        dialog.exec();
    }
    ApplyMeterModel();
}

void TFormTeskLink::SearchForMeter() {
    // Clicked again while the search waits for the line: it opens once, as first asked.
    if (searchWhenIdle_)
        return;
    pollAfterSearch_ = line_->Polling();
    if (line_->Polling())
        line_->Stop();
    if (qvModbus1->CycleBusy()) {
        searchWhenIdle_ = true; // see qvModbus1QueryFinish
        return;
    }
    RunMeterSearch();
}

void TFormTeskLink::RunMeterSearch() {
    std::optional<FoundMeter> chosen;
    {
        TFormSearch search(*dialogs_, *line_, state_.PortName, this);
        if (state_.Network)
            search.SearchNetwork(state_.NetHost, state_.NetPort, state_.NetFraming);
        if (search.exec() == QDialog::Accepted)
            chosen = search.Chosen();
    }
    // The search only borrowed the line: polling goes on as it was, with the meter chosen
    // there if one was.
    if (!chosen) {
        if (pollAfterSearch_)
            line_->Start();
        return;
    }
    state_.DevAddr = chosen->address;
    try {
        qvModbus1->SetBaudRate(chosen->baud);
    } catch (const std::exception& e) {
        dialogs_->Warn(QCoreApplication::translate("TFormTeskLink", "Search for a meter"),
                       QString::fromLocal8Bit(e.what()));
    }
    state_.Baudrate = qvModbus1->BaudRate();
    if (pollAfterSearch_)
        line_->Start();
}

void TFormTeskLink::OpenHelp() {
#ifdef QETRA_HAVE_APPDIALOGS
    // Read from the current directory each time, so a help file dropped beside the
    // program is found without a restart.
    TFormHelp help(windowTitle());
    help.exec();
#endif
}

void TFormTeskLink::OpenAbout() {
#ifdef QETRA_HAVE_APPDIALOGS
    TForm_About about;
    about.exec();
#endif
}

// ---------------------------------------------------------------- the master's events

void TFormTeskLink::BindModbusEvents() {
    // The master's events come through the line's request service, which keeps the
    // replies of its own requests to itself.
    TqvModbusEvents m;
    m.OnRecvData = [this](TqvModbus*, const QByteArray& d) { qvModbus1RecvData(d); };
    m.OnAfterSendMsg = [this](TqvModbus*, const QByteArray& msg) { qvModbus1AfterSendMsg(msg); };
    m.OnQueryData = [this](TqvModbus*) { qvModbus1QueryData(); };
    m.OnResponseError = [this](TqvModbus*) { qvModbus1ResponseError(); };
    // The replies go straight to the routing, which hands them to the windows.
    routing_->BindReplyEvents(m);
    m.OnAfterResponse = [this](TqvModbus*) { qvModbus1AfterResponse(); };
    m.OnQueryFinish = [this](TqvModbus*) { qvModbus1QueryFinish(); };
    line_->Requests().SetOwnerEvents(m);
}

void TFormTeskLink::qvModbus1AfterSendMsg(const QByteArray& Msg) {
    state_.Traffic.RequestSent();
    // A register read counts towards its block's age until the block's reply comes; a
    // read of another meter on the line (the bus overview) says nothing of the windows'.
    if (Msg.size() >= 4 && quint8(Msg[1]) == 0x03 && quint8(Msg[0]) == quint8(state_.DevAddr))
        routing_->Freshness().Asked(quint16((quint8(Msg[2]) << 8) | quint8(Msg[3])));
    SetPanel(0, 0, tr("TxD: ") + BytesToHex(Msg));
    SetPanel(1, 0, tr("RxD: "));
}

void TFormTeskLink::qvModbus1RecvData(const QByteArray& Data) {
    SetPanel(1, 0, tr("RxD: ") + BytesToHex(Data));
    state_.Traffic.DataReceived();
}

void TFormTeskLink::qvModbus1QueryData() {
    qvModbus1->SetQueryMessage(state_.Schedule.NextMessage(state_.DevAddr).toLatin1());
}

void TFormTeskLink::qvModbus1ResponseError() {
    state_.Traffic.ResponseFailed(qvModbus1->ResponseErrorCode());
    // A one-shot read that went unanswered is asked again.
    state_.Schedule.RequestFailed();
    QApplication::beep();
    routing_->ResponseFailed();
}

void TFormTeskLink::qvModbus1AfterResponse() {
    const TrafficCounters& t = state_.Traffic;
    SetPanel(2, 0, t.SendText());
    SetPanel(2, 1, t.NoResponseText());
    SetPanel(2, 2, t.CrcErrorText());
    const QString ok = t.OkPercentText();
    if (!ok.isEmpty())
        SetPanel(2, 3, ok);
    // A request that awaits no reply (a broadcast) tells nothing about the meter.
    if (qvModbus1->ExpectedLength() > 0)
        line_->ReplyEvaluated(qvModbus1->ResponseErrorCode());
}

void TFormTeskLink::qvModbus1QueryFinish() {
    SetPanel(0, 0, QString());
    SetPanel(1, 0, QString());
    for (int i = 0; i < 4; ++i)
        SetPanel(2, i, QString());
    // The search waited for the line to be free.
    if (std::exchange(searchWhenIdle_, false))
        QMetaObject::invokeMethod(this, &TFormTeskLink::RunMeterSearch, Qt::QueuedConnection);
}

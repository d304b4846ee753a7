#include "frmMain.h"

#include "Settings.h"
#include "TqvModbus.h"
#include "frmComm.h"
#include "frmTrafficMonitor.h"
#include "ui_frmMain.h"

#ifdef QETRA_HAVE_APPDIALOGS
#include "frmAbout.h"
#include "frmHelp.h"
#endif

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <exception>

Q_LOGGING_CATEGORY(lcShell, "qetra.shell")

namespace {

// Posted to the main window to reopen the port at the meter's new baud rate once the
// reply handler that confirmed the change has returned.
const QEvent::Type kReopenPortEvent = QEvent::Type(QEvent::User + 101);

// The Window menu's own commands (the four window actions and the traffic monitor); the
// list of open windows follows them.
constexpr int kFixedWindowItems = 5;

// Resident windows, created at start-up in this order when their subsystem is built.
const char* const kResidentWindows[] = {"FormSuperNum", "FormCalirate", "FormAngle", "FormWave",
                                        "FormBase"};

// Menu commands that open a window, with the window they open.
struct MenuWindow {
    const char* menuItem;
    const char* window;
    bool resident; // brought to the front when it exists; never created by the menu
    bool toFront;  // resident windows: raise as well as restore
};
const MenuWindow kMenuWindows[] = {
    {"MM0201", "FormBase", true, true},      {"MM0202", "FormPara", false, true},
    {"MM0203", "FormSuperNum", true, true},  {"MM0204", "FormWave", true, false},
    {"MM0205", "FormAlarm", true, true},     {"MM0206", "FormAngle", true, true},
    {"MM0301", "FormKw", false, true},       {"MM0302", "FormSetPara", false, true},
    {"MM0303", "FormSetAlarm", false, true}, {"MM0304", "FormDriveType", false, true},
    {"MM05", "FormCalirate", false, true},
};

const MenuWindow* FindMenuWindow(const QString& menuItem) {
    for (const MenuWindow& m : kMenuWindows) {
        if (menuItem == QLatin1String(m.menuItem))
            return &m;
    }
    return nullptr;
}

} // namespace

QString MeterModelTitle(quint8 model) {
    return QStringLiteral("Advanced Intelligent Power Meter Test Program (Ver:2006-3-1) -- %1")
        .arg(model != 0 ? QStringLiteral("QETRA 7300") : QStringLiteral("QETRA 7100"));
}

QString CannotOpenPortText(const QString& portName) {
    return QStringLiteral("  Cannot open the port \"%1\".          ").arg(portName);
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

    routing_ = std::make_unique<ReplyRouting>(
        state_, *dialogs_,
        ReplyRouting::Host{
            [this](const QString& n) { return IsChildOpen(n); },
            [this](const QString& n) { CloseChild(n); },
            [this] { QCoreApplication::postEvent(this, new QEvent(kReopenPortEvent)); }});

    if (options_.makePort) {
        qvModbus1 = std::make_unique<TqvModbus>(options_.makePort());
    } else {
        qvModbus1 = std::make_unique<TqvModbus>(nullptr);
        qvModbus1->SetOpenSettleMs(options_.portSettleMs);
    }
    // The line to the meter is a direct cable: no modem, no modem watcher.
    qvModbus1->SetAutoConnect(true);
    qvModbus1->SetConnectWithModem(false);
    qvModbus1->SetTraceModemStatus(false);
    qvModbus1->SetRtsCtsControl(false);
    qvModbus1->SetConnectTimeout(60);
    qvModbus1->SetDisconnectTimeout(30);
    qvModbus1->SetRepeatDialNum(2);
    qvModbus1->SetInitModemString("at&f0e0q1&d0&k0s0=0&w0");
    qvModbus1->SetDialNumberString("atdt");
    qvModbus1->SetManualAnswerString("ata");
    qvModbus1->SetModemOffLineString("+++");
    qvModbus1->SetModemHangupString("ath0");
    qvModbus1->SetQueryInterval(200);
    qvModbus1->SetQueryTimeout(3000);
    qvModbus1->SetPreviewTimeout(0);
    qvModbus1->OnOperatorError = [this](const QString& caption, const QString& text) {
        dialogs_->Error(caption, text);
    };
    BindModbusEvents();
    traffic_ = std::make_unique<TrafficModel>();
    qvModbus1->SetTransactionObserver(traffic_.get());

    BuildStatusBars();
    BindMenuCommands();
    AddTrafficCommands();
    ui->mnuSys->menuAction()->setVisible(false);
    ui->MM05->setVisible(false);

    connect(ui->ClientArea, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* sub) { emit ChildActivated(sub ? sub->widget() : nullptr); });

    // Replies are evaluated by the process-wide watcher from now on.
    TqvModbus::StartResponseWatcher();
}

TFormTeskLink::~TFormTeskLink() {
    // No more events into a half-destroyed window.
    static_cast<TqvModbusEvents&>(*qvModbus1) = TqvModbusEvents{};
    qvModbus1->SetTransactionObserver(nullptr);
    qvModbus1->OnOperatorError = nullptr;
    qvModbus1->StopQuery();
    qvModbus1->Close();
    // Child windows go first: their destructors clear their poll flags and registrations
    // in the state that this window still holds.
    for (QMdiSubWindow* sub : ui->ClientArea->subWindowList())
        delete sub;
    for (const QPointer<QWidget>& w : std::as_const(topLevelWindows_))
        delete w.data();
    qvModbus1.reset();
    TqvModbus::StopResponseWatcher();
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

    QMdiArea* area = ui->ClientArea;
    on(ui->N6, [area] { area->cascadeSubWindows(); });
    on(ui->ToolButtonCascade, [area] { area->cascadeSubWindows(); });
    auto tile = [area](Qt::Orientation o) {
        // Visible children side by side (vertical tiling) or one above the other.
        QList<QMdiSubWindow*> subs;
        for (QMdiSubWindow* s : area->subWindowList())
            if (s->isVisible() && !s->isMinimized())
                subs << s;
        if (subs.isEmpty())
            return;
        const QRect r = area->viewport()->rect();
        for (int i = 0; i < subs.size(); ++i) {
            QRect cell;
            if (o == Qt::Vertical) {
                const int w = r.width() / int(subs.size());
                cell = QRect(r.left() + i * w, r.top(), w, r.height());
            } else {
                const int h = r.height() / int(subs.size());
                cell = QRect(r.left(), r.top() + i * h, r.width(), h);
            }
            subs[i]->showNormal();
            subs[i]->setGeometry(cell);
        }
    };
    on(ui->N7, [tile] { tile(Qt::Horizontal); });
    on(ui->ToolButtonTileHorizontal, [tile] { tile(Qt::Horizontal); });
    on(ui->N8, [tile] { tile(Qt::Vertical); });
    on(ui->ToolButtonTileVertical, [tile] { tile(Qt::Vertical); });
    auto minimizeAll = [area] {
        for (QMdiSubWindow* s : area->subWindowList())
            s->showMinimized();
    };
    on(ui->N9, minimizeAll);
    on(ui->ToolButtonMinimizeAll, minimizeAll);

    for (const MenuWindow& m : kMenuWindows) {
        if (QAction* a = Action(QLatin1String(m.menuItem))) {
            const QString item = QLatin1String(m.menuItem);
            on(a, [this, item] { ShowWindowOfMenuItem(item); });
        }
    }

    // The Window menu lists the children after its four commands.
    connect(ui->Window1, &QMenu::aboutToShow, this, [this] {
        QMenu* menu = ui->Window1;
        const QList<QAction*> actions = menu->actions();
        for (int i = kFixedWindowItems; i < actions.size(); ++i) {
            menu->removeAction(actions[i]);
            actions[i]->deleteLater();
        }
        const QList<QMdiSubWindow*> subs = ui->ClientArea->subWindowList();
        if (subs.isEmpty())
            return;
        menu->addSeparator();
        int n = 0;
        for (QMdiSubWindow* s : subs) {
            QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(s->windowTitle()));
            a->setCheckable(true);
            a->setChecked(s == ui->ClientArea->activeSubWindow());
            QPointer<QMdiSubWindow> target(s);
            connect(a, &QAction::triggered, this, [this, target] {
                if (target) {
                    if (target->isMinimized())
                        target->showNormal();
                    ui->ClientArea->setActiveSubWindow(target);
                }
            });
        }
    });
}

void TFormTeskLink::AddTrafficCommands() {
    auto* monitor = new QAction(QStringLiteral("Traffic Monitor(&F)"), this);
    monitor->setObjectName(QStringLiteral("mnuTrafficMonitor"));
    ui->Window1->insertAction(nullptr, monitor);
    connect(monitor, &QAction::triggered, this, [this] { ShowTrafficMonitor(); });

    auto* log = new QAction(QStringLiteral("Log to file\u2026(&L)"), this);
    log->setObjectName(QStringLiteral("MMLogToFile"));
    log->setEnabled(false);
    ui->MM01->insertAction(ui->MMExit, log);
}

TFormTrafficMonitor* TFormTeskLink::ShowTrafficMonitor() {
    if (!monitor_) {
        monitor_ = new TFormTrafficMonitor(*traffic_, *dialogs_);
        // Resident once opened: closing hides it, and recording never depended on it.
        ui->ClientArea->addSubWindow(monitor_);
    }
    QMdiSubWindow* sub = SubWindowOf(monitor_);
    if (sub) {
        sub->showNormal();
        ui->ClientArea->setActiveSubWindow(sub);
    }
    return monitor_;
}

void TFormTeskLink::SetStatusNote(const QString& text) {
    SetPanel(2, 4, text);
}

QAction* TFormTeskLink::Action(const QString& name) const {
    return findChild<QAction*>(name);
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
                                   WindowPlacement placement) {
    factories_.insert(name, Registration{std::move(factory), placement});
}

QMdiArea* TFormTeskLink::ClientArea() const {
    return ui->ClientArea;
}

QMdiSubWindow* TFormTeskLink::AddChild(QWidget* child, bool deleteOnClose) {
    QMdiSubWindow* sub = ui->ClientArea->addSubWindow(child);
    if (deleteOnClose) {
        sub->setAttribute(Qt::WA_DeleteOnClose);
        child->setAttribute(Qt::WA_DeleteOnClose);
    }
    sub->show();
    return sub;
}

QWidget* TFormTeskLink::CreateWindow(const QString& name) {
    const auto it = factories_.constFind(name);
    if (it == factories_.cend() || !it->factory)
        return nullptr;
    QWidget* w = it->factory(*this);
    if (w && w->objectName().isEmpty())
        w->setObjectName(name);
    return w;
}

void TFormTeskLink::CreateResidentWindows() {
    for (const char* n : kResidentWindows) {
        const QString name = QLatin1String(n);
        if (Window(name))
            continue;
        const auto it = factories_.constFind(name);
        if (it == factories_.cend())
            continue;
        QWidget* w = CreateWindow(name);
        if (!w)
            continue;
        if (it->placement == WindowPlacement::TopLevel) {
            w->setParent(this, Qt::Window);
            w->hide();
            topLevelWindows_.insert(name, w);
        } else {
            AddChild(w, false);
        }
    }
}

QMdiSubWindow* TFormTeskLink::SubWindowOf(const QWidget* child) const {
    for (QMdiSubWindow* s : ui->ClientArea->subWindowList())
        if (s->widget() == child)
            return s;
    return nullptr;
}

QMdiSubWindow* TFormTeskLink::OpenSubWindow(const QString& name) const {
    for (QMdiSubWindow* s : ui->ClientArea->subWindowList()) {
        // A closed on-demand window lingers until the event loop deletes it; it no longer
        // counts as open.
        if (s->testAttribute(Qt::WA_DeleteOnClose) && s->isHidden())
            continue;
        if (s->widget() && s->widget()->objectName() == name)
            return s;
    }
    return nullptr;
}

bool TFormTeskLink::IsChildOpen(const QString& name) const {
    return OpenSubWindow(name) != nullptr;
}

QWidget* TFormTeskLink::Window(const QString& name) const {
    if (QMdiSubWindow* s = OpenSubWindow(name))
        return s->widget();
    return topLevelWindows_.value(name).data();
}

void TFormTeskLink::CloseChild(const QString& name) {
    if (QMdiSubWindow* s = OpenSubWindow(name))
        s->close();
}

void TFormTeskLink::ShowResident(const QString& name, bool bringToFront) {
    QWidget* w = Window(name);
    if (!w)
        return;
    if (QMdiSubWindow* sub = SubWindowOf(w)) {
        sub->showNormal();
        if (bringToFront)
            ui->ClientArea->setActiveSubWindow(sub);
    } else {
        w->showNormal();
        if (bringToFront)
            w->raise();
    }
}

QWidget* TFormTeskLink::ShowWindowOfMenuItem(const QString& menuItem) {
    const MenuWindow* m = FindMenuWindow(menuItem);
    if (!m)
        return nullptr;
    const QString name = QLatin1String(m->window);
    if (m->resident) {
        ShowResident(name, m->toFront);
        return Window(name);
    }
    QWidget* w = nullptr;
    QMdiSubWindow* sub = nullptr;
    if (IsChildOpen(name)) {
        w = Window(name);
        sub = SubWindowOf(w);
    } else {
        w = CreateWindow(name);
        if (!w)
            return nullptr;
        sub = AddChild(w, true);
    }
    sub->showNormal();
    if (name == QLatin1String("FormCalirate"))
        sub->move(0, 0);
    ui->ClientArea->setActiveSubWindow(sub);
    return w;
}

// ---------------------------------------------------------------- shared operations

void TFormTeskLink::SetPollingControls(bool polling) {
    pollingOn_ = polling;
    ui->MMStart->setEnabled(!polling);
    ui->MMStop->setEnabled(polling);
    ui->MMSetConn->setEnabled(!polling);
    ui->ToolButtonStart->setEnabled(!polling);
    ui->ToolButtonCut->setEnabled(polling);
    ui->ToolButtonSetConn->setEnabled(!polling);
}

void TFormTeskLink::ResetSession() {
    SetPollingControls(false);
    state_.ResetSession();
}

void TFormTeskLink::ApplyMeterModel() {
    const quint8 model = state_.MeterModel;
    setWindowTitle(MeterModelTitle(model));
    const QString alarm = QStringLiteral("FormAlarm");
    if (model != 0) {
        if (!IsChildOpen(alarm)) {
            if (QWidget* w = CreateWindow(alarm))
                AddChild(w, false)->showMinimized();
        }
        ui->MM0203->setVisible(true);
        ui->MM0205->setVisible(true);
        ui->MM0303->setVisible(true);
        const QString maxMin = QStringLiteral("FormSuperNum");
        if (!IsChildOpen(maxMin)) {
            if (QWidget* w = CreateWindow(maxMin))
                AddChild(w, false)->showMinimized();
        }
    } else {
        for (QMdiSubWindow* s : ui->ClientArea->subWindowList())
            if (s->widget() && s->widget()->objectName() == alarm)
                delete s;
        ui->MM0205->setVisible(false);
        ui->MM0303->setVisible(false);
    }
    emit MeterModelApplied(model);
}

void TFormTeskLink::StartPolling() {
    state_.Schedule.Restart();
    // A failure to start leaves the controls as they were; the operator sees that
    // nothing is sent and can try again.
    try {
        qvModbus1->StartQuery();
        SetPollingControls(true);
    } catch (const std::exception& e) {
        qCWarning(lcShell, "polling did not start: %s", e.what());
    }
}

void TFormTeskLink::StopPolling() {
    qvModbus1->StopQuery();
    state_.Traffic.Connected = false;
    SetPollingControls(false);
}

void TFormTeskLink::ResetCounters() {
    state_.Traffic.ResetShownCounters();
}

void TFormTeskLink::Quit() {
    qvModbus1->StopQuery();
    qvModbus1->Close();
    close();
}

void TFormTeskLink::ToggleDisplayMode() {
    if (!Connected()) {
        dialogs_->ShowNotConnected();
        return;
    }
    const int mode = (state_.DisplayModeByte ^ 1) & 0x7F;
    state_.Schedule.Queue(2, QStringLiteral("00,B0,05,2A,00,01,02,%1,%2,00,00")
                                 .arg(mode >> 8, 2, 16, QLatin1Char('0'))
                                 .arg(mode & 0xFF, 2, 16, QLatin1Char('0'))
                                 .toUpper());
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
    for (const char* n : {"FormSuperNum", "FormAngle", "FormWave"}) {
        if (QMdiSubWindow* sub = SubWindowOf(Window(QLatin1String(n))))
            sub->showMinimized();
    }
    state_.PortName = QStringLiteral("COM1");
    state_.DevAddr = 1;
    state_.Baudrate = qvModbus1->BaudRate();
    ReadSettings();
    OpenPort();
    ApplyMeterModel();
}

void TFormTeskLink::ReadSettings() {
    CommSettings values;
    values.PortName = state_.PortName;
    values.Baudrate = state_.Baudrate;
    values.DevAddr = state_.DevAddr;
    values.QueryInterval = qvModbus1->QueryInterval();
    QStringList problems;
    state_.SaveSettings = ReadCommSettings(*settings_, values, &problems);
    if (!problems.isEmpty())
        qCWarning(lcShell) << "saved settings without a usable" << problems
                           << "- the defaults are used for them";
    if (!state_.SaveSettings)
        return;
    state_.PortName = values.PortName;
    state_.Baudrate = values.Baudrate;
    qvModbus1->SetBaudRate(values.Baudrate);
    state_.DevAddr = values.DevAddr;
    qvModbus1->SetQueryInterval(values.QueryInterval);
}

void TFormTeskLink::WriteSettings() {
    CommSettings values;
    values.PortName = state_.PortName;
    values.Baudrate = qvModbus1->BaudRate();
    values.DevAddr = state_.DevAddr;
    values.QueryInterval = qvModbus1->QueryInterval();
    WriteCommSettings(*settings_, values);
}

void TFormTeskLink::ShowCannotOpen() {
    dialogs_->Error(QStringLiteral("Error"), CannotOpenPortText(state_.PortName));
    ui->MMStart->setEnabled(false);
    ui->ToolButtonStart->setEnabled(false);
}

bool TFormTeskLink::OpenPort() {
    try {
        qvModbus1->Open(QStringLiteral("\\\\.\\") + state_.PortName, state_.Baudrate);
        return true;
    } catch (const std::exception& e) {
        qCWarning(lcShell, "cannot open %s: %s", qPrintable(state_.PortName), e.what());
        ShowCannotOpen();
        return false;
    }
}

void TFormTeskLink::ReopenPort() {
    // The failure that confirmed the new rate may be the last reply of a cycle the
    // operator has already stopped; polling then stays stopped, as the controls say.
    const bool resume = pollingOn_;
    qvModbus1->StopQuery();
    qvModbus1->Close();
    qvModbus1->SetBaudRate(state_.MeterBaudRate);
    try {
        qvModbus1->Open(QStringLiteral("\\\\.\\") + state_.PortName, qvModbus1->BaudRate());
    } catch (const std::exception& e) {
        // The port was there a moment ago; tell the operator instead of ending the program.
        qCWarning(lcShell, "cannot reopen %s: %s", qPrintable(state_.PortName), e.what());
        SetPollingControls(false);
        ShowCannotOpen();
        return;
    }
    if (resume)
        qvModbus1->StartQuery();
}

bool TFormTeskLink::event(QEvent* event) {
    if (event->type() == kReopenPortEvent) {
        ReopenPort();
        return true;
    }
    return QMainWindow::event(event);
}

void TFormTeskLink::closeEvent(QCloseEvent* event) {
    if (state_.SaveSettings)
        WriteSettings();
    QMainWindow::closeEvent(event);
}

void TFormTeskLink::OpenSettingsDialog() {
    {
        TFormComm dialog(*this);
        dialog.exec();
    }
    ApplyMeterModel();
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
    TqvModbus& m = *qvModbus1;
    m.OnRecvData = [this](TqvModbus*, const QByteArray& d) { qvModbus1RecvData(d); };
    m.OnAfterSendMsg = [this](TqvModbus*, const QByteArray& msg) { qvModbus1AfterSendMsg(msg); };
    m.OnQueryData = [this](TqvModbus*) { qvModbus1QueryData(); };
    m.OnResponseError = [this](TqvModbus*) { qvModbus1ResponseError(); };
    m.OnF01Response = [this](TqvModbus*, quint8, quint16 start, QList<bool> values) {
        routing_->CoilsReceived(start, values);
    };
    m.OnF02Response = [this](TqvModbus*, quint8, quint16 start, QList<bool> values) {
        routing_->InputsReceived(start, values);
    };
    m.OnF03Response = [this](TqvModbus*, quint8, quint16 start, QList<quint16> values) {
        routing_->RegistersReceived(start, values);
    };
    m.OnF05Response = [this](TqvModbus*, quint8, quint16 dest, bool value) {
        routing_->RelayWriteConfirmed(dest, value);
    };
    m.OnF10Response = [this](TqvModbus*, quint8, quint16 start, quint16) {
        routing_->WriteConfirmed(start);
    };
    m.OnAfterResponse = [this](TqvModbus*) { qvModbus1AfterResponse(); };
    m.OnQueryFinish = [this](TqvModbus*) { qvModbus1QueryFinish(); };
}

void TFormTeskLink::qvModbus1AfterSendMsg(const QByteArray& Msg) {
    state_.Traffic.RequestSent();
    SetPanel(0, 0, QStringLiteral("TxD: ") + BytesToHex(Msg));
    SetPanel(1, 0, QStringLiteral("RxD: "));
}

void TFormTeskLink::qvModbus1RecvData(const QByteArray& Data) {
    SetPanel(1, 0, QStringLiteral("RxD: ") + BytesToHex(Data));
    state_.Traffic.DataReceived();
}

void TFormTeskLink::qvModbus1QueryData() {
    if (const std::optional<QString> message = state_.Schedule.NextMessage(state_.DevAddr))
        qvModbus1->SetQueryMessage(message->toLatin1());
}

void TFormTeskLink::qvModbus1ResponseError() {
    state_.Traffic.ResponseFailed(qvModbus1->ResponseErrorCode());
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
}

void TFormTeskLink::qvModbus1QueryFinish() {
    SetPanel(0, 0, QString());
    SetPanel(1, 0, QString());
    for (int i = 0; i < 4; ++i)
        SetPanel(2, i, QString());
}

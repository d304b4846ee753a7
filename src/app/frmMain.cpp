#include "frmMain.h"

#include "Settings.h"
#include "TComm.h"
#include "TqvModbus.h"
#include "WindowTable.h"
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

// A resident window is never destroyed before exit: its close box minimises it, and its
// menu item brings it back.
class MinimiseOnClose : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            static_cast<QWidget*>(watched)->showMinimized();
            return true;
        }
        return false;
    }
};

} // namespace

QString MeterModelTitle(quint8 model) {
    return QStringLiteral("Advanced Intelligent Power Meter Test Program (Ver:2006-3-1) -- %1")
        .arg(model != 0 ? QStringLiteral("QETRA 7300") : QStringLiteral("QETRA 7100"));
}

QString CannotOpenPortText(const QString& portName) {
    return QStringLiteral("  Cannot open the port \"%1\".          ").arg(portName);
}

QString LineLostText(const QString& waiting, bool resumes) {
    return resumes ? QStringLiteral("Line lost. %1 - polling resumes when it is back").arg(waiting)
                   : QStringLiteral("Line lost. %1 - reopened when it is back").arg(waiting);
}

QString LineBackText(const QString& device) {
    return QStringLiteral("Line back: %1").arg(device);
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
            &TFormTeskLink::ChildWindowActivated);

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

    for (const WindowRow& row : WindowTable()) {
        if (row.menuItem == nullptr)
            continue;
        if (QAction* a = Action(QLatin1String(row.menuItem))) {
            const QString name = QLatin1String(row.name);
            on(a, [this, name] { ShowWindowNamed(name); });
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
    // Recording never depended on the window: the model records from the start.
    RegisterWindow(WindowName::TrafficMonitor, [](TFormTeskLink& shell) -> QWidget* {
        return new TFormTrafficMonitor(*shell.traffic_, *shell.dialogs_);
    });

    auto* log = new QAction(QStringLiteral("Log to file\u2026(&L)"), this);
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

QString TFormTeskLink::StatusText(int bar, int panel) const {
    if (bar < 0 || bar > 2 || panel < 0 || panel >= panels_[bar].size())
        return {};
    return panels_[bar][panel]->text();
}

void TFormTeskLink::SetPanel(int bar, int panel, const QString& text) {
    panels_[bar][panel]->setText(text);
}

// ---------------------------------------------------------------- windows

void TFormTeskLink::RegisterWindow(const QString& name, WindowFactory factory) {
    Q_ASSERT_X(FindWindowRow(name) != nullptr, "RegisterWindow", "a window without a table row");
    factories_.insert(name, std::move(factory));
}

QMdiArea* TFormTeskLink::ClientArea() const {
    return ui->ClientArea;
}

QWidget* TFormTeskLink::CreateWindow(const QString& name) {
    const WindowRow* row = FindWindowRow(name);
    const auto it = factories_.constFind(name);
    if (row == nullptr || it == factories_.cend() || !*it)
        return nullptr;
    QWidget* w = (*it)(*this);
    if (w == nullptr)
        return nullptr;
    if (w->objectName().isEmpty())
        w->setObjectName(name);

    if (row->pollFlag != PollFlag::None) {
        // The window's block joins the rotation while it is the active window, and leaves
        // it with the window.
        const PollFlag flag = row->pollFlag;
        connect(w, &QObject::destroyed, this,
                [this, flag] { state_.Schedule.SetPollFlag(flag, false); });
    }

    if (row->placement == WindowPlacement::TopLevel) {
        // Closing hides it; it lives until exit.
        w->setParent(this, Qt::Window);
        w->hide();
        topLevelWindows_.insert(name, w);
        return w;
    }
    QMdiSubWindow* sub = ui->ClientArea->addSubWindow(w);
    if (row->life == WindowLife::OnDemand) {
        sub->setAttribute(Qt::WA_DeleteOnClose);
        w->setAttribute(Qt::WA_DeleteOnClose);
    } else if (row->life == WindowLife::OnDemandKept) {
        // Closing hides it; it lives until exit.
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
    } else {
        // addSubWindow() makes every sub-window delete itself on close; a resident one
        // must survive its close box.
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->installEventFilter(new MinimiseOnClose(sub));
    }
    sub->show();
    return w;
}

void TFormTeskLink::CreateResidentWindows() {
    for (const WindowRow& row : WindowTable()) {
        const QString name = QLatin1String(row.name);
        if (row.life == WindowLife::Resident && !Window(name))
            CreateWindow(name);
    }
}

void TFormTeskLink::ChildWindowActivated(QMdiSubWindow* sub) {
    QWidget* child = sub ? sub->widget() : nullptr;
    if (child != nullptr) {
        const WindowRow* row = FindWindowRow(child->objectName());
        if (row != nullptr && row->pollFlag != PollFlag::None)
            state_.Schedule.SelectWindowPollFlag(row->pollFlag);
    }
    emit ChildActivated(child);
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

void TFormTeskLink::DestroyChild(const QString& name) {
    for (QMdiSubWindow* s : ui->ClientArea->subWindowList())
        if (s->widget() && s->widget()->objectName() == name)
            delete s;
}

QWidget* TFormTeskLink::ShowWindowOfMenuItem(const QString& menuItem) {
    const WindowRow* row = FindMenuWindowRow(menuItem);
    return row ? ShowWindowNamed(QLatin1String(row->name)) : nullptr;
}

QWidget* TFormTeskLink::ShowWindowNamed(const QString& name) {
    const WindowRow* row = FindWindowRow(name);
    if (row == nullptr)
        return nullptr;
    QWidget* w = Window(name);
    // Resident windows exist whenever their menu item is visible; the menu only brings
    // them back. On-demand windows are created when they are not open.
    if (w == nullptr &&
        (row->life == WindowLife::OnDemand || row->life == WindowLife::OnDemandKept))
        w = CreateWindow(name);
    if (w == nullptr)
        return nullptr;
    if (QMdiSubWindow* sub = SubWindowOf(w)) {
        sub->showNormal();
        if (row->movedToOriginByMenu)
            sub->move(0, 0);
        if (row->raisedByMenu)
            ui->ClientArea->setActiveSubWindow(sub);
    } else {
        w->showNormal();
        if (row->movedToOriginByMenu)
            w->move(0, 0);
        if (row->raisedByMenu) {
            w->raise();
            w->activateWindow();
        }
    }
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
    auto createMinimised = [this](const QString& name) {
        if (IsChildOpen(name))
            return;
        if (QWidget* w = CreateWindow(name); w != nullptr && SubWindowOf(w) != nullptr)
            SubWindowOf(w)->showMinimized();
    };
    if (model != 0) {
        createMinimised(WindowName::Alarm);
        ui->MM0203->setVisible(true);
        ui->MM0205->setVisible(true);
        ui->MM0303->setVisible(true);
        createMinimised(WindowName::SuperNum);
    } else {
        DestroyChild(WindowName::Alarm);
        ui->MM0205->setVisible(false);
        ui->MM0303->setVisible(false);
    }
    emit MeterModelApplied(model);
}

void TFormTeskLink::StartPolling() {
    if (!ReopenForStart())
        return;
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
    if (qvModbus1->LineLost())
        ShowLineState(LineLostText(qvModbus1->LineWaiting(), false));
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
    // The others make room: the window left in front starts at the top left corner.
    for (const WindowRow& row : WindowTable()) {
        if (QMdiSubWindow* sub = SubWindowOf(Window(QLatin1String(row.name)))) {
            if (row.minimisedAtStart)
                sub->showMinimized();
            else if (row.life == WindowLife::Resident)
                sub->move(0, 0);
        }
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

void TFormTeskLink::ShowCannotOpen(const QString& reason) {
    const QString text = CannotOpenPortText(state_.PortName);
    dialogs_->Error(QStringLiteral("Error"), reason.isEmpty() ? text : text + "\n\n" + reason);
    ui->MMStart->setEnabled(false);
    ui->ToolButtonStart->setEnabled(false);
}

bool TFormTeskLink::OpenPort() {
    try {
        qvModbus1->Open(QStringLiteral("\\\\.\\") + state_.PortName, state_.Baudrate);
        ShowLineState(QString());
        return true;
    } catch (const ECommsError& e) {
        qCWarning(lcShell, "cannot open %s: %s", qPrintable(state_.PortName), e.what());
        ShowCannotOpen(e.Reason());
        return false;
    } catch (const std::exception& e) {
        qCWarning(lcShell, "cannot open %s: %s", qPrintable(state_.PortName), e.what());
        ShowCannotOpen(QString::fromStdString(e.what()));
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
    m.OnLineLost = [this](TqvModbus*) { LineLost(); };
    m.OnLineBack = [this](TqvModbus*) { LineBack(); };
    m.OnLineWaiting = [this](TqvModbus* s) {
        ShowLineState(LineLostText(s->LineWaiting(), s->ResumeOnReturn()));
    };
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
    qvModbus1->SetQueryMessage(state_.Schedule.NextMessage(state_.DevAddr).toLatin1());
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

// ---------------------------------------------------------------- a lost line

void TFormTeskLink::ShowLineState(const QString& text) {
    // The fifth statistics panel is free: the line's state goes there.
    SetPanel(2, 4, text);
}

void TFormTeskLink::LineLost() {
    // A meter behind a line that is gone cannot take writes.
    state_.Traffic.Connected = false;
    const bool resumes = qvModbus1->ResumeOnReturn();
    // Start reopens the port at once; Stop gives up the resuming; the settings may choose
    // another port.
    SetPollingControls(false);
    ui->MMStop->setEnabled(resumes);
    ui->ToolButtonCut->setEnabled(resumes);
    ShowLineState(LineLostText(qvModbus1->LineWaiting(), resumes));
}

void TFormTeskLink::LineBack() {
    SetPollingControls(qvModbus1->CycleBusy());
    ShowLineState(LineBackText(qvModbus1->LineDevice()));
}

bool TFormTeskLink::ReopenForStart() {
    if (qvModbus1->PortOpen())
        return true;
    // Reopen the port the master had: after a lost line that is the same device (by-id
    // name or COM link), which may be back by now.
    QString why;
    if (qvModbus1->ReopenLine(&why)) {
        ShowLineState(LineBackText(qvModbus1->LineDevice()));
        return true;
    }
    qCWarning(lcShell, "cannot reopen %s: %s", qPrintable(state_.PortName), qPrintable(why));
    const bool lost = qvModbus1->LineLost();
    ShowCannotOpen(why);
    // A line that is only away for now is still tried; Start stays for another go.
    if (lost) {
        SetPollingControls(false);
        ShowLineState(LineLostText(qvModbus1->LineWaiting(), false));
    }
    return false;
}

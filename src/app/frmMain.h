#pragma once

#include "ChildWindows.h"
#include "MeterLine.h"
#include "OperatorDialogs.h"
#include "ReplyRouting.h"
#include "SessionState.h"
#include "Shell.h"
#include "TrafficModel.h"
#include "WindowLayout.h"
#include "WindowTable.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QEvent;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QSettings;
class QStatusBar;
class LineNoticeBar;
class ModbusPort;
class TqvModbus;
class TFormTeskLink;
class TFormTrafficMonitor;

namespace Ui {
class TFormTeskLink;
}

// How the main window can be built differently in tests.
struct ShellOptions {
    // Message boxes; null = real QMessageBox boxes. Not owned; must outlive the window.
    OperatorDialogs* dialogs = nullptr;
    // Where the communication settings are kept; null = the user's QSettings for
    // "Quorvant"/"TeskLink". Not owned.
    QSettings* settings = nullptr;
    // Pause after opening the port before the first write (the meter's line needs it);
    // tests set 0.
    int portSettleMs = 2000;
    // The port behind the Modbus master; null = the serial port component. Tests put a
    // scripted port here.
    std::function<std::unique_ptr<ModbusPort>()> makePort;
};

// The main window: client area with the child windows, menus, tool bar, the three status
// bars, the line with its Modbus master qvModbus1, and everything the child windows share.
// It is the Shell (Shell.h) the window subsystems register with and reach it through;
// the program (src/program) and the tests use the rest of it.
//
// For child windows (all on the main thread):
//  - State(): connected flag, meter model, PT/CT ratios, meter address and baud rate,
//    change flags, calibration count and flags, display mode byte, settings.
//  - Schedule(): pending-write slots 1..5 (Queue), one-shot flags and the windows' reads.
//    The main window selects a window's reads (given at its registration) when the window
//    is activated and drops them when the window is destroyed.
//  - Routing(): register decoders for register blocks, coil/input/relay handlers and
//    follow-ups of write confirmations.
//  - Requests(): one-shot requests with an outcome of their own.
//  - Dialogs(): every message box.
// Child windows are destroyed before the shared state, so a destructor may still use it.
//
// Each window subsystem has one registration function, called through
// RegisterProgramWindows (src/program) before the resident windows are created, which
// registers its windows, the blocks they read, decoders, confirmations and handlers:
//   void RegisterViewWindows(Shell&);        // src/views/ViewWindows.h
//   void RegisterSetupWindows(Shell&);       // src/setup/SetupWindows.h
//   void RegisterCalibrationWindows(Shell&); // src/calibration/CalibrationWindows.h
//   void RegisterCommissioningReport(Shell&); // src/report/ReportCommand.h
class TFormTeskLink : public QMainWindow, public Shell {
    Q_OBJECT

public:
    explicit TFormTeskLink(ShellOptions options = {}, QWidget* parent = nullptr);
    ~TFormTeskLink() override;

    SessionState& State() override { return state_; }
    const SessionState& State() const { return state_; }
    PollSchedule& Schedule() { return state_.Schedule; }
    ReplyRouting& Routing() override { return *routing_; }
    OperatorDialogs& Dialogs() override { return *dialogs_; }
    ShellEvents& Events() override { return events_; }
    RequestService& Requests() override { return line_->Requests(); }
    ConnectedMeter Meter() const override;
    TqvModbus& Modbus() { return *qvModbus1; }
    // The port's life: open, reopen, lost and back, polling started and stopped.
    MeterLine& Line() { return *line_; }
    // Child-window bookkeeping; the calls below are the windows' short forms of it.
    ChildWindows& Windows() { return *windows_; }
    bool Connected() const { return state_.Traffic.Connected; }

    // --- windows ---
    // Resident windows are created by CreateResidentWindows() in table order, "FormAlarm"
    // by ApplyMeterModel, the others by their menu command or ShowWindowNamed when not
    // already open.
    void RegisterWindow(const QString& name, WindowFactory factory,
                        const QStringList& readsWhileActive = {}) override;
    bool IsWindowRegistered(const QString& name) const override {
        return windows_->IsRegistered(name);
    }
    // Creates the registered resident windows in table order.
    void CreateResidentWindows() { windows_->CreateResident(); }
    // True when a child of the client area has this object name.
    bool IsChildOpen(const QString& name) const { return windows_->IsOpen(name); }
    QWidget* Window(const QString& name) const override { return windows_->Find(name); }
    // Closes the client-area child with this name, if open (a resident one minimises).
    void CloseChild(const QString& name) { windows_->Close(name); }
    QWidget* ShowWindowNamed(const QString& name) override { return windows_->Show(name); }
    QWidget* BringWindowToFront(const QString& name) override;
    void MinimiseChildren() override { windows_->MinimiseAll(); }
    // The same by menu command ("MM0201", "MM0302", "MM05", ...).
    QWidget* ShowWindowOfMenuItem(const QString& menuItem) {
        return windows_->ShowOfMenuItem(menuItem);
    }
    // The client area's sub-window frame of a child (null when it is not a child).
    QMdiSubWindow* SubWindowOf(const QWidget* child) const { return windows_->SubWindowOf(child); }
    QMdiArea* ClientArea() const;
    QWidget& Frame() override { return *this; }

    // --- operations shared with the windows ---
    // Start-up state: controls of a stopped line, ratios 1.0, the schedule reset, not
    // connected. The counters are kept.
    void ResetSession() override;
    // Title by MeterModel; creates or destroys the alarm records window and shows or hides
    // the alarm menu items; then Events().MeterModelApplied.
    void ApplyMeterModel() override;
    // "Start COMM(&R)", "Stop COMM(&E)", "Counter Reset(&C)", "Quit(&Q)".
    void StartPolling();
    void StopPolling();
    void ResetCounters();
    void Quit();
    // The "Display" command of the hidden SYS menu.
    void ToggleDisplayMode();
    // Shows the main window where it was left (fitted into the present screen), or
    // maximised on a first run; the child windows follow at start-up.
    void ShowWithSavedLayout();
    // Window -> "Reset Layout": the windows back to their designed sizes and their start-up
    // arrangement, the main window maximised, and the saved layout forgotten.
    void ResetLayout();
    // Where the main window and its children are now, as the next start puts them back.
    WindowLayout CurrentLayout() const;

    // Makes the factory menus "SYS" and "Calibrate" visible; a normal start keeps them
    // hidden (the program's --factory option).
    void ShowFactoryMenus();

    // The start-up sequence run when the window is first shown: reset, settings, open.
    // Run by showEvent once; tests may call it directly instead of showing the window.
    void StartUp();

    // Texts of the status bars: bar 0 = StatusBarSend, 1 = StatusBarRecv, 2 = StatusBar2
    // (panels 0..4).
    QString StatusText(int bar, int panel = 0) const;
    // The bar below them that explains the line: why the meter is silent, with its
    // "Search…" button, and the line's losses.
    LineNoticeBar& LineNotice() const { return *lineNotice_; }
    // "Search…" of that bar: polling stops (the search needs the line to itself) and the
    // search for the meter opens once the cycle under way has ended; a meter chosen there
    // is used at once, and polling goes on if it was on.
    void SearchForMeter();
    // The menu command or tool button with this object name ("MMStart", "ToolButtonCut").
    QAction* Action(const QString& name) const override;
    QMenu* Menu(const QString& name) const override;

    // --- traffic monitor and data logging ---
    // Every transaction of the master, recorded from start-up whether or not the monitor
    // window is open (bounded: the oldest rows go first).
    TrafficModel& Traffic() { return *traffic_; }
    // "Traffic Monitor(&F)" of the Window menu: shows the monitor window, creating it the
    // first time. Closing it only hides it.
    TFormTrafficMonitor* ShowTrafficMonitor();
    // Panel 4 of the statistics bar, for a lasting note such as the data log's state
    // (never cleared by the end of polling).
    void SetStatusNote(const QString& text) override;
    // "Log to file…(&L)" of the Execute menu is the action named "MMLogToFile"; it is
    // disabled until a logger connects to it and enables it.

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildStatusBars();
    void BindMenuCommands();
    void BindModbusEvents();
    void AddTrafficCommands();
    void ChildWindowActivated(QMdiSubWindow* sub);
    void ShowLineControls(const LineControls& controls);
    void ReadSettings();
    void WriteSettings();
    void RestoreChildLayout();
    void SetPanel(int bar, int panel, const QString& text);
    void OpenSettingsDialog();
    void OpenHelp();
    void OpenAbout();
    void RunMeterSearch();

    // The master's events.
    void qvModbus1RecvData(const QByteArray& Data);
    void qvModbus1AfterSendMsg(const QByteArray& Msg);
    void qvModbus1QueryData();
    void qvModbus1ResponseError();
    void qvModbus1AfterResponse();
    void qvModbus1QueryFinish();

    std::unique_ptr<Ui::TFormTeskLink> ui;
    ShellOptions options_;
    std::unique_ptr<MessageBoxDialogs> ownDialogs_;
    OperatorDialogs* dialogs_ = nullptr;
    std::unique_ptr<QSettings> ownSettings_;
    QSettings* settings_ = nullptr;
    SessionState state_;
    ShellEvents events_;
    std::unique_ptr<MeterLine> line_;
    TqvModbus* qvModbus1 = nullptr; // the line's master
    std::unique_ptr<ReplyRouting> routing_;
    std::unique_ptr<TrafficModel> traffic_;
    // After the state and the routing: the windows go before what they use.
    std::unique_ptr<ChildWindows> windows_;
    QStatusBar* StatusBarSend = nullptr;
    QStatusBar* StatusBarRecv = nullptr;
    QStatusBar* StatusBar2 = nullptr;
    QList<QLabel*> panels_[3];
    LineNoticeBar* lineNotice_ = nullptr;
    bool searchWhenIdle_ = false;
    bool pollAfterSearch_ = false;
    bool startedUp_ = false;
    // The layout saved at the last exit, if any, and the traffic monitor's columns as the
    // monitor makes them (what "Reset Layout" goes back to).
    WindowLayout savedLayout_;
    bool haveSavedLayout_ = false;
    QByteArray designedTrafficColumns_;
};

// The window title for a meter model (0 = QETRA 7100, else QETRA 7300).
QString MeterModelTitle(quint8 model);

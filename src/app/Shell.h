#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <QtGlobal>
#include <functional>

class OperatorDialogs;
class QAction;
class QMenu;
class ReplyRouting;
class RequestService;
struct SessionState;

// What the shell tells the window subsystems as it happens.
class ShellEvents : public QObject {
    Q_OBJECT
signals:
    // A client-area child became the active window (null when none is active), after the
    // shell put its reads into the rotation.
    void ChildActivated(QWidget* child);
    // The meter model was applied (title, alarm windows, menu items); windows enable or
    // disable their model-dependent controls.
    void MeterModelApplied(quint8 model);
};

// The meter the program talks to, as the line stands now.
struct ConnectedMeter {
    int address = 1;      // the slave address of every request
    quint32 baud = 9600;  // the rate the port was opened at
    QString port;         // as the operator chose it: "COM1", a by-id name
    QString device;       // the device the port was last opened on: "/dev/pts/3 (COM1)"
    bool polling = false; // the poll cycle runs and goes on after the present request
};

// The shell as the window subsystems (views, setup, calibration, report) and the shell's
// own dialogs reach it: the main window implements it, and every subsystem's
// registration function takes it. Hand a window only what it needs (SessionState&,
// OperatorDialogs&); the shell itself is for registrations and for the few that must
// open, find or bring forward other windows. Main thread only.
class Shell {
public:
    // Creates a child window. The window table (WindowTable.h) holds everything else about
    // it: its name, menu item, life and placement.
    using WindowFactory = std::function<QWidget*(Shell& shell)>;

    virtual ~Shell() = default;

    // --- the session and the operator ---
    // The state every window shares: connected flag, meter model, ratios, the poll
    // schedule with its pending-write slots (writes are queued there:
    // State().Schedule.Queue(WriteSlot, message)).
    virtual SessionState& State() = 0;
    // Every message box and question.
    virtual OperatorDialogs& Dialogs() = 0;
    // Controls of a stopped line, ratios 1.0, the schedule reset, not connected (a new
    // port was chosen).
    virtual void ResetSession() = 0;
    // Title by State().MeterModel, the alarm windows and menu items; then
    // Events().MeterModelApplied.
    virtual void ApplyMeterModel() = 0;
    virtual ShellEvents& Events() = 0;

    // --- the line ---
    // The meter on the line: address, rate, port and device, whether polling runs.
    virtual ConnectedMeter Meter() const = 0;
    // One-shot requests with their own outcome, sent in the poll cycle (the search, the
    // report's snapshot, configuration runs). Their replies never reach the routing.
    virtual RequestService& Requests() = 0;
    // Where the poll's replies go: decoders by block, coil and input handlers, the
    // confirmations of writes and what is read back after them.
    virtual ReplyRouting& Routing() = 0;

    // --- windows ---
    // Gives the window of a table row (WindowTable.h) its factory and the reads that take
    // the rotation's sixth place, in turn, while it is the active window. Register before
    // the resident windows are created.
    virtual void RegisterWindow(const QString& name, WindowFactory factory,
                                const QStringList& readsWhileActive = {}) = 0;
    virtual bool IsWindowRegistered(const QString& name) const = 0;
    // The window with this object name (client-area child or top-level resident), or null.
    virtual QWidget* Window(const QString& name) const = 0;
    template <typename T> T* WindowAs(const QString& name) const {
        return qobject_cast<T*>(Window(name));
    }
    // As the window's menu command: a resident window to the normal state (and the front,
    // where its row says so), an open on-demand window shown, or a new one created. Null
    // when it is not registered.
    virtual QWidget* ShowWindowNamed(const QString& name) = 0;
    // ShowWindowNamed, then the main window and the child in front of every other window
    // (the calibration window is a top-level window beside the main window).
    virtual QWidget* BringWindowToFront(const QString& name) = 0;
    // Every client-area child minimised.
    virtual void MinimiseChildren() = 0;

    // --- the frame ---
    // The main window: the parent of a subsystem's dialogs and the owner of its helpers.
    virtual QWidget& Frame() = 0;
    // A menu ("MM01") or a menu command or tool button ("MMExit", "MMLogToFile"), or null.
    virtual QMenu* Menu(const QString& name) const = 0;
    virtual QAction* Action(const QString& name) const = 0;
    // The last panel of the statistics bar, for a lasting note such as the data log's
    // state (never cleared by the end of polling).
    virtual void SetStatusNote(const QString& text) = 0;
};

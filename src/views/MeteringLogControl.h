#pragma once

#include "MeteringCsv.h"

#include <QObject>

#include <functional>
#include <optional>

class Shell;

// The main window's "Log to file…" command: asks where and how often, logs every reply of
// block 0x130 (with the last temperature read) through a MeteringCsvLog scaled by the
// current PT and CT ratios, and keeps the status bar's note up to date. Choosing the
// command while logging asks whether to stop. A failure stops logging with one message.
class MeteringLogControl : public QObject {
    Q_OBJECT
public:
    // Shows the settings dialog; nothing when the operator cancelled. Tests replace it.
    using AskSettings =
        std::function<std::optional<MeteringLogSettings>(const MeteringLogSettings& previous)>;

    // Registers with the shell's reply routing and enables its "MMLogToFile" command.
    explicit MeteringLogControl(Shell& shell);

    void SetAskSettings(AskSettings ask) { ask_ = std::move(ask); }
    MeteringCsvLog& Log() { return log_; }

    // The menu command.
    void Command();
    // Starts logging; false (after the error box) when the file cannot be opened.
    bool Start(const MeteringLogSettings& settings);
    void Stop();

private:
    void BlockReceived(const QList<quint16>& values);
    void ShowNote();

    Shell& shell_;
    MeteringCsvLog log_;
    AskSettings ask_;
    MeteringLogSettings last_;
};

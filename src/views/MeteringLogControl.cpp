#include "MeteringLogControl.h"

#include "FormLogToFile.h"
#include "OperatorDialogs.h"
#include "ReplyRouting.h"
#include "SessionState.h"
#include "Shell.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>

namespace {
QString Caption() {
    return QCoreApplication::translate("MeteringLogControl", "Log to File");
}
} // namespace

MeteringLogControl::MeteringLogControl(Shell& shell) : QObject(&shell.Frame()), shell_(shell) {
    ask_ = [this](const MeteringLogSettings& previous) -> std::optional<MeteringLogSettings> {
        TFormLogToFile dialog(shell_.Dialogs(), &shell_.Frame());
        dialog.SetSettings(previous);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.Checked(); // what accept() checked, with the seconds as typed
    };
    ReplyRouting& routing = shell.Routing();
    routing.AddBlockDecoder(MeteringBlockStart,
                            [this](const QList<quint16>& values) { BlockReceived(values); });
    routing.AddBlockDecoder(TemperatureRegister, [this](const QList<quint16>& values) {
        if (!values.isEmpty())
            log_.TemperatureReceived(values.front());
    });
    if (QAction* action = shell.Action(QStringLiteral("MMLogToFile"))) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this] { Command(); });
    }
}

void MeteringLogControl::Command() {
    if (log_.Active()) {
        const QString question = tr("Stop logging to \"%1\"? %2 rows were written.")
                                     .arg(QDir::toNativeSeparators(log_.FileName()))
                                     .arg(log_.Rows());
        if (shell_.Dialogs().AskYesNo(Caption(), question))
            Stop();
        return;
    }
    if (const std::optional<MeteringLogSettings> settings = ask_(last_))
        Start(*settings);
}

bool MeteringLogControl::Start(const MeteringLogSettings& settings) {
    last_ = settings;
    if (!log_.Start(settings)) {
        shell_.SetStatusNote(QString());
        shell_.Dialogs().Error(Caption(), log_.LastError());
        return false;
    }
    ShowNote();
    return true;
}

void MeteringLogControl::Stop() {
    log_.Stop();
    shell_.SetStatusNote(tr("Log stopped: %1 rows").arg(log_.Rows()));
}

void MeteringLogControl::ShowNote() {
    shell_.SetStatusNote(tr("Logging: %1 rows").arg(log_.Rows()));
}

void MeteringLogControl::BlockReceived(const QList<quint16>& values) {
    const SessionState& state = shell_.State();
    switch (log_.BlockReceived(values, ScaleRatios{state.PtRatio, state.CtRatio})) {
    case MeteringCsvLog::Outcome::Written:
        ShowNote();
        break;
    case MeteringCsvLog::Outcome::Failed:
        shell_.SetStatusNote(tr("Log stopped: %1 rows").arg(log_.Rows()));
        shell_.Dialogs().Error(Caption(), tr("Logging stopped. %1. %2 rows were "
                                             "written, each of them whole.")
                                              .arg(log_.LastError())
                                              .arg(log_.Rows()));
        break;
    case MeteringCsvLog::Outcome::Skipped:
    case MeteringCsvLog::Outcome::Off:
        break;
    }
}

#include "ConfigWindows.h"

#include "AlarmCodec.h"
#include "FormMeterConfig.h"
#include "FormSetPara.h"
#include "ReplyRouting.h"
#include "SettingsMessages.h"
#include "Shell.h"
#include "WindowTable.h"

#include <QTimer>

namespace {

const QStringList kConfigWindows = {
    QStringLiteral("FormConfigSave"), QStringLiteral("FormConfigCompare"),
    QStringLiteral("FormConfigRestore"), QStringLiteral("FormConfigClone")};

// After a restore or clone the meter holds other settings and alarms than the windows
// show: what was read back from it goes through the routing as a poll's reply would (the
// ratios first, then every window of those blocks), the settings window takes it as a
// fresh load, and a comparison with the meter is read again.
void ShowWhatTheMeterHolds(Shell& shell, QWidget* writer, const MeterConfiguration& meter) {
    if (auto* settings = shell.WindowAs<TFormSetPara>(WindowName::SetPara))
        settings->FormActivate();
    shell.Routing().RegistersReceived(MeterSettingsStart,
                                      QList<quint16>(meter.settings.begin(), meter.settings.end()));
    shell.Routing().RegistersReceived(AlarmParamBlockStart,
                                      QList<quint16>(meter.alarms.begin(), meter.alarms.end()));
    for (const QString& name : kConfigWindows) {
        auto* other = shell.WindowAs<TFormMeterConfig>(name);
        if (other != nullptr && other != writer)
            // Once the writing window's run has returned to the event loop.
            QTimer::singleShot(0, other, &TFormMeterConfig::RereadMeter);
    }
}

template <TFormMeterConfig::Use use> QWidget* Create(Shell& shell) {
    auto* w = new TFormMeterConfig(use, shell.State(), shell.Dialogs(), shell.Requests());
    QObject::connect(
        w, &TFormMeterConfig::MeterWritten, w,
        [&shell, w](const MeterConfiguration& meter) { ShowWhatTheMeterHolds(shell, w, meter); });
    return w;
}

} // namespace

void RegisterConfigWindows(Shell& shell) {
    using Use = TFormMeterConfig::Use;
    shell.RegisterWindow(kConfigWindows[0], Create<Use::Save>);
    shell.RegisterWindow(kConfigWindows[1], Create<Use::Compare>);
    shell.RegisterWindow(kConfigWindows[2], Create<Use::Restore>);
    shell.RegisterWindow(kConfigWindows[3], Create<Use::Clone>);
}

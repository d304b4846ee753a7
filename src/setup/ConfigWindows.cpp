#include "ConfigWindows.h"

#include "FormMeterConfig.h"
#include "frmMain.h"

namespace {

template <TFormMeterConfig::Use use> QWidget* Create(TFormTeskLink& shell) {
    return new TFormMeterConfig(use, shell.State(), shell.Dialogs(), shell.Modbus());
}

} // namespace

void RegisterConfigWindows(TFormTeskLink& shell) {
    using Use = TFormMeterConfig::Use;
    shell.RegisterWindow(QStringLiteral("FormConfigSave"), Create<Use::Save>);
    shell.RegisterWindow(QStringLiteral("FormConfigCompare"), Create<Use::Compare>);
    shell.RegisterWindow(QStringLiteral("FormConfigRestore"), Create<Use::Restore>);
    shell.RegisterWindow(QStringLiteral("FormConfigClone"), Create<Use::Clone>);
}

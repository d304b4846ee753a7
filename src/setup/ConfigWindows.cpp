#include "ConfigWindows.h"

#include "FormMeterConfig.h"
#include "Shell.h"

namespace {

template <TFormMeterConfig::Use use> QWidget* Create(Shell& shell) {
    return new TFormMeterConfig(use, shell.State(), shell.Dialogs(), shell.Requests());
}

} // namespace

void RegisterConfigWindows(Shell& shell) {
    using Use = TFormMeterConfig::Use;
    shell.RegisterWindow(QStringLiteral("FormConfigSave"), Create<Use::Save>);
    shell.RegisterWindow(QStringLiteral("FormConfigCompare"), Create<Use::Compare>);
    shell.RegisterWindow(QStringLiteral("FormConfigRestore"), Create<Use::Restore>);
    shell.RegisterWindow(QStringLiteral("FormConfigClone"), Create<Use::Clone>);
}

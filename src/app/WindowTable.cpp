#include "WindowTable.h"

namespace {

using L = WindowLife;
using P = WindowPlacement;

// Resident rows first, in the order the program creates them at start-up; the metering
// window comes last so that it is the one in front.
// clang-format off
constexpr WindowRow kRows[] = {
//   name               menu      life                   placement    min.   raise  origin
    {"FormSuperNum",    "MM0203", L::Resident,           P::MdiChild, true,  true,  false},
    {"FormCalirate",    "MM05",   L::Resident,           P::TopLevel, false, true,  true},
    {"FormAngle",       "MM0206", L::Resident,           P::MdiChild, true,  true,  false},
    {"FormWave",        "MM0204", L::Resident,           P::MdiChild, true,  false, false},
    {"FormBase",        "MM0201", L::Resident,           P::MdiChild, false, true,  false},
    {"FormAlarm",       "MM0205", L::ResidentWithAlarms, P::MdiChild, false, true,  false},
    {"FormPara",        "MM0202", L::OnDemand,           P::MdiChild, false, true,  false},
    {"FormKw",          "MM0301", L::OnDemand,           P::MdiChild, false, true,  false},
    {"FormSetPara",     "MM0302", L::OnDemand,           P::MdiChild, false, true,  false},
    {"FormSetAlarm",    "MM0303", L::OnDemand,           P::MdiChild, false, true,  false},
    {"FormDriveType",   "MM0304", L::OnDemand,           P::MdiChild, false, true,  false},
    {"FormChangeConst", nullptr,  L::OnDemand,           P::MdiChild, false, true,  false},
    {"FormTrafficMonitor", "mnuTrafficMonitor", L::OnDemandKept, P::MdiChild, false, true, false},
    {"FormConfigSave",    "mnuSaveConfig",    L::OnDemand,     P::MdiChild, false, true, false},
    {"FormConfigCompare", "mnuCompareConfig", L::OnDemand,     P::MdiChild, false, true, false},
    {"FormConfigRestore", "mnuRestoreConfig", L::OnDemand,     P::MdiChild, false, true, false},
    {"FormConfigClone",   "mnuCloneConfig",   L::OnDemand,     P::MdiChild, false, true, false},
    {"FormTrends",        "MMTrends",         L::OnDemandKept, P::MdiChild, false, true, false},
    {"FormBus",           "MMBus",            L::OnDemandKept, P::MdiChild, false, true, false},
};
// clang-format on

} // namespace

std::span<const WindowRow> WindowTable() {
    return kRows;
}

const WindowRow* FindWindowRow(const QString& name) {
    for (const WindowRow& row : kRows) {
        if (name == QLatin1String(row.name))
            return &row;
    }
    return nullptr;
}

const WindowRow* FindMenuWindowRow(const QString& menuItem) {
    for (const WindowRow& row : kRows) {
        if (row.menuItem != nullptr && menuItem == QLatin1String(row.menuItem))
            return &row;
    }
    return nullptr;
}

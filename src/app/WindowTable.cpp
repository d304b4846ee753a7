#include "WindowTable.h"

namespace {

using L = WindowLife;
using P = WindowPlacement;

// Resident rows first, in the order the program creates them at start-up; the metering
// window comes last so that it is the one in front.
// clang-format off
constexpr WindowRow kRows[] = {
//   name               menu      life                   placement    min.   raise  origin poll flag
    {"FormSuperNum",    "MM0203", L::Resident,           P::MdiChild, true,  true,  false, PollFlag::MaxMin},
    {"FormCalirate",    "MM05",   L::Resident,           P::TopLevel, false, true,  true,  PollFlag::None},
    {"FormAngle",       "MM0206", L::Resident,           P::MdiChild, true,  true,  false, PollFlag::Angle},
    {"FormWave",        "MM0204", L::Resident,           P::MdiChild, true,  false, false, PollFlag::Harmonics},
    {"FormBase",        "MM0201", L::Resident,           P::MdiChild, false, true,  false, PollFlag::None},
    {"FormAlarm",       "MM0205", L::ResidentWithAlarms, P::MdiChild, false, true,  false, PollFlag::Alarm},
    {"FormPara",        "MM0202", L::OnDemand,           P::MdiChild, false, true,  false, PollFlag::None},
    {"FormKw",          "MM0301", L::OnDemand,           P::MdiChild, false, true,  false, PollFlag::None},
    {"FormSetPara",     "MM0302", L::OnDemand,           P::MdiChild, false, true,  false, PollFlag::None},
    {"FormSetAlarm",    "MM0303", L::OnDemand,           P::MdiChild, false, true,  false, PollFlag::None},
    {"FormDriveType",   "MM0304", L::OnDemand,           P::MdiChild, false, true,  false, PollFlag::Clock},
    {"FormChangeConst", nullptr,  L::OnDemand,           P::MdiChild, false, true,  false, PollFlag::None},
    {"FormTrafficMonitor", "mnuTrafficMonitor", L::OnDemandKept, P::MdiChild, false, true, false, PollFlag::None},
    {"FormConfigSave",    "mnuSaveConfig",    L::OnDemand, P::MdiChild, false, true, false, PollFlag::None},
    {"FormConfigCompare", "mnuCompareConfig", L::OnDemand, P::MdiChild, false, true, false, PollFlag::None},
    {"FormConfigRestore", "mnuRestoreConfig", L::OnDemand, P::MdiChild, false, true, false, PollFlag::None},
    {"FormConfigClone",   "mnuCloneConfig",   L::OnDemand, P::MdiChild, false, true, false, PollFlag::None},
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

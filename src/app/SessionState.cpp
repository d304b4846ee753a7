#include "SessionState.h"

void SessionState::ResetSession() {
    PtRatio = 1.0;
    CtRatio = 1.0;
    MeterAddress = 300;
    MeterBaudRate = 0;
    AddressChangePending = false;
    BaudChangePending = false;
    Traffic.Connected = false;
    Schedule.Reset();
    CalibrationAngleMode = true;
    CalibrationPt380V = true;
    CalibrationStandard100 = true;
}

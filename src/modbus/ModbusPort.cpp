#include "ModbusPort.h"

#include "TComm.h"

bool ModbusPort::ReopenLine(QString* why) {
    if (IsOpen())
        return true;
    try {
        if (OnReopening)
            OnReopening();
        // The one call that opens the line again: the port keeps its name and rate.
        OpenPort();
        if (OnReopened)
            OnReopened();
    } catch (const ECommsError& e) {
        if (why)
            *why = e.Reason().isEmpty() ? e.Text().trimmed() : e.Reason();
        return false;
    } catch (const std::exception& e) {
        if (why)
            *why = QString::fromStdString(e.what());
        return false;
    }
    return true;
}

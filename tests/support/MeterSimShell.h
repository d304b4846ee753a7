#pragma once

#include "MeterSimProcess.h"
#include "TestShell.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// Where the simulated meter sits and how the program's saved settings reach it.
struct SimulatedLine {
    QString port = QStringLiteral("COM7"); // COM name, registered in a private link folder
    int baud = 9600;
    int address = 1;
    int intervalMs = 20; // the program's poll interval
};

// A test shell (TestShell or a subsystem's harness derived from it) with the simulated
// meter on a pseudo-terminal: StartMeter() starts meter-sim under a COM name in a private
// folder of port links and saves the program's settings pointing at it, so that the next
// Make(..., RealPort) opens it as the program would. The test binary links
// qetra_test_meter_sim.
template <class Shell = TestShell> struct WithMeterSim : Shell {
    QTemporaryDir ports;
    std::unique_ptr<MeterSimProcess> sim;
    SimulatedLine line;

    ~WithMeterSim() {
        Shell::shell.reset();
        sim.reset();
        qunsetenv("QETRA_PORTS_DIR");
    }

    // False when the simulator did not start (its standard error says why).
    bool StartMeter(const QStringList& simArguments = {}, const SimulatedLine& where = {}) {
        line = where;
        qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
        sim = std::make_unique<MeterSimProcess>(QStringList{"--port", line.port, "--baud",
                                                            QString::number(line.baud), "--address",
                                                            QString::number(line.address)} +
                                                simArguments);
        if (!sim->started())
            return false;
        QSettings& s = Shell::settings;
        s.beginGroup(QStringLiteral("Comm"));
        s.setValue(QStringLiteral("PortName"), line.port);
        s.setValue(QStringLiteral("Baudrate"), line.baud);
        s.setValue(QStringLiteral("DevAddr"), line.address);
        s.setValue(QStringLiteral("QueryInterval"), line.intervalMs);
        s.endGroup();
        return true;
    }
    QString SimErrors() const { return sim ? sim->errors() : QStringLiteral("not started"); }
};
using MeterSimShell = WithMeterSim<>;

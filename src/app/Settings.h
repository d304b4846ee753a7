#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QSettings;

// The communication settings kept between runs, in the group "Comm" of the program's
// settings (organisation "Quorvant", application "TeskLink").
struct CommSettings {
    QString PortName = QStringLiteral("COM1");
    quint32 Baudrate = 9600;
    int DevAddr = 1;
    quint32 QueryInterval = 200;
};

// Reads the group without creating it. Returns false, and leaves `values` alone, when the
// group does not exist. A value that is missing or not a number keeps what `values` held
// and is named in *problems, so one damaged entry does not stop the program from starting.
bool ReadCommSettings(QSettings& settings, CommSettings& values, QStringList* problems = nullptr);

// Writes the four values (creating the group) and flushes them to storage.
void WriteCommSettings(QSettings& settings, const CommSettings& values);

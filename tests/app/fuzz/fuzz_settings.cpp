// libFuzzer entry: any settings file the program may find at start-up. Whatever it holds,
// the COMM values read are ones the COMM Settings dialog offers (never a broadcast
// address), no more windows are read than the program has, and what is read, written back
// and read again is the same.
#include "Settings.h"
#include "WindowLayout.h"
#include "WindowTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzCoreApp("fuzz_settings");
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("fuzz.ini"));
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    {
        QFile f(file);
        FuzzCheck(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    QFile::remove(copy);

    QSettings settings(file, QSettings::IniFormat);
    CommSettings values;
    QList<IgnoredSetting> ignored;
    if (ReadCommSettings(settings, values, &ignored)) {
        FuzzCheck(values.DevAddr >= kLowestMeterAddress && values.DevAddr <= kHighestMeterAddress);
        FuzzCheck(CommBaudRates().contains(values.Baudrate));
        FuzzCheck(values.QueryInterval <= kLongestQueryIntervalMs);
        FuzzCheck(!values.PortName.isEmpty());
        QSettings written(copy, QSettings::IniFormat);
        WriteCommSettings(written, values);
        CommSettings back;
        QList<IgnoredSetting> none;
        FuzzCheck(ReadCommSettings(written, back, &none) && none.isEmpty());
        FuzzCheck(back.PortName == values.PortName && back.Baudrate == values.Baudrate &&
                  back.DevAddr == values.DevAddr && back.QueryInterval == values.QueryInterval);
    }
    WindowLayout layout;
    if (ReadWindowLayout(settings, layout)) {
        FuzzCheck(layout.children.size() <= qsizetype(WindowTable().size()));
        QSettings written(copy, QSettings::IniFormat);
        WriteWindowLayout(written, layout);
        WindowLayout back;
        FuzzCheck(ReadWindowLayout(written, back) && back == layout);
    }
    return 0;
}

// libFuzzer entry: any file opened as a meter configuration. The reader either refuses it
// naming the field, or takes it; a configuration it takes, written as the program writes
// its files and read again, is the same configuration, setting for setting.
#include "MeterConfigFile.h"

#include <QCoreApplication>

#include "FuzzSupport.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzCoreApp("fuzz_config");
    const MeterConfigRead read =
        ReadMeterConfig(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!read.config) {
        FuzzCheck(!read.problem.isEmpty());
        return 0;
    }
    const QByteArray written = MeterConfigJson(*read.config);
    const MeterConfigRead back = ReadMeterConfig(written);
    FuzzCheck(back.config.has_value());
    FuzzCheck(MeterConfigJson(*back.config) == written);
    const QList<ConfigSetting> a = ConfigSettings(*read.config);
    const QList<ConfigSetting> b = ConfigSettings(*back.config);
    FuzzCheck(a.size() == b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
        FuzzCheck(a[i].name == b[i].name && a[i].text == b[i].text && a[i].raw == b[i].raw);
    return 0;
}

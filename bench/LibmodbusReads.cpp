#include "LibmodbusReads.h"

#include <chrono>
#include <memory>
#include <modbus.h>
#include <vector>

#include <cerrno>

LibmodbusResult RunLibmodbusReads(const QString& device, quint32 baud, int slave,
                                  quint16 startAddress, int registers, int count,
                                  int responseTimeoutMs) {
    LibmodbusResult result;
    const QByteArray path = device.toLocal8Bit();
    std::unique_ptr<modbus_t, void (*)(modbus_t*)> ctx(
        modbus_new_rtu(path.constData(), static_cast<int>(baud), 'N', 8, 1), modbus_free);
    if (!ctx) {
        result.error =
            QStringLiteral("libmodbus: %1").arg(QString::fromLocal8Bit(modbus_strerror(errno)));
        return result;
    }
    modbus_set_slave(ctx.get(), slave);
    modbus_set_response_timeout(ctx.get(), static_cast<uint32_t>(responseTimeoutMs / 1000),
                                static_cast<uint32_t>(responseTimeoutMs % 1000) * 1000);
    if (modbus_connect(ctx.get()) != 0) {
        result.error = QStringLiteral("libmodbus cannot open %1: %2")
                           .arg(device, QString::fromLocal8Bit(modbus_strerror(errno)));
        return result;
    }
    std::vector<uint16_t> regs(static_cast<std::size_t>(registers));
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        const int rc = modbus_read_registers(ctx.get(), startAddress, registers, regs.data());
        ++result.reads;
        if (rc == registers)
            ++result.ok;
        else
            ++result.errors;
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    modbus_close(ctx.get());
    return result;
}

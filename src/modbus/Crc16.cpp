#include "Crc16.h"

#include <array>

namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t crc = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001u)
                             : static_cast<std::uint16_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}

constexpr auto kTable = MakeTable();

} // namespace

std::uint16_t ModbusCrc16(const std::uint8_t* data, std::size_t n) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kTable[(crc ^ data[i]) & 0xFFu]);
    return crc;
}

QByteArray ModbusCrcBytes(const QByteArray& bytes, qsizetype n) {
    if (n > bytes.size())
        n = bytes.size();
    if (n < 0)
        n = 0;
    const std::uint16_t crc =
        ModbusCrc16(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(n));
    QByteArray out(2, '\0');
    out[0] = char(crc & 0xFF);
    out[1] = char(crc >> 8);
    return out;
}

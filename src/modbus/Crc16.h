#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// CRC-16 of the Modbus serial line: reflected polynomial 0xA001, start 0xFFFF,
// no final exclusive-or. On the wire the low byte goes first.
std::uint16_t ModbusCrc16(const std::uint8_t* data, std::size_t n);

// The two CRC bytes over the first n bytes of `bytes`, in wire order (low, high).
// n larger than the array is clamped to its size.
QByteArray ModbusCrcBytes(const QByteArray& bytes, qsizetype n);

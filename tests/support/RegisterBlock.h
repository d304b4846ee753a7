#pragma once

#include <QList>
#include <QtGlobal>
#include <initializer_list>
#include <utility>

// A register block as a reply of the meter carries it, built by offset from the block's
// start: RegisterBlock(54).Set(0x01, 2300).Set32(0x26, -10).
class RegisterBlock {
public:
    explicit RegisterBlock(int count, quint16 fill = 0) : values_(count, fill) {}
    // Zeros but for the registers given as {offset, value}.
    RegisterBlock(int count, std::initializer_list<std::pair<int, quint16>> registers)
        : values_(count, 0) {
        for (const auto& [offset, value] : registers)
            values_[offset] = value;
    }

    RegisterBlock& Set(int offset, quint16 value) {
        values_[offset] = value;
        return *this;
    }
    // A signed 16-bit quantity in two's complement.
    RegisterBlock& SetSigned(int offset, qint16 value) { return Set(offset, quint16(value)); }
    // A 32-bit quantity, high word at the lower address.
    RegisterBlock& Set32(int offset, qint64 value) {
        const auto bits = quint32(value);
        values_[offset] = quint16(bits >> 16);
        values_[offset + 1] = quint16(bits & 0xFFFF);
        return *this;
    }
    // The first `count` registers only (a short reply).
    QList<quint16> First(int count) const { return values_.mid(0, count); }

    operator const QList<quint16>&() const { return values_; }
    const QList<quint16>& Values() const { return values_; }

private:
    QList<quint16> values_;
};

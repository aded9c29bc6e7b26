#pragma once

#include <QModbusServer>

#include <cstring>

// 32-bit values live in two holding registers, low word first: the lower address holds the low 16 bits.
namespace RegisterWords {

inline void setUInt32(QModbusServer &server, quint16 address, quint32 value)
{
    server.setData(QModbusDataUnit::HoldingRegisters, address, quint16(value & 0xFFFFu));
    server.setData(QModbusDataUnit::HoldingRegisters, quint16(address + 1), quint16(value >> 16));
}

inline void setFloat(QModbusServer &server, quint16 address, float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    setUInt32(server, address, bits);
}

} // namespace RegisterWords

#pragma once

#include "IModbusClient.h"
#include "LinkParams.h"

class ModbusEngine;

// What the factories hand out. Releasing the last reference silences the client at once, even with
// requests in flight; when that happens inside one of its own callbacks the rest is deleted by the
// event loop, after the callback has returned.
//
// Behaviour behind the interface (constants in ModbusConstants.h):
// - Unit id 1. Coils: read 01, written 05. Holding registers: read 03; 16-bit written with 06; 32-bit
//   integers and floats with 16 in one request, the lower register holding the low 16 bits.
// - Operations return true when the request was accepted. Refused (logged, false): kinds other than
//   0, 3, 4, 5; addresses outside 0..65535; nb below 1 or beyond one request; a write list without
//   exactly one value or a value the kind cannot hold; reads and writes while the link is down.
// - IsConnected: the transport is open (a lost link is false until a reconnect has opened it again).
// - Close: logs one line, then ends everything for good: no request, reconnect or callback after it.
// - StartTimerRead/StopTimerRead: counted per (kind, address); flag is reserved and ignored; the
//   largest nb asked for an address is read. StopTimerRead is false for an address without timed read.
// - StopAllTimerRead: ends every timed read whatever its count.
// - Read results: one call per value, on the creating thread; fVal carries floats (nVal 0) and the
//   other kinds as float too.
class ModbusClientImpl final : public IModbusClient {
public:
    // An open client, or empty when the link could not be made.
    static std::shared_ptr<IModbusClient> open(const LinkParams &params);

    explicit ModbusClientImpl(const LinkParams &params);
    ~ModbusClientImpl() override;
    ModbusClientImpl(const ModbusClientImpl &) = delete;
    ModbusClientImpl &operator=(const ModbusClientImpl &) = delete;

    bool IsConnected() const override;
    void Close() override;
    bool SetReadResultCallback(ReadResultCallback fn, void *ctx) override;
    bool SetLogCallback(LogCallback fn, void *ctx) override;
    bool ReadData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb) override;
    bool StartTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb, bool flag) override;
    bool StopTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr) override;
    bool StopAllTimerRead() override;
    bool WriteData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, std::shared_ptr<QVariantList> values) override;

private:
    ModbusEngine *m_engine = nullptr;
};

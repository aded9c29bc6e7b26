#pragma once

#include "IModbusClient.h"
#include "LinkParams.h"

class ModbusEngine;

// What the factories hand out. Releasing the last reference silences the client at once, even with
// requests in flight; when that happens inside one of its own callbacks the rest is deleted by the
// event loop, after the callback has returned.
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

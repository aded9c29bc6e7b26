#pragma once

#include "ModbusAddrType.h"

#include <QStringList>
#include <QVariantList>

#include <memory>
#include <string>

#if defined(MODBUSCLIENT_LIBRARY)
#define MODBUSCLIENT_API Q_DECL_EXPORT
#else
#define MODBUSCLIENT_API Q_DECL_IMPORT
#endif

// One call per value read; nVal carries coils and integers, fVal the float kind.
using ReadResultCallback = void (*)(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal, void *ctx);
// Lines for the communication log, in order; always called on the thread that created the client.
using LogCallback = void (*)(const QStringList &lines, void *ctx);

// A Modbus master bound to the thread that created it. Every operation returns at once; results arrive
// only through the callbacks. Return values say whether the request was accepted, not whether it succeeded.
class MODBUSCLIENT_API IModbusClient {
public:
    // True while the link to the device is up (it may be down temporarily while reconnecting).
    virtual bool IsConnected() const = 0;
    // Closes the link for good: pending requests fail, timed reads end, no reconnect, no more callbacks.
    virtual void Close() = 0;
    virtual bool SetReadResultCallback(ReadResultCallback fn, void *ctx) = 0;
    virtual bool SetLogCallback(LogCallback fn, void *ctx) = 0;
    virtual bool ReadData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb) = 0;
    // Timed reads are counted per (kind, address): each start needs its own stop. flag is reserved.
    virtual bool StartTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb, bool flag) = 0;
    virtual bool StopTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr) = 0;
    // Ends every timed read at once, whatever its count.
    virtual bool StopAllTimerRead() = 0;
    virtual bool WriteData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, std::shared_ptr<QVariantList> values) = 0;
    virtual ~IModbusClient() = default;
};

// Both return an empty pointer when no link could be made. A host of the form "name:port" overrides port.
MODBUSCLIENT_API std::shared_ptr<IModbusClient> CreateModbusTCP(std::string host, unsigned int port);
MODBUSCLIENT_API std::shared_ptr<IModbusClient> CreateModbusRTU(
    std::string port, unsigned int baud, int parity, unsigned int dataBits, unsigned int stopBits);

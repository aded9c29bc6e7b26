#pragma once

#include <QModbusDataUnit>
#include <QModbusTcpClient>

// A Modbus-TCP client for tests: every call waits (spinning the event loop, bounded) for its answer.
class SyncModbusClient {
public:
    bool connectTo(quint16 port, int timeoutMs = 3000);
    // The values read, or an empty unit on any error or timeout.
    QModbusDataUnit read(QModbusDataUnit::RegisterType table, int address, int count, int timeoutMs = 3000);
    bool write(const QModbusDataUnit &unit, int timeoutMs = 3000);
    // A raw request (e.g. a function code the client has no helper for); true on a normal answer.
    bool send(const QModbusRequest &request, int timeoutMs = 3000);

    static qint32 int32At(const QModbusDataUnit &unit, int index);
    static float floatAt(const QModbusDataUnit &unit, int index);

private:
    bool finish(QModbusReply *reply, int timeoutMs, QModbusDataUnit *result);

    QModbusTcpClient m_client;
};

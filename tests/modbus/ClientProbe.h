#pragma once

#include "IModbusClient.h"
#include "PeerProcess.h"

#include <QStringList>
#include <QVector>

// Records what a client reports through its two callbacks.
struct ReadValue {
    int kind = 0;
    int addr = 0;
    int nVal = 0;
    float fVal = 0.0f;
};

class ClientProbe {
public:
    void attach(IModbusClient &client);
    // Values received for (kind, addr), oldest first.
    QVector<ReadValue> valuesOf(int kind, int addr) const;
    bool has(int kind, int addr) const { return !valuesOf(kind, addr).isEmpty(); }
    ReadValue last(int kind, int addr) const;
    int linesContaining(const QString &text) const;
    void clear();

    QVector<ReadValue> values;
    QStringList lines;
    int logCalls = 0;

private:
    static void onRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal, void *ctx);
    static void onLog(const QStringList &lines, void *ctx);
};

// Starts tests/peers/pymodbus_server.py on a free loopback port (or on an RTU device) and waits for it.
bool startTcpServer(PeerProcess &server, quint16 *port, const QStringList &extra = {});
bool startTcpServerOn(PeerProcess &server, quint16 port, const QStringList &extra = {});
bool startRtuServer(PeerProcess &server, const QString &device, const QStringList &extra = {});

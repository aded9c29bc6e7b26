#pragma once

#include "IModbusClient.h"

#include <QStringList>
#include <QVariantList>

#include <memory>
#include <vector>

// A client library stand-in for tests: the factories and every client operation append one line to a
// shared journal, so a test can check what reached the client and in which order.
class RecordingClient : public IModbusClient {
public:
    explicit RecordingClient(int serial);
    ~RecordingClient() override;

    bool IsConnected() const override { return true; }
    void Close() override;
    bool SetReadResultCallback(ReadResultCallback fn, void *ctx) override;
    bool SetLogCallback(LogCallback fn, void *ctx) override;
    bool ReadData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb) override;
    bool StartTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb, bool flag) override;
    bool StopTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr) override;
    bool StopAllTimerRead() override;
    bool WriteData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, std::shared_ptr<QVariantList> values) override;

    // Calls back the way the real library would.
    void reportValue(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal) const;
    void reportLog(const QStringList &lines) const;

    const int serial;
    ReadResultCallback readFn = nullptr;
    void *readCtx = nullptr;
    LogCallback logFn = nullptr;
    void *logCtx = nullptr;
    std::vector<std::shared_ptr<QVariantList>> written;
};

namespace ClientJournal {
// Every line since the last reset, e.g. "CreateModbusTCP(10.0.0.1,502) -> #1", "#1 ReadData(3,7,1)".
QStringList &lines();
// Forgets the journal and the clients made so far; the next factory call accepts.
void reset();
// When false, the factories record the call and return no client.
void setAccept(bool accept);
// The client that the last successful factory call made, while someone still holds it.
std::shared_ptr<RecordingClient> lastClient();
// Lines whose text starts with the prefix.
QStringList linesStartingWith(const QString &prefix);
} // namespace ClientJournal

#pragma once

#include "IModbusClient.h"
#include "ValueCodec.h"

#include <QStringList>

// The caller's two callbacks. Lines logged before a log callback is registered are kept and handed over
// on registration (the link line of a factory comes before the caller can register). Once muted,
// nothing is called again; deliveries report whether the caller may have released the client meanwhile.
class ClientCallbacks {
public:
    void setReadResult(ReadResultCallback fn, void *ctx);
    void setLog(LogCallback fn, void *ctx);

    void log(const QString &text); // adds the time stamp
    // One value to the caller; false when the client was muted during or before the call.
    bool deliver(int kind, int addr, const ValueCodec::Value &value);

    void mute();
    bool muted() const { return m_muted; }
    // True while a callback runs: the client must not be destroyed under it.
    bool inCallback() const { return m_depth > 0; }

private:
    void send(const QStringList &lines);

    ReadResultCallback m_readFn = nullptr;
    void *m_readCtx = nullptr;
    LogCallback m_logFn = nullptr;
    void *m_logCtx = nullptr;
    bool m_logRegistered = false;
    QStringList m_pending;
    bool m_muted = false;
    int m_depth = 0;
};

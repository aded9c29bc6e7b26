#include "ClientCallbacks.h"
#include "LogText.h"
#include "ModbusConstants.h"

void ClientCallbacks::setReadResult(ReadResultCallback fn, void *ctx)
{
    m_readFn = fn;
    m_readCtx = ctx;
}

void ClientCallbacks::setLog(LogCallback fn, void *ctx)
{
    m_logFn = fn;
    m_logCtx = ctx;
    m_logRegistered = true;
    QStringList early;
    early.swap(m_pending);
    if (!early.isEmpty())
        send(early);
}

void ClientCallbacks::log(const QString &text)
{
    if (m_muted)
        return;
    const QString line = LogText::stamped(text);
    if (!m_logRegistered) {
        if (m_pending.size() < ModbusConst::kPendingLogLimit)
            m_pending << line;
        return;
    }
    send({ line });
}

void ClientCallbacks::send(const QStringList &lines)
{
    if (m_muted || !m_logFn)
        return;
    ++m_depth;
    m_logFn(lines, m_logCtx);
    --m_depth;
}

bool ClientCallbacks::deliver(int kind, int addr, const ValueCodec::Value &value)
{
    if (m_muted)
        return false;
    if (m_readFn) {
        ++m_depth;
        m_readFn(Core::nsCMuNiK::MODBUS_ADDR_TYPE(kind), addr, value.nVal, value.fVal, m_readCtx);
        --m_depth;
    }
    return !m_muted;
}

void ClientCallbacks::mute()
{
    m_muted = true;
    m_readFn = nullptr;
    m_logFn = nullptr;
    m_pending.clear();
}

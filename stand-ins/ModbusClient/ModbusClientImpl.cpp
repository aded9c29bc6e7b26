#include "ModbusClientImpl.h"
#include "ModbusEngine.h"

#include <QCoreApplication>
#include <QThread>

std::shared_ptr<IModbusClient> ModbusClientImpl::open(const LinkParams &params)
{
    // Everything is event-driven: without an application there is no event loop to run on.
    if (!QCoreApplication::instance())
        return {};
    auto client = std::make_shared<ModbusClientImpl>(params);
    if (!client->m_engine->open())
        return {};
    return client;
}

ModbusClientImpl::ModbusClientImpl(const LinkParams &params)
    : m_engine(new ModbusEngine(params))
{
}

ModbusClientImpl::~ModbusClientImpl()
{
    if (QThread::currentThread() != m_engine->thread()) {
        m_engine->deleteLater(); // released on a foreign thread: the engine ends on its own
    } else if (m_engine->inCallback()) {
        m_engine->shutdown(true);
        m_engine->deleteLater();
    } else {
        delete m_engine;
    }
}

bool ModbusClientImpl::IsConnected() const
{
    return m_engine->isConnected();
}

void ModbusClientImpl::Close()
{
    m_engine->close();
}

bool ModbusClientImpl::SetReadResultCallback(ReadResultCallback fn, void *ctx)
{
    return m_engine->setReadResultCallback(fn, ctx);
}

bool ModbusClientImpl::SetLogCallback(LogCallback fn, void *ctx)
{
    return m_engine->setLogCallback(fn, ctx);
}

bool ModbusClientImpl::ReadData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb)
{
    return m_engine->readData(t, addr, nb);
}

bool ModbusClientImpl::StartTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb, bool /*flag: reserved*/)
{
    return m_engine->startTimerRead(t, addr, nb);
}

bool ModbusClientImpl::StopTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr)
{
    return m_engine->stopTimerRead(t, addr);
}

bool ModbusClientImpl::StopAllTimerRead()
{
    return m_engine->stopAllTimerRead();
}

bool ModbusClientImpl::WriteData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, std::shared_ptr<QVariantList> values)
{
    return m_engine->writeData(t, addr, values);
}

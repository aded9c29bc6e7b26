#include "SyncModbusClient.h"

#include <QDeadlineTimer>
#include <QModbusReply>
#include <QVariant>

#include "TestEnv.h"

#include <cstring>
#include <memory>

namespace {
constexpr int kUnitId = 1;
constexpr int kStepMs = 5; // milliseconds
} // namespace

bool SyncModbusClient::connectTo(quint16 port, int timeoutMs)
{
    m_client.setConnectionParameter(QModbusDevice::NetworkAddressParameter, QStringLiteral("127.0.0.1"));
    m_client.setConnectionParameter(QModbusDevice::NetworkPortParameter, port);
    m_client.setTimeout(timeoutMs);
    m_client.setNumberOfRetries(0);
    if (!m_client.connectDevice())
        return false;
    QDeadlineTimer deadline(timeoutMs);
    while (m_client.state() == QModbusDevice::ConnectingState && !deadline.hasExpired())
        TestEnv::spin(kStepMs);
    return m_client.state() == QModbusDevice::ConnectedState;
}

QModbusDataUnit SyncModbusClient::read(QModbusDataUnit::RegisterType table, int address, int count, int timeoutMs)
{
    QModbusDataUnit result;
    finish(m_client.sendReadRequest(QModbusDataUnit(table, address, quint16(count)), kUnitId), timeoutMs, &result);
    return result;
}

bool SyncModbusClient::write(const QModbusDataUnit &unit, int timeoutMs)
{
    return finish(m_client.sendWriteRequest(unit, kUnitId), timeoutMs, nullptr);
}

bool SyncModbusClient::send(const QModbusRequest &request, int timeoutMs)
{
    return finish(m_client.sendRawRequest(request, kUnitId), timeoutMs, nullptr);
}

bool SyncModbusClient::finish(QModbusReply *rawReply, int timeoutMs, QModbusDataUnit *result)
{
    if (!rawReply)
        return false;
    const std::unique_ptr<QModbusReply> reply(rawReply);
    QDeadlineTimer deadline(timeoutMs + 1000);
    while (!reply->isFinished() && !deadline.hasExpired())
        TestEnv::spin(kStepMs);
    if (!reply->isFinished() || reply->error() != QModbusDevice::NoError)
        return false;
    if (result)
        *result = reply->result();
    return true;
}

qint32 SyncModbusClient::int32At(const QModbusDataUnit &unit, int index)
{
    return qint32(quint32(unit.value(index)) | (quint32(unit.value(index + 1)) << 16));
}

float SyncModbusClient::floatAt(const QModbusDataUnit &unit, int index)
{
    const quint32 bits = quint32(int32At(unit, index));
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

#include "ReferencePoller.h"

#include <QModbusReply>
#include <QModbusTcpClient>

ReferencePoller::ReferencePoller(QModbusTcpClient &client, QVector<Address> addresses, int periodMs)
    : m_client(client)
    , m_addresses(std::move(addresses))
    , m_periodMs(periodMs)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ReferencePoller::startRound);
}

void ReferencePoller::start()
{
    m_running = true;
    startRound();
}

void ReferencePoller::stop()
{
    m_running = false;
    m_timer.stop();
}

void ReferencePoller::startRound()
{
    if (!m_running)
        return;
    m_next = 0;
    m_roundClock.start();
    sendNext();
}

void ReferencePoller::sendNext()
{
    if (!m_running)
        return;
    if (m_next == m_addresses.size()) {
        ++rounds;
        roundUs.append(m_roundClock.nsecsElapsed() / 1000);
        m_timer.start(int(qMax<qint64>(0, m_periodMs - m_roundClock.elapsed())));
        return;
    }
    const Address &a = m_addresses.at(m_next++);
    QModbusReply *reply = m_client.sendReadRequest(QModbusDataUnit(a.table, a.addr, quint16(a.width)), 1);
    if (!reply) {
        sendNext();
        return;
    }
    connect(reply, &QModbusReply::finished, this, [this, reply] {
        if (reply->error() == QModbusDevice::NoError)
            values += 1;
        reply->deleteLater();
        sendNext();
    });
}

#pragma once

#include <QElapsedTimer>
#include <QModbusDataUnit>
#include <QObject>
#include <QTimer>
#include <QVector>

class QModbusTcpClient;

// The way most masters poll: one read request per address, one at a time, the list over and over,
// a new round starting one period after the previous one started (or at once when it ran longer).
class ReferencePoller : public QObject {
    Q_OBJECT
public:
    struct Address {
        QModbusDataUnit::RegisterType table;
        int addr;
        int width;
    };

    ReferencePoller(QModbusTcpClient &client, QVector<Address> addresses, int periodMs);
    void start();
    void stop();

    qint64 values = 0;
    qint64 rounds = 0;
    QVector<qint64> roundUs; // duration of each completed round

private:
    void sendNext();
    void startRound();

    QModbusTcpClient &m_client;
    QVector<Address> m_addresses;
    int m_periodMs;
    int m_next = 0;
    bool m_running = false;
    QElapsedTimer m_roundClock;
    QTimer m_timer;
};

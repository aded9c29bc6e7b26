#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QModbusServer;

// Demo motion: holding 0 counts up and coil 0 toggles once a second; holding 2..3 carry a float sine.
class Animator : public QObject {
    Q_OBJECT
public:
    explicit Animator(QModbusServer &server, QObject *parent = nullptr);

    void start();

private:
    void tick();
    void updateSine();

    QModbusServer &m_server;
    QTimer m_secondTimer;
    QTimer m_sineTimer;
    QElapsedTimer m_clock;
};

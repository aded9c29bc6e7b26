#pragma once

#include "LinkParams.h"

#include <QElapsedTimer>
#include <QModbusDevice>
#include <QObject>
#include <QTimer>

class ClientCallbacks;
class QModbusClient;

// The transport under a client: opens it, notices when it is lost (a socket or port error, or a peer
// that stopped answering) and opens it again in the background with growing delays. A loss is logged
// when it starts and when it ends, however many retries lie between.
class ModbusLink : public QObject {
    Q_OBJECT
public:
    ModbusLink(const LinkParams &params, ClientCallbacks &callbacks, QObject *parent = nullptr);
    ~ModbusLink() override;

    // First connection, on the caller's thread; returns once it is made or has failed (a TCP attempt
    // is bounded by kConnectTimeoutMs). User input is held back meanwhile. No retry after a failure.
    bool openNow();
    bool isOpen() const { return m_state == State::Open; }
    // True from a loss until it is over (the peer answers again, or the transport is back).
    bool isLost() const { return m_lost; }
    QModbusClient *device() const { return isOpen() ? m_device : nullptr; }
    const LinkParams &params() const { return m_params; }

    // Gives the transport up and retries later. silentPeer: the transport looked fine but nothing came
    // back, so the loss ends only when the peer answers, not when the transport reopens.
    void drop(const QString &reason, bool silentPeer);
    // Any Modbus answer: ends a loss once the transport is back.
    void answered();
    // For good: no retry, no signal, no log line. deferDelete when called from inside a signal of the
    // device (a callback may close the client): the device is then deleted by the event loop.
    void close(bool deferDelete);

signals:
    void opened();
    void dropped();
    void attemptEnded(); // a connect attempt succeeded or failed

private:
    enum class State { Idle, Connecting, Open, Waiting, Closed };

    void attempt(int timeoutMs);
    void attemptFailed();
    void becameOpen();
    void onStateChanged(QModbusDevice::State state);
    void onError(QModbusDevice::Error error);
    void discardDevice();
    void endLoss();
    int nextDelay();

    LinkParams m_params;
    ClientCallbacks &m_callbacks;
    QModbusClient *m_device = nullptr;
    State m_state = State::Idle;
    bool m_everOpened = false;
    bool m_lost = false;
    bool m_awaitAnswer = false;
    int m_retries = 0;
    int m_delayMs = 0;
    QElapsedTimer m_lostSince;
    QTimer m_connectTimer;
    QTimer m_retryTimer;
    QTimer m_confirmTimer;
};

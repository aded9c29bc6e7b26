#include "ModbusLink.h"
#include "ClientCallbacks.h"
#include "ModbusConstants.h"

#include <QEventLoop>
#include <QModbusRtuSerialMaster>
#include <QModbusTcpClient>
#include <QVariant>

namespace {

QString errorText(QModbusDevice::Error error)
{
    switch (error) {
    case QModbusDevice::ReadError:
        return QStringLiteral("读取错误");
    case QModbusDevice::WriteError:
        return QStringLiteral("写入错误");
    case QModbusDevice::ConnectionError:
        return QStringLiteral("连接错误");
    case QModbusDevice::ConfigurationError:
        return QStringLiteral("配置错误");
    default:
        return QStringLiteral("未知错误");
    }
}

bool isReplyLevel(QModbusDevice::Error error)
{
    return error == QModbusDevice::NoError || error == QModbusDevice::TimeoutError
        || error == QModbusDevice::ProtocolError || error == QModbusDevice::ReplyAbortedError;
}

} // namespace

ModbusLink::ModbusLink(const LinkParams &params, ClientCallbacks &callbacks, QObject *parent)
    : QObject(parent)
    , m_params(params)
    , m_callbacks(callbacks)
{
    m_connectTimer.setSingleShot(true);
    m_retryTimer.setSingleShot(true);
    m_confirmTimer.setSingleShot(true);
    connect(&m_confirmTimer, &QTimer::timeout, this, &ModbusLink::answered);
    connect(&m_connectTimer, &QTimer::timeout, this, &ModbusLink::attemptFailed);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] { attempt(ModbusConst::kReconnectTimeoutMs); });
}

ModbusLink::~ModbusLink()
{
    m_state = State::Closed;
    discardDevice();
}

bool ModbusLink::openNow()
{
    attempt(ModbusConst::kConnectTimeoutMs);
    if (m_state == State::Connecting) {
        QEventLoop loop;
        connect(this, &ModbusLink::attemptEnded, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents); // the connect timer bounds the wait
    }
    if (m_state == State::Open)
        return true;
    m_retryTimer.stop();
    m_connectTimer.stop();
    discardDevice();
    m_state = State::Idle;
    return false;
}

void ModbusLink::attempt(int timeoutMs)
{
    discardDevice();
    m_state = State::Connecting;
    if (m_lost)
        ++m_retries;
    QModbusClient *client = nullptr;
    if (m_params.transport == LinkParams::Transport::Tcp) {
        client = new QModbusTcpClient(this);
        client->setConnectionParameter(QModbusDevice::NetworkAddressParameter, m_params.host);
        client->setConnectionParameter(QModbusDevice::NetworkPortParameter, int(m_params.port));
    } else {
        client = new QModbusRtuSerialMaster(this);
        client->setConnectionParameter(QModbusDevice::SerialPortNameParameter, m_params.device);
        client->setConnectionParameter(QModbusDevice::SerialBaudRateParameter, m_params.baud);
        client->setConnectionParameter(QModbusDevice::SerialParityParameter, int(m_params.parity));
        client->setConnectionParameter(QModbusDevice::SerialDataBitsParameter, int(m_params.dataBits));
        client->setConnectionParameter(QModbusDevice::SerialStopBitsParameter, int(m_params.stopBits));
    }
    client->setTimeout(ModbusConst::kResponseTimeoutMs);
    client->setNumberOfRetries(ModbusConst::kRetries);
    m_device = client;
    connect(client, &QModbusDevice::stateChanged, this, &ModbusLink::onStateChanged);
    connect(client, &QModbusDevice::errorOccurred, this, &ModbusLink::onError);

    const bool started = client->connectDevice();
    if (m_state != State::Connecting)
        return; // the signals above already settled it
    if (!started)
        attemptFailed();
    else if (client->state() == QModbusDevice::ConnectedState)
        becameOpen();
    else
        m_connectTimer.start(timeoutMs);
}

void ModbusLink::attemptFailed()
{
    if (m_state != State::Connecting)
        return;
    m_connectTimer.stop();
    if (m_device)
        m_device->disconnect(this);
    m_state = State::Waiting;
    m_retryTimer.start(nextDelay());
    emit attemptEnded();
}

void ModbusLink::becameOpen()
{
    m_connectTimer.stop();
    m_state = State::Open;
    if (!m_everOpened) {
        m_everOpened = true;
        m_callbacks.log(QStringLiteral("已连接 %1").arg(m_params.describe()));
    } else if (m_lost && !m_awaitAnswer) {
        m_confirmTimer.start(ModbusConst::kRestoreConfirmMs);
    }
    emit opened();
    emit attemptEnded();
}

void ModbusLink::onStateChanged(QModbusDevice::State state)
{
    if (m_state == State::Connecting) {
        if (state == QModbusDevice::ConnectedState)
            becameOpen();
        else if (state == QModbusDevice::UnconnectedState)
            attemptFailed();
    } else if (m_state == State::Open && state == QModbusDevice::UnconnectedState) {
        drop(QStringLiteral("对方关闭连接"), false);
    }
}

void ModbusLink::onError(QModbusDevice::Error error)
{
    if (isReplyLevel(error))
        return;
    if (m_state == State::Connecting)
        attemptFailed();
    else if (m_state == State::Open)
        drop(errorText(error), false);
}

void ModbusLink::drop(const QString &reason, bool silentPeer)
{
    if (m_state == State::Connecting) {
        attemptFailed();
        return;
    }
    if (m_state != State::Open)
        return;
    m_confirmTimer.stop();
    if (!m_lost) {
        m_lost = true;
        m_awaitAnswer = silentPeer;
        m_retries = 0;
        m_delayMs = 0;
        m_lostSince.start();
        m_callbacks.log(QStringLiteral("连接断开 %1: %2, 稍后重连").arg(m_params.describe(), reason));
    }
    // Stops a serial master that would otherwise report errors endlessly on a vanished port.
    m_device->disconnect(this);
    if (m_device->state() != QModbusDevice::UnconnectedState)
        m_device->disconnectDevice();
    m_state = State::Waiting;
    m_retryTimer.start(nextDelay());
    emit dropped();
}

void ModbusLink::answered()
{
    if (m_lost && m_state == State::Open)
        endLoss();
}

void ModbusLink::endLoss()
{
    m_confirmTimer.stop();
    const double seconds = m_lostSince.elapsed() / 1000.0;
    m_callbacks.log(QStringLiteral("连接恢复 %1 (中断 %2 秒, 重连 %3 次)")
                        .arg(m_params.describe())
                        .arg(seconds, 0, 'f', 1)
                        .arg(m_retries));
    m_lost = false;
    m_awaitAnswer = false;
    m_retries = 0;
    m_delayMs = 0;
}

void ModbusLink::close(bool deferDelete)
{
    m_state = State::Closed;
    m_connectTimer.stop();
    m_retryTimer.stop();
    m_confirmTimer.stop();
    if (m_device && deferDelete) {
        m_device->disconnect(this);
        if (m_device->state() != QModbusDevice::UnconnectedState)
            m_device->disconnectDevice();
        m_device->deleteLater();
        m_device = nullptr;
    }
    discardDevice();
}

void ModbusLink::discardDevice()
{
    if (!m_device)
        return;
    m_device->disconnect(this);
    if (m_device->state() != QModbusDevice::UnconnectedState)
        m_device->disconnectDevice();
    delete m_device;
    m_device = nullptr;
}

int ModbusLink::nextDelay()
{
    m_delayMs
        = m_delayMs == 0 ? ModbusConst::kReconnectFirstDelayMs : qMin(m_delayMs * 2, ModbusConst::kReconnectMaxDelayMs);
    return m_delayMs;
}

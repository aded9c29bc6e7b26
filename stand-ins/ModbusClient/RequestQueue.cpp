#include "RequestQueue.h"
#include "ModbusConstants.h"
#include "ModbusLink.h"

#include <QDataStream>
#include <QModbusClient>
#include <QModbusReply>

namespace {

// The exception code of an exception response, else 0. Read from the PDU's wire form: Qt keeps the
// function code 0x8N sign-extended in an enum, and its inline accessors are undefined behaviour then.
int exceptionCodeOf(const QModbusResponse &pdu)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << pdu;
    if (bytes.size() >= 2 && (quint8(bytes.at(0)) & 0x80))
        return quint8(bytes.at(1));
    return 0;
}

Outcome outcomeOf(QModbusReply *reply, const QModbusDataUnit &asked, bool isRead)
{
    Outcome outcome;
    switch (reply->error()) {
    case QModbusDevice::NoError:
        outcome.values = reply->result().values();
        if (isRead && outcome.values.size() < int(asked.valueCount()))
            outcome.status = Outcome::Status::Invalid;
        break;
    case QModbusDevice::ProtocolError:
        outcome.exceptionCode = exceptionCodeOf(reply->rawResult());
        outcome.status = outcome.exceptionCode ? Outcome::Status::Exception : Outcome::Status::Invalid;
        break;
    case QModbusDevice::TimeoutError:
        outcome.status = Outcome::Status::Timeout;
        break;
    case QModbusDevice::UnknownError: // Qt's word for an answer it could not decode
        outcome.status = Outcome::Status::Invalid;
        break;
    default:
        outcome.status = Outcome::Status::LinkLost;
        break;
    }
    return outcome;
}

Outcome statusOnly(Outcome::Status status)
{
    Outcome outcome;
    outcome.status = status;
    return outcome;
}

} // namespace

RequestQueue::RequestQueue(ModbusLink &link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &RequestQueue::onWatchdog);
}

RequestQueue::~RequestQueue()
{
    close();
}

void RequestQueue::pushUrgent(const Request &request)
{
    if (m_closed)
        return;
    m_urgent.push_back(request);
    pump();
}

void RequestQueue::setPoll(const QVector<Request> &requests)
{
    if (m_closed)
        return;
    m_poll.assign(requests.cbegin(), requests.cend());
    pump();
}

void RequestQueue::pushPollFront(const QVector<Request> &requests)
{
    if (!m_closed)
        m_poll.insert(m_poll.begin(), requests.cbegin(), requests.cend());
}

void RequestQueue::clearPoll()
{
    m_poll.clear();
}

bool RequestQueue::pollPending() const
{
    return !m_poll.empty() || (m_busy && m_inFlight.origin == Request::Origin::Poll);
}

void RequestQueue::pump()
{
    while (!m_closed && !m_busy) {
        QModbusClient *device = m_link.device();
        if (!device)
            return;
        std::deque<Request> &source = m_urgent.empty() ? m_poll : m_urgent;
        if (source.empty())
            return;
        m_inFlight = std::move(source.front());
        source.pop_front();
        m_busy = true;
        const bool isWrite = m_inFlight.origin == Request::Origin::Write;
        QModbusReply *reply = isWrite ? device->sendWriteRequest(m_inFlight.unit, ModbusConst::kUnitId)
                                      : device->sendReadRequest(m_inFlight.unit, ModbusConst::kUnitId);
        if (!reply) {
            complete(m_inFlight, statusOnly(Outcome::Status::LinkLost));
            continue;
        }
        if (reply->isFinished()) {
            const Outcome outcome = outcomeOf(reply, m_inFlight.unit, !isWrite);
            reply->deleteLater();
            complete(m_inFlight, outcome);
            continue;
        }
        m_reply = reply;
        connect(reply, &QModbusReply::finished, this, &RequestQueue::onReplyFinished);
        m_watchdog.start(ModbusConst::kResponseTimeoutMs * (ModbusConst::kRetries + 1) + ModbusConst::kWatchdogSlackMs);
    }
}

void RequestQueue::onReplyFinished()
{
    auto *reply = qobject_cast<QModbusReply *>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    if (reply != m_reply || !m_busy)
        return;
    m_watchdog.stop();
    m_reply = nullptr;
    complete(m_inFlight, outcomeOf(reply, m_inFlight.unit, m_inFlight.origin != Request::Origin::Write));
    pump();
}

void RequestQueue::onWatchdog()
{
    if (!m_busy)
        return;
    abandonReply();
    complete(m_inFlight, statusOnly(Outcome::Status::Timeout));
    pump();
}

void RequestQueue::complete(const Request &request, const Outcome &outcome)
{
    // The request is copied: handlers may send the next one, which reuses m_inFlight.
    const Request done = request;
    m_busy = false;
    emit finished(done, outcome);
    if (done.origin == Request::Origin::Poll && !m_closed && !pollPending())
        emit pollDrained();
}

void RequestQueue::abandonReply()
{
    m_watchdog.stop();
    if (m_reply)
        m_reply->disconnect(this); // the device owns it and deletes it with itself
    m_reply = nullptr;
}

void RequestQueue::failAll()
{
    abandonReply();
    std::deque<Request> failed;
    if (m_busy)
        failed.push_back(m_inFlight);
    m_busy = false;
    failed.insert(failed.end(), m_urgent.begin(), m_urgent.end());
    m_urgent.clear();
    m_poll.clear();
    for (const Request &request : failed) {
        if (m_closed)
            return;
        emit finished(request, statusOnly(Outcome::Status::LinkLost));
    }
}

void RequestQueue::close()
{
    m_closed = true;
    abandonReply();
    m_urgent.clear();
    m_poll.clear();
    m_busy = false;
}

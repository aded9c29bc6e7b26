#pragma once

#include "Request.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>

class ModbusLink;
class QModbusReply;

// Keeps at most one request in flight on the link. Writes and one-shot reads go before the next poll
// request. A reply that never finishes (a serial master on a vanished port) is given up by a watchdog.
class RequestQueue : public QObject {
    Q_OBJECT
public:
    explicit RequestQueue(ModbusLink &link, QObject *parent = nullptr);
    ~RequestQueue() override;

    void pushUrgent(const Request &request);
    void setPoll(const QVector<Request> &requests);
    void pushPollFront(const QVector<Request> &requests);
    void clearPoll();
    bool pollPending() const;
    // Link lost: everything queued or in flight fails with LinkLost (polls silently).
    void failAll();
    // For good: nothing is sent or reported any more.
    void close();
    void pump();

signals:
    void finished(const Request &request, const Outcome &outcome);
    void pollDrained(); // the last poll request of the list has finished

private:
    void onReplyFinished();
    void onWatchdog();
    void complete(const Request &request, const Outcome &outcome);
    void abandonReply();

    ModbusLink &m_link;
    std::deque<Request> m_urgent;
    std::deque<Request> m_poll;
    Request m_inFlight;
    bool m_busy = false;
    bool m_closed = false;
    QPointer<QModbusReply> m_reply;
    QTimer m_watchdog;
};

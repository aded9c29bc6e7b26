#pragma once

#include "PollPlanner.h"
#include "Request.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class ModbusLink;
class RequestQueue;
class TimedReads;

// Runs poll cycles: each reads every timed address once, in the planner's blocks. The next cycle starts
// one period after the previous one started, and never before it has finished, so a slow PLC stretches
// the cycle instead of piling up requests.
class PollScheduler : public QObject {
    Q_OBJECT
public:
    PollScheduler(
        TimedReads &reads, PollPlanner &planner, RequestQueue &queue, ModbusLink &link, QObject *parent = nullptr);

    // Timed reads were added or the link came up: start a cycle soon unless one runs or is due.
    void wake();
    // The link went down: the running cycle is void.
    void abort();
    void stop();
    bool running() const { return m_running; }
    // Start to end of the last completed cycle, in microseconds (for measurements).
    qint64 lastCycleUs() const { return m_lastCycleUs; }

signals:
    void cycleCompleted();

private:
    void startCycle();
    void onDrained();

    TimedReads &m_reads;
    PollPlanner &m_planner;
    RequestQueue &m_queue;
    ModbusLink &m_link;
    QTimer m_timer;
    QElapsedTimer m_started;
    bool m_running = false;
    bool m_stopped = false;
    qint64 m_lastCycleUs = 0;
    quint64 m_planReadsRevision = ~quint64(0);
    quint64 m_planLearnedRevision = ~quint64(0);
    QVector<Request> m_plan;
};

#include "PollScheduler.h"
#include "ModbusConstants.h"
#include "ModbusLink.h"
#include "RequestQueue.h"
#include "TimedReads.h"

PollScheduler::PollScheduler(
    TimedReads &reads, PollPlanner &planner, RequestQueue &queue, ModbusLink &link, QObject *parent)
    : QObject(parent)
    , m_reads(reads)
    , m_planner(planner)
    , m_queue(queue)
    , m_link(link)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PollScheduler::startCycle);
    connect(&m_queue, &RequestQueue::pollDrained, this, &PollScheduler::onDrained);
}

void PollScheduler::wake()
{
    if (!m_stopped && !m_running && !m_timer.isActive())
        m_timer.start(0); // coalesces a burst of starts into one cycle
}

void PollScheduler::abort()
{
    m_running = false;
    m_timer.stop();
}

void PollScheduler::stop()
{
    m_stopped = true;
    abort();
}

void PollScheduler::startCycle()
{
    if (m_stopped || m_running || m_reads.isEmpty() || !m_link.isOpen())
        return;
    if (m_reads.revision() != m_planReadsRevision || m_planner.revision() != m_planLearnedRevision) {
        m_planReadsRevision = m_reads.revision();
        m_planLearnedRevision = m_planner.revision();
        m_plan.clear();
        for (const ReadBlock &block : m_planner.plan(m_reads.items())) {
            Request request;
            request.origin = Request::Origin::Poll;
            request.unit = QModbusDataUnit(block.table, block.start, quint16(block.count));
            request.block = block;
            m_plan.append(request);
        }
    }
    if (m_plan.isEmpty())
        return;
    m_running = true;
    m_started.start();
    m_queue.setPoll(m_plan);
}

void PollScheduler::onDrained()
{
    if (!m_running)
        return;
    m_running = false;
    m_lastCycleUs = m_started.nsecsElapsed() / 1000;
    emit cycleCompleted();
    if (m_stopped || m_reads.isEmpty())
        return;
    const qint64 elapsedMs = m_started.elapsed();
    m_timer.start(int(qMax<qint64>(0, ModbusConst::kPollPeriodMs - elapsedMs)));
}

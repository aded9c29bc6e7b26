#include "FaultRuns.h"

bool FaultRuns::occurred(const QString &subject, const QString &fault)
{
    auto it = m_runs.find(subject);
    if (it == m_runs.end()) {
        m_runs.insert(subject, { fault, 1, true });
        return true;
    }
    ++it->count;
    it->seen = true;
    if (it->fault == fault)
        return false;
    it->fault = fault;
    return true;
}

FaultRuns::Ended FaultRuns::end(const QString &subject)
{
    const Run run = m_runs.take(subject);
    return { subject, run.fault, run.count };
}

QVector<FaultRuns::Ended> FaultRuns::sweep()
{
    QVector<Ended> ended;
    for (auto it = m_runs.begin(); it != m_runs.end();) {
        if (it->seen) {
            it->seen = false;
            ++it;
        } else {
            ended.append({ it.key(), it->fault, it->count });
            it = m_runs.erase(it);
        }
    }
    return ended;
}

void FaultRuns::forget(const QString &subject)
{
    m_runs.remove(subject);
}

void FaultRuns::clear()
{
    m_runs.clear();
}

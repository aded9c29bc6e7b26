#include "TimedReads.h"

void TimedReads::start(int kind, int addr, int nb)
{
    Entry &entry = m_reads[{ kind, addr }];
    if (entry.count == 0 || nb > entry.nb) {
        entry.nb = qMax(entry.nb, nb);
        ++m_revision;
    }
    ++entry.count;
}

bool TimedReads::stop(int kind, int addr)
{
    auto it = m_reads.find({ kind, addr });
    if (it == m_reads.end())
        return false;
    if (--it->count == 0) {
        m_reads.erase(it);
        ++m_revision;
    }
    return true;
}

void TimedReads::clear()
{
    if (m_reads.isEmpty())
        return;
    m_reads.clear();
    ++m_revision;
}

QVector<ReadItem> TimedReads::items() const
{
    QVector<ReadItem> items;
    items.reserve(m_reads.size());
    for (auto it = m_reads.cbegin(); it != m_reads.cend(); ++it)
        items.append({ it.key().first, it.key().second, it->nb });
    return items;
}

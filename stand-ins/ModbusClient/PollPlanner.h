#pragma once

#include "ReadItem.h"

#include <QPair>
#include <QSet>

// Groups the timed reads of each table into as few requests as the protocol allows: neighbours merge
// across small gaps up to the request size limit, and a value is never cut in two. What the PLC
// refuses is learned: a merged request that draws an address exception is split for good, and an
// address that fails alone is read alone from then on.
class PollPlanner {
public:
    QVector<ReadBlock> plan(QVector<ReadItem> items) const;

    // Splits a block with several start addresses in two halves that are never merged again;
    // false for a block of one start address.
    bool split(const ReadBlock &block, ReadBlock *first, ReadBlock *second);

    void markBad(QModbusDataUnit::RegisterType table, int addr);
    bool clearBad(QModbusDataUnit::RegisterType table, int addr); // true if it was bad
    bool isBad(QModbusDataUnit::RegisterType table, int addr) const;
    // Changes whenever what was learned changes the plan.
    quint64 revision() const { return m_revision; }

private:
    using Key = QPair<int, int>; // table, address
    QSet<Key> m_barriers; // no merge across the gap just below this start address
    QSet<Key> m_bad;
    quint64 m_revision = 0;
};

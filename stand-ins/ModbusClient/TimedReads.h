#pragma once

#include "ReadItem.h"

#include <QHash>
#include <QPair>

// Timed reads counted per (kind, address): each start needs its own stop. When starts disagree on nb,
// the largest is read.
class TimedReads {
public:
    void start(int kind, int addr, int nb);
    // False for an address that has no timed read.
    bool stop(int kind, int addr);
    void clear();

    bool isActive(int kind, int addr) const { return m_reads.contains({ kind, addr }); }
    bool isEmpty() const { return m_reads.isEmpty(); }
    QVector<ReadItem> items() const;
    // Changes whenever the set of items to read changes.
    quint64 revision() const { return m_revision; }

private:
    struct Entry {
        int count = 0;
        int nb = 1;
    };
    QHash<QPair<int, int>, Entry> m_reads;
    quint64 m_revision = 0;
};

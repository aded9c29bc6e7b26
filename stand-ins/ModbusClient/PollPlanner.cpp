#include "PollPlanner.h"
#include "ModbusConstants.h"
#include "ValueCodec.h"

#include <algorithm>

namespace {

struct Span {
    ReadItem item;
    QModbusDataUnit::RegisterType table;
    int end;
};

int limitOf(QModbusDataUnit::RegisterType table)
{
    return table == QModbusDataUnit::Coils ? ModbusConst::kMaxCoilsPerRead : ModbusConst::kMaxRegistersPerRead;
}

int gapOf(QModbusDataUnit::RegisterType table)
{
    return table == QModbusDataUnit::Coils ? ModbusConst::kMaxCoilGap : ModbusConst::kMaxRegisterGap;
}

} // namespace

QVector<ReadBlock> PollPlanner::plan(QVector<ReadItem> items) const
{
    QVector<Span> spans;
    spans.reserve(items.size());
    for (const ReadItem &item : items) {
        const ValueCodec::KindInfo info = ValueCodec::kindInfo(item.kind);
        if (info.known)
            spans.append({ item, info.table, item.addr + item.nb * info.width });
    }
    std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) {
        if (a.table != b.table)
            return a.table < b.table;
        if (a.item.addr != b.item.addr)
            return a.item.addr < b.item.addr;
        return a.item.kind < b.item.kind;
    });

    // Items that start at the same address travel together; groups then merge with their neighbours.
    QVector<ReadBlock> blocks;
    ReadBlock current;
    bool currentBad = false;
    for (int first = 0; first < spans.size();) {
        const Span &head = spans.at(first);
        int last = first;
        int groupEnd = head.end;
        while (last + 1 < spans.size() && spans.at(last + 1).table == head.table
            && spans.at(last + 1).item.addr == head.item.addr)
            groupEnd = qMax(groupEnd, spans.at(++last).end);
        const int addr = head.item.addr;
        const bool bad = isBad(head.table, addr);
        const int end = current.start + current.count;
        const bool merge = !current.items.isEmpty() && current.table == head.table && !bad && !currentBad
            && !m_barriers.contains({ head.table, addr }) && addr - end <= gapOf(head.table)
            && qMax(end, groupEnd) - current.start <= limitOf(head.table);
        if (!merge) {
            if (!current.items.isEmpty())
                blocks.append(current);
            current = ReadBlock();
            current.table = head.table;
            current.start = addr;
            currentBad = false;
        }
        for (int i = first; i <= last; ++i)
            current.items.append(spans.at(i).item);
        current.count = qMax(current.start + current.count, groupEnd) - current.start;
        currentBad = currentBad || bad;
        first = last + 1;
    }
    if (!current.items.isEmpty())
        blocks.append(current);
    return blocks;
}

bool PollPlanner::split(const ReadBlock &block, ReadBlock *first, ReadBlock *second)
{
    QVector<int> starts;
    for (const ReadItem &item : block.items)
        starts.append(item.addr);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    if (starts.size() < 2)
        return false;
    const int pivot = starts.at(starts.size() / 2);
    QVector<ReadItem> low, high;
    for (const ReadItem &item : block.items)
        (item.addr < pivot ? low : high).append(item);
    *first = ReadBlock::of(low);
    *second = ReadBlock::of(high);
    m_barriers.insert({ block.table, pivot });
    ++m_revision;
    return true;
}

void PollPlanner::markBad(QModbusDataUnit::RegisterType table, int addr)
{
    if (!m_bad.contains({ table, addr })) {
        m_bad.insert({ table, addr });
        ++m_revision;
    }
}

bool PollPlanner::clearBad(QModbusDataUnit::RegisterType table, int addr)
{
    if (!m_bad.remove({ table, addr }))
        return false;
    ++m_revision;
    return true;
}

bool PollPlanner::isBad(QModbusDataUnit::RegisterType table, int addr) const
{
    return m_bad.contains({ table, addr });
}

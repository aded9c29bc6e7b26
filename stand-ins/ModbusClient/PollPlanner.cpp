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
            spans.append({item, info.table, item.addr + item.nb * info.width});
    }
    std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) {
        if (a.table != b.table)
            return a.table < b.table;
        if (a.item.addr != b.item.addr)
            return a.item.addr < b.item.addr;
        return a.item.kind < b.item.kind;
    });

    QVector<ReadBlock> blocks;
    ReadBlock current;
    int lastStart = -1;
    bool currentBad = false;
    const auto flush = [&] {
        if (!current.items.isEmpty())
            blocks.append(current);
        current = ReadBlock();
    };
    for (const Span &span : spans) {
        const int addr = span.item.addr;
        const bool bad = isBad(span.table, addr);
        bool merge = !current.items.isEmpty() && current.table == span.table;
        if (merge && addr != lastStart) {
            const int end = current.start + current.count;
            merge = !bad && !currentBad && !m_barriers.contains({span.table, addr})
                    && addr - end <= gapOf(span.table) && qMax(end, span.end) - current.start <= limitOf(span.table);
        }
        if (!merge) {
            flush();
            current.table = span.table;
            current.start = addr;
            current.count = 0;
            currentBad = false;
        }
        current.items.append(span.item);
        current.count = qMax(current.start + current.count, span.end) - current.start;
        currentBad = currentBad || bad;
        lastStart = addr;
    }
    flush();
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
    m_barriers.insert({block.table, pivot});
    ++m_revision;
    return true;
}

void PollPlanner::markBad(QModbusDataUnit::RegisterType table, int addr)
{
    if (!m_bad.contains({table, addr})) {
        m_bad.insert({table, addr});
        ++m_revision;
    }
}

bool PollPlanner::clearBad(QModbusDataUnit::RegisterType table, int addr)
{
    if (!m_bad.remove({table, addr}))
        return false;
    ++m_revision;
    return true;
}

bool PollPlanner::isBad(QModbusDataUnit::RegisterType table, int addr) const
{
    return m_bad.contains({table, addr});
}

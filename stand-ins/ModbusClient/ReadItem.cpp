#include "ReadItem.h"
#include "ValueCodec.h"

#include <QSet>

ReadBlock ReadBlock::of(const QVector<ReadItem> &items)
{
    ReadBlock block;
    block.items = items;
    if (items.isEmpty())
        return block;
    int first = items.first().addr;
    int end = first;
    for (const ReadItem &item : items) {
        const ValueCodec::KindInfo info = ValueCodec::kindInfo(item.kind);
        block.table = info.table;
        first = qMin(first, item.addr);
        end = qMax(end, item.addr + item.nb * info.width);
    }
    block.start = first;
    block.count = end - first;
    return block;
}

int ReadBlock::distinctStarts() const
{
    QSet<int> starts;
    for (const ReadItem &item : items)
        starts.insert(item.addr);
    return starts.size();
}

#pragma once

#include <QModbusDataUnit>
#include <QVector>

// nb consecutive values of one kind from addr on.
struct ReadItem {
    int kind = 0;
    int addr = 0;
    int nb = 1;
};

// One read request: a run of coils or registers and the items decoded from it.
struct ReadBlock {
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    int start = 0;
    int count = 0;
    QVector<ReadItem> items;

    static ReadBlock of(const QVector<ReadItem> &items); // spans exactly the items (same table)
    int distinctStarts() const;
};

#pragma once

#include "ReadItem.h"

#include <QModbusDataUnit>
#include <QString>
#include <QVector>

// One exchange with the PLC and what it is for.
struct Request {
    enum class Origin { Write, Read, Poll };
    Origin origin = Origin::Read;
    QModbusDataUnit unit; // what to read, or what to write with its values
    ReadBlock block; // reads: the items decoded from the answer
    int kind = 0; // writes and one-shot reads: as the caller asked
    int addr = 0;
    int nb = 1;
    QString valueText; // writes: the value as the log shows it
};

struct Outcome {
    enum class Status { Ok, Exception, Invalid, Timeout, LinkLost };
    Status status = Status::Ok;
    int exceptionCode = 0;
    QVector<quint16> values;

    bool answered() const { return status == Status::Ok || status == Status::Exception; }
};

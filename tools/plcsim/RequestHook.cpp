#include "RequestHook.h"

#include "Console.h"

#include <QModbusPdu>
#include <QModbusServer>
#include <QStringList>
#include <QThread>

namespace {

struct WriteSpan {
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    quint16 address = 0;
    quint16 count = 0;
};

quint16 wordAt(const QByteArray &data, int offset)
{
    return quint16((quint8(data.at(offset)) << 8) | quint8(data.at(offset + 1)));
}

// Which cells a successful request wrote; Invalid for anything that writes nothing.
WriteSpan writeSpan(const QModbusPdu &request)
{
    const QByteArray data = request.data();
    switch (request.functionCode()) {
    case QModbusPdu::WriteSingleCoil:
        return data.size() >= 2 ? WriteSpan { QModbusDataUnit::Coils, wordAt(data, 0), 1 } : WriteSpan {};
    case QModbusPdu::WriteSingleRegister:
        return data.size() >= 2 ? WriteSpan { QModbusDataUnit::HoldingRegisters, wordAt(data, 0), 1 } : WriteSpan {};
    case QModbusPdu::WriteMultipleCoils:
        return data.size() >= 4 ? WriteSpan { QModbusDataUnit::Coils, wordAt(data, 0), wordAt(data, 2) } : WriteSpan {};
    case QModbusPdu::WriteMultipleRegisters:
        return data.size() >= 4 ? WriteSpan { QModbusDataUnit::HoldingRegisters, wordAt(data, 0), wordAt(data, 2) }
                                : WriteSpan {};
    case QModbusPdu::ReadWriteMultipleRegisters:
        return data.size() >= 8 ? WriteSpan { QModbusDataUnit::HoldingRegisters, wordAt(data, 4), wordAt(data, 6) }
                                : WriteSpan {};
    default:
        return {};
    }
}

} // namespace

RequestHook::RequestHook(int delayMs, bool printWrites)
    : m_delayMs(delayMs)
    , m_printWrites(printWrites)
{
}

void RequestHook::before(const QModbusPdu &request)
{
    m_stats.count(request.functionCode());
    // Blocking is the point: a slow PLC serves one request at a time.
    if (m_delayMs > 0)
        QThread::msleep(ulong(m_delayMs));
}

void RequestHook::after(const QModbusServer &server, const QModbusPdu &request, const QModbusResponse &response) const
{
    if (!m_printWrites || response.isException())
        return;
    const WriteSpan span = writeSpan(request);
    if (span.table == QModbusDataUnit::Invalid || span.count == 0)
        return;
    // Read back from the store rather than decode each request layout: the store holds what was written.
    QModbusDataUnit unit(span.table, span.address, span.count);
    if (!server.data(&unit))
        return;
    QStringList values;
    values.reserve(int(unit.valueCount()));
    const bool coils = span.table == QModbusDataUnit::Coils;
    for (uint i = 0; i < unit.valueCount(); ++i) {
        const quint16 value = unit.value(int(i));
        // A single-coil write stores its wire value 0xFF00; a coil is 0 or 1 to the reader.
        values << QString::number(coils ? int(value != 0) : int(value));
    }
    Console::out(QStringLiteral("write fc=%1 addr=%2 count=%3 values=%4")
                     .arg(int(request.functionCode()), 2, 10, QLatin1Char('0'))
                     .arg(span.address)
                     .arg(span.count)
                     .arg(values.join(QLatin1Char(','))));
}

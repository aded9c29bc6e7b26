#pragma once

#include <QModbusDataUnit>
#include <QString>
#include <QVariant>
#include <QVector>

// How each address kind sits in the PLC's tables and how its values travel as 16-bit words.
namespace ValueCodec {

struct KindInfo {
    bool known = false;
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    int width = 0; // coils or registers per value
};
KindInfo kindInfo(int kind);

// Largest nb one request can carry for the kind (0 for an unknown kind).
int maxItemsPerRead(int kind);

struct Value {
    int nVal = 0;
    float fVal = 0.0f;
};
// The value of `kind` whose first coil or register is words[offset]; the caller checks the bounds.
Value decode(int kind, const QVector<quint16> &words, int offset);
QString valueText(int kind, const Value &value);

struct Encoded {
    bool ok = false;
    QVector<quint16> words; // ready for a write request, coils as 0/1
    QString text; // the value as the log shows it
    QString error; // why it was refused, when !ok
};
// Converts one write value with QVariant's own conversions, refusing what does not fit the kind.
Encoded encode(int kind, const QVariant &value);

} // namespace ValueCodec

#include "ValueCodec.h"
#include "ModbusAddrType.h"
#include "ModbusConstants.h"

#include <cstring>
#include <limits>

using namespace Core::nsCMuNiK;

namespace ValueCodec {

KindInfo kindInfo(int kind)
{
    switch (kind) {
    case kCoil:
        return { true, QModbusDataUnit::Coils, 1 };
    case kHoldingRegister16:
        return { true, QModbusDataUnit::HoldingRegisters, 1 };
    case kHoldingRegister32:
    case kHoldingRegisterFloat32:
        return { true, QModbusDataUnit::HoldingRegisters, 2 };
    default:
        return {};
    }
}

int maxItemsPerRead(int kind)
{
    const KindInfo info = kindInfo(kind);
    if (!info.known)
        return 0;
    const int limit
        = info.table == QModbusDataUnit::Coils ? ModbusConst::kMaxCoilsPerRead : ModbusConst::kMaxRegistersPerRead;
    return limit / info.width;
}

namespace {

quint32 joinWords(const QVector<quint16> &words, int offset)
{
    const quint32 first = words.value(offset);
    const quint32 second = words.value(offset + 1);
    return ModbusConst::kLowWordFirst ? (second << 16) | first : (first << 16) | second;
}

QVector<quint16> splitWords(quint32 bits)
{
    const quint16 low = quint16(bits & 0xFFFFu);
    const quint16 high = quint16(bits >> 16);
    return ModbusConst::kLowWordFirst ? QVector<quint16> { low, high } : QVector<quint16> { high, low };
}

Encoded refused(const QString &why)
{
    Encoded e;
    e.error = why;
    return e;
}

Encoded integer(const QVariant &value, qint64 low, qint64 high, int width)
{
    bool ok = false;
    const qint64 n = value.toLongLong(&ok);
    if (!ok)
        return refused(QStringLiteral("不是整数"));
    if (n < low || n > high)
        return refused(QStringLiteral("超出范围"));
    Encoded e;
    e.ok = true;
    e.text = QString::number(n);
    if (width == 1)
        e.words = { quint16(n & 0xFFFF) };
    else
        e.words = splitWords(quint32(n & 0xFFFFFFFF));
    return e;
}

} // namespace

Value decode(int kind, const QVector<quint16> &words, int offset)
{
    Value v;
    switch (kind) {
    case kCoil:
        v.nVal = words.value(offset) ? 1 : 0;
        v.fVal = float(v.nVal);
        break;
    case kHoldingRegister16:
        v.nVal = qint16(words.value(offset));
        v.fVal = float(v.nVal);
        break;
    case kHoldingRegister32:
        v.nVal = qint32(joinWords(words, offset));
        v.fVal = float(v.nVal);
        break;
    case kHoldingRegisterFloat32: {
        const quint32 bits = joinWords(words, offset);
        std::memcpy(&v.fVal, &bits, sizeof bits);
        break;
    }
    default:
        break;
    }
    return v;
}

QString valueText(int kind, const Value &value)
{
    if (kind == kHoldingRegisterFloat32)
        return QString::number(double(value.fVal), 'g', 7);
    return QString::number(value.nVal);
}

Encoded encode(int kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return refused(QStringLiteral("没有值"));
    switch (kind) {
    case kCoil: {
        if (!value.canConvert<bool>())
            return refused(QStringLiteral("不是开关量"));
        Encoded e;
        e.ok = true;
        const bool on = value.toBool();
        e.words = { quint16(on ? 1 : 0) };
        e.text = on ? QStringLiteral("1") : QStringLiteral("0");
        return e;
    }
    case kHoldingRegister16:
        // Both views of a register are accepted: signed -32768..32767 and unsigned up to 65535.
        return integer(value, std::numeric_limits<qint16>::min(), std::numeric_limits<quint16>::max(), 1);
    case kHoldingRegister32:
        return integer(value, std::numeric_limits<qint32>::min(), std::numeric_limits<quint32>::max(), 2);
    case kHoldingRegisterFloat32: {
        bool ok = false;
        const float f = value.toFloat(&ok);
        if (!ok)
            return refused(QStringLiteral("不是数值"));
        quint32 bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        Encoded e;
        e.ok = true;
        e.words = splitWords(bits);
        e.text = QString::number(double(f), 'g', 7);
        return e;
    }
    default:
        return refused(QStringLiteral("不支持的地址类型"));
    }
}

} // namespace ValueCodec

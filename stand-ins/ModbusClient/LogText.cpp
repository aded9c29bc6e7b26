#include "LogText.h"
#include "ModbusAddrType.h"

#include <QTime>

using namespace Core::nsCMuNiK;

namespace LogText {

QString kindName(int kind)
{
    switch (kind) {
    case kCoil:
        return QStringLiteral("线圈");
    case kHoldingRegister16:
        return QStringLiteral("16位寄存器");
    case kHoldingRegister32:
        return QStringLiteral("32位整数");
    case kHoldingRegisterFloat32:
        return QStringLiteral("32位浮点数");
    default:
        return QStringLiteral("类型%1").arg(kind);
    }
}

QString tableName(QModbusDataUnit::RegisterType table)
{
    return table == QModbusDataUnit::Coils ? QStringLiteral("线圈") : QStringLiteral("保持寄存器");
}

QString exceptionName(int code)
{
    switch (code) {
    case 0x01:
        return QStringLiteral("非法功能");
    case 0x02:
        return QStringLiteral("非法数据地址");
    case 0x03:
        return QStringLiteral("非法数据值");
    case 0x04:
        return QStringLiteral("从站设备故障");
    case 0x05:
        return QStringLiteral("确认");
    case 0x06:
        return QStringLiteral("从站设备忙");
    case 0x08:
        return QStringLiteral("存储奇偶性差错");
    case 0x0A:
        return QStringLiteral("网关路径不可用");
    case 0x0B:
        return QStringLiteral("网关目标设备响应失败");
    default:
        return QStringLiteral("异常码 %1").arg(code);
    }
}

QString itemText(int kind, int addr, int nb)
{
    QString text = QStringLiteral("%1 地址 %2").arg(kindName(kind)).arg(addr);
    if (nb > 1)
        text += QStringLiteral(" 数量 %1").arg(nb);
    return text;
}

QString rangeText(QModbusDataUnit::RegisterType table, int start, int count)
{
    if (count <= 1)
        return QStringLiteral("%1 地址 %2").arg(tableName(table)).arg(start);
    return QStringLiteral("%1 地址 %2-%3").arg(tableName(table)).arg(start).arg(start + count - 1);
}

QString stamped(const QString &text)
{
    return QStringLiteral("[%1] %2").arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")), text);
}

QString timeout()
{
    return QStringLiteral("超时");
}

QString linkDown()
{
    return QStringLiteral("连接断开");
}

QString notConnected()
{
    return QStringLiteral("未连接");
}

} // namespace LogText

#pragma once

#include <QModbusDataUnit>
#include <QString>

// The fixed Chinese wording of the communication log.
namespace LogText {

QString kindName(int kind); // "线圈", "16位寄存器", ...
QString tableName(QModbusDataUnit::RegisterType table); // "线圈", "保持寄存器"
QString exceptionName(int code); // "非法数据地址", ...
// "线圈 地址 10" or "32位整数 地址 200 数量 3"
QString itemText(int kind, int addr, int nb = 1);
// "保持寄存器 地址 100-224"
QString rangeText(QModbusDataUnit::RegisterType table, int start, int count);
// "[15:04:05.123] text"
QString stamped(const QString &text);

QString timeout(); // "超时"
QString linkDown(); // "连接断开"
QString notConnected(); // "未连接"

} // namespace LogText

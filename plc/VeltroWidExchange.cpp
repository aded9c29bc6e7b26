#include "VeltroWid.h"

#include "IModbusClient.h"

#include <QPlainTextEdit>

// Requests pass to the client unchanged; without a client they are dropped silently.

void VeltroWid::Slot_WritePLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, std::shared_ptr<QVariantList> spVarLst)
{
    if (!modbusClient)
        return;
    modbusClient->WriteData(t, addr, spVarLst);
}

void VeltroWid::Slot_ReadPLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb)
{
    if (!modbusClient)
        return;
    modbusClient->ReadData(t, addr, nb);
}

void VeltroWid::Slot_TimerReadPLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb)
{
    if (!modbusClient)
        return;
    modbusClient->StartTimerRead(t, addr, nb, false);
}

void VeltroWid::Slot_CancelTimerReadPLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr)
{
    if (!modbusClient)
        return;
    modbusClient->StopTimerRead(t, addr);
}

void VeltroWid::OnReadResult(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal, void *ctx)
{
    if (!ctx)
        return;
    // May run on a library thread: the pages receive it queued.
    emit static_cast<VeltroWid *>(ctx)->Signal_ReadDataResult(t, addr, nVal, fVal);
}

void VeltroWid::OnCommunicateLog(const QStringList &lines, void *ctx)
{
    if (!ctx)
        return;
    QPlainTextEdit *log = static_cast<VeltroWid *>(ctx)->plainTextEdit;
    if (!log)
        return;
    for (const QString &line : lines)
        log->appendPlainText(line);
}

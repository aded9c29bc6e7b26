#pragma once

#include "AddrTable.h"
#include "ModbusAddrType.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QWidget>

#include <memory>

namespace Ui {
class PellinDataWidClass;
}

// The read list: addresses read on a timer and shown with name and unit. Each row stands for one timed read.
class PellinDataWid : public QWidget {
    Q_OBJECT

public:
    explicit PellinDataWid(QWidget *parent);
    ~PellinDataWid() override;

    void AddItem(const QJsonObject &item);
    void LoadFromJson(const QJsonArray &list);
    void SaveToJson(QJsonArray &list);
    void SetEditable(bool editable);

signals:
    void Signal_TimerReadPLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb);
    void Signal_CancelTimerReadPLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr);

public slots:
    void Slot_ReadDataResult(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal);

private slots:
    void Slot_BtnAddItem();
    void Slot_BtnDelItem();
    void Slot_ParserRecvData(QString peerName, QByteArray data);

private:
    void fillRow(int row, const QJsonObject &item);

    std::unique_ptr<Ui::PellinDataWidClass> ui;
    std::unique_ptr<AddrTable> table;
};

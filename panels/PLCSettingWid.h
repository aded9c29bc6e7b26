#pragma once

#include "AddrTable.h"
#include "ModbusAddrType.h"
#include "ValueList.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QWidget>

#include <memory>

class WriteButtonColumn;

namespace Ui {
class HistoryDataWidClass;
}

// The write list: addresses the operator writes a typed value to, one row at a time.
class PLCSettingWid : public QWidget {
    Q_OBJECT

public:
    explicit PLCSettingWid(QWidget *parent);
    ~PLCSettingWid() override;

    void AddItem(const QJsonObject &item);
    void LoadFromJson(const QJsonArray &list);
    void SaveToJson(QJsonArray &list);

signals:
    void Signal_WritePLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, std::shared_ptr<QVariantList> spVarLst);
    void Signal_ReadPLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb);

public slots:
    void Slot_ReadDataResult(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal);

private slots:
    void Slot_BtnAddWriteClicked();
    void Slot_BtnWriteDelClicked();
    void Slot_ItemSelectionChanged();
    void Slot_handleCellChanged(int row, int column);
    void Slot_BtnWriteClicked();

private:
    void fillRow(int row, const QJsonObject &item);
    void valueTyped();

    std::unique_ptr<Ui::HistoryDataWidClass> ui;
    std::unique_ptr<AddrTable> table;
    WriteButtonColumn *writeButtons = nullptr;
};

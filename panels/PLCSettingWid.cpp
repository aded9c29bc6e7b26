#include "PLCSettingWid.h"

#include "AddrItem.h"
#include "AddrItemDialogRun.h"
#include "WriteButtonColumn.h"
#include "WriteValue.h"
#include "ui_PLCSettingWid.h"

#include <QAbstractItemDelegate>
#include <QDebug>
#include <QPushButton>

PLCSettingWid::PLCSettingWid(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::HistoryDataWidClass>())
{
    ui->setupUi(this);
    table = std::make_unique<AddrTable>(ui->tableWidgetWrite);
    table->setUp({ tr("名称"), tr("值"), tr("操作") });
    writeButtons = new WriteButtonColumn(ui->tableWidgetWrite);

    connect(ui->btnAddWrite, &QPushButton::clicked, this, &PLCSettingWid::Slot_BtnAddWriteClicked);
    connect(ui->btnDelWrite, &QPushButton::clicked, this, &PLCSettingWid::Slot_BtnWriteDelClicked);
    connect(ui->tableWidgetWrite, &QTableWidget::itemSelectionChanged, this, &PLCSettingWid::Slot_ItemSelectionChanged);
    connect(ui->tableWidgetWrite, &QTableWidget::cellChanged, this, &PLCSettingWid::Slot_handleCellChanged);
    connect(ui->tableWidgetWrite->itemDelegate(), &QAbstractItemDelegate::commitData, this, &PLCSettingWid::valueTyped);
}

PLCSettingWid::~PLCSettingWid()
{
    // An open editor commits while the children go, when this panel is half destroyed.
    disconnect(ui->tableWidgetWrite->itemDelegate(), nullptr, this, nullptr);
}

void PLCSettingWid::AddItem(const QJsonObject &item)
{
    fillRow(table->appendRows(1), item);
}

void PLCSettingWid::LoadFromJson(const QJsonArray &list)
{
    int row = table->appendRows(list.size());
    for (const QJsonValue &element : list)
        fillRow(row++, element.toObject());
}

void PLCSettingWid::fillRow(int row, const QJsonObject &item)
{
    table->fillRow(row, AddrItem::fromJson(item));
    QPushButton *button = writeButtons->addButton(row);
    connect(button, &QPushButton::clicked, this, &PLCSettingWid::Slot_BtnWriteClicked);
    if (const auto key = table->key(row))
        emit Signal_ReadPLCData(key->kind, key->addr, 1);
}

void PLCSettingWid::SaveToJson(QJsonArray &list)
{
    for (int row = 0; row < ui->tableWidgetWrite->rowCount(); ++row) {
        QJsonObject obj = table->rowToJson(row);
        const QTableWidgetItem *valueItem = ui->tableWidgetWrite->item(row, 1);
        obj.insert(QLatin1String(AddrItemJson::kValue), valueItem ? valueItem->text() : QString());
        list.append(obj);
    }
}

// Only the operator's edits reach the delegate; read results and loading set texts directly.
void PLCSettingWid::valueTyped()
{
    const QModelIndex index = ui->tableWidgetWrite->currentIndex();
    if (index.isValid() && index.column() == 1)
        table->setTyped(index.row(), true);
}

void PLCSettingWid::Slot_ReadDataResult(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal)
{
    table->showResult(t, addr, nVal, fVal);
}

void PLCSettingWid::Slot_BtnAddWriteClicked()
{
    QJsonObject item;
    if (runAddrItemDialog(this, &item, false))
        AddItem(item);
}

void PLCSettingWid::Slot_BtnWriteDelClicked()
{
    if (!qobject_cast<QPushButton *>(sender()))
        return;
    const int row = ui->tableWidgetWrite->currentRow();
    if (row != -1)
        ui->tableWidgetWrite->removeRow(row);
}

void PLCSettingWid::Slot_ItemSelectionChanged()
{
    writeButtons->showOnly(ui->tableWidgetWrite->currentRow());
}

void PLCSettingWid::Slot_handleCellChanged(int, int)
{
}

void PLCSettingWid::Slot_BtnWriteClicked()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;
    const int row = writeButtons->rowOf(button);
    if (row == -1)
        return;
    const auto key = table->key(row);
    if (!key)
        return;
    const std::optional<QVariant> value = writeValue(key->kind, ui->tableWidgetWrite->item(row, 1)->text());
    if (!value) {
        qCritical("Send PLCData Unknown Core::nsCMuNiK::MODBUS_ADDR_TYPE ");
        return;
    }
    auto values = std::make_shared<QVariantList>();
    values->append(*value);
    // From now on the row shows what the PLC holds again.
    table->setTyped(row, false);
    emit Signal_WritePLCData(key->kind, key->addr, values);
}

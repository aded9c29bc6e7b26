#include "PellinDataWid.h"

#include "AddrItem.h"
#include "AddrItemDialogRun.h"
#include "ui_PellinDataWid.h"

#include <QPushButton>

namespace {
constexpr int kUnitColumnWidth = 120; // pixels
}

PellinDataWid::PellinDataWid(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::PellinDataWidClass>())
{
    ui->setupUi(this);
    // A QWidget subclass paints its style sheet background only when asked to.
    setAttribute(Qt::WA_StyledBackground);
    table = std::make_unique<AddrTable>(ui->tblWidPLCData);
    table->setUp({ tr("名称"), tr("值"), tr("单位") });
    ui->tblWidPLCData->setColumnWidth(2, kUnitColumnWidth);
    ui->tblWidPLCData->setEditTriggers(QAbstractItemView::NoEditTriggers);

    connect(ui->btnAddItem, &QPushButton::clicked, this, &PellinDataWid::Slot_BtnAddItem);
    connect(ui->btnDelItem, &QPushButton::clicked, this, &PellinDataWid::Slot_BtnDelItem);
}

PellinDataWid::~PellinDataWid() = default;

void PellinDataWid::AddItem(const QJsonObject &item)
{
    fillRow(table->appendRows(1), item);
}

void PellinDataWid::LoadFromJson(const QJsonArray &list)
{
    int row = table->appendRows(list.size());
    for (const QJsonValue &element : list)
        fillRow(row++, element.toObject());
}

void PellinDataWid::fillRow(int row, const QJsonObject &item)
{
    const AddrItem addrItem = AddrItem::fromJson(item);
    table->fillRow(row, addrItem);
    auto *unitItem = new QTableWidgetItem(addrItem.unit);
    unitItem->setData(Qt::UserRole, addrItem.unit);
    ui->tblWidPLCData->setItem(row, 2, unitItem);
    if (const auto key = table->key(row))
        emit Signal_TimerReadPLCData(key->kind, key->addr, 1);
}

void PellinDataWid::SaveToJson(QJsonArray &list)
{
    for (int row = 0; row < ui->tblWidPLCData->rowCount(); ++row) {
        QJsonObject obj = table->rowToJson(row);
        const QTableWidgetItem *unitItem = ui->tblWidPLCData->item(row, 2);
        obj.insert(QLatin1String(AddrItemJson::kUnit), unitItem ? unitItem->text() : QString());
        list.append(obj);
    }
}

void PellinDataWid::SetEditable(bool editable)
{
    ui->widTop->setVisible(editable);
}

void PellinDataWid::Slot_ReadDataResult(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal)
{
    table->showResult(t, addr, nVal, fVal);
}

void PellinDataWid::Slot_BtnAddItem()
{
    QJsonObject item;
    if (runAddrItemDialog(this, &item, true))
        AddItem(item);
}

void PellinDataWid::Slot_BtnDelItem()
{
    if (!qobject_cast<QPushButton *>(sender()))
        return;
    const int row = ui->tblWidPLCData->currentRow();
    if (row == -1)
        return;
    if (const auto key = table->key(row))
        emit Signal_CancelTimerReadPLCData(key->kind, key->addr);
    ui->tblWidPLCData->removeRow(row);
}

void PellinDataWid::Slot_ParserRecvData(QString, QByteArray)
{
}

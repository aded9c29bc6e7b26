#include "AddrRowKey.h"

#include <QTableWidget>

std::optional<AddrRowKey> readRowKey(const QTableWidget *table, int row)
{
    const QTableWidgetItem *nameItem = table->item(row, 0);
    const QTableWidgetItem *valueItem = table->item(row, 1);
    if (!nameItem || !valueItem)
        return std::nullopt;
    // Through the text: QVariant::toInt wraps "4294967297" round to address 1; QString::toInt gives 0 like any
    // other text that is no int.
    const int addr = nameItem->data(Qt::UserRole).toString().toInt(nullptr, 10);
    return AddrRowKey { AddrKind::fromVariant(valueItem->data(Qt::UserRole)), addr };
}

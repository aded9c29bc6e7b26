#include "AddrRowKey.h"

#include <QTableWidget>

std::optional<AddrRowKey> readRowKey(const QTableWidget *table, int row)
{
    const QTableWidgetItem *nameItem = table->item(row, 0);
    const QTableWidgetItem *valueItem = table->item(row, 1);
    if (!nameItem || !valueItem)
        return std::nullopt;
    return AddrRowKey { AddrKind::fromVariant(valueItem->data(Qt::UserRole)), nameItem->data(Qt::UserRole).toInt() };
}

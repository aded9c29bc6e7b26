#pragma once

#include "AddrKind.h"
#include "ValueList.h"

#include <QJsonObject>
#include <QTableWidget>
#include <QtTest>

using Kind = Core::nsCMuNiK::MODBUS_ADDR_TYPE;

inline QJsonObject addrItem(const QString &name, const QString &addr, int kind, const QString &value = QString(),
    const QString &unit = QString())
{
    QJsonObject obj { { "name", name }, { "addr", addr }, { AddrKind::kJsonKey, kind }, { "value", value } };
    if (!unit.isNull())
        obj.insert("unit", unit);
    return obj;
}

// Selects a row the way the operator does: a click on its name cell.
inline void clickRow(QTableWidget *table, int row)
{
    table->scrollToItem(table->item(row, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 0)).center());
}

inline QStringList columnTexts(const QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QStringLiteral("<none>"));
    return texts;
}

inline Kind kindArg(const QList<QVariant> &args)
{
    return args.at(0).value<Kind>();
}

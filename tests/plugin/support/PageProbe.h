#pragma once

#include <QJsonObject>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QtTest>

// Reaches a working widget's pages by object name, as the operator sees them.
namespace PageProbe {

inline QTableWidget *readTable(QWidget *w)
{
    return w->findChild<QTableWidget *>("tblWidPLCData");
}
inline QTableWidget *writeTable(QWidget *w)
{
    return w->findChild<QTableWidget *>("tableWidgetWrite");
}

inline QStringList column(const QTableWidget *table, int col)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << (table->item(row, col) ? table->item(row, col)->text() : QStringLiteral("<none>"));
    return texts;
}

inline QJsonObject item(const QString &name, const QString &addr, int kind, const QString &value = QString(),
    const QString &unit = QString())
{
    QJsonObject obj { { "name", name }, { "addr", addr }, { "Core::nsCMuNiK::MODBUS_ADDR_TYPE", kind } };
    if (!value.isNull())
        obj.insert("value", value);
    if (!unit.isNull())
        obj.insert("unit", unit);
    return obj;
}

// Selects the row with a click on its name cell, puts the value into its value cell and presses its
// write button, as the operator does. The widget must be shown with the write page current.
inline bool writeRow(QTableWidget *table, int row, const QString &value)
{
    table->scrollToItem(table->item(row, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 0)).center());
    table->item(row, 1)->setText(value);
    auto *button = table->cellWidget(row, 2) ? table->cellWidget(row, 2)->findChild<QPushButton *>() : nullptr;
    if (!button || !button->isVisible())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

} // namespace PageProbe

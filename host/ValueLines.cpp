#include "ValueLines.h"

#include <QTableWidget>

namespace {

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

QStringList readTableLines(const QWidget *panel)
{
    QStringList lines;
    const auto *table = panel ? panel->findChild<QTableWidget *>(QStringLiteral("tblWidPLCData")) : nullptr;
    if (!table)
        return lines;
    for (int row = 0; row < table->rowCount(); ++row) {
        QString line = cellText(table, row, 0) + QLatin1String(" = ") + cellText(table, row, 1);
        const QString unit = cellText(table, row, 2);
        if (!unit.isEmpty())
            line += QLatin1Char(' ') + unit;
        lines.append(line);
    }
    return lines;
}

#include "AddrTable.h"

#include "AddrItem.h"
#include "AddrRowIndex.h"

#include <QHeaderView>
#include <QJsonObject>
#include <QTableWidget>

namespace {
constexpr int kValueColumnWidth = 180; // pixels
constexpr int kRowHeight = 50; // pixels
constexpr int kTypedRole = Qt::UserRole + 1; // on the value item: the operator's text awaits its write
} // namespace

AddrTable::AddrTable(QTableWidget *table)
    : m_table(table)
    , m_index(new AddrRowIndex(table))
{
}

void AddrTable::setUp(const QStringList &headers)
{
    m_table->setColumnCount(3);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setShowGrid(true);
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->setColumnWidth(1, kValueColumnWidth);
    m_table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_table->verticalHeader()->setVisible(false);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
}

int AddrTable::appendRows(int count)
{
    const int first = m_table->rowCount();
    if (count > 0)
        m_table->setRowCount(first + count);
    return first;
}

void AddrTable::fillRow(int row, const AddrItem &item)
{
    auto *nameItem = new QTableWidgetItem(item.name);
    nameItem->setData(Qt::UserRole, item.addr);
    m_table->setItem(row, 0, nameItem);
    auto *valueItem = new QTableWidgetItem(item.value);
    valueItem->setData(Qt::UserRole, item.kind);
    m_table->setItem(row, 1, valueItem);
}

std::optional<AddrRowKey> AddrTable::key(int row) const
{
    return readRowKey(m_table, row);
}

void AddrTable::showResult(int kind, int addr, int nVal, float fVal)
{
    const QVector<int> &rows = m_index->rows(kind, addr);
    if (rows.isEmpty())
        return;
    const QString text = resultText(kind, nVal, fVal);
    // Copied: a slot reacting to the change may alter the rows.
    const QVector<int> targets = rows;
    for (int row : targets) {
        QTableWidgetItem *valueItem = m_table->item(row, 1);
        if (valueItem && valueItem->text() != text && !valueItem->data(kTypedRole).toBool())
            valueItem->setText(text);
    }
}

void AddrTable::setTyped(int row, bool typed)
{
    if (QTableWidgetItem *valueItem = m_table->item(row, 1))
        valueItem->setData(kTypedRole, typed ? QVariant(true) : QVariant());
}

QJsonObject AddrTable::rowToJson(int row) const
{
    QJsonObject obj;
    const QTableWidgetItem *nameItem = m_table->item(row, 0);
    obj.insert(QLatin1String(AddrItemJson::kName), nameItem ? nameItem->text() : QString());
    obj.insert(QLatin1String(AddrItemJson::kAddr), nameItem ? nameItem->data(Qt::UserRole).toString() : QString());
    const QTableWidgetItem *valueItem = m_table->item(row, 1);
    const int kind = valueItem ? int(AddrKind::fromVariant(valueItem->data(Qt::UserRole))) : 0;
    obj.insert(QLatin1String(AddrKind::kJsonKey), kind);
    return obj;
}

QString AddrTable::resultText(int kind, int nVal, float fVal)
{
    if (kind == Core::nsCMuNiK::kHoldingRegisterFloat32)
        return QString::number(double(fVal), 'f', 2);
    return QString::number(nVal, 10);
}

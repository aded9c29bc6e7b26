#include "AddrRowIndex.h"

#include "AddrRowKey.h"

#include <QTableWidget>

AddrRowIndex::AddrRowIndex(QTableWidget *table)
    : QObject(table)
    , m_table(table)
{
    QAbstractItemModel *model = table->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &AddrRowIndex::onRowsInserted);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &AddrRowIndex::onRowsRemoved);
    connect(model, &QAbstractItemModel::dataChanged, this, &AddrRowIndex::onDataChanged);
    // Whatever reorders or resets the table invalidates every row number at once.
    connect(model, &QAbstractItemModel::rowsMoved, this, &AddrRowIndex::rebuild);
    connect(model, &QAbstractItemModel::layoutChanged, this, &AddrRowIndex::rebuild);
    connect(model, &QAbstractItemModel::modelReset, this, &AddrRowIndex::rebuild);
    connect(model, &QAbstractItemModel::columnsInserted, this, &AddrRowIndex::rebuild);
    connect(model, &QAbstractItemModel::columnsRemoved, this, &AddrRowIndex::rebuild);
    // A dying table deletes its model, which resets on its way out while the table is no longer one.
    connect(table, &QObject::destroyed, this, [this, model] { model->disconnect(this); });
    rebuild();
}

const QVector<int> &AddrRowIndex::rows(int kind, int addr) const
{
    static const QVector<int> none;
    const auto it = m_rows.constFind(makeKey(kind, addr));
    return it == m_rows.constEnd() ? none : *it;
}

AddrRowIndex::Key AddrRowIndex::makeKey(int kind, int addr)
{
    return (Key(quint32(kind)) << 32) | quint32(addr);
}

void AddrRowIndex::onRowsInserted(const QModelIndex &, int first, int last)
{
    const int count = last - first + 1;
    if (first < m_rowKeys.size())
        shiftRows(first, count);
    m_rowKeys.insert(first, count, std::nullopt);
    for (int row = first; row <= last; ++row)
        link(row);
}

void AddrRowIndex::onRowsRemoved(const QModelIndex &, int first, int last)
{
    for (int row = first; row <= last; ++row)
        unlink(row);
    m_rowKeys.remove(first, last - first + 1);
    shiftRows(last + 1, -(last - first + 1));
}

void AddrRowIndex::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles)
{
    // Only the user data of the name and value columns carries a key; showing values must stay cheap.
    if (topLeft.column() > 1 || (!roles.isEmpty() && !roles.contains(Qt::UserRole)))
        return;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        unlink(row);
        link(row);
    }
}

void AddrRowIndex::rebuild()
{
    m_rows.clear();
    m_rowKeys.fill(std::nullopt, m_table->rowCount());
    for (int row = 0; row < m_rowKeys.size(); ++row)
        link(row);
}

void AddrRowIndex::shiftRows(int from, int delta)
{
    for (QVector<int> &rows : m_rows)
        for (int &row : rows)
            if (row >= from)
                row += delta;
}

void AddrRowIndex::unlink(int row)
{
    if (row < 0 || row >= m_rowKeys.size() || !m_rowKeys[row])
        return;
    const auto it = m_rows.find(*m_rowKeys[row]);
    if (it != m_rows.end()) {
        it->removeOne(row);
        if (it->isEmpty())
            m_rows.erase(it);
    }
    m_rowKeys[row].reset();
}

void AddrRowIndex::link(int row)
{
    if (row < 0 || row >= m_rowKeys.size())
        return;
    const std::optional<AddrRowKey> key = readRowKey(m_table, row);
    if (!key)
        return;
    m_rowKeys[row] = makeKey(key->kind, key->addr);
    m_rows[*m_rowKeys[row]].append(row);
}

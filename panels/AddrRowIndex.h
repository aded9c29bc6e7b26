#pragma once

#include <QHash>
#include <QObject>
#include <QVector>

#include <optional>

class QModelIndex;
class QTableWidget;

// Finds the rows of an address table by (kind, address) without scanning them. The table stays the store;
// this follows the table model's own signals, so rows inserted, removed or re-keyed by any path stay found.
class AddrRowIndex : public QObject {
    Q_OBJECT

public:
    explicit AddrRowIndex(QTableWidget *table);

    const QVector<int> &rows(int kind, int addr) const;

private:
    using Key = quint64;
    static Key makeKey(int kind, int addr);

    void onRowsInserted(const QModelIndex &parent, int first, int last);
    void onRowsRemoved(const QModelIndex &parent, int first, int last);
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles);
    void rebuild();
    void shiftRows(int from, int delta);
    void unlink(int row);
    void link(int row);

    QTableWidget *m_table = nullptr;
    QVector<std::optional<Key>> m_rowKeys;
    QHash<Key, QVector<int>> m_rows;
};

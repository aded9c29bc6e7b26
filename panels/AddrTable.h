#pragma once

#include "AddrRowKey.h"

#include <QStringList>

#include <optional>

class AddrRowIndex;
class QJsonObject;
class QTableWidget;
struct AddrItem;

// What the write and the read table share: set-up, the name and value columns, row read-back,
// read results and the common part of saving.
class AddrTable {
public:
    explicit AddrTable(QTableWidget *table);

    // Three fixed columns with the name column stretched and the value column 180 wide.
    void setUp(const QStringList &headers);

    // Appends empty rows in one step (a visible view relays out its cell widgets per insertion); returns the first.
    int appendRows(int count);
    // The name and value items of a row; the third column is the caller's.
    void fillRow(int row, const AddrItem &item);
    std::optional<AddrRowKey> key(int row) const;

    // Sets the value text of every row with this kind and address, except values the operator typed.
    void showResult(int kind, int addr, int nVal, float fVal);

    // A typed value waits for its write: read results must not replace it before the button is pressed.
    void setTyped(int row, bool typed);

    // "name", "addr" and the kind of one row.
    QJsonObject rowToJson(int row) const;

    static QString resultText(int kind, int nVal, float fVal);

private:
    QTableWidget *m_table = nullptr;
    AddrRowIndex *m_index = nullptr;
};

#pragma once

#include "AddrKind.h"

#include <optional>

class QTableWidget;

// What identifies a row of an address table: the kind in column 1's and the address in column 0's user data.
struct AddrRowKey {
    AddrKind::Kind kind = Core::nsCMuNiK::kCoil;
    int addr = 0;
};

// Empty when the row lacks its name or value item.
std::optional<AddrRowKey> readRowKey(const QTableWidget *table, int row);

#pragma once

#include <QJsonObject>
#include <QString>

// One address item as readers see it: missing or mistyped keys read as empty text, the kind as 0.
struct AddrItem {
    QString name;
    QString addr; // decimal text as entered; readers convert it with addrNumber()
    int kind = 0;
    QString value;
    QString unit;

    static AddrItem fromJson(const QJsonObject &obj);
    int addrNumber() const { return addr.toInt(nullptr, 10); }
};

namespace AddrItemJson {
inline constexpr const char *kName = "name";
inline constexpr const char *kAddr = "addr";
inline constexpr const char *kValue = "value";
inline constexpr const char *kUnit = "unit";

// An integral JSON number within int range; anything else gives fallback (never an out-of-range cast).
int toInt(const QJsonValue &v, int fallback = 0);
} // namespace AddrItemJson

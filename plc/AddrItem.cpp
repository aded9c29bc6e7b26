#include "AddrItem.h"

#include "AddrKind.h"

#include <QJsonValue>

#include <climits>
#include <cmath>

namespace AddrItemJson {

int toInt(const QJsonValue &v, int fallback)
{
    if (!v.isDouble())
        return fallback;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d < double(INT_MIN) || d > double(INT_MAX) || std::trunc(d) != d)
        return fallback;
    return int(d);
}

} // namespace AddrItemJson

AddrItem AddrItem::fromJson(const QJsonObject &obj)
{
    AddrItem item;
    item.name = obj.value(QLatin1String(AddrItemJson::kName)).toString();
    item.addr = obj.value(QLatin1String(AddrItemJson::kAddr)).toString();
    item.kind = AddrItemJson::toInt(obj.value(QLatin1String(AddrKind::kJsonKey)));
    item.value = obj.value(QLatin1String(AddrItemJson::kValue)).toString();
    item.unit = obj.value(QLatin1String(AddrItemJson::kUnit)).toString();
    return item;
}

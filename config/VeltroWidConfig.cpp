#include "VeltroWid.h"

#include "PLCLinkSettingWid.h"
#include "PLCSettingWid.h"
#include "PellinDataWid.h"

#include <QJsonArray>
#include <QJsonValue>

namespace {

const QLatin1String kLinkKey("PLCLinkInfo");
const QLatin1String kWriteListKey("WriteAddrList");
const QLatin1String kReadListKey("ReadAddrList");

} // namespace

// A key of the wrong JSON type converts to an empty object or array, like a missing one.
void VeltroWid::deserialize(QJsonObject &config)
{
    const QJsonObject &stored = config; // reading through a const view never inserts keys
    const QJsonObject link = stored.value(kLinkKey).toObject();
    if (linkSettingWid) {
        linkSettingWid->LoadFromJson(link);
        ConnectPLC(link);
    }

    const QJsonArray writeList = stored.value(kWriteListKey).toArray();
    const QJsonArray readList = stored.value(kReadListKey).toArray();
    // The link is open before the rows ask for their reads; read rows first.
    if (dataWid)
        dataWid->LoadFromJson(readList);
    if (plcSettingWid)
        plcSettingWid->LoadFromJson(writeList);

    Slot_CurAccountChanged();
}

void VeltroWid::serialize(QJsonObject &config)
{
    if (linkSettingWid) {
        QJsonObject link;
        linkSettingWid->SaveToJson(link);
        config.insert(kLinkKey, link);
    }
    if (plcSettingWid) {
        QJsonArray list;
        plcSettingWid->SaveToJson(list);
        config.insert(kWriteListKey, list);
    }
    if (dataWid) {
        QJsonArray list;
        dataWid->SaveToJson(list);
        config.insert(kReadListKey, list);
    }
}

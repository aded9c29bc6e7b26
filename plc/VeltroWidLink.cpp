#include "VeltroWid.h"

#include "IModbusClient.h"
#include "PLCLinkSettingWid.h"

#include <QJsonValue>

namespace {

constexpr unsigned int kTcpPort = 502;
constexpr unsigned int kRtuBaud = 115200;
constexpr int kRtuParityNone = 0;
constexpr unsigned int kRtuDataBits = 8;
constexpr unsigned int kRtuStopBits = 1;

std::string textOf(const QJsonObject &link, const char *key)
{
    return link.value(QLatin1String(key)).toString().toStdString();
}

} // namespace

void VeltroWid::Slot_PLCConnection()
{
    // The root object has no page to read and never holds a client.
    if (!linkSettingWid)
        return;
    QJsonObject link;
    linkSettingWid->SaveToJson(link);
    ConnectPLC(link);
}

void VeltroWid::ConnectPLC(const QJsonObject &linkInfo)
{
    // The old client goes before the new link is tried, so two links to one device never overlap.
    if (modbusClient)
        modbusClient.reset();

    const QJsonValue type = linkInfo.value(QLatin1String("type"));
    if (type.isString() && type.toString() == QLatin1String("Modbus-RTU"))
        modbusClient = CreateModbusRTU(textOf(linkInfo, "COM"), kRtuBaud, kRtuParityNone, kRtuDataBits, kRtuStopBits);
    else
        modbusClient = CreateModbusTCP(textOf(linkInfo, "IP"), kTcpPort);

    emit Signal_PLCConnected(modbusClient != nullptr);

    if (modbusClient) {
        modbusClient->SetReadResultCallback(&VeltroWid::OnReadResult, this);
        modbusClient->SetLogCallback(&VeltroWid::OnCommunicateLog, this);
    }
}

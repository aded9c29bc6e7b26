#pragma once

#include "ModbusAddrType.h"
#include "PluginWidget.h"
#include "ValueList.h"

#include <QJsonObject>
#include <QStringList>

#include <memory>

class IModbusClient;
class PellinDataWid;
class PLCLinkSettingWid;
class PLCSettingWid;
class QPlainTextEdit;
class QTabWidget;
class SysInterface;

// The plug-in's one class. The instance the loader hands out is a bare factory; each createWidget()
// builds a working panel with its own relay, pages, log and (once linked) Modbus client.
class VeltroWid : public PluginWidget {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "com.orvo.halcyra.VeltroWid")
    Q_INTERFACES(PluginWidget)

public:
    VeltroWid();
    ~VeltroWid() override;

    PluginWidget *createWidget(QObject *sysObject) override;
    QString pluginIid() const override;
    QString pluginTitle() const override;
    QString pluginCategory() const override;

    void deserialize(QJsonObject &config) override;
    void serialize(QJsonObject &config) override;

    // Replaces the client by one made from a link object and reports the result.
    void ConnectPLC(const QJsonObject &linkInfo);

    static void OnReadResult(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal, void *ctx);
    static void OnCommunicateLog(const QStringList &lines, void *ctx);

signals:
    void Signal_PLCConnected(bool bSucc);
    void Signal_ReadDataResult(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal);
    void Signal_CommunicateLog(QStringList lstLog);

public slots:
    void Slot_PLCConnection();
    void Slot_WritePLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, std::shared_ptr<QVariantList> spVarLst);
    void Slot_ReadPLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb);
    void Slot_TimerReadPLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb);
    void Slot_CancelTimerReadPLCData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr);
    void Slot_CurAccountChanged();

private:
    void BuildUi();

    SysInterface *sysInterface = nullptr;
    QTabWidget *tabWidget = nullptr;
    QPlainTextEdit *plainTextEdit = nullptr;
    std::shared_ptr<IModbusClient> modbusClient;
    PLCLinkSettingWid *linkSettingWid = nullptr;
    PLCSettingWid *plcSettingWid = nullptr;
    PellinDataWid *dataWid = nullptr;
};

#pragma once

#include "HostTypes.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QVector>

class SysInterfaceImpl;

// Re-emits the host system object's signals so that the plug-in never connects to the host directly;
// resetCountData travels the other way. Signal order follows the host's.
class SysInterface : public QObject {
    Q_OBJECT

public:
    explicit SysInterface(QObject *sysObject);

signals:
    void curAccountChanged();
    void curRunningModeChanged(CurMode mode);
    void userParamChanged(const QString &var);
    void inputIOTriggered(int port);
    void outputIOChange(int port, bool highLevel);
    void cameraReady(int camera, bool ready);
    void captureReady(int camera);
    void captureFinished(int camera);
    void cycleResultsUpdated(const ImageProcessData &data);
    void cameraDetectionCompleted(const ProductProcessData &data);
    void productDetectionCompleted(const ProductProcessData &data);
    void updateProductDataValues(int msTodayCount, int msTodayOKCount, QString customYieldValue, int pipelineTypes,
        QVector<QMap<QString, QVariant>> seriesList, QVector<QPair<QString, int>> realMssort);
    void productJudgeSettingsUpdated(QList<QString> productDataTitles);
    void reportDataUpdated(
        QVector<QMap<QString, QVariant>> productDatas, QList<QString> productDataTitles, QString rstr);
    void cameraStatUpdated(const QVariantMap &stats);
    void productStatUpdated(const QVariantMap &stats);
    void resetCountData();
    void parserRecvData(QString peerName, QByteArray data);
    void scanCode(QString code);
    void signal_SaveImageCompleted(QString code, QString fileName, QString filePath);
    void Signal_TaskManagerReqResetCounter(int resetID);
    void Signal_McEvent(McuEvent mcevent);

private:
    SysInterfaceImpl *sysImpl = nullptr;
};

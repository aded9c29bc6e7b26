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

// The host's system object: host-wide events as signals. Plug-ins join these signals by index, so the
// declaration order, the direct QObject base and the parameter passing are an ABI.
class SysInterfaceImpl : public QObject {
    Q_OBJECT

public:
    explicit SysInterfaceImpl(QObject *parent = nullptr)
        : QObject(parent)
    {
    }

signals:
    void curAccountChanged();
    void curRunningModeChanged(CurMode mode);
    void userParamChanged(const QString &var);
    void inputIOTriggered(int port);
    void outputIOChange(int port, bool highLevel);
    void cameraReady(int camera, bool ready);
    void captureReady(int camera, int product, int cycle);
    void captureFinished(int camera, int product, int cycle);
    void cycleResultsUpdated(const ImageProcessData &data);
    void cameraDetectionCompleted(const ProductProcessData &data);
    void productDetectionCompleted(const ProductProcessData &data);
    void updateProductDataValues(int msTodayCount, int msTodayOKCount, QString customYieldValue, int pipelineTypes,
        QVector<QMap<QString, QVariant>> seriesList, QVector<QPair<QString, int>> realMssort);
    void updateProductDataTitles(QList<QString> productDataTitles);
    void reportDataUpdated(
        QVector<QMap<QString, QVariant>> productDatas, QList<QString> productDataTitles, QString rstr);
    void cameraStatUpdated(const QVariantMap &stats);
    void productStatUpdated(const QVariantMap &stats);
    // The one signal that plug-ins ask the host to emit.
    void resetCountData();
    void parserRecvData(QString peerName, QByteArray data);
    void scanCode(QString code);
    void signal_SaveImageCompleted(QString code, QString fileName, QString filePath);
    void Signal_TaskManagerReqResetCounter(int resetID);
    void Signal_McEvent(McuEvent mcuevent);
};

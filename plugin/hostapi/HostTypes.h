#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// Values the host's system object announces. Plug-ins pass them through unchanged.

enum CurMode : int {
    kModeStopped = 0,
    kModeRunning = 1,
    kModeDebug = 2,
};

struct McuEvent {
    QString source;
    QString name;
    QString code;
    QString level;
    QString message;
    QVariant data;
};

struct ImageProcessData {
    int camera = 0;
    int product = 0;
    int cycle = 0;
    bool ok = false;
    QVariantMap results;
};

struct ProductProcessData {
    int product = 0;
    bool ok = false;
    QVariantMap results;
};

Q_DECLARE_METATYPE(CurMode)
Q_DECLARE_METATYPE(McuEvent)
Q_DECLARE_METATYPE(ImageProcessData)
Q_DECLARE_METATYPE(ProductProcessData)

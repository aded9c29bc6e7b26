#include "SysInterface.h"

#include "SysInterfaceImpl.h"

namespace {

// The host compiles its own meta-object for its system object, so a qobject_cast against ours would fail;
// asking by class name lets the host's code do the cast. Anything else is treated as no system object.
SysInterfaceImpl *asSystemObject(QObject *sysObject)
{
    if (!sysObject)
        return nullptr;
    return static_cast<SysInterfaceImpl *>(sysObject->qt_metacast("SysInterfaceImpl"));
}

} // namespace

SysInterface::SysInterface(QObject *sysObject)
    : QObject(nullptr)
    , sysImpl(asSystemObject(sysObject))
{
    using Host = SysInterfaceImpl;
    using Relay = SysInterface;
    connect(sysImpl, &Host::curAccountChanged, this, &Relay::curAccountChanged);
    connect(sysImpl, &Host::curRunningModeChanged, this, &Relay::curRunningModeChanged);
    connect(sysImpl, &Host::userParamChanged, this, &Relay::userParamChanged);
    connect(sysImpl, &Host::inputIOTriggered, this, &Relay::inputIOTriggered);
    connect(sysImpl, &Host::outputIOChange, this, &Relay::outputIOChange);
    connect(sysImpl, &Host::cameraReady, this, &Relay::cameraReady);
    connect(sysImpl, &Host::captureReady, this, &Relay::captureReady);
    connect(sysImpl, &Host::captureFinished, this, &Relay::captureFinished);
    connect(sysImpl, &Host::cycleResultsUpdated, this, &Relay::cycleResultsUpdated);
    connect(sysImpl, &Host::cameraDetectionCompleted, this, &Relay::cameraDetectionCompleted);
    connect(sysImpl, &Host::productDetectionCompleted, this, &Relay::productDetectionCompleted);
    connect(sysImpl, &Host::updateProductDataValues, this, &Relay::updateProductDataValues);
    connect(sysImpl, &Host::updateProductDataTitles, this, &Relay::productJudgeSettingsUpdated);
    connect(sysImpl, &Host::reportDataUpdated, this, &Relay::reportDataUpdated);
    connect(sysImpl, &Host::cameraStatUpdated, this, &Relay::cameraStatUpdated);
    connect(sysImpl, &Host::productStatUpdated, this, &Relay::productStatUpdated);
    connect(this, &Relay::resetCountData, sysImpl, &Host::resetCountData);
    connect(sysImpl, &Host::parserRecvData, this, &Relay::parserRecvData);
    connect(sysImpl, &Host::scanCode, this, &Relay::scanCode);
    connect(sysImpl, &Host::signal_SaveImageCompleted, this, &Relay::signal_SaveImageCompleted);
    connect(sysImpl, &Host::Signal_TaskManagerReqResetCounter, this, &Relay::Signal_TaskManagerReqResetCounter);
    connect(sysImpl, &Host::Signal_McEvent, this, &Relay::Signal_McEvent);
}

#include "SysInterface.h"
#include "SysInterfaceImpl.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

class tst_SysInterface : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void signalsMatchTheHostsOneByOne();
    void captureSignalsKeepOnlyTheCamera();
    void titlesArriveUnderTheNewName();
    void valuesPassThroughUnchanged();
    void resetCountDataReachesTheHostOnceAndNotBack();
    void everyRelayRelaysOnce();
    void deletedRelayLeavesTheHostQuiet();
    void hostGoneFirstLeavesTheRelaySilent();
    void nullOrForeignObjectGivesASilentRelay();
};

void tst_SysInterface::initTestCase()
{
    qRegisterMetaType<CurMode>();
    qRegisterMetaType<McuEvent>();
    qRegisterMetaType<ImageProcessData>();
    qRegisterMetaType<ProductProcessData>();
}

// The relay's index i must pair with the host's index i: only 6, 7 and 12 differ, by arguments or name.
void tst_SysInterface::signalsMatchTheHostsOneByOne()
{
    const QMetaObject &relay = SysInterface::staticMetaObject;
    const QMetaObject &host = SysInterfaceImpl::staticMetaObject;
    QCOMPARE(relay.superClass(), &QObject::staticMetaObject);
    QCOMPARE(relay.methodCount() - relay.methodOffset(), 22);
    QCOMPARE(host.methodCount() - host.methodOffset(), 22);
    for (int i = 0; i < 22; ++i) {
        const QMetaMethod r = relay.method(relay.methodOffset() + i);
        const QMetaMethod h = host.method(host.methodOffset() + i);
        QCOMPARE(r.methodType(), QMetaMethod::Signal);
        if (i == 6 || i == 7) {
            QCOMPARE(r.name(), h.name());
            QCOMPARE(r.parameterNames(), QList<QByteArray> { "camera" });
        } else if (i == 12) {
            QCOMPARE(r.methodSignature(), QByteArray("productJudgeSettingsUpdated(QList<QString>)"));
            QCOMPARE(h.methodSignature(), QByteArray("updateProductDataTitles(QList<QString>)"));
        } else if (i == 21) {
            QCOMPARE(r.methodSignature(), h.methodSignature());
            QCOMPARE(r.parameterNames(), QList<QByteArray> { "mcevent" });
            QCOMPARE(h.parameterNames(), QList<QByteArray> { "mcuevent" });
        } else {
            QCOMPARE(r.methodSignature(), h.methodSignature());
            QCOMPARE(r.parameterNames(), h.parameterNames());
        }
    }
}

void tst_SysInterface::captureSignalsKeepOnlyTheCamera()
{
    SysInterfaceImpl host;
    SysInterface relay(&host);
    QSignalSpy ready(&relay, &SysInterface::captureReady);
    QSignalSpy finished(&relay, &SysInterface::captureFinished);

    emit host.captureReady(2, 7, 9);
    emit host.captureFinished(3, 8, 10);

    QCOMPARE(ready.count(), 1);
    QCOMPARE(ready.at(0), QVariantList { 2 });
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0), QVariantList { 3 });
}

void tst_SysInterface::titlesArriveUnderTheNewName()
{
    SysInterfaceImpl host;
    SysInterface relay(&host);
    QSignalSpy spy(&relay, &SysInterface::productJudgeSettingsUpdated);

    const QList<QString> titles { "长度", "width", "重量" };
    emit host.updateProductDataTitles(titles);

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QList<QString>>(), titles);
}

void tst_SysInterface::valuesPassThroughUnchanged()
{
    SysInterfaceImpl host;
    SysInterface relay(&host);
    QSignalSpy mode(&relay, &SysInterface::curRunningModeChanged);
    QSignalSpy io(&relay, &SysInterface::outputIOChange);
    QSignalSpy recv(&relay, &SysInterface::parserRecvData);
    QSignalSpy saved(&relay, &SysInterface::signal_SaveImageCompleted);
    QSignalSpy mcu(&relay, &SysInterface::Signal_McEvent);
    QSignalSpy stats(&relay, &SysInterface::cameraStatUpdated);

    emit host.curRunningModeChanged(kModeRunning);
    emit host.outputIOChange(5, true);
    emit host.parserRecvData("peer", QByteArray("\x00\x01", 2));
    emit host.signal_SaveImageCompleted("c", "f.png", "/tmp/f.png");
    emit host.Signal_McEvent(McuEvent { "a", "b", "c", "d", "e", QVariant(42) });
    emit host.cameraStatUpdated(QVariantMap { { "fps", 30 } });

    QCOMPARE(mode.at(0).at(0).value<CurMode>(), kModeRunning);
    QCOMPARE(io.at(0), (QVariantList { 5, true }));
    QCOMPARE(recv.at(0), (QVariantList { "peer", QByteArray("\x00\x01", 2) }));
    QCOMPARE(saved.at(0), (QVariantList { "c", "f.png", "/tmp/f.png" }));
    const McuEvent ev = mcu.at(0).at(0).value<McuEvent>();
    QCOMPARE(ev.source + ev.name + ev.code + ev.level + ev.message, QString("abcde"));
    QCOMPARE(ev.data, QVariant(42));
    QCOMPARE(stats.at(0).at(0).toMap(), (QVariantMap { { "fps", 30 } }));
}

void tst_SysInterface::resetCountDataReachesTheHostOnceAndNotBack()
{
    SysInterfaceImpl host;
    SysInterface relay(&host);
    QSignalSpy atHost(&host, &SysInterfaceImpl::resetCountData);
    QSignalSpy atRelay(&relay, &SysInterface::resetCountData);

    emit relay.resetCountData();
    QCOMPARE(atHost.count(), 1);
    QCOMPARE(atRelay.count(), 1);

    emit host.resetCountData();
    QCOMPARE(atHost.count(), 2);
    QCOMPARE(atRelay.count(), 1);
}

void tst_SysInterface::everyRelayRelaysOnce()
{
    SysInterfaceImpl host;
    SysInterface first(&host);
    SysInterface second(&host);
    QSignalSpy a(&first, &SysInterface::curAccountChanged);
    QSignalSpy b(&second, &SysInterface::curAccountChanged);

    emit host.curAccountChanged();
    QCOMPARE(a.count(), 1);
    QCOMPARE(b.count(), 1);
}

void tst_SysInterface::deletedRelayLeavesTheHostQuiet()
{
    SysInterfaceImpl host;
    auto relay = std::make_unique<SysInterface>(&host);
    QSignalSpy scans(relay.get(), &SysInterface::scanCode);
    emit host.scanCode("before");
    QCOMPARE(scans.count(), 1);

    relay.reset();
    emit host.scanCode("after");
    emit host.curAccountChanged();
    QSignalSpy atHost(&host, &SysInterfaceImpl::resetCountData);
    QCOMPARE(atHost.count(), 0);
}

void tst_SysInterface::hostGoneFirstLeavesTheRelaySilent()
{
    auto host = std::make_unique<SysInterfaceImpl>();
    SysInterface relay(host.get());
    host.reset();
    QSignalSpy own(&relay, &SysInterface::resetCountData);
    emit relay.resetCountData();
    QCOMPARE(own.count(), 1);
}

void tst_SysInterface::nullOrForeignObjectGivesASilentRelay()
{
    // Every one of the 22 connections fails, with Qt's own warning.
    const QRegularExpression nullWarning("invalid nullptr parameter");
    for (int i = 0; i < 22; ++i)
        QTest::ignoreMessage(QtWarningMsg, nullWarning);
    SysInterface fromNull(nullptr);

    QObject notAHost;
    for (int i = 0; i < 22; ++i)
        QTest::ignoreMessage(QtWarningMsg, nullWarning);
    SysInterface fromForeign(&notAHost);
    QSignalSpy spy(&fromForeign, &SysInterface::resetCountData);
    emit fromForeign.resetCountData();
    QCOMPARE(spy.count(), 1);
}

QTEST_GUILESS_MAIN(tst_SysInterface)
#include "tst_sysinterface.moc"

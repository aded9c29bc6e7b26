// A host of its own: it knows only the host headers and reaches the plug-in through QPluginLoader and
// the virtual tables of PluginWidget and SerializeInterface, as a separately built host would.
#include "PluginFile.h"
#include "PluginWidget.h"
#include "SysInterfaceImpl.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPluginLoader>
#include <QTabWidget>
#include <QtTest>

#include <memory>

namespace {

const QString kIid = QStringLiteral("com.orvo.halcyra.VeltroWid");

// A plug-in that keeps every default of PluginWidget.
class BareWidget : public PluginWidget {
public:
    QString pluginIid() const override { return QStringLiteral("bare"); }
    QString pluginTitle() const override { return QStringLiteral("bare"); }
    QString pluginCategory() const override { return QStringLiteral("bare"); }
    void deserialize(QJsonObject &) override { }
    void serialize(QJsonObject &) override { }
};

QJsonObject storedDocument()
{
    return QJsonDocument::fromJson(R"({
        "hostKey": {"kept": true},
        "PLCLinkInfo": {"type": "Modbus-TCP", "IP": "127.0.0.1:1", "Port": "503", "Device": "7"},
        "WriteAddrList": [
            {"name": "速度", "addr": "100", "Core::nsCMuNiK::MODBUS_ADDR_TYPE": 3, "value": "12"},
            {"name": "开关", "addr": "5", "Core::nsCMuNiK::MODBUS_ADDR_TYPE": 0, "value": "1"}
        ],
        "ReadAddrList": [
            {"name": "温度", "addr": "200", "Core::nsCMuNiK::MODBUS_ADDR_TYPE": 5, "unit": "℃"},
            {"name": "计数", "addr": "210", "Core::nsCMuNiK::MODBUS_ADDR_TYPE": 4, "unit": "个"}
        ]
    })")
        .object();
}

} // namespace

class tst_MinimalHost : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void metadataNamesTheClassAndInterface();
    void rootIsOneBareWidget();
    void metaObjectDeclaresSignalsAndSlots();
    void metacastAnswers_data();
    void metacastAnswers();
    void identityIsTheSameEverywhere();
    void rootSavesAndRestoresNothing();
    void factoryBuildsIndependentWidgets();
    void savedSetUpComesBackInANewWidget();
    void hostSignalsReachEachWidgetUntilItIsGone();
    void defaultsOfTheBaseClass();

private:
    QPluginLoader loader;
    PluginWidget *root = nullptr;
};

void tst_MinimalHost::initTestCase()
{
    loader.setFileName(veltroPluginFile());
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    root = qobject_cast<PluginWidget *>(loader.instance());
    QVERIFY(root);
}

void tst_MinimalHost::metadataNamesTheClassAndInterface()
{
    const QJsonObject meta = loader.metaData();
    QCOMPARE(meta.value("IID").toString(), kIid);
    QCOMPARE(meta.value("className").toString(), QString("VeltroWid"));
    QVERIFY(!meta.contains("MetaData"));
}

void tst_MinimalHost::rootIsOneBareWidget()
{
    QCOMPARE(loader.instance(), static_cast<QObject *>(root));
    QCOMPARE(root->metaObject()->className(), "VeltroWid");
    QCOMPARE(root->metaObject()->superClass(), &QWidget::staticMetaObject);
    QVERIFY(root->children().isEmpty());
    QVERIFY(!root->layout());
}

// Hosts and tools may connect by signature, so names and parameter names are part of the contract.
void tst_MinimalHost::metaObjectDeclaresSignalsAndSlots()
{
    const QMetaObject *mo = root->metaObject();
    QStringList declared;
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        declared << QStringLiteral("%1 %2 %3 [%4]")
                        .arg(m.methodType() == QMetaMethod::Signal ? "signal" : "slot",
                            m.access() == QMetaMethod::Public ? "public" : "other", QString(m.methodSignature()),
                            QString(m.parameterNames().join(',')));
    }
    const QString kind = "Core::nsCMuNiK::MODBUS_ADDR_TYPE";
    QCOMPARE(declared,
        (QStringList {
            "signal public Signal_PLCConnected(bool) [bSucc]",
            "signal public Signal_ReadDataResult(" + kind + ",int,int,float) [t,addr,nVal,fVal]",
            "signal public Signal_CommunicateLog(QStringList) [lstLog]",
            "slot public Slot_PLCConnection() []",
            "slot public Slot_WritePLCData(" + kind + ",int,std::shared_ptr<QVariantList>) [t,addr,spVarLst]",
            "slot public Slot_ReadPLCData(" + kind + ",int,int) [t,addr,nb]",
            "slot public Slot_TimerReadPLCData(" + kind + ",int,int) [t,addr,nb]",
            "slot public Slot_CancelTimerReadPLCData(" + kind + ",int) [t,addr]",
            "slot public Slot_CurAccountChanged() []",
        }));
    QCOMPARE(QMetaType::type("Core::nsCMuNiK::MODBUS_ADDR_TYPE") != QMetaType::UnknownType, true);
    QCOMPARE(QMetaType::type("std::shared_ptr<QVariantList>") != QMetaType::UnknownType, true);
}

void tst_MinimalHost::metacastAnswers_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("answersSelf");
    QTest::newRow("class name") << QByteArray("VeltroWid") << true;
    QTest::newRow("interface id") << QByteArray(PluginWidget_iid) << true;
    QTest::newRow("QWidget") << QByteArray("QWidget") << true;
    QTest::newRow("QObject") << QByteArray("QObject") << true;
    QTest::newRow("SerializeInterface") << QByteArray("SerializeInterface") << false;
    QTest::newRow("own iid") << QByteArray("com.orvo.halcyra.VeltroWid") << false;
    QTest::newRow("unknown") << QByteArray("QTabWidget") << false;
}

void tst_MinimalHost::metacastAnswers()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, answersSelf);
    void *answer = root->qt_metacast(name.constData());
    // The interface answer is the PluginWidget base, which shares the object's address.
    QCOMPARE(answer, answersSelf ? static_cast<void *>(root) : nullptr);
    QCOMPARE(root->qt_metacast(nullptr), nullptr);
}

void tst_MinimalHost::identityIsTheSameEverywhere()
{
    SysInterfaceImpl sys;
    std::unique_ptr<PluginWidget> widget(root->createWidget(&sys));
    QVERIFY(widget);
    for (const PluginWidget *w :
        { static_cast<const PluginWidget *>(root), static_cast<const PluginWidget *>(widget.get()) }) {
        QCOMPARE(w->pluginIid(), loader.metaData().value("IID").toString());
        QCOMPARE(w->pluginTitle(), QString("Veltro-汇川PLC通讯"));
        QCOMPARE(w->pluginCategory(), QString("组件"));
    }
}

void tst_MinimalHost::rootSavesAndRestoresNothing()
{
    SerializeInterface *serializer = root;
    QJsonObject saved { { "hostKey", 1 } };
    serializer->serialize(saved);
    QCOMPARE(saved, (QJsonObject { { "hostKey", 1 } }));

    QJsonObject doc = storedDocument();
    serializer->deserialize(doc);
    QCOMPARE(doc, storedDocument());
    QVERIFY(root->children().isEmpty());
    serializer->serialize(saved);
    QCOMPARE(saved, (QJsonObject { { "hostKey", 1 } }));
}

void tst_MinimalHost::factoryBuildsIndependentWidgets()
{
    SysInterfaceImpl sys;
    std::unique_ptr<PluginWidget> a(root->createWidget(&sys));
    std::unique_ptr<PluginWidget> b(root->createWidget(&sys));
    QVERIFY(a && b && a != b);
    QVERIFY(!a->parent() && !b->parent());
    QVERIFY(root->children().isEmpty());

    auto *tabsA = a->findChild<QTabWidget *>("tabWidget");
    auto *tabsB = b->findChild<QTabWidget *>("tabWidget");
    QVERIFY(tabsA && tabsB && tabsA != tabsB);
    QCOMPARE(tabsA->count(), 3);

    QJsonObject doc = storedDocument();
    a->deserialize(doc);
    QJsonObject fromA, fromB;
    a->serialize(fromA);
    b->serialize(fromB);
    QCOMPARE(fromA.value("WriteAddrList").toArray().size(), 2);
    QCOMPARE(fromB.value("WriteAddrList").toArray(), QJsonArray());
    QCOMPARE(fromB.value("ReadAddrList").toArray(), QJsonArray());
}

void tst_MinimalHost::savedSetUpComesBackInANewWidget()
{
    SysInterfaceImpl sys;
    std::unique_ptr<PluginWidget> first(root->createWidget(&sys));
    QJsonObject doc = storedDocument();
    first->deserialize(doc);
    QCOMPARE(doc, storedDocument());

    QJsonObject saved { { "hostKey", QJsonObject { { "kept", true } } } };
    first->serialize(saved);
    QCOMPARE(saved, storedDocument());

    std::unique_ptr<PluginWidget> second(root->createWidget(&sys));
    second->deserialize(saved);
    QJsonObject again { { "hostKey", QJsonObject { { "kept", true } } } };
    second->serialize(again);
    QCOMPARE(again, storedDocument());
}

void tst_MinimalHost::hostSignalsReachEachWidgetUntilItIsGone()
{
    SysInterfaceImpl sys;
    PluginWidget *widget = root->createWidget(&sys);
    auto *tabs = widget->findChild<QTabWidget *>("tabWidget");
    QVERIFY(tabs->isTabVisible(1) && tabs->isTabVisible(2));

    // Nobody is logged in in this host: the account change hides the editing pages.
    emit sys.curAccountChanged();
    QVERIFY(tabs->isTabVisible(0));
    QVERIFY(!tabs->isTabVisible(1));
    QVERIFY(!tabs->isTabVisible(2));

    delete widget;
    emit sys.curAccountChanged();
    emit sys.captureReady(1, 2, 3);
    emit sys.updateProductDataTitles({ "a" });
    emit sys.Signal_McEvent(McuEvent());
    QSignalSpy reset(&sys, &SysInterfaceImpl::resetCountData);
    QCOMPARE(reset.count(), 0);
}

void tst_MinimalHost::defaultsOfTheBaseClass()
{
    BareWidget bare;
    QCOMPARE(bare.createWidget(nullptr), nullptr);
    QVariant value;
    QVERIFY(bare.hostQuery("anything", value));
    bare.hostNotice("anything", 1);

    QVERIFY(root->hostQuery("anything", value));
    root->hostNotice("anything", 1);
}

QTEST_MAIN(tst_MinimalHost)
#include "tst_minimalhost.moc"

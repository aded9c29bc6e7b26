// The loaded plug-in, the real client library and a Modbus server on loopback.
#include "ModbusAddrType.h"
#include "ModbusConstants.h"
#include "PLCLinkSettingWid.h"
#include "PageProbe.h"
#include "PeerProcess.h"
#include "PluginFile.h"
#include "PluginWidget.h"
#include "SysInterfaceImpl.h"
#include "TestEnv.h"
#include "UserManager.h"

#include <QJsonArray>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPluginLoader>
#include <QTabWidget>
#include <cstring>

#include <memory>

namespace {

// The two registers of a 32-bit value in the order the client library puts them on the wire.
QString registers(quint32 bits)
{
    const quint16 low = quint16(bits & 0xFFFFu), high = quint16(bits >> 16);
    return ModbusConst::kLowWordFirst ? QStringLiteral("%1,%2").arg(low).arg(high)
                                      : QStringLiteral("%1,%2").arg(high).arg(low);
}

quint32 floatBits(float f)
{
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

QJsonObject linkTo(quint16 port)
{
    return { { "type", "Modbus-TCP" }, { "IP", QStringLiteral("127.0.0.1:%1").arg(port) }, { "Port", "502" },
        { "Device", "1" } };
}

} // namespace

class tst_VeltroWidServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void restoredLinkReadsAndWrites();
    void failedLinkLeavesRequestsUnanswered();

private:
    QLabel *linkMessage() const { return widget->findChild<PLCLinkSettingWid *>()->findChild<QLabel *>("lbErr"); }
    QPlainTextEdit *log() const { return widget->findChild<QPlainTextEdit *>("plainTextEdit"); }

    QPluginLoader loader;
    PluginWidget *root = nullptr;
    SysInterfaceImpl sys;
    std::unique_ptr<PluginWidget> widget;
};

void tst_VeltroWidServer::initTestCase()
{
    loader.setFileName(veltroPluginFile());
    root = qobject_cast<PluginWidget *>(loader.instance());
    QVERIFY2(root, qPrintable(loader.errorString()));
    Auth::UserManager::getInstance()->setCurrentAccount("engineer", true);
}

void tst_VeltroWidServer::init()
{
    widget.reset(root->createWidget(&sys));
    widget->resize(900, 700);
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
}

void tst_VeltroWidServer::cleanup()
{
    widget.reset();
}

void tst_VeltroWidServer::restoredLinkReadsAndWrites()
{
    const quint16 port = TestEnv::freeTcpPort();
    QVERIFY(port);
    PeerProcess server;
    QVERIFY2(server.start(TestEnv::python(),
                 { TestEnv::peerScript("pymodbus_server.py"), "--tcp", QString::number(port), "--set-hr",
                     "100:" + registers(quint32(-123456)), "--set-hr", "200:" + registers(floatBits(3.14f)) },
                 QRegularExpression("listening"), 15000),
        qPrintable(server.describe()));

    using namespace Core::nsCMuNiK;
    QJsonObject doc {
        { "PLCLinkInfo", linkTo(port) },
        { "ReadAddrList",
            QJsonArray { PageProbe::item("计数", "100", kHoldingRegister32, {}, "个"),
                PageProbe::item("温度", "200", kHoldingRegisterFloat32, {}, "℃"),
                PageProbe::item("设定", "300", kHoldingRegister32, {}, "") } },
        { "WriteAddrList", QJsonArray { PageProbe::item("设定", "300", kHoldingRegister32, "0") } },
    };
    widget->deserialize(doc);
    QVERIFY2(linkMessage()->text().contains("链接成功"), qPrintable(linkMessage()->text()));

    QTableWidget *reads = PageProbe::readTable(widget.get());
    QTRY_COMPARE_WITH_TIMEOUT(PageProbe::column(reads, 1), (QStringList { "-123456", "3.14", "0" }), 10000);

    widget->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    QVERIFY(PageProbe::writeRow(PageProbe::writeTable(widget.get()), 0, "-98765"));
    const auto written = server.waitForLine(QRegularExpression("^write fc=16 addr=300 values=(.*)$"), 5000);
    QVERIFY2(written.hasMatch(), qPrintable(server.describe()));
    QCOMPARE(written.captured(1), registers(quint32(-98765)));
    // The timed read of the same address shows what the server now holds.
    QTRY_COMPARE_WITH_TIMEOUT(PageProbe::column(reads, 1).value(2), QString("-98765"), 10000);
    QVERIFY(!log()->toPlainText().isEmpty());
}

void tst_VeltroWidServer::failedLinkLeavesRequestsUnanswered()
{
    const quint16 port = TestEnv::freeTcpPort(); // nobody listens there
    QVERIFY(port);
    using namespace Core::nsCMuNiK;
    QJsonObject doc {
        { "PLCLinkInfo", linkTo(port) },
        { "ReadAddrList", QJsonArray { PageProbe::item("计数", "100", kHoldingRegister32, {}, "个") } },
        { "WriteAddrList", QJsonArray { PageProbe::item("设定", "300", kHoldingRegister32, "5") } },
    };
    widget->deserialize(doc);
    QVERIFY2(linkMessage()->text().contains("通讯链接失败"), qPrintable(linkMessage()->text()));

    widget->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    QVERIFY(PageProbe::writeRow(PageProbe::writeTable(widget.get()), 0, "7"));
    QTest::qWait(300);
    QVERIFY(log()->toPlainText().isEmpty());
    QCOMPARE(PageProbe::column(PageProbe::readTable(widget.get()), 1), QStringList { "" });
}

QTEST_MAIN(tst_VeltroWidServer)
#include "tst_veltrowid_server.moc"

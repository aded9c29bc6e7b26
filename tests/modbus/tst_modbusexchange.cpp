// Reads and writes of every kind against pymodbus over TCP and RTU; what arrived is checked on the
// server side and, over TCP, by mbpoll as an independent client.
#include "ClientProbe.h"
#include "PtyPair.h"
#include "TestEnv.h"

#include <QProcess>
#include <QtTest>

using namespace Core::nsCMuNiK;

namespace {

const QStringList kPresets = { QStringLiteral("--set-hr"), QStringLiteral("100:65535,7616,65534"),
    QStringLiteral("--set-coil"), QStringLiteral("5:1,0,1") };

QStringList mbpollRead(quint16 port, const QString &type, int addr, int count)
{
    QProcess mbpoll;
    mbpoll.start(QStringLiteral("mbpoll"),
        { QStringLiteral("-m"), QStringLiteral("tcp"), QStringLiteral("-p"), QString::number(port),
            QStringLiteral("-a"), QStringLiteral("1"), QStringLiteral("-0"), QStringLiteral("-t"), type,
            QStringLiteral("-r"), QString::number(addr), QStringLiteral("-c"), QString::number(count),
            QStringLiteral("-1"), QStringLiteral("127.0.0.1") });
    if (!mbpoll.waitForFinished(10000))
        return {};
    QStringList values;
    static const QRegularExpression row(QStringLiteral("^\\[(\\d+)\\]:\\s+(\\S+)"));
    for (const QString &line : QString::fromUtf8(mbpoll.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const auto m = row.match(line.trimmed());
        if (m.hasMatch())
            values << m.captured(2);
    }
    return values;
}

auto one(const QVariant &v)
{
    return std::make_shared<QVariantList>(QVariantList { v });
}

} // namespace

class TstModbusExchange : public QObject {
    Q_OBJECT
private slots:
    void tcpAllKinds();
    void rtuAllKinds();
    void hostTextCarriesItsPort();
    void refusalsAreLoggedAndNothingIsSent();
    void exceptionsAreNamed();

private:
    void exercise(IModbusClient &client, PeerProcess &server, ClientProbe &probe);
};

void TstModbusExchange::exercise(IModbusClient &client, PeerProcess &server, ClientProbe &probe)
{
    QVERIFY(client.WriteData(kCoil, 10, one(true)));
    QVERIFY(client.WriteData(kHoldingRegister16, 20, one(-5)));
    QVERIFY(client.WriteData(kHoldingRegister32, 30, one(-123456)));
    QVERIFY(client.WriteData(kHoldingRegisterFloat32, 40, one(3.14159f)));

    // Function codes and word order as the server saw them: 32-bit values low word first, in one request.
    const QStringList expected = { QStringLiteral("write fc=05 addr=10 values=1"),
        QStringLiteral("write fc=06 addr=20 values=65531"), QStringLiteral("write fc=16 addr=30 values=7616,65534"),
        QStringLiteral("write fc=16 addr=40 values=4048,16457") };
    for (const QString &line : expected)
        QVERIFY2(
            server.waitForLine(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(line) + "$"), 5000)
                .hasMatch(),
            qPrintable(line + QStringLiteral(" missing; seen: ") + server.allLines().join(QLatin1Char('|'))));
    QTRY_COMPARE_WITH_TIMEOUT(probe.linesContaining(QStringLiteral(": 成功")), 4, 5000);
    QCOMPARE(probe.linesContaining(QStringLiteral("写入 线圈 地址 10 值 1: 成功")), 1);
    QCOMPARE(probe.linesContaining(QStringLiteral("写入 32位整数 地址 30 值 -123456: 成功")), 1);

    QVERIFY(client.ReadData(kCoil, 5, 3));
    QVERIFY(client.ReadData(kHoldingRegister16, 100, 1));
    QVERIFY(client.ReadData(kHoldingRegister32, 101, 1));
    QVERIFY(client.ReadData(kHoldingRegisterFloat32, 40, 1));
    QVERIFY(client.ReadData(kHoldingRegister16, 20, 1));
    QTRY_VERIFY_WITH_TIMEOUT(probe.has(kHoldingRegister16, 20), 5000);
    QCOMPARE(probe.last(kCoil, 5).nVal, 1);
    QCOMPARE(probe.last(kCoil, 6).nVal, 0);
    QCOMPARE(probe.last(kCoil, 7).nVal, 1);
    QCOMPARE(probe.last(kHoldingRegister16, 100).nVal, -1);
    QCOMPARE(probe.last(kHoldingRegister32, 101).nVal, -123456);
    QCOMPARE(probe.last(kHoldingRegisterFloat32, 40).fVal, 3.14159f);
    QCOMPARE(probe.last(kHoldingRegisterFloat32, 40).nVal, 0);
    QCOMPARE(probe.last(kHoldingRegister16, 20).nVal, -5);
    QCOMPARE(probe.linesContaining(QStringLiteral("读取 线圈 地址 5 数量 3: 1, 0, 1")), 1);
    QCOMPARE(probe.linesContaining(QStringLiteral("读取 32位整数 地址 101: -123456")), 1);
}

void TstModbusExchange::tcpAllKinds()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port, kPresets), qPrintable(server.describe()));
    auto client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(client);
    QVERIFY(client->IsConnected());
    ClientProbe probe;
    probe.attach(*client);
    QTRY_VERIFY(probe.linesContaining(QStringLiteral("已连接 127.0.0.1:%1").arg(port)) == 1);
    exercise(*client, server, probe);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(mbpollRead(port, QStringLiteral("0"), 10, 1), QStringList { QStringLiteral("1") });
    QCOMPARE(mbpollRead(port, QStringLiteral("4:int"), 30, 1), QStringList { QStringLiteral("-123456") });
    const QStringList f = mbpollRead(port, QStringLiteral("4:float"), 40, 1);
    QCOMPARE(f.size(), 1);
    QCOMPARE(f.first().toFloat(), 3.14159f);
}

void TstModbusExchange::rtuAllKinds()
{
    PtyPair line;
    QVERIFY(line.start());
    PeerProcess server;
    QVERIFY2(startRtuServer(server, line.endA(), kPresets), qPrintable(server.describe()));
    auto client = CreateModbusRTU(line.endB().toStdString(), 115200, 0, 8, 1);
    QVERIFY(client);
    ClientProbe probe;
    probe.attach(*client);
    QCOMPARE(probe.linesContaining(QStringLiteral("已连接 %1 115200 8N1").arg(line.endB())), 1);
    exercise(*client, server, probe);
}

void TstModbusExchange::hostTextCarriesItsPort()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port), qPrintable(server.describe()));
    // The argument names a port nobody listens on; the host text wins.
    auto client = CreateModbusTCP(QStringLiteral("127.0.0.1:%1").arg(port).toStdString(), 1);
    QVERIFY(client);
    QVERIFY(client->IsConnected());
}

void TstModbusExchange::refusalsAreLoggedAndNothingIsSent()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port), qPrintable(server.describe()));
    auto client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(client);
    ClientProbe probe;
    probe.attach(*client);
    QVERIFY(resetStats(server));

    QVERIFY(!client->WriteData(MODBUS_ADDR_TYPE(1), 10, one(1)));
    QVERIFY(!client->WriteData(MODBUS_ADDR_TYPE(2), 10, one(1)));
    QVERIFY(!client->ReadData(MODBUS_ADDR_TYPE(1), 10, 1));
    QVERIFY(!client->StartTimerRead(MODBUS_ADDR_TYPE(2), 10, 1, false));
    QVERIFY(!client->WriteData(kHoldingRegister16, 10, one(QStringLiteral("abc"))));
    QVERIFY(!client->WriteData(kHoldingRegister16, 10, one(70000)));
    QVERIFY(!client->WriteData(kHoldingRegister16, 10, std::make_shared<QVariantList>()));
    QVERIFY(!client->WriteData(kHoldingRegister16, 10, nullptr));
    QVERIFY(!client->WriteData(kHoldingRegister16, 10, std::make_shared<QVariantList>(QVariantList { 1, 2 })));
    QVERIFY(!client->WriteData(kHoldingRegister32, 65535, one(1))); // its second register would not exist
    QVERIFY(!client->ReadData(kHoldingRegister16, -1, 1));
    QVERIFY(!client->ReadData(kHoldingRegister16, 0, 0));
    QVERIFY(!client->ReadData(kHoldingRegister16, 0, 126));

    QCOMPARE(probe.linesContaining(QStringLiteral("被拒绝")), 13);
    QCOMPARE(probe.linesContaining(QStringLiteral("写入 类型1 地址 10 值 1 被拒绝: 不支持的地址类型")), 1);
    QCOMPARE(probe.linesContaining(QStringLiteral("写入 16位寄存器 地址 10 值 70000 被拒绝: 超出范围")), 1);
    TestEnv::spin(200);
    QCOMPARE(requestStats(server).value(QStringLiteral("total"), -1), 0);
}

void TstModbusExchange::exceptionsAreNamed()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port, { "--registers", "100", "--coils", "100" }), qPrintable(server.describe()));
    auto client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(client);
    ClientProbe probe;
    probe.attach(*client);
    QVERIFY(client->ReadData(kHoldingRegister16, 200, 1));
    QVERIFY(client->WriteData(kHoldingRegister32, 99, one(5)));
    QVERIFY(client->WriteData(kCoil, 100, one(false)));
    QTRY_COMPARE_WITH_TIMEOUT(probe.linesContaining(QStringLiteral("非法数据地址")), 3, 5000);
    QCOMPARE(probe.linesContaining(QStringLiteral("读取 16位寄存器 地址 200 失败: 非法数据地址")), 1);
    QCOMPARE(probe.linesContaining(QStringLiteral("写入 32位整数 地址 99 值 5 失败: 非法数据地址")), 1);
    QCOMPARE(probe.linesContaining(QStringLiteral("写入 线圈 地址 100 值 0 失败: 非法数据地址")), 1);
    QVERIFY(probe.values.isEmpty());
    QVERIFY(client->IsConnected()); // an exception is an answer: the link is fine
}

QTEST_GUILESS_MAIN(TstModbusExchange)
#include "tst_modbusexchange.moc"

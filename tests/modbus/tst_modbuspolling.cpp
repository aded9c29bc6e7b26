// Timed reads: counted starts and stops, merged requests, and an address the PLC refuses.
#include "ClientProbe.h"
#include "TestEnv.h"

#include <QtTest>

using namespace Core::nsCMuNiK;

class TstModbusPolling : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startsAndStopsAreCounted();
    void stopAllEndsEveryTimedRead();
    void severalValuesPerTimedRead();
    void scatteredAddressesShareRequests();
    void refusedAddressDoesNotBlankNeighbours();
    void coilsSpreadWideAreRead();

private:
    // Values delivered for (kind, addr) while the event loop runs for ms.
    int valuesDuring(int kind, int addr, int ms);

    PeerProcess *m_server = nullptr;
    std::shared_ptr<IModbusClient> m_client;
    ClientProbe m_probe;
};

void TstModbusPolling::init()
{
    m_server = new PeerProcess;
    m_probe = ClientProbe();
    quint16 port = 0;
    QStringList args { "--set-hr", "200:1,0,2,0,3,0" };
    if (QByteArray(QTest::currentTestFunction()) == "refusedAddressDoesNotBlankNeighbours")
        args = QStringList { "--registers", "110", "--set-hr", "100:11,12,13,14,15,16,17,18,19,20" };
    QVERIFY2(startTcpServer(*m_server, &port, args), qPrintable(m_server->describe()));
    m_client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(m_client);
    m_probe.attach(*m_client);
}

void TstModbusPolling::cleanup()
{
    m_client.reset();
    delete m_server;
    m_server = nullptr;
}

int TstModbusPolling::valuesDuring(int kind, int addr, int ms)
{
    const int before = m_probe.valuesOf(kind, addr).size();
    TestEnv::spin(ms);
    return m_probe.valuesOf(kind, addr).size() - before;
}

void TstModbusPolling::startsAndStopsAreCounted()
{
    QVERIFY(m_client->StartTimerRead(kHoldingRegister16, 7, 1, false));
    QVERIFY(m_client->StartTimerRead(kHoldingRegister16, 7, 1, false));
    QVERIFY(m_client->StartTimerRead(kHoldingRegister32, 7, 1, false)); // same address, other kind
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.has(kHoldingRegister16, 7), 3000);

    QVERIFY(m_client->StopTimerRead(kHoldingRegister16, 7));
    QVERIFY(valuesDuring(kHoldingRegister16, 7, 500) >= 3);
    QVERIFY(m_client->StopTimerRead(kHoldingRegister16, 7));
    TestEnv::spin(200); // a cycle already under way may still deliver
    QCOMPARE(valuesDuring(kHoldingRegister16, 7, 500), 0);
    QVERIFY(valuesDuring(kHoldingRegister32, 7, 500) >= 3);

    QVERIFY(!m_client->StopTimerRead(kHoldingRegister16, 7));
    QVERIFY(!m_client->StopTimerRead(kCoil, 999));
    QVERIFY(valuesDuring(kHoldingRegister32, 7, 300) >= 1);
    QVERIFY(m_probe.lines.size() == 1); // the link line only
}

void TstModbusPolling::stopAllEndsEveryTimedRead()
{
    for (int addr = 0; addr < 5; ++addr) {
        QVERIFY(m_client->StartTimerRead(kCoil, addr, 1, false));
        QVERIFY(m_client->StartTimerRead(kCoil, addr, 1, false));
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.has(kCoil, 4), 3000);
    QVERIFY(m_client->StopAllTimerRead());
    TestEnv::spin(200);
    const int total = m_probe.values.size();
    TestEnv::spin(500);
    QCOMPARE(m_probe.values.size(), total);
    QVERIFY(!m_client->StopTimerRead(kCoil, 0));
    // Timed reads start afresh after a stop of all.
    QVERIFY(m_client->StartTimerRead(kCoil, 2, 1, false));
    QVERIFY(valuesDuring(kCoil, 2, 500) >= 2);
}

void TstModbusPolling::severalValuesPerTimedRead()
{
    QVERIFY(m_client->StartTimerRead(kHoldingRegister32, 200, 3, false));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.has(kHoldingRegister32, 204), 3000);
    QCOMPARE(m_probe.last(kHoldingRegister32, 200).nVal, 1);
    QCOMPARE(m_probe.last(kHoldingRegister32, 202).nVal, 2);
    QCOMPARE(m_probe.last(kHoldingRegister32, 204).nVal, 3);
    QVERIFY(!m_probe.has(kHoldingRegister32, 201));
}

void TstModbusPolling::scatteredAddressesShareRequests()
{
    // 40 register values over 200 registers and 10 coils over 1000: one request each would be 51.
    QRandomGenerator random(7);
    const MODBUS_ADDR_TYPE kinds[] = { kHoldingRegister16, kHoldingRegister32, kHoldingRegisterFloat32 };
    for (int i = 0; i < 40; ++i)
        QVERIFY(m_client->StartTimerRead(kinds[i % 3], int(random.bounded(200)), 1, false));
    for (int i = 0; i < 10; ++i)
        QVERIFY(m_client->StartTimerRead(kCoil, int(random.bounded(1000)), 1, false));
    QVERIFY(m_client->StartTimerRead(kHoldingRegister16, 0, 1, false));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.values.size() > 100, 5000);

    QVERIFY(resetStats(*m_server));
    const int cycles = valuesDuring(kHoldingRegister16, 0, 1500);
    const auto stats = requestStats(*m_server);
    QVERIFY(cycles >= 5);
    const int requests = stats.value(QStringLiteral("total"));
    QVERIFY2(requests <= (cycles + 1) * 10,
        qPrintable(QStringLiteral("%1 requests in %2 cycles").arg(requests).arg(cycles)));
    QCOMPARE(stats.value(QStringLiteral("fc01")) + stats.value(QStringLiteral("fc03")), requests);
}

void TstModbusPolling::refusedAddressDoesNotBlankNeighbours()
{
    // The server has registers 0..109: 109 as a 32-bit value and 115 lie beyond its end.
    QVERIFY(m_client->StartTimerRead(kHoldingRegister16, 100, 1, false));
    QVERIFY(m_client->StartTimerRead(kHoldingRegister16, 104, 1, false));
    QVERIFY(m_client->StartTimerRead(kHoldingRegister16, 108, 1, false));
    QVERIFY(m_client->StartTimerRead(kHoldingRegister32, 109, 1, false));
    QVERIFY(m_client->StartTimerRead(kHoldingRegister16, 115, 1, false));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.has(kHoldingRegister16, 108), 5000);
    QCOMPARE(m_probe.last(kHoldingRegister16, 100).nVal, 11);
    QCOMPARE(m_probe.last(kHoldingRegister16, 104).nVal, 15);
    QCOMPARE(m_probe.last(kHoldingRegister16, 108).nVal, 19);

    QVERIFY(valuesDuring(kHoldingRegister16, 100, 1000) >= 5);
    QVERIFY(!m_probe.has(kHoldingRegister32, 109));
    QVERIFY(!m_probe.has(kHoldingRegister16, 115));
    QCOMPARE(m_probe.linesContaining(QStringLiteral("定时读取 32位整数 地址 109 失败: 非法数据地址")), 1);
    QCOMPARE(m_probe.linesContaining(QStringLiteral("定时读取 16位寄存器 地址 115 失败: 非法数据地址")), 1);
    QCOMPARE(m_probe.lines.size(), 3);

    // What was learned keeps later cycles lean: three good requests and the two lone refusals.
    QVERIFY(resetStats(*m_server));
    const int cycles = valuesDuring(kHoldingRegister16, 100, 1000);
    const int requests = requestStats(*m_server).value(QStringLiteral("total"));
    QVERIFY2(requests <= (cycles + 1) * 5, qPrintable(QStringLiteral("%1 in %2").arg(requests).arg(cycles)));

    QVERIFY(m_client->StopTimerRead(kHoldingRegister16, 115));
    TestEnv::spin(400);
    QCOMPARE(m_probe.lines.size(), 3);
}

void TstModbusPolling::coilsSpreadWideAreRead()
{
    // Qt's client cannot decode a coil answer of 128 bytes or more: requests must stay below that.
    for (int addr = 0; addr < 2000; addr += 100)
        QVERIFY(m_client->StartTimerRead(kCoil, addr, 1, false));
    QTRY_VERIFY_WITH_TIMEOUT(m_probe.valuesOf(kCoil, 1900).size() >= 2, 3000);
    for (int addr = 0; addr < 2000; addr += 100)
        QVERIFY(m_probe.has(kCoil, addr));
    QCOMPARE(m_probe.lines.size(), 1);
}

QTEST_GUILESS_MAIN(TstModbusPolling)
#include "tst_modbuspolling.moc"

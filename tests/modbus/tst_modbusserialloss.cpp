// The far end of a serial line vanishes (socat killed, as when a USB adapter is pulled) and comes back
// at the same path: no busy loop meanwhile, one line for the loss, one for the return.
#include "ClientProbe.h"
#include "PtyPair.h"
#include "TestEnv.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace Core::nsCMuNiK;

class TstModbusSerialLoss : public QObject {
    Q_OBJECT
private slots:
    void vanishedPortIsRetriedWithoutSpinning();
};

void TstModbusSerialLoss::vanishedPortIsRetriedWithoutSpinning()
{
    PtyPair line;
    QVERIFY(line.start());
    PeerProcess server;
    QVERIFY2(startRtuServer(server, line.endA(), { "--set-hr", "10:5" }), qPrintable(server.describe()));
    auto client = CreateModbusRTU(line.endB().toStdString(), 115200, 0, 8, 1);
    QVERIFY(client);
    ClientProbe probe;
    probe.attach(*client);
    QVERIFY(client->StartTimerRead(kHoldingRegister16, 10, 1, false));
    QTRY_VERIFY_WITH_TIMEOUT(probe.valuesOf(kHoldingRegister16, 10).size() >= 3, 5000);

    server.kill();
    line.kill();
    QTRY_VERIFY_WITH_TIMEOUT(probe.linesContaining(QStringLiteral("连接断开 ") + line.endB()) == 1, 5000);
    QVERIFY(!client->IsConnected());

    const qint64 cpuBefore = TestEnv::processCpuMs();
    QElapsedTimer wall;
    wall.start();
    TestEnv::spin(2500);
    const qint64 cpu = TestEnv::processCpuMs() - cpuBefore;
    // A spinning serial master burns a whole core; retries every second or more cost next to nothing.
    QVERIFY2(cpu < wall.elapsed() / 5, qPrintable(QStringLiteral("%1 ms CPU in %2 ms").arg(cpu).arg(wall.elapsed())));
    QCOMPARE(probe.linesContaining(QStringLiteral("连接断开")), 1);

    QVERIFY(line.start());
    PeerProcess again;
    QVERIFY2(startRtuServer(again, line.endA(), { "--set-hr", "10:6" }), qPrintable(again.describe()));
    QTRY_VERIFY_WITH_TIMEOUT(probe.linesContaining(QStringLiteral("连接恢复 ") + line.endB()) == 1, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(probe.last(kHoldingRegister16, 10).nVal, 6, 5000);
    QVERIFY2(probe.lines.size() <= 4, qPrintable(probe.lines.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TstModbusSerialLoss)
#include "tst_modbusserialloss.moc"

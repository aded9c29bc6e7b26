#include "PeerProcess.h"
#include "SyncModbusClient.h"
#include "TestEnv.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(QModbusDataUnit)

namespace {
const QRegularExpression kReadyTcp(QStringLiteral("^plcsim listening tcp 127\\.0\\.0\\.1:(\\d+)$"));
const QRegularExpression kWriteLine(QStringLiteral("^write .*$"));

QString plcsim()
{
    return TestEnv::binProgram(QStringLiteral("plcsim"), QStringLiteral(VELTRO_BIN_DIR));
}
} // namespace

class TestPlcsimTcp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!plcsim().isEmpty(), "plcsim is not built");
        QVERIFY(m_dir.isValid());
        m_seed = m_dir.filePath(QStringLiteral("seed.json"));
        QFile file(m_seed);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"coils": {"10": 1, "12": true, "65535": 1},
                       "holding": {"100": 1234, "101": -2, "65535": 65535},
                       "int32": {"200": -123456},
                       "float32": {"300": 3.14159}})");
    }

    void servesSeededValuesLowWordFirst()
    {
        PeerProcess sim;
        quint16 port = 0;
        QVERIFY(startSim(sim, { QStringLiteral("--seed"), m_seed }, &port));
        QVERIFY(port != 0);
        SyncModbusClient client;
        QVERIFY(client.connectTo(port));

        const QModbusDataUnit holding = client.read(QModbusDataUnit::HoldingRegisters, 99, 3);
        QCOMPARE(holding.values(), (QVector<quint16> { 0, 1234, 65534 }));
        const QModbusDataUnit int32 = client.read(QModbusDataUnit::HoldingRegisters, 200, 2);
        QCOMPARE(int32.values(), (QVector<quint16> { quint16(-123456 & 0xFFFF), quint16(-123456 >> 16 & 0xFFFF) }));
        QCOMPARE(SyncModbusClient::int32At(int32, 0), -123456);
        const QModbusDataUnit float32 = client.read(QModbusDataUnit::HoldingRegisters, 300, 2);
        QCOMPARE(SyncModbusClient::floatAt(float32, 0), 3.14159f);
        const QModbusDataUnit coils = client.read(QModbusDataUnit::Coils, 9, 4);
        QCOMPARE(coils.values(), (QVector<quint16> { 0, 1, 0, 1 }));
        // The far end of both tables is served too.
        QCOMPARE(client.read(QModbusDataUnit::HoldingRegisters, 65535, 1).values(), QVector<quint16> { 65535 });
        QCOMPARE(client.read(QModbusDataUnit::Coils, 65535, 1).values(), QVector<quint16> { 1 });
        QCOMPARE(client.read(QModbusDataUnit::HoldingRegisters, 9990, 10).values(), QVector<quint16>(10, 0));
        QVERIFY(sim.takeLines(100).filter(kWriteLine).isEmpty());
    }

    void printsEveryWrite_data()
    {
        QTest::addColumn<QModbusDataUnit>("unit");
        QTest::addColumn<QString>("line");
        QTest::newRow("single coil") << QModbusDataUnit(QModbusDataUnit::Coils, 7, QVector<quint16> { 1 })
                                     << "write fc=05 addr=7 count=1 values=1";
        QTest::newRow("multiple coils") << QModbusDataUnit(QModbusDataUnit::Coils, 20, QVector<quint16> { 1, 0, 1 })
                                        << "write fc=15 addr=20 count=3 values=1,0,1";
        QTest::newRow("single register") << QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 50,
            QVector<quint16> { 65531 }) << "write fc=06 addr=50 count=1 values=65531";
        QTest::newRow("multiple registers, a 32-bit value low word first")
            << QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 9998, QVector<quint16> { 0x1DC0, 0xFFFE })
            << "write fc=16 addr=9998 count=2 values=7616,65534";
    }

    void printsEveryWrite()
    {
        QFETCH(QModbusDataUnit, unit);
        QFETCH(QString, line);
        PeerProcess sim;
        quint16 port = 0;
        QVERIFY(startSim(sim, {}, &port));
        SyncModbusClient client;
        QVERIFY(client.connectTo(port));
        QVERIFY(client.write(unit));
        QCOMPARE(sim.waitForLine(kWriteLine, 3000).captured(0), line);
        QCOMPARE(sim.takeLines(100).filter(kWriteLine), QStringList());
    }

    void countsRequestsPerFunctionCode()
    {
        PeerProcess sim;
        quint16 port = 0;
        QVERIFY(startSim(sim, { QStringLiteral("--quiet") }, &port));
        SyncModbusClient client;
        QVERIFY(client.connectTo(port));
        QVERIFY(client.read(QModbusDataUnit::Coils, 0, 8).isValid());
        for (int i = 0; i < 3; ++i)
            QVERIFY(client.read(QModbusDataUnit::HoldingRegisters, i, 2).isValid());
        QVERIFY(client.write(QModbusDataUnit(QModbusDataUnit::Coils, 1, QVector<quint16> { 1 })));
        QVERIFY(client.write(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 1, QVector<quint16> { 9 })));
        QVERIFY(client.write(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 1, QVector<quint16> { 9, 8 })));
        QVERIFY(client.write(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 1, QVector<quint16> { 9, 8 })));
        QVERIFY(client.read(QModbusDataUnit::InputRegisters, 0, 1).isValid());
        QVERIFY(client.read(QModbusDataUnit::DiscreteInputs, 0, 1).isValid());

        const QHash<QString, int> stats = requestStats(sim);
        const QHash<QString, int> expected { { "fc01", 1 }, { "fc03", 3 }, { "fc05", 1 }, { "fc06", 1 }, { "fc16", 2 },
            { "other", 2 }, { "total", 10 } };
        QCOMPARE(stats, expected);
        QVERIFY(sim.takeLines(100).filter(kWriteLine).isEmpty()); // --quiet

        QVERIFY(resetStats(sim));
        QVERIFY(client.read(QModbusDataUnit::HoldingRegisters, 0, 1).isValid());
        QCOMPARE(requestStats(sim).value(QStringLiteral("fc03")), 1);
        QCOMPARE(requestStats(sim).value(QStringLiteral("total")), 1);
    }

    void delayHoldsBackEveryAnswer()
    {
        constexpr int delayMs = 300;
        PeerProcess sim;
        quint16 port = 0;
        QVERIFY(startSim(sim, { QStringLiteral("--delay"), QString::number(delayMs) }, &port));
        SyncModbusClient client;
        QVERIFY(client.connectTo(port));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(client.read(QModbusDataUnit::HoldingRegisters, 0, 1).isValid());
        QVERIFY(client.write(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 0, QVector<quint16> { 1 })));
        QVERIFY2(clock.elapsed() >= 2 * delayMs - 20, qPrintable(QString::number(clock.elapsed())));
    }

    void animatesDemoRegisters()
    {
        PeerProcess sim;
        quint16 port = 0;
        QVERIFY(startSim(sim, { QStringLiteral("--animate") }, &port));
        SyncModbusClient client;
        QVERIFY(client.connectTo(port));
        const QModbusDataUnit first = client.read(QModbusDataUnit::HoldingRegisters, 0, 4);
        const quint16 firstCoil = client.read(QModbusDataUnit::Coils, 0, 1).value(0);
        QVERIFY(first.isValid());
        TestEnv::spin(2300);
        const QModbusDataUnit later = client.read(QModbusDataUnit::HoldingRegisters, 0, 4);
        QVERIFY(later.isValid());
        QVERIFY2(later.value(0) >= first.value(0) + 2 && later.value(0) <= first.value(0) + 3,
            qPrintable(QStringLiteral("%1 -> %2").arg(first.value(0)).arg(later.value(0))));
        QCOMPARE(later.value(1), quint16(0));
        const float sineBefore = SyncModbusClient::floatAt(first, 2);
        const float sineAfter = SyncModbusClient::floatAt(later, 2);
        QVERIFY(sineBefore != sineAfter);
        QVERIFY(qAbs(sineAfter) <= 100.0f);
        // The coil toggled two or three times; poll past the odd case so the test does not race the tick.
        QTRY_VERIFY_WITH_TIMEOUT(client.read(QModbusDataUnit::Coils, 0, 1).value(0) != firstCoil, 2000);
    }

    void endOfStdinEndsIt()
    {
        QProcess sim;
        sim.start(plcsim(), { QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--stats") });
        QVERIFY(sim.waitForReadyRead(5000));
        QVERIFY(kReadyTcp.match(QString::fromUtf8(sim.readLine()).trimmed()).hasMatch());
        sim.closeWriteChannel();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
    }

    void terminationSignalEndsItCleanly()
    {
        QProcess sim;
        sim.start(plcsim(), { QStringLiteral("--tcp"), QStringLiteral("0") });
        QVERIFY(sim.waitForReadyRead(5000));
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QCOMPARE(sim.readAllStandardError(), QByteArray());
    }

private:
    bool startSim(PeerProcess &sim, const QStringList &extra, quint16 *port)
    {
        const QStringList args
            = QStringList { QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--stats") } + extra;
        if (!sim.start(plcsim(), args, kReadyTcp, 5000)) {
            qWarning() << sim.describe();
            return false;
        }
        *port = quint16(sim.readyMatch().captured(1).toUInt());
        return true;
    }

    QTemporaryDir m_dir;
    QString m_seed;
};

QTEST_GUILESS_MAIN(TestPlcsimTcp)
#include "tst_plcsim_tcp.moc"

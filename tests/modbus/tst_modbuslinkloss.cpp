// A TCP link that breaks: server killed and restarted, a server that answers slowly or never, writes
// while the link is down, and clients released or closed with requests in flight.
#include "ClientProbe.h"
#include "TestEnv.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Core::nsCMuNiK;

namespace {

auto one(const QVariant &v)
{
    return std::make_shared<QVariantList>(QVariantList { v });
}

// Longest pause between ticks of a 10 ms timer while the event loop runs for ms.
qint64 longestStall(int ms)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, worst = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = qMax(worst, now - last);
        last = now;
    });
    tick.start(10);
    TestEnv::spin(ms);
    return worst;
}

} // namespace

class TstModbusLinkLoss : public QObject {
    Q_OBJECT
private slots:
    void serverRestartRestoresLinkWithoutFlood();
    void silentServerNeitherBlocksNorPilesUp();
    void slowServerStretchesTheCycle();
    void releasedClientCallsNothing();
    void releaseFromInsideCallback();
    void closeEndsEverything();
    void refusedPortAndEmptyHostFailFast();
    void unansweredConnectGivesUpInTime();
    void peerThatHangsUpAtOnceIsOneLoss();
};

void TstModbusLinkLoss::serverRestartRestoresLinkWithoutFlood()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port, { "--set-hr", "100:42" }), qPrintable(server.describe()));
    auto client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(client);
    ClientProbe probe;
    probe.attach(*client);
    QVERIFY(client->StartTimerRead(kHoldingRegister16, 100, 1, false));
    QVERIFY(client->StartTimerRead(kCoil, 7, 1, false));
    QTRY_VERIFY_WITH_TIMEOUT(probe.valuesOf(kHoldingRegister16, 100).size() >= 3, 5000);
    QCOMPARE(probe.last(kHoldingRegister16, 100).nVal, 42);

    server.kill();
    QTRY_VERIFY_WITH_TIMEOUT(probe.linesContaining(QStringLiteral("连接断开 127.0.0.1:%1").arg(port)) == 1, 5000);
    QVERIFY(!client->IsConnected());
    // Refused and logged, never kept for later.
    QVERIFY(!client->WriteData(kHoldingRegister16, 200, one(7)));
    QCOMPARE(probe.linesContaining(QStringLiteral("写入 16位寄存器 地址 200 值 7 失败: 未连接")), 1);
    QVERIFY(!client->ReadData(kHoldingRegister16, 100, 1));

    const int linesWhileDown = probe.lines.size();
    TestEnv::spin(4000); // several reconnect attempts, dozens of missed cycles
    QCOMPARE(probe.lines.size(), linesWhileDown);

    PeerProcess restarted;
    QVERIFY2(startTcpServerOn(restarted, port, { "--set-hr", "100:43" }), qPrintable(restarted.describe()));
    QTRY_VERIFY_WITH_TIMEOUT(probe.linesContaining(QStringLiteral("连接恢复 127.0.0.1:%1").arg(port)) == 1, 15000);
    QVERIFY(client->IsConnected());
    QTRY_COMPARE_WITH_TIMEOUT(probe.last(kHoldingRegister16, 100).nVal, 43, 5000);
    QCOMPARE(probe.lines.size(), linesWhileDown + 1);

    TestEnv::spin(300);
    for (const QString &line : restarted.allLines())
        QVERIFY2(!line.startsWith(QStringLiteral("write")), qPrintable(line));
}

void TstModbusLinkLoss::silentServerNeitherBlocksNorPilesUp()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port, { "--silent" }), qPrintable(server.describe()));
    auto client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(client); // the socket connects; only the answers are missing
    ClientProbe probe;
    probe.attach(*client);
    for (int addr = 0; addr < 2000; addr += 200)
        QVERIFY(client->StartTimerRead(kHoldingRegister16, addr, 1, false));
    QVERIFY(client->StartTimerRead(kCoil, 0, 1, false));

    QVERIFY(longestStall(4000) < 400); // a blocking wait would stall for a whole timeout
    const auto stats = requestStats(server);
    QVERIFY(!stats.isEmpty());
    // One request in flight, 500 ms each: a handful, not one per address per cycle.
    QVERIFY2(stats.value(QStringLiteral("total")) <= 12, qPrintable(QString::number(stats.value("total"))));
    QVERIFY(probe.values.isEmpty());
    QCOMPARE(probe.linesContaining(QStringLiteral("失败: 超时")), 1);
    QCOMPARE(probe.linesContaining(QStringLiteral("连续 3 次无应答")), 1);
    QVERIFY2(probe.lines.size() <= 3, qPrintable(probe.lines.join(QLatin1Char('\n'))));
}

namespace {

// Writes once, from inside the result of the first block of a cycle, and notes how many values
// arrived between that write and its outcome in the log.
struct WriteFromCallback {
    std::shared_ptr<IModbusClient> client;
    bool armed = false;
    int values = 0;
    int valuesAtWrite = -1;
    int valuesAtOutcome = -1;
    static void onRead(MODBUS_ADDR_TYPE, int addr, int, float, void *ctx)
    {
        auto *self = static_cast<WriteFromCallback *>(ctx);
        ++self->values;
        if (self->armed && addr == 0) {
            self->armed = false;
            self->valuesAtWrite = self->values;
            self->client->WriteData(kHoldingRegister16, 50, one(9));
        }
    }
    static void onLog(const QStringList &lines, void *ctx)
    {
        auto *self = static_cast<WriteFromCallback *>(ctx);
        for (const QString &line : lines)
            if (line.contains(QStringLiteral("写入 16位寄存器 地址 50 值 9: 成功")))
                self->valuesAtOutcome = self->values;
    }
};

} // namespace

void TstModbusLinkLoss::slowServerStretchesTheCycle()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port, { "--delay-ms", "200" }), qPrintable(server.describe()));
    WriteFromCallback probe;
    probe.client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(probe.client);
    probe.client->SetReadResultCallback(&WriteFromCallback::onRead, &probe);
    probe.client->SetLogCallback(&WriteFromCallback::onLog, &probe);
    // Five blocks far apart: a cycle takes about a second, ten times the period.
    for (int addr : { 0, 1000, 2000, 3000, 4000 })
        QVERIFY(probe.client->StartTimerRead(kHoldingRegister16, addr, 1, false));
    QTRY_VERIFY_WITH_TIMEOUT(probe.values >= 5, 5000);

    // A write overtakes the rest of the cycle: no value of the four later blocks comes before it.
    probe.armed = true;
    QTRY_VERIFY_WITH_TIMEOUT(probe.valuesAtOutcome >= 0, 5000);
    QCOMPARE(probe.valuesAtOutcome, probe.valuesAtWrite);
    QVERIFY(server.waitForLine(QRegularExpression(QStringLiteral("^write fc=06 addr=50 values=9$")), 3000).hasMatch());

    QVERIFY(resetStats(server));
    QElapsedTimer clock;
    clock.start();
    const int before = probe.values;
    TestEnv::spin(2500);
    const auto stats = requestStats(server);
    const qint64 ms = clock.elapsed();
    // No backlog: requests never outrun the server's pace of one per 200 ms, and cycles stretch.
    QVERIFY2(stats.value(QStringLiteral("total")) <= ms / 200 + 2, qPrintable(QString::number(stats.value("total"))));
    const int cycles = (probe.values - before) / 5;
    QVERIFY2(cycles >= 1 && cycles <= ms / 1000 + 1, qPrintable(QString::number(cycles)));
}

void TstModbusLinkLoss::releasedClientCallsNothing()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port, { "--delay-ms", "100" }), qPrintable(server.describe()));
    auto client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(client);
    ClientProbe probe;
    probe.attach(*client);
    for (int addr = 0; addr < 10; ++addr)
        QVERIFY(client->StartTimerRead(kHoldingRegister16, addr * 300, 1, false));
    QVERIFY(client->ReadData(kCoil, 3, 1));
    QVERIFY(client->WriteData(kCoil, 4, one(true)));
    TestEnv::spin(150); // requests are on their way
    const int values = probe.values.size();
    const int lines = probe.lines.size();
    QElapsedTimer clock;
    clock.start();
    client.reset();
    QVERIFY(clock.elapsed() < 300);
    TestEnv::spin(1000);
    QCOMPARE(probe.values.size(), values);
    QCOMPARE(probe.lines.size(), lines);
}

namespace {

struct SelfReleasing {
    std::shared_ptr<IModbusClient> client;
    int calls = 0;
    static void onRead(MODBUS_ADDR_TYPE, int, int, float, void *ctx)
    {
        auto *self = static_cast<SelfReleasing *>(ctx);
        ++self->calls;
        self->client.reset(); // the host drops the link from a result handler
    }
};

} // namespace

void TstModbusLinkLoss::releaseFromInsideCallback()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port), qPrintable(server.describe()));
    SelfReleasing holder;
    holder.client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(holder.client);
    holder.client->SetReadResultCallback(&SelfReleasing::onRead, &holder);
    // One request, five values: the release after the first must stop the other four.
    QVERIFY(holder.client->ReadData(kHoldingRegister16, 0, 5));
    QTRY_VERIFY_WITH_TIMEOUT(!holder.client, 5000);
    TestEnv::spin(300);
    QCOMPARE(holder.calls, 1);
}

void TstModbusLinkLoss::closeEndsEverything()
{
    PeerProcess server;
    quint16 port = 0;
    QVERIFY2(startTcpServer(server, &port), qPrintable(server.describe()));
    auto client = CreateModbusTCP("127.0.0.1", port);
    QVERIFY(client);
    ClientProbe probe;
    probe.attach(*client);
    QVERIFY(client->StartTimerRead(kHoldingRegister16, 5, 1, false));
    QTRY_VERIFY_WITH_TIMEOUT(probe.has(kHoldingRegister16, 5), 5000);
    QVERIFY(client->IsConnected());
    client->Close();
    QVERIFY(!client->IsConnected());
    QCOMPARE(probe.linesContaining(QStringLiteral("已关闭 127.0.0.1:%1").arg(port)), 1);
    QVERIFY(resetStats(server));
    const int values = probe.values.size();
    const int lines = probe.lines.size();
    QVERIFY(!client->ReadData(kHoldingRegister16, 5, 1));
    QVERIFY(!client->WriteData(kHoldingRegister16, 5, one(1)));
    QVERIFY(!client->StartTimerRead(kHoldingRegister16, 6, 1, false));
    TestEnv::spin(1500); // past the first reconnect delay: nothing comes back
    QCOMPARE(probe.values.size(), values);
    QCOMPARE(probe.lines.size(), lines);
    QCOMPARE(requestStats(server).value(QStringLiteral("total"), -1), 0);
}

void TstModbusLinkLoss::refusedPortAndEmptyHostFailFast()
{
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!CreateModbusTCP("127.0.0.1", TestEnv::freeTcpPort()));
    QVERIFY(!CreateModbusTCP("", 502));
    QVERIFY(!CreateModbusTCP("   ", 502));
    QVERIFY(!CreateModbusTCP("127.0.0.1:notaport", 502));
    QVERIFY(!CreateModbusRTU("", 115200, 0, 8, 1));
    QVERIFY(!CreateModbusRTU("/nonexistent/ttyX", 115200, 0, 8, 1));
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
}

void TstModbusLinkLoss::unansweredConnectGivesUpInTime()
{
    // A listener whose accept queue is full drops new handshakes: the connect neither succeeds nor fails.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    QVERIFY(::listen(fd, 0) == 0);
    QVERIFY(::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0);
    const quint16 port = ntohs(address.sin_port);
    QTcpSocket fillers[3];
    for (QTcpSocket &filler : fillers)
        filler.connectToHost(QHostAddress::LocalHost, port);
    TestEnv::spin(200);

    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);
    QElapsedTimer clock;
    clock.start();
    const auto client = CreateModbusTCP("127.0.0.1", port);
    const qint64 waited = clock.elapsed();
    ::close(fd);
    QVERIFY(!client);
    QVERIFY2(waited >= 1000 && waited < 3000, qPrintable(QString::number(waited)));
    QVERIFY2(ticks >= waited / 10 / 3, qPrintable(QString::number(ticks))); // the thread kept running events
}

void TstModbusLinkLoss::peerThatHangsUpAtOnceIsOneLoss()
{
    // Accepts every connection and closes it 200 ms later: each retry "works" for a moment.
    QTcpServer hangUp;
    QVERIFY(hangUp.listen(QHostAddress::LocalHost, 0));
    connect(&hangUp, &QTcpServer::newConnection, [&hangUp] {
        while (QTcpSocket *socket = hangUp.nextPendingConnection())
            QTimer::singleShot(200, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
    });
    auto client = CreateModbusTCP("127.0.0.1", hangUp.serverPort());
    QVERIFY(client);
    ClientProbe probe;
    probe.attach(*client);
    QVERIFY(client->StartTimerRead(kHoldingRegister16, 0, 1, false));
    TestEnv::spin(7500); // retries after 1, 2 and 4 s
    QCOMPARE(probe.linesContaining(QStringLiteral("连接断开")), 1);
    QCOMPARE(probe.linesContaining(QStringLiteral("连接恢复")), 0);
    QVERIFY2(probe.lines.size() <= 3, qPrintable(probe.lines.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TstModbusLinkLoss)
#include "tst_modbuslinkloss.moc"

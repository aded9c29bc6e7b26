// Poll throughput of the Modbus client library, beside the one-request-per-address way.
//
//   cmake --build build --target bench_modbus plcsim && build/bin/bench_modbus [--seconds S] [--plcsim PATH]
//
// For N = 10, 100 and 1000 timed-read addresses (a quarter coils, the rest 16-bit, 32-bit and float
// holding-register values, scattered with a fixed seed over 4000 coils and 4000 registers) it polls the
// simulator (plcsim, a separate process on loopback) for S seconds (default 3) both ways and prints:
// requests per cycle (counted by the simulator), full refreshes per second, the cycle's own time without
// the 100 ms period, and the CPU time of this process per value read.
#include "IModbusClient.h"
#include "PeerProcess.h"
#include "ReferencePoller.h"
#include "TestEnv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QModbusTcpClient>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Core::nsCMuNiK;

namespace {

constexpr int kPeriodMs = 100;

struct Item {
    MODBUS_ADDR_TYPE kind;
    int addr;
};

QVector<Item> scatter(int n)
{
    QRandomGenerator random(20240601);
    QSet<QPair<int, int>> seen;
    QVector<Item> items;
    const MODBUS_ADDR_TYPE registerKinds[] = { kHoldingRegister16, kHoldingRegister32, kHoldingRegisterFloat32 };
    while (items.size() < n) {
        const bool coil = items.size() < n / 4;
        const MODBUS_ADDR_TYPE kind = coil ? kCoil : registerKinds[random.bounded(3)];
        const int addr = int(random.bounded(coil ? 4000 : 3999));
        if (seen.contains({ kind, addr }))
            continue;
        seen.insert({ kind, addr });
        items.append({ kind, addr });
    }
    return items;
}

struct Figures {
    double requestsPerCycle = 0;
    double refreshPerSecond = 0;
    double cycleMs = 0;
    double cpuUsPerValue = 0;
};

double median(QVector<qint64> v)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return double(v.at(v.size() / 2));
}

// Times every value of our client: cycle k is values k*N .. k*N+N-1.
struct Recorder {
    int n = 0;
    qint64 count = 0;
    QElapsedTimer clock;
    qint64 cycleFirstNs = 0;
    QVector<qint64> spansNs;

    static void onRead(MODBUS_ADDR_TYPE, int, int, float, void *ctx)
    {
        auto *self = static_cast<Recorder *>(ctx);
        const qint64 now = self->clock.nsecsElapsed();
        const qint64 index = self->count++ % self->n;
        if (index == 0)
            self->cycleFirstNs = now;
        if (index == self->n - 1)
            self->spansNs.append(now - self->cycleFirstNs);
    }
};

// Link trouble during a run would spoil its figures: show it.
void printLog(const QStringList &lines, void *)
{
    for (const QString &line : lines)
        if (!line.contains(QStringLiteral("已连接")))
            std::fprintf(stderr, "log: %s\n", qPrintable(line));
}

int requestTotal(PeerProcess &sim)
{
    return requestStats(sim).value(QStringLiteral("total"), -1);
}

// Polls for `seconds` and fills the figures both ways share; valueCount() is the poller's running total.
void measure(Figures &f, PeerProcess &sim, int seconds, int perCycle, const std::function<qint64()> &valueCount)
{
    resetStats(sim);
    const qint64 startValues = valueCount();
    const qint64 cpu0 = TestEnv::processCpuMs();
    QElapsedTimer wall;
    wall.start();
    TestEnv::spin(seconds * 1000);
    const qint64 values = valueCount() - startValues;
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const qint64 cpuMs = TestEnv::processCpuMs() - cpu0;
    const double cycles = double(values) / perCycle;
    f.requestsPerCycle = requestTotal(sim) / cycles;
    f.refreshPerSecond = cycles / elapsed;
    f.cpuUsPerValue = values ? cpuMs * 1000.0 / values : 0;
}

Figures runMerged(PeerProcess &sim, quint16 port, const QVector<Item> &items, int seconds, double roundTripMs)
{
    Figures f;
    auto client = CreateModbusTCP("127.0.0.1", port);
    if (!client)
        return f;
    Recorder rec;
    rec.n = items.size();
    rec.clock.start();
    client->SetReadResultCallback(&Recorder::onRead, &rec);
    client->SetLogCallback(&printLog, nullptr);
    for (const Item &item : items)
        client->StartTimerRead(item.kind, item.addr, 1, false);
    while (rec.count < 2 * rec.n) // two full cycles to settle
        TestEnv::spin(10);
    const int startSpans = rec.spansNs.size();
    measure(f, sim, seconds, rec.n, [&] { return rec.count; });
    f.cycleMs = median(rec.spansNs.mid(startSpans)) / 1e6 + roundTripMs;
    return f;
}

Figures runReference(PeerProcess &sim, quint16 port, const QVector<Item> &items, int seconds)
{
    Figures f;
    QModbusTcpClient client;
    client.setConnectionParameter(QModbusDevice::NetworkAddressParameter, QStringLiteral("127.0.0.1"));
    client.setConnectionParameter(QModbusDevice::NetworkPortParameter, port);
    client.connectDevice();
    for (int i = 0; i < 300 && client.state() != QModbusDevice::ConnectedState; ++i)
        TestEnv::spin(10);
    if (client.state() != QModbusDevice::ConnectedState)
        return f;
    QVector<ReferencePoller::Address> addresses;
    for (const Item &item : items) {
        const bool coil = item.kind == kCoil;
        const int width = item.kind == kHoldingRegister32 || item.kind == kHoldingRegisterFloat32 ? 2 : 1;
        addresses.append({ coil ? QModbusDataUnit::Coils : QModbusDataUnit::HoldingRegisters, item.addr, width });
    }
    ReferencePoller poller(client, addresses, kPeriodMs);
    poller.start();
    while (poller.rounds < 2)
        TestEnv::spin(10);
    const qint64 startRounds = poller.rounds;
    measure(f, sim, seconds, items.size(), [&] { return poller.values; });
    poller.stop();
    f.cycleMs = median(poller.roundUs.mid(int(startRounds))) / 1e3;
    return f;
}

void print(int n, const char *way, const Figures &f)
{
    std::printf("%5d  %-16s %10.1f %11.1f %10.2f %12.1f\n", n, way, f.requestsPerCycle, f.refreshPerSecond, f.cycleMs,
        f.cpuUsPerValue);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int seconds = 3;
    QString plcsim = TestEnv::binProgram(QStringLiteral("plcsim"), QStringLiteral(VELTRO_BIN_DIR));
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--seconds"))
            seconds = qMax(1, args.at(i + 1).toInt());
        else if (args.at(i) == QLatin1String("--plcsim"))
            plcsim = args.at(i + 1);
    }
    if (plcsim.isEmpty()) {
        std::fprintf(stderr, "bench_modbus: plcsim not found; build it or pass --plcsim PATH\n");
        return 1;
    }
    PeerProcess sim;
    const QRegularExpression ready(QStringLiteral("^plcsim listening tcp 127\\.0\\.0\\.1:(\\d+)$"));
    if (!sim.start(plcsim,
            { QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--stats"),
                QStringLiteral("--quiet") },
            ready, 10000)) {
        std::fprintf(stderr, "bench_modbus: plcsim did not start\n%s\n", qPrintable(sim.describe()));
        return 1;
    }
    const quint16 port = quint16(sim.readyMatch().captured(1).toUInt());

    std::printf("Poll period %d ms, %d s per run, plcsim on 127.0.0.1:%u\n", kPeriodMs, seconds, port);
    std::printf("%5s  %-16s %10s %11s %10s %12s\n", "N", "way", "req/cycle", "refresh/s", "cycle ms", "CPU us/value");
    for (int n : { 10, 100, 1000 }) {
        const QVector<Item> items = scatter(n);
        const Figures reference = runReference(sim, port, items, seconds);
        const double roundTripMs = reference.cycleMs / reference.requestsPerCycle;
        const Figures merged = runMerged(sim, port, items, seconds, roundTripMs);
        print(n, "merged", merged);
        print(n, "one-per-address", reference);
        std::printf("%5s  merged needs 1/%.1f of the requests\n", "",
            reference.requestsPerCycle / qMax(0.001, merged.requestsPerCycle));
    }
    std::printf("cycle ms: merged = first to last value of a cycle plus one round trip; "
                "one-per-address = whole round\n");
    sim.closeStdin();
    sim.stop();
    return 0;
}

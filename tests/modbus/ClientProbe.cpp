#include "ClientProbe.h"
#include "TestEnv.h"

#include <QDebug>

void ClientProbe::attach(IModbusClient &client)
{
    client.SetReadResultCallback(&ClientProbe::onRead, this);
    client.SetLogCallback(&ClientProbe::onLog, this);
}

QVector<ReadValue> ClientProbe::valuesOf(int kind, int addr) const
{
    QVector<ReadValue> found;
    for (const ReadValue &v : values)
        if (v.kind == kind && v.addr == addr)
            found.append(v);
    return found;
}

ReadValue ClientProbe::last(int kind, int addr) const
{
    const auto found = valuesOf(kind, addr);
    return found.isEmpty() ? ReadValue {} : found.last();
}

int ClientProbe::linesContaining(const QString &text) const
{
    int n = 0;
    for (const QString &line : lines)
        n += line.contains(text) ? 1 : 0;
    return n;
}

void ClientProbe::clear()
{
    values.clear();
    lines.clear();
}

void ClientProbe::onRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal, void *ctx)
{
    static_cast<ClientProbe *>(ctx)->values.append({ int(t), addr, nVal, fVal });
}

void ClientProbe::onLog(const QStringList &lines, void *ctx)
{
    auto *probe = static_cast<ClientProbe *>(ctx);
    probe->lines << lines;
    if (qEnvironmentVariableIsSet("VELTRO_SHOW_LOG"))
        for (const QString &line : lines)
            qInfo().noquote() << line;
    ++probe->logCalls;
}

bool startTcpServerOn(PeerProcess &server, quint16 port, const QStringList &extra)
{
    const QStringList args = QStringList {
        TestEnv::peerScript(QStringLiteral("pymodbus_server.py")), QStringLiteral("--tcp"), QString::number(port)
    } + extra;
    return server.start(TestEnv::python(), args, QRegularExpression(QStringLiteral("^pymodbus listening")), 15000);
}

bool startTcpServer(PeerProcess &server, quint16 *port, const QStringList &extra)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        *port = TestEnv::freeTcpPort();
        if (*port && startTcpServerOn(server, *port, extra))
            return true;
    }
    return false;
}

bool startRtuServer(PeerProcess &server, const QString &device, const QStringList &extra)
{
    const QStringList args
        = QStringList { TestEnv::peerScript(QStringLiteral("pymodbus_server.py")), QStringLiteral("--rtu"), device }
        + extra;
    return server.start(TestEnv::python(), args, QRegularExpression(QStringLiteral("^pymodbus listening")), 15000);
}

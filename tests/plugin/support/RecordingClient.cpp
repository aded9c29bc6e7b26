#include "RecordingClient.h"

#include <QString>

namespace {

struct State {
    QStringList lines;
    bool accept = true;
    int serial = 0;
    std::weak_ptr<RecordingClient> last;
};

State &state()
{
    static State s;
    return s;
}

QString q(const std::string &s)
{
    return QString::fromStdString(s);
}

std::shared_ptr<IModbusClient> make(const QString &call)
{
    State &s = state();
    if (!s.accept) {
        s.lines << call + QStringLiteral(" -> none");
        return {};
    }
    auto client = std::make_shared<RecordingClient>(++s.serial);
    s.lines << call + QStringLiteral(" -> #%1").arg(client->serial);
    s.last = client;
    return client;
}

} // namespace

std::shared_ptr<IModbusClient> CreateModbusTCP(std::string host, unsigned int port)
{
    return make(QStringLiteral("CreateModbusTCP(%1,%2)").arg(q(host), QString::number(port)));
}

std::shared_ptr<IModbusClient> CreateModbusRTU(
    std::string port, unsigned int baud, int parity, unsigned int dataBits, unsigned int stopBits)
{
    // One-pass arg(): a '%' in the port name must not be taken for a placeholder.
    return make(QStringLiteral("CreateModbusRTU(%1,%2,%3,%4,%5)")
                    .arg(q(port), QString::number(baud), QString::number(parity), QString::number(dataBits),
                        QString::number(stopBits)));
}

RecordingClient::RecordingClient(int serialNumber)
    : serial(serialNumber)
{
}

RecordingClient::~RecordingClient()
{
    state().lines << QStringLiteral("#%1 destroyed").arg(serial);
}

void RecordingClient::Close()
{
    state().lines << QStringLiteral("#%1 Close()").arg(serial);
}

bool RecordingClient::SetReadResultCallback(ReadResultCallback fn, void *ctx)
{
    readFn = fn;
    readCtx = ctx;
    state().lines << QStringLiteral("#%1 SetReadResultCallback").arg(serial);
    return true;
}

bool RecordingClient::SetLogCallback(LogCallback fn, void *ctx)
{
    logFn = fn;
    logCtx = ctx;
    state().lines << QStringLiteral("#%1 SetLogCallback").arg(serial);
    return true;
}

bool RecordingClient::ReadData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb)
{
    state().lines << QStringLiteral("#%1 ReadData(%2,%3,%4)").arg(serial).arg(int(t)).arg(addr).arg(nb);
    return true;
}

bool RecordingClient::StartTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nb, bool flag)
{
    state().lines << QStringLiteral("#%1 StartTimerRead(%2,%3,%4,%5)")
                         .arg(serial)
                         .arg(int(t))
                         .arg(addr)
                         .arg(nb)
                         .arg(flag ? QStringLiteral("true") : QStringLiteral("false"));
    return true;
}

bool RecordingClient::StopTimerRead(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr)
{
    state().lines << QStringLiteral("#%1 StopTimerRead(%2,%3)").arg(serial).arg(int(t)).arg(addr);
    return true;
}

bool RecordingClient::StopAllTimerRead()
{
    state().lines << QStringLiteral("#%1 StopAllTimerRead()").arg(serial);
    return true;
}

bool RecordingClient::WriteData(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, std::shared_ptr<QVariantList> values)
{
    QStringList shown;
    if (values)
        for (const QVariant &v : *values)
            shown << QStringLiteral("%1:%2").arg(QString::fromLatin1(v.typeName()), v.toString());
    state().lines << QStringLiteral("#%1 WriteData(%2,%3,[%4])").arg(serial).arg(int(t)).arg(addr).arg(shown.join(','));
    written.push_back(std::move(values));
    return true;
}

void RecordingClient::reportValue(Core::nsCMuNiK::MODBUS_ADDR_TYPE t, int addr, int nVal, float fVal) const
{
    if (readFn)
        readFn(t, addr, nVal, fVal, readCtx);
}

void RecordingClient::reportLog(const QStringList &lines) const
{
    if (logFn)
        logFn(lines, logCtx);
}

namespace ClientJournal {

QStringList &lines()
{
    return state().lines;
}

void reset()
{
    State &s = state();
    s.lines.clear();
    s.accept = true;
    s.serial = 0;
    s.last.reset();
}

void setAccept(bool accept)
{
    state().accept = accept;
}

std::shared_ptr<RecordingClient> lastClient()
{
    return state().last.lock();
}

QStringList linesStartingWith(const QString &prefix)
{
    QStringList out;
    for (const QString &line : state().lines)
        if (line.startsWith(prefix))
            out << line;
    return out;
}

} // namespace ClientJournal

#include "LinkParams.h"

#include <QRegularExpression>

#include <limits>

std::optional<LinkParams> LinkParams::tcp(const std::string &hostText, unsigned port)
{
    QString host = QString::fromStdString(hostText).trimmed();
    unsigned chosenPort = port;
    static const QRegularExpression withPort(QStringLiteral("^(?:\\[([^\\]]+)\\]|([^:]+)):(\\d{1,5})$"));
    const auto m = withPort.match(host);
    if (m.hasMatch()) {
        host = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
        chosenPort = m.captured(3).toUInt();
    } else if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
    } else if (host.count(QLatin1Char(':')) == 1) {
        return std::nullopt; // "host:" or "host:abc"
    }
    if (host.isEmpty() || chosenPort == 0 || chosenPort > 65535)
        return std::nullopt;
    LinkParams p;
    p.transport = Transport::Tcp;
    p.host = host;
    p.port = quint16(chosenPort);
    return p;
}

std::optional<LinkParams> LinkParams::rtu(
    const std::string &device, unsigned baud, int parity, unsigned dataBits, unsigned stopBits)
{
    LinkParams p;
    p.transport = Transport::Rtu;
    p.device = QString::fromStdString(device).trimmed();
    if (p.device.isEmpty() || baud == 0 || baud > unsigned(std::numeric_limits<int>::max()))
        return std::nullopt;
    p.baud = int(baud);
    static const QSerialPort::Parity parities[] = { QSerialPort::NoParity, QSerialPort::OddParity,
        QSerialPort::EvenParity, QSerialPort::MarkParity, QSerialPort::SpaceParity };
    if (parity < 0 || parity > 4)
        return std::nullopt;
    p.parity = parities[parity];
    if (dataBits < 5 || dataBits > 8)
        return std::nullopt;
    p.dataBits = QSerialPort::DataBits(dataBits);
    if (stopBits != 1 && stopBits != 2)
        return std::nullopt;
    p.stopBits = stopBits == 1 ? QSerialPort::OneStop : QSerialPort::TwoStop;
    return p;
}

QString LinkParams::describe() const
{
    if (transport == Transport::Tcp) {
        const QString shownHost = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
        return QStringLiteral("%1:%2").arg(shownHost).arg(port);
    }
    static const char parityLetters[] = "N?EOSM"; // indexed by QSerialPort::Parity
    const char letter = parity >= 0 && parity < 6 ? parityLetters[parity] : '?';
    return QStringLiteral("%1 %2 %3%4%5")
        .arg(device)
        .arg(baud)
        .arg(int(dataBits))
        .arg(QLatin1Char(letter))
        .arg(stopBits == QSerialPort::TwoStop ? 2 : 1);
}

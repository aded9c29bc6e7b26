#include "SimOptions.h"

#include <QCommandLineParser>

namespace {

bool parseTcpEndpoint(const QString &text, SimOptions &opts)
{
    QString host = QStringLiteral("127.0.0.1");
    QString portText = text;
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        host = text.left(colon);
        portText = text.mid(colon + 1);
        if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
            host = host.mid(1, host.size() - 2);
    }
    bool ok = false;
    const uint port = portText.toUInt(&ok, 10);
    if (!ok || port > 65535) {
        opts.error = QStringLiteral("invalid port in --tcp %1").arg(text);
        return false;
    }
    if (host == QLatin1String("localhost"))
        host = QStringLiteral("127.0.0.1");
    if (!opts.address.setAddress(host)) {
        opts.error = QStringLiteral("invalid address in --tcp %1").arg(text);
        return false;
    }
    opts.port = quint16(port);
    return true;
}

bool parseNonNegative(const QString &text, const QString &option, int &out, QString &error)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < 0) {
        error = QStringLiteral("invalid value for --%1: %2").arg(option, text);
        return false;
    }
    out = value;
    return true;
}

} // namespace

SimOptions SimOptions::parse(const QStringList &arguments)
{
    SimOptions opts;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Modbus server (unit id 1) standing in for a PLC."));
    const QCommandLineOption help(
        QStringList { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help."));
    const QCommandLineOption tcp(QStringLiteral("tcp"), QStringLiteral("Serve Modbus-TCP; PORT 0 picks a free port."),
        QStringLiteral("[ADDR:]PORT"));
    const QCommandLineOption rtu(
        QStringLiteral("rtu"), QStringLiteral("Serve Modbus-RTU on a serial device."), QStringLiteral("DEVICE"));
    const QCommandLineOption baud(
        QStringLiteral("baud"), QStringLiteral("Serial speed (default 115200)."), QStringLiteral("BAUD"));
    const QCommandLineOption seed(
        QStringLiteral("seed"), QStringLiteral("Initial data from a JSON file."), QStringLiteral("FILE"));
    const QCommandLineOption animate(QStringLiteral("animate"), QStringLiteral("Let a few registers change."));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Do not print writes."));
    const QCommandLineOption stats(
        QStringLiteral("stats"), QStringLiteral("Read stats/reset commands from stdin; end of stdin ends."));
    const QCommandLineOption delay(
        QStringLiteral("delay"), QStringLiteral("Answer every request after MS ms."), QStringLiteral("MS"));
    parser.addOptions({ help, tcp, rtu, baud, seed, animate, quiet, stats, delay });

    if (!parser.parse(arguments)) {
        opts.error = parser.errorText();
        return opts;
    }
    if (parser.isSet(help)) {
        opts.helpText = parser.helpText();
        return opts;
    }
    if (!parser.positionalArguments().isEmpty()) {
        opts.error = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().constFirst());
        return opts;
    }
    if (parser.isSet(tcp) == parser.isSet(rtu)) {
        opts.error = QStringLiteral("give exactly one of --tcp [ADDR:]PORT and --rtu DEVICE");
        return opts;
    }
    if (parser.isSet(tcp)) {
        opts.mode = Mode::Tcp;
        if (!parseTcpEndpoint(parser.value(tcp), opts))
            return opts;
    } else {
        opts.mode = Mode::Rtu;
        opts.device = parser.value(rtu);
    }
    if (parser.isSet(baud) && !parseNonNegative(parser.value(baud), QStringLiteral("baud"), opts.baud, opts.error))
        return opts;
    if (parser.isSet(delay)
        && !parseNonNegative(parser.value(delay), QStringLiteral("delay"), opts.delayMs, opts.error))
        return opts;
    opts.seedFile = parser.value(seed);
    opts.animate = parser.isSet(animate);
    opts.quiet = parser.isSet(quiet);
    opts.stats = parser.isSet(stats);
    return opts;
}

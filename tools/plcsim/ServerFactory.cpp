#include "ServerFactory.h"

#include "InstrumentedServer.h"
#include "SeedData.h"
#include "SimOptions.h"

#include <QModbusRtuSerialSlave>
#include <QModbusTcpServer>
#include <QSerialPort>
#include <QTcpServer>

namespace {
constexpr int kUnitId = 1;
constexpr int kTableSize = 65536; // every address a request can name
} // namespace

std::unique_ptr<QModbusServer> ServerFactory::create(const SimOptions &options, RequestHook &hook, QString *error)
{
    std::unique_ptr<QModbusServer> server;
    if (options.mode == SimOptions::Mode::Tcp)
        server = std::make_unique<InstrumentedServer<QModbusTcpServer>>(hook);
    else
        server = std::make_unique<InstrumentedServer<QModbusRtuSerialSlave>>(hook);

    // QModbusTcpServer silently drops requests for any other unit id.
    server->setServerAddress(kUnitId);
    QModbusDataUnitMap map;
    for (auto table : { QModbusDataUnit::Coils, QModbusDataUnit::DiscreteInputs, QModbusDataUnit::HoldingRegisters,
             QModbusDataUnit::InputRegisters })
        map.insert(table, QModbusDataUnit(table, 0, QVector<quint16>(kTableSize, 0)));
    server->setMap(map);

    if (!options.seedFile.isEmpty() && !SeedData::apply(options.seedFile, *server, error))
        return nullptr;
    return server;
}

bool ServerFactory::open(QModbusServer &server, const SimOptions &options, QString *readyLine, QString *error)
{
    if (options.mode == SimOptions::Mode::Tcp) {
        const QString address = options.address.toString();
        server.setConnectionParameter(QModbusDevice::NetworkAddressParameter, address);
        server.setConnectionParameter(QModbusDevice::NetworkPortParameter, options.port);
        if (!server.connectDevice()) {
            *error
                = QStringLiteral("cannot listen on %1:%2: %3").arg(address).arg(options.port).arg(server.errorString());
            return false;
        }
        const auto *listener = server.findChild<QTcpServer *>();
        const quint16 port = listener ? listener->serverPort() : options.port;
        *readyLine = QStringLiteral("plcsim listening tcp %1:%2").arg(address).arg(port);
        return true;
    }
    server.setConnectionParameter(QModbusDevice::SerialPortNameParameter, options.device);
    server.setConnectionParameter(QModbusDevice::SerialBaudRateParameter, options.baud);
    server.setConnectionParameter(QModbusDevice::SerialDataBitsParameter, QSerialPort::Data8);
    server.setConnectionParameter(QModbusDevice::SerialParityParameter, QSerialPort::NoParity);
    server.setConnectionParameter(QModbusDevice::SerialStopBitsParameter, QSerialPort::OneStop);
    if (!server.connectDevice()) {
        *error = QStringLiteral("cannot open serial device %1: %2").arg(options.device, server.errorString());
        return false;
    }
    *readyLine = QStringLiteral("plcsim listening rtu %1").arg(options.device);
    return true;
}

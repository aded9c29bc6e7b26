#include "IModbusClient.h"
#include "LinkParams.h"
#include "ModbusClientImpl.h"

std::shared_ptr<IModbusClient> CreateModbusTCP(std::string host, unsigned int port)
{
    const auto params = LinkParams::tcp(host, port);
    return params ? ModbusClientImpl::open(*params) : nullptr;
}

std::shared_ptr<IModbusClient> CreateModbusRTU(
    std::string port, unsigned int baud, int parity, unsigned int dataBits, unsigned int stopBits)
{
    const auto params = LinkParams::rtu(port, baud, parity, dataBits, stopBits);
    return params ? ModbusClientImpl::open(*params) : nullptr;
}

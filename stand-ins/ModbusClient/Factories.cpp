#include "IModbusClient.h"

std::shared_ptr<IModbusClient> CreateModbusTCP(std::string, unsigned int)
{
    return {};
}

std::shared_ptr<IModbusClient> CreateModbusRTU(std::string, unsigned int, int, unsigned int, unsigned int)
{
    return {};
}

#pragma once

#include <QMetaType>

namespace Core {
namespace nsCMuNiK {

// Values are handed unchanged to the Modbus client library; 1 and 2 are deliberately unused.
enum MODBUS_ADDR_TYPE : int {
    kCoil = 0,
    kHoldingRegister16 = 3,
    kHoldingRegister32 = 4,
    kHoldingRegisterFloat32 = 5,
};

} // namespace nsCMuNiK
} // namespace Core

Q_DECLARE_METATYPE(Core::nsCMuNiK::MODBUS_ADDR_TYPE)

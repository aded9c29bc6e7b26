#pragma once

#include "ModbusAddrType.h"

#include <QString>
#include <QVariant>

#include <array>

class QComboBox;

namespace AddrKind {

using Kind = Core::nsCMuNiK::MODBUS_ADDR_TYPE;

inline constexpr const char *kMetaTypeName = "Core::nsCMuNiK::MODBUS_ADDR_TYPE";
// Also the JSON key under which an address item stores its kind.
inline constexpr const char *kJsonKey = "Core::nsCMuNiK::MODBUS_ADDR_TYPE";

// The kinds offered for choice, in the order they are listed.
inline constexpr std::array<Kind, 4> kOffered {
    Core::nsCMuNiK::kCoil,
    Core::nsCMuNiK::kHoldingRegister16,
    Core::nsCMuNiK::kHoldingRegister32,
    Core::nsCMuNiK::kHoldingRegisterFloat32,
};

int metaTypeId();
// Registers the kind and the value-list type by name so queued connections can carry them.
void registerMetaTypes();

bool isKnown(int kind);
// The enumerator name; kinds without one show their number.
QString displayText(int kind);

void fillComboBox(QComboBox *box);

// A variant of the kind's own type gives its value; anything else is converted, and 0 when that fails.
Kind fromVariant(const QVariant &v);

} // namespace AddrKind

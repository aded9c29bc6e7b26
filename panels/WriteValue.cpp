#include "WriteValue.h"

#include "AddrKind.h"

std::optional<QVariant> writeValue(int kind, const QString &text)
{
    switch (kind) {
    case Core::nsCMuNiK::kHoldingRegisterFloat32:
        return QVariant(text.toFloat());
    case Core::nsCMuNiK::kHoldingRegister32:
        return QVariant(text.toInt(nullptr, 10));
    case Core::nsCMuNiK::kHoldingRegister16:
        return QVariant(int(text.toShort(nullptr, 10)));
    case Core::nsCMuNiK::kCoil:
        return QVariant(text.toInt(nullptr, 10) != 0);
    }
    return std::nullopt;
}

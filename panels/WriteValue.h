#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The one value that a write of this kind sends for the operator's text; empty for a kind not handled.
// Text that does not convert gives 0, 0.0 or false.
std::optional<QVariant> writeValue(int kind, const QString &text);

#pragma once

#include <QString>

class QModbusServer;

// Initial data from a JSON file: {"coils": {"10": 1}, "holding": {"100": 1234}, "int32": {"200": -123456},
// "float32": {"300": 3.14159}}. Nothing is written unless the whole file is valid.
namespace SeedData {

bool apply(const QString &path, QModbusServer &server, QString *error);

} // namespace SeedData

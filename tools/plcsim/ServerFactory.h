#pragma once

#include <QString>

#include <memory>

class QModbusServer;
class RequestHook;
struct SimOptions;

// Builds the server the options ask for with plcsim's data map, unit id 1 and the seed applied.
namespace ServerFactory {

std::unique_ptr<QModbusServer> create(const SimOptions &options, RequestHook &hook, QString *error);

// Opens the transport; on success `readyLine` says where it listens ("plcsim listening tcp 127.0.0.1:PORT").
bool open(QModbusServer &server, const SimOptions &options, QString *readyLine, QString *error);

} // namespace ServerFactory

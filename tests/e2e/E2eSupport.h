#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

class PeerProcess;

// Starting the simulator and writing host configuration files, shared by the end-to-end tests.
namespace E2eSupport {

// Starts plcsim on a free loopback port with --stats (so it ends with the test) and the extra options;
// 0 when it did not come up.
quint16 startPlcsim(PeerProcess &sim, const QStringList &extra = {});
QString demoSeedFile();
// The checked-in demo set-up with its link pointed at 127.0.0.1:port.
QJsonObject demoConfig(quint16 port);
// A host configuration file holding one panel of the plug-in.
QJsonObject hostConfig(const QJsonObject &panel);
QJsonObject tcpLink(quint16 port);
QJsonObject readItem(const QString &name, int addr, int kind, const QString &unit);
QJsonObject writeItem(const QString &name, int addr, int kind);
bool writeJson(const QString &path, const QJsonObject &doc);

} // namespace E2eSupport

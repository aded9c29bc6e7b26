#include "E2eSupport.h"

#include "PeerProcess.h"
#include "TestEnv.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace E2eSupport {

namespace {
const char kKindKey[] = "Core::nsCMuNiK::MODBUS_ADDR_TYPE";
}

quint16 startPlcsim(PeerProcess &sim, const QStringList &extra)
{
    const QRegularExpression ready(QStringLiteral("^plcsim listening tcp 127\\.0\\.0\\.1:(\\d+)$"));
    const QStringList args
        = QStringList { QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--stats") } + extra;
    if (!sim.start(TestEnv::binProgram(QStringLiteral("plcsim"), QStringLiteral(VELTRO_BIN_DIR)), args, ready, 10000))
        return 0;
    return quint16(sim.readyMatch().captured(1).toUInt());
}

QString demoSeedFile()
{
    return QStringLiteral(VELTRO_SOURCE_DIR "/tools/plcsim/demo/seed.json");
}

QJsonObject demoConfig(quint16 port)
{
    QFile file(QStringLiteral(VELTRO_SOURCE_DIR "/tools/plcsim/demo/config.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QJsonObject doc = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray panels = doc.value(QStringLiteral("panels")).toArray();
    for (int i = 0; i < panels.size(); ++i) {
        QJsonObject panel = panels.at(i).toObject();
        panel.insert(QStringLiteral("PLCLinkInfo"), tcpLink(port));
        panels.replace(i, panel);
    }
    doc.insert(QStringLiteral("panels"), panels);
    return doc;
}

QJsonObject hostConfig(const QJsonObject &panel)
{
    QJsonObject withPlugin = panel;
    withPlugin.insert(QStringLiteral("pluginIid"), QStringLiteral("com.orvo.halcyra.VeltroWid"));
    return { { QStringLiteral("panels"), QJsonArray { withPlugin } } };
}

QJsonObject tcpLink(quint16 port)
{
    return { { "type", "Modbus-TCP" }, { "IP", QStringLiteral("127.0.0.1:%1").arg(port) },
        { "Port", QString::number(port) }, { "Device", "1" } };
}

QJsonObject readItem(const QString &name, int addr, int kind, const QString &unit)
{
    return { { "name", name }, { "addr", QString::number(addr) }, { kKindKey, kind }, { "unit", unit } };
}

QJsonObject writeItem(const QString &name, int addr, int kind)
{
    return { { "name", name }, { "addr", QString::number(addr) }, { kKindKey, kind }, { "value", "" } };
}

bool writeJson(const QString &path, const QJsonObject &doc)
{
    QFile file(path);
    const QByteArray text = QJsonDocument(doc).toJson();
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace E2eSupport

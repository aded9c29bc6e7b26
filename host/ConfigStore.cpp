#include "ConfigStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const char kPanelsKey[] = "panels";

QString tr(const char *text)
{
    return QCoreApplication::translate("ConfigStore", text);
}

// Line and column (from 1) of a byte offset, so that the operator finds the fault in an editor.
QString position(const QByteArray &data, int offset)
{
    const QByteArray before = data.left(offset);
    const int line = before.count('\n') + 1;
    const int column = QString::fromUtf8(before.mid(before.lastIndexOf('\n') + 1)).size() + 1;
    return tr("第 %1 行第 %2 列（偏移 %3）").arg(line).arg(column).arg(offset);
}

QString structureProblem(const QJsonDocument &doc)
{
    if (!doc.isObject())
        return tr("顶层不是 JSON 对象");
    const QJsonValue panels = doc.object().value(QLatin1String(kPanelsKey));
    if (panels.isUndefined())
        return {};
    if (!panels.isArray())
        return tr("\"panels\" 不是数组");
    for (const QJsonValue &panel : panels.toArray()) {
        if (!panel.isObject())
            return tr("\"panels\" 中有不是对象的元素");
    }
    return {};
}

} // namespace

ConfigStore::ConfigStore(const QString &path)
    : filePath(path)
{
}

QString ConfigStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1String("/panels.json");
}

bool ConfigStore::load()
{
    document = {};
    lastProblem.clear();
    backup.clear();
    saveBlocked = false;

    QFile file(filePath);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        lastProblem = tr("无法读取配置文件 %1：%2").arg(filePath, file.errorString());
        saveBlocked = true;
        return false;
    }
    const QByteArray data = file.readAll();
    file.close();

    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        setUnusable(tr("不是有效的 JSON：%1，%2").arg(position(data, parseError.offset), parseError.errorString()));
        return false;
    }
    const QString wrongShape = structureProblem(doc);
    if (!wrongShape.isEmpty()) {
        setUnusable(wrongShape);
        return false;
    }
    document = doc.object();
    return true;
}

void ConfigStore::setUnusable(const QString &why)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = filePath + QLatin1String(".bad-") + stamp;
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = filePath + QLatin1String(".bad-") + stamp + QLatin1Char('-') + QString::number(n);

    if (QFile::copy(filePath, candidate)) {
        backup = candidate;
        lastProblem = tr("配置文件 %1 %2。已将其复制为 %3，本次以空配置启动。").arg(filePath, why, backup);
    } else {
        saveBlocked = true;
        lastProblem = tr("配置文件 %1 %2。无法复制该文件，因此本次不会保存配置。").arg(filePath, why);
    }
}

QList<QJsonObject> ConfigStore::panels() const
{
    QList<QJsonObject> result;
    for (const QJsonValue &panel : document.value(QLatin1String(kPanelsKey)).toArray())
        result.append(panel.toObject());
    return result;
}

bool ConfigStore::save(const QList<QJsonObject> &panels)
{
    lastError.clear();
    if (saveBlocked) {
        lastError = tr("未保存：%1 在启动时无法读取或备份，保留原文件。").arg(filePath);
        return false;
    }
    QJsonArray array;
    for (const QJsonObject &panel : panels)
        array.append(panel);
    QJsonObject next = document;
    next.insert(QLatin1String(kPanelsKey), array);

    const QString dir = QFileInfo(filePath).absolutePath();
    if (!QDir().mkpath(dir)) {
        lastError = tr("无法创建文件夹 %1").arg(dir);
        return false;
    }
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        lastError = tr("无法写入 %1：%2").arg(filePath, file.errorString());
        return false;
    }
    // QSaveFile commits a short write (a full disk) as success, so the whole text is checked on its way out.
    const QByteArray text = QJsonDocument(next).toJson(QJsonDocument::Indented);
    if (file.write(text) != text.size() || !file.flush() || file.size() != text.size()) {
        lastError = tr("无法写入 %1：%2").arg(filePath, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        lastError = tr("无法写入 %1：%2").arg(filePath, file.errorString());
        return false;
    }
    document = next;
    return true;
}

#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

// The host's panel configuration file: {"panels": [ {panel 1}, ... ]} plus any other top-level keys,
// which are kept. Saving is atomic; a file that cannot be used is copied aside before anything replaces it.
class ConfigStore {
public:
    explicit ConfigStore(const QString &path);

    static QString defaultPath();

    // False when the file exists but was not usable; problem() then says why and panels() is empty.
    bool load();
    QList<QJsonObject> panels() const;
    QString problem() const { return lastProblem; }
    QString backupPath() const { return backup; }

    // False when the file was left as it was; errorString() says why.
    bool save(const QList<QJsonObject> &panels);
    QString errorString() const { return lastError; }

    QString path() const { return filePath; }

private:
    void setUnusable(const QString &why);

    QString filePath;
    QJsonObject document;
    QString lastProblem;
    QString lastError;
    QString backup;
    // Set when the file could neither be read nor copied aside: saving would destroy the only copy.
    bool saveBlocked = false;
};

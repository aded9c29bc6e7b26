#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class PluginWidget;

// Finds widget plug-ins in a folder through Qt's plug-in loader, as the real host does.
class PluginHost {
public:
    struct Plugin {
        QString file;
        QString iid;
        QString title;
        PluginWidget *root = nullptr;
    };

    // Loads every plug-in file in dir; returns how many were loaded. Files that fail are in errors().
    int loadFolder(const QString &dir);

    const QVector<Plugin> &plugins() const { return loaded; }
    QStringList errors() const { return problems; }

    // The plug-in that answers iid; an empty iid means the first plug-in. Null when there is none.
    const Plugin *find(const QString &iid) const;

private:
    QVector<Plugin> loaded;
    QStringList problems;
};

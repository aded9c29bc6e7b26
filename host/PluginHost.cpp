#include "PluginHost.h"

#include "PluginWidget.h"

#include <QDir>
#include <QLibrary>
#include <QPluginLoader>

int PluginHost::loadFolder(const QString &dir)
{
    const QDir folder(dir);
    if (!folder.exists()) {
        problems.append(QStringLiteral("Plug-in folder %1 does not exist").arg(dir));
        return 0;
    }
    int count = 0;
    const QStringList files = folder.entryList(QDir::Files, QDir::Name);
    for (const QString &name : files) {
        const QString path = folder.absoluteFilePath(name);
        if (!QLibrary::isLibrary(path))
            continue;
        // The loader object may go: the library stays loaded and its root object alive.
        QPluginLoader loader(path);
        QObject *instance = loader.instance();
        if (!instance) {
            problems.append(QStringLiteral("%1: %2").arg(path, loader.errorString()));
            continue;
        }
        auto *root = qobject_cast<PluginWidget *>(instance);
        if (!root) {
            problems.append(
                QStringLiteral("%1: not a widget plug-in (%2)").arg(path, QStringLiteral(PluginWidget_iid)));
            continue;
        }
        const QString iid = root->pluginIid();
        if (find(iid) && !iid.isEmpty()) {
            problems.append(QStringLiteral("%1: %2 is already loaded").arg(path, iid));
            continue;
        }
        loaded.append({ path, iid, root->pluginTitle(), root });
        ++count;
    }
    return count;
}

const PluginHost::Plugin *PluginHost::find(const QString &iid) const
{
    for (const Plugin &plugin : loaded) {
        if (iid.isEmpty() || plugin.iid == iid)
            return &plugin;
    }
    return nullptr;
}

#pragma once

#include <QDir>
#include <QLibrary>
#include <QString>

// The built plug-in in the build's plug-in folder, found the way a host scanning that folder would.
inline QString veltroPluginFile()
{
    const QDir dir(QStringLiteral(VELTRO_PLUGIN_DIR));
    for (const QFileInfo &file : dir.entryInfoList(QDir::Files))
        if (QLibrary::isLibrary(file.fileName()) && file.fileName().contains(QLatin1String("VeltroWid")))
            return file.absoluteFilePath();
    return QString();
}

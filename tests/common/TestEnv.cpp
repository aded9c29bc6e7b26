#include "TestEnv.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>

#include <sys/resource.h>

namespace TestEnv {

quint16 freeTcpPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

QString python()
{
    const QString fromEnv = qEnvironmentVariable("VELTRO_PYTHON");
    return fromEnv.isEmpty() ? QStringLiteral("/usr/bin/python3") : fromEnv;
}

QString peerScript(const QString &name)
{
    return QDir(QStringLiteral(VELTRO_TEST_SOURCE_DIR "/tests/peers")).absoluteFilePath(name);
}

QString binProgram(const QString &name, const QString &binDir)
{
    const QFileInfo info(QDir(binDir).absoluteFilePath(name));
    return info.isExecutable() ? info.absoluteFilePath() : QString();
}

qint64 processCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &tv) { return qint64(tv.tv_sec) * 1000 + tv.tv_usec / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace TestEnv

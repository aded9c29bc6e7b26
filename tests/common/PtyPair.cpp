#include "PtyPair.h"
#include "TestEnv.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

PtyPair::PtyPair() = default;

PtyPair::~PtyPair()
{
    kill();
}

QString PtyPair::endA() const
{
    return m_dir.filePath(QStringLiteral("ttyA"));
}

QString PtyPair::endB() const
{
    return m_dir.filePath(QStringLiteral("ttyB"));
}

bool PtyPair::isRunning() const
{
    return m_socat.state() != QProcess::NotRunning;
}

bool PtyPair::start(int timeoutMs)
{
    kill();
    const auto end = [](const QString &path) { return QStringLiteral("pty,raw,echo=0,link=") + path; };
    m_socat.start(QStringLiteral("socat"), { end(endA()), end(endB()) });
    if (!m_socat.waitForStarted(3000))
        return false;
    QDeadlineTimer deadline(timeoutMs);
    while (!(QFileInfo::exists(endA()) && QFileInfo::exists(endB()))) {
        if (deadline.hasExpired() || m_socat.state() == QProcess::NotRunning)
            return false;
        TestEnv::spin(10);
    }
    return true;
}

void PtyPair::kill()
{
    if (m_socat.state() != QProcess::NotRunning) {
        m_socat.kill();
        m_socat.waitForFinished(3000);
    }
    QFile::remove(endA());
    QFile::remove(endB());
}

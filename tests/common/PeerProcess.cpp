#include "PeerProcess.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

PeerProcess::PeerProcess(QObject *parent)
    : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &PeerProcess::readOutput);
    connect(
        &m_process, &QProcess::readyReadStandardError, this, [this] { m_stderr += m_process.readAllStandardError(); });
}

PeerProcess::~PeerProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool PeerProcess::start(const QString &program, const QStringList &args, const QRegularExpression &ready, int timeoutMs)
{
    m_program = program;
    m_args = args;
    m_partial.clear();
    m_unread.clear();
    m_all.clear();
    m_stderr.clear();
    m_process.start(program, args);
    if (!m_process.waitForStarted(5000))
        return false;
    m_ready = waitForLine(ready, timeoutMs);
    return m_ready.hasMatch();
}

void PeerProcess::readOutput()
{
    m_partial += m_process.readAllStandardOutput();
    int newline;
    while ((newline = m_partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_partial.left(newline)).trimmed();
        m_partial.remove(0, newline + 1);
        m_unread << line;
        m_all << line;
    }
}

bool PeerProcess::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) {
            readOutput();
            return done();
        }
        QEventLoop loop;
        QTimer tick;
        tick.setSingleShot(true);
        connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(&m_process, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
        connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
        tick.start(int(qMin<qint64>(50, qMax<qint64>(1, deadline.remainingTime()))));
        loop.exec();
    }
    return true;
}

QRegularExpressionMatch PeerProcess::waitForLine(const QRegularExpression &re, int timeoutMs)
{
    QRegularExpressionMatch found;
    waitUntil(
        [&] {
            while (!m_unread.isEmpty()) {
                const QString line = m_unread.takeFirst();
                auto m = re.match(line);
                if (m.hasMatch()) {
                    found = m;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

QStringList PeerProcess::takeLines(int settleMs)
{
    if (settleMs > 0)
        waitUntil([] { return false; }, settleMs);
    readOutput();
    QStringList lines;
    lines.swap(m_unread);
    return lines;
}

void PeerProcess::sendLine(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
}

void PeerProcess::closeStdin()
{
    m_process.closeWriteChannel();
}

bool PeerProcess::stop(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    m_process.terminate();
    if (!waitUntil([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs))
        kill();
    return m_process.state() == QProcess::NotRunning;
}

void PeerProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
}

bool PeerProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

qint64 PeerProcess::pid() const
{
    return m_process.processId();
}

QString PeerProcess::describe() const
{
    return QStringLiteral("%1 %2\nstderr: %3")
        .arg(m_program, m_args.join(QLatin1Char(' ')), QString::fromUtf8(m_stderr.right(2000)));
}

QHash<QString, int> requestStats(PeerProcess &peer, int timeoutMs)
{
    QHash<QString, int> counters;
    peer.sendLine(QStringLiteral("stats"));
    const auto m = peer.waitForLine(QRegularExpression(QStringLiteral("^stats\\s.*$")), timeoutMs);
    if (!m.hasMatch())
        return counters;
    const QStringList fields = m.captured(0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &field : fields) {
        const int eq = field.indexOf(QLatin1Char('='));
        if (eq > 0)
            counters.insert(field.left(eq), field.mid(eq + 1).toInt());
    }
    return counters;
}

bool resetStats(PeerProcess &peer, int timeoutMs)
{
    peer.sendLine(QStringLiteral("reset"));
    return peer.waitForLine(QRegularExpression(QStringLiteral("^reset$")), timeoutMs).hasMatch();
}

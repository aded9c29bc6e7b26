#include "StdinCommands.h"

#include <cerrno>
#include <unistd.h>

StdinCommands::StdinCommands(QObject *parent)
    : QObject(parent)
    , m_notifier(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &StdinCommands::readAvailable);
}

void StdinCommands::readAvailable()
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        m_notifier.setEnabled(false);
        emit inputEnded();
        return;
    }
    m_pending.append(buffer, int(n));
    int newline;
    while ((newline = m_pending.indexOf('\n')) >= 0) {
        const QString command = QString::fromUtf8(m_pending.left(newline)).trimmed();
        m_pending.remove(0, newline + 1);
        if (!command.isEmpty())
            emit commandReceived(command);
    }
}

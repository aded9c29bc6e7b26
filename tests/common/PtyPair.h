#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Two linked pseudo-terminals made by socat: a serial line without hardware. A server opens one end,
// the client under test the other, both by full path. kill() makes the line vanish the way a pulled
// USB adapter does; start() again brings it back at the same paths.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    // Starts socat and waits until both ends exist; false on timeout.
    bool start(int timeoutMs = 5000);
    // SIGKILL, then removes the leftover links.
    void kill();
    bool isRunning() const;
    QString endA() const;
    QString endB() const;

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
};

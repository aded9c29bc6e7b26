#pragma once

#include <QHash>
#include <QObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// A peer program (a Modbus server, the simulator, ...) that a test drives through stdin and stdout,
// line by line. Every wait spins the caller's event loop and is bounded. The destructor kills the
// process, so no peer outlives its test.
//
//   PeerProcess server;
//   QVERIFY2(server.start(TestEnv::python(), {script, "--tcp", QString::number(port)},
//                         QRegularExpression("listening"), 10000), qPrintable(server.describe()));
//   auto m = server.waitForLine(QRegularExpression("^write fc=(\\d+) addr=(\\d+)"), 3000);
//   QVERIFY(m.hasMatch());
class PeerProcess : public QObject {
    Q_OBJECT
public:
    explicit PeerProcess(QObject *parent = nullptr);
    ~PeerProcess() override;

    // Starts the program and waits until one of its stdout lines matches ready. False if it does not
    // start, exits, or stays silent for timeoutMs. Lines before the ready line are consumed.
    bool start(const QString &program, const QStringList &args, const QRegularExpression &ready, int timeoutMs = 10000);
    QRegularExpressionMatch readyMatch() const { return m_ready; }

    // Waits for the next unconsumed stdout line that matches; consumes it and every line before it.
    // An empty match (hasMatch() false) on timeout or exit.
    QRegularExpressionMatch waitForLine(const QRegularExpression &re, int timeoutMs);
    // Unconsumed stdout lines, in order, after letting pending output arrive for settleMs.
    QStringList takeLines(int settleMs = 0);
    // Every stdout line seen since start, consumed or not.
    QStringList allLines() const { return m_all; }

    void sendLine(const QString &line);
    void closeStdin();
    // SIGTERM, then SIGKILL after timeoutMs; true when the process has ended.
    bool stop(int timeoutMs = 3000);
    // SIGKILL and wait for the end: the peer vanishes without a goodbye.
    void kill();
    bool isRunning() const;
    qint64 pid() const;
    // Program, arguments and the tail of stderr: for failure messages.
    QString describe() const;

private:
    void readOutput();
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);

    QProcess m_process;
    QString m_program;
    QStringList m_args;
    QByteArray m_partial;
    QStringList m_unread;
    QStringList m_all;
    QByteArray m_stderr;
    QRegularExpressionMatch m_ready;
};

// Sends "stats" to a peer that speaks the "stats fc01=N ... total=N" protocol (pymodbus_server.py,
// plcsim --stats) and returns the counters by name ("fc03", "total", ...); empty on timeout.
QHash<QString, int> requestStats(PeerProcess &peer, int timeoutMs = 3000);
// Sends "reset" and waits for its acknowledgement.
bool resetStats(PeerProcess &peer, int timeoutMs = 3000);

#include "PeerProcess.h"
#include "PtyPair.h"

#include <QStandardPaths>
#include <QtTest>

// The serial side checked by an independent client (mbpoll) over a socat pty pair.
class TestPlcsimRtu : public QObject {
    Q_OBJECT
private slots:
    void servesAndTakesWritesOverRtu()
    {
        const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
        if (mbpoll.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty())
            QSKIP("mbpoll and socat are needed (scripts/deps.sh installs them)");
        PtyPair line;
        QVERIFY(line.start());

        QTemporaryDir dir;
        const QString seed = dir.filePath(QStringLiteral("seed.json"));
        QFile file(seed);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"int32": {"200": -123456}, "float32": {"300": 3.14159}})");
        file.close();

        PeerProcess sim;
        QVERIFY2(sim.start(QStringLiteral(VELTRO_BIN_DIR "/plcsim"), { "--rtu", line.endA(), "--seed", seed },
                     QRegularExpression(
                         QStringLiteral("^plcsim listening rtu ") + QRegularExpression::escape(line.endA()) + '$'),
                     5000),
            qPrintable(sim.describe()));

        const QStringList serial { "-m", "rtu", "-b", "115200", "-P", "none", "-d", "8", "-s", "1", "-a", "1", "-0",
            "-1" };
        QCOMPARE(runMbpoll(mbpoll, serial + QStringList { "-t", "4:int", "-r", "200", "-c", "1", line.endB() }),
            QStringLiteral("[200]: \t-123456"));
        QCOMPARE(runMbpoll(mbpoll, serial + QStringList { "-t", "4:float", "-r", "300", "-c", "1", line.endB() }),
            QStringLiteral("[300]: \t3.14159"));
        runMbpoll(mbpoll, serial + QStringList { "-t", "4", "-r", "40", line.endB(), "77", "78" });
        QCOMPARE(sim.waitForLine(QRegularExpression(QStringLiteral("^write .*$")), 3000).captured(0),
            QStringLiteral("write fc=16 addr=40 count=2 values=77,78"));
    }

private:
    // The value line of mbpoll's answer (its last line that starts with "["), or its whole output on failure.
    QString runMbpoll(const QString &mbpoll, const QStringList &args)
    {
        QProcess client;
        client.start(mbpoll, args);
        if (!client.waitForFinished(10000)) {
            client.kill();
            client.waitForFinished();
            return QStringLiteral("mbpoll timed out");
        }
        const QString out = QString::fromUtf8(client.readAllStandardOutput() + client.readAllStandardError());
        const QStringList values = out.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^\\[")));
        return client.exitCode() == 0 && !values.isEmpty() ? values.constLast().trimmed() : out;
    }
};

QTEST_GUILESS_MAIN(TestPlcsimRtu)
#include "tst_plcsim_rtu.moc"

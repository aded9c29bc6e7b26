#include "TestEnv.h"

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

// Every refusal is one readable line on stderr, nothing on stdout (no ready line a waiter could mistake)
// and exit code 1, so scripts and tests fail fast instead of waiting for a server that is not there.
class TestPlcsimErrors : public QObject {
    Q_OBJECT
private slots:
    void refusesWithOneLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        QVERIFY(m_dir.isValid());
        QVERIFY(m_busy.listen(QHostAddress::LocalHost, 0));
        const QString busy = QStringLiteral("127.0.0.1:%1").arg(m_busy.serverPort());

        QTest::newRow("port in use") << QStringList { "--tcp", busy } << "cannot listen on " + busy;
        QTest::newRow("serial device missing")
            << QStringList { "--rtu", m_dir.filePath("no-such-tty") } << "cannot open serial device";
        QTest::newRow("seed file missing")
            << QStringList { "--tcp", "0", "--seed", m_dir.filePath("none.json") } << "cannot read seed file";
        QTest::newRow("seed not JSON") << QStringList { "--tcp", "0", "--seed", seedFile("bad", "{\"coils\": ") }
                                       << "is not a JSON object";
        QTest::newRow("seed section unknown")
            << QStringList { "--tcp", "0", "--seed", seedFile("section", R"({"inputs": {"1": 1}})") } << "\"inputs\"";
        QTest::newRow("seed address not a number")
            << QStringList { "--tcp", "0", "--seed", seedFile("addr", R"({"holding": {"x": 1}})") }
            << "bad holding entry \"x\"";
        QTest::newRow("seed 16-bit value too large")
            << QStringList { "--tcp", "0", "--seed", seedFile("big", R"({"holding": {"1": 65536}})") }
            << "bad holding entry \"1\"";
        QTest::newRow("seed 32-bit value past the last register") << QStringList { "--tcp", "0", "--seed",
            seedFile("end", R"({"int32": {"65535": 1}})") } << "bad int32 entry \"65535\"";
        QTest::newRow("seed fraction in an integer")
            << QStringList { "--tcp", "0", "--seed", seedFile("frac", R"({"int32": {"2": 1.5}})") }
            << "bad int32 entry \"2\"";
        QTest::newRow("no transport") << QStringList {} << "exactly one of --tcp";
        QTest::newRow("both transports") << QStringList { "--tcp", "0", "--rtu", "/dev/null" }
                                         << "exactly one of --tcp";
        QTest::newRow("port out of range") << QStringList { "--tcp", "70000" } << "invalid port";
        QTest::newRow("negative delay") << QStringList { "--tcp", "0", "--delay", "-5" } << "invalid value for --delay";
    }

    void refusesWithOneLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        QProcess sim;
        sim.start(TestEnv::binProgram(QStringLiteral("plcsim"), QStringLiteral(VELTRO_BIN_DIR)), args);
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 1);
        QCOMPARE(sim.readAllStandardOutput(), QByteArray());
        const QString err = QString::fromUtf8(sim.readAllStandardError());
        QCOMPARE(err.count(QLatin1Char('\n')), 1);
        QVERIFY2(err.startsWith(QLatin1String("plcsim: ")) && err.contains(says), qPrintable(err));
    }

private:
    QString seedFile(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name + QStringLiteral(".json"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    QTemporaryDir m_dir;
    QTcpServer m_busy;
};

QTEST_GUILESS_MAIN(TestPlcsimErrors)
#include "tst_plcsim_errors.moc"

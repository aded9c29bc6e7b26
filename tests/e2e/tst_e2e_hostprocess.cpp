#include "E2eSupport.h"
#include "PeerProcess.h"
#include "TestEnv.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace E2eSupport;

// The built host, headless, as scripts/demo.sh runs it: a configuration file in, the values it shows out.
class TestE2eHostProcess : public QObject {
    Q_OBJECT

    struct Run {
        int exitCode = -1;
        QStringList lines;
        QString err;
    };

    Run runHost(const QJsonObject &config)
    {
        const QString path = m_dir.filePath(QStringLiteral("panels.json"));
        Run run;
        if (!writeJson(path, config))
            return run;
        QProcess host;
        host.start(QStringLiteral(VELTRO_BIN_DIR "/halcyra-host"),
            { "--config", path, "--plugins", VELTRO_PLUGIN_DIR, "--quit-after", "3000", "--print-values" });
        if (!host.waitForFinished(60000)) {
            host.kill();
            host.waitForFinished(5000);
            return run;
        }
        run.exitCode = host.exitStatus() == QProcess::NormalExit ? host.exitCode() : -2;
        run.lines = QString::fromUtf8(host.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        run.err = QString::fromUtf8(host.readAllStandardError());
        return run;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void demoSetUpShowsEveryValueFromPlcsim()
    {
        PeerProcess sim;
        const quint16 port = startPlcsim(sim, { "--animate", "--seed", demoSeedFile() });
        QVERIFY2(port, qPrintable(sim.describe()));

        const Run run = runHost(demoConfig(port));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QStringList expected {
            "^心跳 = [01]$",
            "^运行 = 1$",
            "^产量 = (1\\d\\d) 件$", // the seeded 100 counting up once a second
            "^温度 = -?\\d{1,3}\\.\\d\\d °C$", // the sine, two decimals
            "^速度 = 1234 mm/s$",
            "^偏差 = -42 mm$",
            "^位置 = -123456 μm$",
            "^角度 = 3.14 rad$",
            "^压力 = 0.85 MPa$",
        };
        QCOMPARE(run.lines.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(QRegularExpression(expected[i]).match(run.lines[i]).hasMatch(), qPrintable(run.lines[i]));
        // The timed reads kept going, so the counter had moved on when the host quit.
        QVERIFY(QRegularExpression(expected[2]).match(run.lines[2]).captured(1).toInt() > 100);
        QVERIFY(requestStats(sim).value(QStringLiteral("total")) > 9);
    }

    void showsEveryKindFromPymodbus()
    {
        const quint16 port = TestEnv::freeTcpPort();
        QVERIFY(port);
        const float pi = 3.14159f;
        quint32 piBits = 0;
        std::memcpy(&piBits, &pi, sizeof piBits);
        // 32-bit values low word first, as the simulator and the panel's client keep them.
        const QString presets = QStringLiteral("10:1234,65494,7616,65534,%1,%2").arg(piBits & 0xFFFF).arg(piBits >> 16);
        PeerProcess server;
        QVERIFY2(server.start(TestEnv::python(),
                     { TestEnv::peerScript("pymodbus_server.py"), "--tcp", QString::number(port), "--set-hr", presets,
                         "--set-coil", "3:1" },
                     QRegularExpression("^pymodbus listening"), 15000),
            qPrintable(server.describe()));

        const QJsonObject panel {
            { "PLCLinkInfo", tcpLink(port) },
            { "ReadAddrList",
                QJsonArray { readItem("开", 3, 0, ""), readItem("关", 4, 0, ""), readItem("速度", 10, 3, "mm/s"),
                    readItem("偏差", 11, 3, "mm"), readItem("位置", 12, 4, "μm"), readItem("角度", 14, 5, "rad"),
                    readItem("空", 500, 4, "件") } },
        };
        const Run run = runHost(hostConfig(panel));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.lines,
            (QStringList { "开 = 1", "关 = 0", "速度 = 1234 mm/s", "偏差 = -42 mm", "位置 = -123456 μm",
                "角度 = 3.14 rad", "空 = 0 件" }));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestE2eHostProcess)
#include "tst_e2e_hostprocess.moc"

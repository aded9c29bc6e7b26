#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The built host as a person or a script runs it: headless, with a bounded run time.
class TestHostProcess : public QObject {
    Q_OBJECT

    struct Run {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    Run runHost(QStringList arguments, const QString &pluginDir = QStringLiteral(VELTRO_PLUGIN_DIR))
    {
        arguments << QStringLiteral("--plugins") << pluginDir;
        if (!arguments.contains(QStringLiteral("--config")))
            arguments << QStringLiteral("--config") << configPath;
        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        host.setProcessEnvironment(env);
        host.start(QStringLiteral(VELTRO_BIN_DIR "/halcyra-host"), arguments);
        Run run;
        if (!host.waitForFinished(60000)) {
            host.kill();
            host.waitForFinished(5000);
            return run;
        }
        run.exitCode = host.exitStatus() == QProcess::NormalExit ? host.exitCode() : -2;
        run.out = host.readAllStandardOutput();
        run.err = host.readAllStandardError();
        return run;
    }

    QByteArray readConfig() const
    {
        QFile file(configPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeConfig(const QByteArray &data) const
    {
        QFile file(configPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    static QJsonObject readItem(const char *name, const char *addr, int kind, const char *unit)
    {
        return { { "name", name }, { "addr", addr }, { "Core::nsCMuNiK::MODBUS_ADDR_TYPE", kind }, { "unit", unit } };
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        configPath = dir->filePath(QStringLiteral("panels.json"));
    }

    void screenshotShowsTheWindow()
    {
        const QString shot = dir->filePath(QStringLiteral("shot.png"));
        const Run run = runHost({ "--screenshot", shot, "--screenshot-delay", "200" });
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QImage image;
        QVERIFY(image.load(shot, "PNG"));
        QVERIFY(image.width() >= 800 && image.height() >= 600);
        // A blank grab would be one colour; the panel has buttons, a table and a log.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 10);
        QVERIFY(QFile::exists(configPath));
    }

    void configSurvivesRestartsAndKeepsOtherKeys()
    {
        QJsonObject panel { { "ReadAddrList", QJsonArray { readItem("速度", "100", 3, "mm/s") } },
            { "WriteAddrList",
                QJsonArray { QJsonObject { { "name", "启动" }, { "addr", "8" },
                    { "Core::nsCMuNiK::MODBUS_ADDR_TYPE", 0 }, { "value", "1" } } } },
            { "PLCLinkInfo",
                QJsonObject { { "type", "Modbus-TCP" }, { "IP", "127.0.0.1" }, { "Port", "1" }, { "Device", "1" } } },
            { "layout", "left" } };
        QJsonObject second { { "ReadAddrList", QJsonArray { readItem("压力", "7", 4, "kPa") } } };
        writeConfig(
            QJsonDocument(QJsonObject { { "panels", QJsonArray { panel, second } }, { "version", 3 } }).toJson());

        const Run first = runHost({ "--quit-after", "300", "--print-values" });
        QVERIFY2(first.exitCode == 0, first.err.constData());
        QCOMPARE(QString::fromUtf8(first.out).split('\n', Qt::SkipEmptyParts),
            (QStringList { QStringLiteral("速度 =  mm/s"), QStringLiteral("压力 =  kPa") }));
        const QByteArray afterFirst = readConfig();
        const QJsonObject doc = QJsonDocument::fromJson(afterFirst).object();
        QCOMPARE(doc.value("version"), QJsonValue(3));
        const QJsonArray panels = doc.value("panels").toArray();
        QCOMPARE(panels.size(), 2);
        const QJsonObject saved = panels.at(0).toObject();
        for (const char *key : { "ReadAddrList", "WriteAddrList", "PLCLinkInfo", "layout" })
            QVERIFY2(saved.value(key) == panel.value(key), key);
        QCOMPARE(panels.at(1).toObject().value("ReadAddrList"), second.value("ReadAddrList"));

        const Run again = runHost({ "--quit-after", "300" });
        QVERIFY2(again.exitCode == 0, again.err.constData());
        QCOMPARE(readConfig(), afterFirst);
    }

    void brokenConfigIsReportedCopiedAndReplaced()
    {
        const QByteArray broken = "{\"panels\": [ {\"ReadAddrList\": [}] }";
        writeConfig(broken);
        const Run run = runHost({ "--quit-after", "200" });
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QString err = QString::fromUtf8(run.err);
        QVERIFY2(err.contains(QStringLiteral("偏移 32")) && err.contains(configPath), run.err.constData());

        const QStringList copies = QDir(dir->path()).entryList({ QStringLiteral("panels.json.bad-*") });
        QCOMPARE(copies.size(), 1);
        QVERIFY(err.contains(copies.constFirst()));
        QFile copy(dir->filePath(copies.constFirst()));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), broken);
        // The run started empty, with one fresh panel, and saved that.
        const QJsonArray panels = QJsonDocument::fromJson(readConfig()).object().value("panels").toArray();
        QCOMPARE(panels.size(), 1);
        QCOMPARE(panels.at(0).toObject().value("ReadAddrList"), QJsonValue(QJsonArray()));
    }

    void withoutPluginsStoredPanelsStayAndTheRunSaysSo()
    {
        const QByteArray stored
            = QJsonDocument(QJsonObject { { "panels", QJsonArray { QJsonObject { { "x", 1 } } } } }).toJson();
        writeConfig(stored);
        const Run run = runHost({ "--quit-after", "100" }, dir->filePath(QStringLiteral("no-plugins")));
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.err.contains("no-plugins"));
        QCOMPARE(QJsonDocument::fromJson(readConfig()), QJsonDocument::fromJson(stored));
    }

    void badOptionsStopBeforeAnything_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown account") << QStringList { "--account", "root" };
        QTest::newRow("negative delay") << QStringList { "--quit-after", "-5" };
        QTest::newRow("unknown option") << QStringList { "--frobnicate" };
    }
    void badOptionsStopBeforeAnything()
    {
        QFETCH(QStringList, arguments);
        const Run run = runHost(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(!run.err.isEmpty());
        QVERIFY(!QFile::exists(configPath));
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString configPath;
};

QTEST_GUILESS_MAIN(TestHostProcess)
#include "tst_hostprocess.moc"

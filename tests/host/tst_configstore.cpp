#include "ConfigStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QStringList backups(const QString &dir)
{
    return QDir(dir).entryList({ QStringLiteral("panels.json.bad-*") }, QDir::Files);
}

// Lets every write past `bytes` fail with EFBIG, as a full disk or a crash mid-write would leave it.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit saved {};
    void (*previousHandler)(int) = nullptr;
};

} // namespace

class TestConfigStore : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        path = dir.filePath(QStringLiteral("panels.json"));
    }
    void cleanup()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }

    void missingFileStartsEmpty()
    {
        ConfigStore store(path);
        QVERIFY(store.load());
        QVERIFY(store.panels().isEmpty());
        QVERIFY(store.problem().isEmpty());
        QVERIFY(!QFile::exists(path));
    }

    void savesCreateFolderAndRoundTripKeepingOtherKeys()
    {
        path = dir.filePath(QStringLiteral("deeper/still/panels.json"));
        writeAll(dir.filePath(QStringLiteral("unused")), "");
        const QList<QJsonObject> panels { { { "PLCLinkInfo", QJsonObject { { "type", "Modbus-RTU" } } } },
            { { "ReadAddrList", QJsonArray { QJsonObject { { "name", "速度" } } } }, { "mine", 7 } } };
        {
            ConfigStore store(path);
            QVERIFY(store.load());
            QVERIFY2(store.save(panels), qPrintable(store.errorString()));
        }
        // A key that someone else put beside "panels" survives the next save.
        QJsonObject doc = QJsonDocument::fromJson(readAll(path)).object();
        doc.insert(QStringLiteral("window"), QJsonObject { { "width", 800 } });
        writeAll(path, QJsonDocument(doc).toJson());

        ConfigStore store(path);
        QVERIFY(store.load());
        QCOMPARE(store.panels(), panels);
        QVERIFY(store.save(store.panels()));
        QCOMPARE(QJsonDocument::fromJson(readAll(path)).object(), doc);
    }

    void unusableFileIsCopiedAsideAndReported_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("mentions");

        QTest::newRow("truncated") << QByteArray("{\"panels\": [ {\"a\": 1}\n,")
                                   << "第 2 行第 2 列（偏移 23），unterminated array";
        QTest::newRow("trailing comma on line 3") << QByteArray("{\n\"panels\": [],\n}") << "第 3 行";
        QTest::newRow("empty file") << QByteArray() << "偏移 0";
        QTest::newRow("array at top") << QByteArray("[1, 2]") << "顶层不是 JSON 对象";
        QTest::newRow("panels is an object") << QByteArray("{\"panels\": {}}") << "\"panels\" 不是数组";
        QTest::newRow("panel is a number") << QByteArray("{\"panels\": [{}, 3]}") << "不是对象的元素";
    }
    void unusableFileIsCopiedAsideAndReported()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, mentions);
        writeAll(path, content);

        ConfigStore store(path);
        QVERIFY(!store.load());
        QVERIFY2(store.problem().contains(mentions), qPrintable(store.problem()));
        QVERIFY(store.problem().contains(path));
        QVERIFY(store.panels().isEmpty());
        QCOMPARE(backups(dir.path()).size(), 1);
        QCOMPARE(store.backupPath(), dir.filePath(backups(dir.path()).constFirst()));
        QVERIFY(store.problem().contains(store.backupPath()));
        QCOMPARE(readAll(store.backupPath()), content);
        QCOMPARE(readAll(path), content);

        // The empty start may be saved: the broken original lives on in the copy.
        QVERIFY(store.save({ QJsonObject { { "x", 1 } } }));
        QCOMPARE(readAll(store.backupPath()), content);
    }

    void secondBrokenLoadKeepsTheFirstCopy()
    {
        writeAll(path, "not json");
        ConfigStore first(path);
        QVERIFY(!first.load());
        ConfigStore second(path);
        QVERIFY(!second.load());
        QVERIFY(first.backupPath() != second.backupPath());
        QCOMPARE(backups(dir.path()).size(), 2);
    }

    void failedWriteLeavesPreviousFile_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("fits the write buffer") << 20;
        QTest::newRow("larger than the write buffer") << 2000;
    }
    void failedWriteLeavesPreviousFile()
    {
        QFETCH(int, rows);
        const QList<QJsonObject> before { { { "name", "old" } } };
        ConfigStore store(path);
        QVERIFY(store.save(before));
        const QByteArray previous = readAll(path);

        QJsonArray big;
        for (int i = 0; i < rows; ++i)
            big.append(QStringLiteral("row %1 with enough text to pass the limit").arg(i));
        bool saved = true;
        {
            FileSizeLimit limit(512);
            saved = store.save({ { { "ReadAddrList", big } } });
        }
        QVERIFY(!saved);
        QVERIFY(!store.errorString().isEmpty());
        QCOMPARE(readAll(path), previous);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("panels.json") });

        ConfigStore reread(path);
        QVERIFY(reread.load());
        QCOMPARE(reread.panels(), before);
    }

    void folderThatCannotExistFailsCleanly()
    {
        writeAll(dir.filePath(QStringLiteral("file")), "x");
        ConfigStore store(dir.filePath(QStringLiteral("file/panels.json")));
        QVERIFY(store.load());
        QVERIFY(!store.save({}));
        QVERIFY(store.errorString().contains(dir.filePath(QStringLiteral("file"))));
    }

    void unreadablePathIsNeverSavedOver()
    {
        QVERIFY(QDir().mkpath(path));
        writeAll(path + QStringLiteral("/inside"), "keep");
        ConfigStore store(path);
        QVERIFY(!store.load());
        QVERIFY(store.problem().contains(path));
        QVERIFY(!store.save({}));
        QCOMPARE(readAll(path + QStringLiteral("/inside")), QByteArray("keep"));
    }

private:
    QTemporaryDir dir;
    QString path;
};

QTEST_GUILESS_MAIN(TestConfigStore)
#include "tst_configstore.moc"

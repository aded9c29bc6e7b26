// Restores of damaged documents. Each restore is checked against what the document says, worked out here
// independently: which link is opened, which requests the rows make and what a save then gives back.
#include "RecordingClient.h"
#include "SysInterfaceImpl.h"
#include "UserManager.h"
#include "VeltroWid.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QtTest>

#include <climits>
#include <cmath>
#include <memory>

namespace {

// Under the sanitizers every allocation records a full stack: the same checks on fewer rows and rounds.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kLargeListSize = 10000;
constexpr int kMutationRounds = 200;
#else
constexpr int kLargeListSize = 100000;
constexpr int kMutationRounds = 3000;
#endif

const QString kKindKey = QStringLiteral("Core::nsCMuNiK::MODBUS_ADDR_TYPE");

QString textOf(const QJsonObject &obj, const QString &key)
{
    const QJsonValue v = obj.value(key);
    return v.isString() ? v.toString() : QString();
}

int kindOf(const QJsonValue &v)
{
    if (!v.isDouble())
        return 0;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::trunc(d) != d || d < INT_MIN || d > INT_MAX)
        return 0;
    return int(d);
}

// Base 10 without an ok flag: text that is no int, out-of-range numbers included, is address 0.
int addressOf(const QJsonObject &obj)
{
    return textOf(obj, "addr").toInt(nullptr, 10);
}

// What the widget should make of a document: the client calls of the restore and the lists it saves.
struct Expected {
    QStringList calls;
    QJsonArray writeRows;
    QJsonArray readRows;
};

Expected expectationsFor(const QJsonObject &doc)
{
    Expected e;
    const QJsonObject link = doc.value("PLCLinkInfo").toObject();
    const QJsonValue type = link.value("type");
    if (type.isString() && type.toString() == "Modbus-RTU")
        e.calls << QStringLiteral("CreateModbusRTU(%1,115200,0,8,1) -> #1").arg(textOf(link, "COM"));
    else
        e.calls << QStringLiteral("CreateModbusTCP(%1,502) -> #1").arg(textOf(link, "IP"));
    e.calls << "#1 SetReadResultCallback"
            << "#1 SetLogCallback";

    QStringList reads;
    for (const QJsonValue &v : doc.value("ReadAddrList").toArray()) {
        const QJsonObject o = v.toObject();
        const int kind = kindOf(o.value(kKindKey));
        e.readRows.append(QJsonObject { { "name", textOf(o, "name") }, { "addr", textOf(o, "addr") },
            { kKindKey, kind }, { "unit", textOf(o, "unit") } });
        e.calls << QStringLiteral("#1 StartTimerRead(%1,%2,1,false)").arg(kind).arg(addressOf(o));
    }
    for (const QJsonValue &v : doc.value("WriteAddrList").toArray()) {
        const QJsonObject o = v.toObject();
        const int kind = kindOf(o.value(kKindKey));
        e.writeRows.append(QJsonObject { { "name", textOf(o, "name") }, { "addr", textOf(o, "addr") },
            { kKindKey, kind }, { "value", textOf(o, "value") } });
        e.calls << QStringLiteral("#1 ReadData(%1,%2,1)").arg(kind).arg(addressOf(o));
    }
    return e;
}

QJsonObject validDocument()
{
    return QJsonDocument::fromJson(R"({
        "host": {"window": [1, 2, 3]},
        "PLCLinkInfo": {"type": "Modbus-TCP", "IP": "127.0.0.1", "Port": "502", "COM": "", "Device": "1"},
        "WriteAddrList": [
            {"name": "速度", "addr": "100", "Core::nsCMuNiK::MODBUS_ADDR_TYPE": 3, "value": "12"},
            {"name": "开关", "addr": "5", "Core::nsCMuNiK::MODBUS_ADDR_TYPE": 0, "value": "1"}
        ],
        "ReadAddrList": [
            {"name": "温度", "addr": "200", "Core::nsCMuNiK::MODBUS_ADDR_TYPE": 5, "unit": "℃"},
            {"name": "计数", "addr": "210", "Core::nsCMuNiK::MODBUS_ADDR_TYPE": 4, "unit": "个"}
        ]
    })")
        .object();
}

// Random damage: values of every JSON type, keys the readers know, texts that convert and that do not.
class Mutator {
public:
    explicit Mutator(quint32 seed)
        : rng(seed)
    {
    }

    QJsonObject mutate(QJsonObject doc)
    {
        const int steps = 1 + int(rng.bounded(3));
        for (int i = 0; i < steps; ++i)
            doc = mutateValue(doc, 0).toObject();
        return doc;
    }

private:
    QString anyKey()
    {
        static const QStringList keys { "name", "addr", "value", "unit", kKindKey, "type", "IP", "COM", "Port",
            "Device", "PLCLinkInfo", "WriteAddrList", "ReadAddrList", "x" };
        return keys.at(int(rng.bounded(keys.size())));
    }

    QJsonValue anyValue(int depth)
    {
        static const QStringList texts { "", "Modbus-RTU", "Modbus-TCP", "modbus-rtu", "100", "-5", "abc", "3.5",
            "99999999999", " 7", "0x10", "127.0.0.1", "/dev/ttyS0", "温度" };
        static const double numbers[] { 0, 1, 2, 3, 4, 5, -1, 3.5, 1e20, -2147483648.0, 2147483648.0, 65535 };
        switch (rng.bounded(depth > 3 ? 4 : 6)) {
        case 0:
            return QJsonValue(QJsonValue::Null);
        case 1:
            return bool(rng.bounded(2));
        case 2:
            return numbers[rng.bounded(int(sizeof numbers / sizeof numbers[0]))];
        case 3:
            return texts.at(int(rng.bounded(texts.size())));
        case 4: {
            QJsonArray a;
            for (int i = int(rng.bounded(4)); i > 0; --i)
                a.append(anyValue(depth + 1));
            return a;
        }
        default: {
            QJsonObject o;
            for (int i = int(rng.bounded(4)); i > 0; --i)
                o.insert(anyKey(), anyValue(depth + 1));
            return o;
        }
        }
    }

    QJsonValue mutateValue(const QJsonValue &v, int depth)
    {
        const bool descend = rng.bounded(4) != 0;
        if (v.isObject() && descend) {
            QJsonObject o = v.toObject();
            switch (rng.bounded(3)) {
            case 0:
                if (!o.isEmpty()) {
                    o.remove(o.keys().at(int(rng.bounded(o.size()))));
                    return o;
                }
                break;
            case 1:
                o.insert(anyKey(), anyValue(depth + 1));
                return o;
            default:
                break;
            }
            if (o.isEmpty())
                return o;
            const QString key = o.keys().at(int(rng.bounded(o.size())));
            o.insert(key, mutateValue(o.value(key), depth + 1));
            return o;
        }
        if (v.isArray() && descend) {
            QJsonArray a = v.toArray();
            const int op = int(rng.bounded(3));
            if (op == 0 && !a.isEmpty()) {
                a.removeAt(int(rng.bounded(a.size())));
            } else if (op == 1) {
                a.append(a.isEmpty() || rng.bounded(2) ? anyValue(depth + 1) : a.at(int(rng.bounded(a.size()))));
            } else if (!a.isEmpty()) {
                const int i = int(rng.bounded(a.size()));
                a.replace(i, mutateValue(a.at(i), depth + 1));
            }
            return a;
        }
        return depth == 0 ? QJsonValue(v) : anyValue(depth);
    }

    QRandomGenerator rng;
};

} // namespace

class tst_ConfigRobustness : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void damagedDocuments_data();
    void damagedDocuments();
    void veryLargeReadList();
    void randomMutationsOfAValidDocument();

private:
    void freshWidget();
    // Restores doc into the current widget and compares everything with the expectations; false on a mismatch.
    bool restoreMatches(const QJsonObject &doc, QString *why);

    SysInterfaceImpl sys;
    VeltroWid root;
    std::unique_ptr<VeltroWid> widget;
    bool linked = false;
    QJsonArray readRows, writeRows; // what the widget held before the restore
};

void tst_ConfigRobustness::initTestCase()
{
    Auth::UserManager::getInstance()->setCurrentAccount(QString(), false);
}

void tst_ConfigRobustness::freshWidget()
{
    widget.reset(static_cast<VeltroWid *>(root.createWidget(&sys)));
    linked = false;
    readRows = writeRows = QJsonArray();
}

bool tst_ConfigRobustness::restoreMatches(const QJsonObject &doc, QString *why)
{
    ClientJournal::reset();
    QJsonObject config = doc;
    widget->deserialize(config);
    Expected expected = expectationsFor(doc);
    // The client of the previous restore goes first; the journal numbered it #1 too.
    if (linked)
        expected.calls.prepend("#1 destroyed");
    linked = true;

    QJsonObject saved { { "host", 1 } };
    widget->serialize(saved);
    const auto *tabs = widget->findChild<QTabWidget *>("tabWidget");
    const auto fail = [&](const QString &what) {
        *why = what + "\ndocument: " + QString::fromUtf8(QJsonDocument(doc).toJson(QJsonDocument::Compact));
        return false;
    };
    // Rows are appended: the earlier ones stay as they were, the new ones follow.
    QJsonArray reads = readRows, writes = writeRows;
    for (const QJsonValue &row : expected.readRows)
        reads.append(row);
    for (const QJsonValue &row : expected.writeRows)
        writes.append(row);
    if (config != doc)
        return fail("restore changed the document");
    if (ClientJournal::lines() != expected.calls)
        return fail("calls: " + ClientJournal::lines().join(" | ") + "\nexpected: " + expected.calls.join(" | "));
    if (saved.value("ReadAddrList").toArray() != reads)
        return fail("read rows: " + QString::fromUtf8(QJsonDocument(saved.value("ReadAddrList").toArray()).toJson()));
    if (saved.value("WriteAddrList").toArray() != writes)
        return fail("write rows: " + QString::fromUtf8(QJsonDocument(saved.value("WriteAddrList").toArray()).toJson()));
    if (saved.value("host") != QJsonValue(1) || saved.size() != 4)
        return fail("save touched other keys");
    if (tabs->isTabVisible(1) || tabs->isTabVisible(2))
        return fail("account rule not applied");
    readRows = reads;
    writeRows = writes;
    return true;
}

void tst_ConfigRobustness::damagedDocuments_data()
{
    QTest::addColumn<QJsonObject>("doc");
    const QJsonObject valid = validDocument();
    const QList<QPair<QString, QJsonValue>> wrongValues {
        { "null", QJsonValue::Null },
        { "bool", true },
        { "number", 7 },
        { "string", "Modbus-RTU" },
        { "array", QJsonArray { QJsonObject { { "type", "Modbus-RTU" } } } },
        { "object", QJsonObject { { "0", 1 } } },
    };
    for (const QString key : { "PLCLinkInfo", "WriteAddrList", "ReadAddrList" })
        for (const auto &wrong : wrongValues) {
            QJsonObject doc = valid;
            doc.insert(key, wrong.second);
            QTest::newRow(qPrintable(key + " as " + wrong.first)) << doc;
        }

    const QJsonArray notObjects { 1, "x", QJsonValue::Null, QJsonArray { 1 }, true, QJsonObject() };
    QJsonObject doc = valid;
    doc.insert("ReadAddrList", notObjects);
    doc.insert("WriteAddrList", notObjects);
    QTest::newRow("list elements that are not objects") << doc;

    const QJsonObject numbers { { "name", 5 }, { "addr", 100 }, { kKindKey, 3 }, { "value", 7 }, { "unit", 1 } };
    doc = valid;
    doc.insert("ReadAddrList", QJsonArray { numbers });
    doc.insert("WriteAddrList", QJsonArray { numbers });
    doc.insert(
        "PLCLinkInfo", QJsonObject { { "type", "Modbus-TCP" }, { "IP", 127 }, { "Port", 502 }, { "Device", 1 } });
    QTest::newRow("numbers where texts belong") << doc;

    QJsonArray kinds;
    for (const QJsonValue &kind : { QJsonValue(1), QJsonValue(2), QJsonValue(99), QJsonValue(-1), QJsonValue(3.5),
             QJsonValue("3"), QJsonValue(1e20), QJsonValue(true), QJsonValue(QJsonValue::Null) })
        kinds.append(QJsonObject { { "name", "k" }, { "addr", "1" }, { kKindKey, kind }, { "value", "1" } });
    doc = valid;
    doc.insert("ReadAddrList", kinds);
    doc.insert("WriteAddrList", kinds);
    QTest::newRow("unknown and malformed kinds") << doc;

    QJsonValue nested = QJsonObject { { "type", "Modbus-RTU" } };
    for (int i = 0; i < 300; ++i)
        nested = (i % 2) ? QJsonValue(QJsonObject { { "type", nested } }) : QJsonValue(QJsonArray { nested });
    doc = valid;
    doc.insert("PLCLinkInfo", QJsonObject { { "type", "Modbus-TCP" }, { "IP", nested } });
    doc.insert("ReadAddrList", QJsonArray { nested, QJsonObject { { "name", nested } } });
    doc.insert("WriteAddrList", nested);
    QTest::newRow("deeply nested values") << doc;

    doc = valid;
    const QString longText(200000, QChar(u'字'));
    doc.insert("PLCLinkInfo", QJsonObject { { "type", "Modbus-RTU" }, { "COM", longText } });
    doc.insert("WriteAddrList",
        QJsonArray { QJsonObject { { "name", longText }, { "addr", longText }, { "value", longText } } });
    QTest::newRow("very long texts") << doc;
}

void tst_ConfigRobustness::damagedDocuments()
{
    QFETCH(QJsonObject, doc);
    freshWidget();
    QString why;
    QVERIFY2(restoreMatches(doc, &why), qPrintable(why.left(4000)));
}

void tst_ConfigRobustness::veryLargeReadList()
{
    QJsonArray reads;
    for (int i = 0; i < kLargeListSize; ++i)
        reads.append(QJsonObject { { "name", QString::number(i) }, { "addr", QString::number(i % 65536) },
            { kKindKey, (i % 2) ? 3 : 5 }, { "unit", "u" } });
    QJsonObject doc { { "ReadAddrList", reads } };
    QString why;
    QElapsedTimer timer;
    timer.start();
    freshWidget();
    QVERIFY2(restoreMatches(doc, &why), qPrintable(why.left(2000)));
    qDebug("%d read rows restored, checked and saved in %lld ms", kLargeListSize, timer.elapsed());
}

void tst_ConfigRobustness::randomMutationsOfAValidDocument()
{
    const int rounds = kMutationRounds;
    const int roundsPerWidget = 50; // building a widget costs far more than a restore
    Mutator mutator(20240607);
    const QJsonObject valid = validDocument();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        const QJsonObject doc = mutator.mutate(valid);
        if (i % roundsPerWidget == 0)
            freshWidget();
        QString why;
        QVERIFY2(restoreMatches(doc, &why), qPrintable(QStringLiteral("round %1: %2").arg(i).arg(why.left(4000))));
    }
    qDebug("%d mutated documents in %lld ms", rounds, timer.elapsed());
}

QTEST_MAIN(tst_ConfigRobustness)
#include "tst_configrobustness.moc"

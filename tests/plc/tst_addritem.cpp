#include "AddrItem.h"
#include "AddrKind.h"

#include <QJsonArray>
#include <QtTest>

class TestAddrItem : public QObject {
    Q_OBJECT
private slots:
    void readsWithDefaults_data()
    {
        QTest::addColumn<QJsonObject>("obj");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("addr");
        QTest::addColumn<int>("addrNumber");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("unit");

        QTest::newRow("complete") << QJsonObject { { "name", "速度" }, { "addr", "100" }, { AddrKind::kJsonKey, 5 },
            { "value", "" }, { "unit", "mm/s" } }
                                  << "速度"
                                  << "100" << 100 << 5 << "mm/s";
        QTest::newRow("empty object") << QJsonObject() << ""
                                      << "" << 0 << 0 << "";
        QTest::newRow("addr as JSON number reads as empty") << QJsonObject { { "addr", 12 } } << ""
                                                            << "" << 0 << 0 << "";
        QTest::newRow("kind as JSON string reads as coil")
            << QJsonObject { { "addr", "7" }, { AddrKind::kJsonKey, "3" } } << ""
            << "7" << 7 << 0 << "";
        QTest::newRow("non-integral kind reads as coil") << QJsonObject { { AddrKind::kJsonKey, 3.5 } } << ""
                                                         << "" << 0 << 0 << "";
        QTest::newRow("huge kind reads as coil") << QJsonObject { { AddrKind::kJsonKey, 1e300 } } << ""
                                                 << "" << 0 << 0 << "";
        QTest::newRow("unknown kind kept") << QJsonObject { { AddrKind::kJsonKey, 99 } } << ""
                                           << "" << 0 << 99 << "";
        QTest::newRow("letters convert to address 0") << QJsonObject { { "addr", "abc" } } << ""
                                                      << "abc" << 0 << 0 << "";
        QTest::newRow("wrong types everywhere")
            << QJsonObject { { "name", 1 }, { "addr", QJsonArray { 1 } }, { "unit", true }, { "value", 3 } } << ""
            << "" << 0 << 0 << "";
    }
    void readsWithDefaults()
    {
        QFETCH(QJsonObject, obj);
        const AddrItem item = AddrItem::fromJson(obj);
        QTEST(item.name, "name");
        QTEST(item.addr, "addr");
        QTEST(item.addrNumber(), "addrNumber");
        QTEST(item.kind, "kind");
        QTEST(item.unit, "unit");
    }
};

QTEST_APPLESS_MAIN(TestAddrItem)
#include "tst_addritem.moc"

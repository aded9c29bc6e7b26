#include "AddrKind.h"
#include "ValueList.h"

#include <QApplication>
#include <QComboBox>
#include <QtTest>

using namespace Core::nsCMuNiK;

class TestAddrKind : public QObject {
    Q_OBJECT
private slots:
    void registrationOrderGivesOneTypeId()
    {
        // Built twice: once asking the declared type first, once registering by name first.
#ifdef REGISTER_BY_NAME_FIRST
        AddrKind::registerMetaTypes();
        const int byName = QMetaType::type("Core::nsCMuNiK::MODBUS_ADDR_TYPE");
        QCOMPARE(AddrKind::metaTypeId(), byName);
#else
        const int declared = AddrKind::metaTypeId();
        AddrKind::registerMetaTypes();
        QCOMPARE(QMetaType::type("Core::nsCMuNiK::MODBUS_ADDR_TYPE"), declared);
#endif
        const int id = AddrKind::metaTypeId();
        QCOMPARE(QByteArray(QMetaType::typeName(id)), QByteArray("Core::nsCMuNiK::MODBUS_ADDR_TYPE"));
        QCOMPARE(QMetaType::sizeOf(id), 4);
        QVERIFY(QMetaType::typeFlags(id) & QMetaType::IsEnumeration);
        QVERIFY(QMetaType::typeFlags(id) & QMetaType::MovableType);
        QCOMPARE(QMetaType::type("std::shared_ptr<QVariantList>"), qMetaTypeId<std::shared_ptr<QVariantList>>());
    }

    void enumeratorValues()
    {
        QCOMPARE(int(kCoil), 0);
        QCOMPARE(int(kHoldingRegister16), 3);
        QCOMPARE(int(kHoldingRegister32), 4);
        QCOMPARE(int(kHoldingRegisterFloat32), 5);
        QCOMPARE(sizeof(MODBUS_ADDR_TYPE), size_t(4));
    }

    void comboBoxListsFourKindsInOrder()
    {
        QComboBox box;
        AddrKind::fillComboBox(&box);
        QCOMPARE(box.count(), 4);
        const QStringList texts { "kCoil", "kHoldingRegister16", "kHoldingRegister32", "kHoldingRegisterFloat32" };
        const int values[] = { 0, 3, 4, 5 };
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(box.itemText(i), texts[i]);
            const QVariant data = box.itemData(i, Qt::UserRole);
            QCOMPARE(data.userType(), AddrKind::metaTypeId()); // the kind itself, not a plain int
            QCOMPARE(int(AddrKind::fromVariant(data)), values[i]);
        }
        QCOMPARE(box.currentIndex(), 0);
    }

    void kindFromVariant_data()
    {
        QTest::addColumn<QVariant>("variant");
        QTest::addColumn<int>("kind");
        QTest::newRow("own type") << QVariant::fromValue(kHoldingRegisterFloat32) << 5;
        QTest::newRow("plain int as the tables store it") << QVariant(4) << 4;
        QTest::newRow("plain int without an enumerator") << QVariant(2) << 2;
        QTest::newRow("unconvertible text") << QVariant(QStringLiteral("coil")) << 0;
        QTest::newRow("invalid variant") << QVariant() << 0;
        QTest::newRow("numeric text converts") << QVariant(QStringLiteral("3")) << 3;
    }
    void kindFromVariant()
    {
        QFETCH(QVariant, variant);
        QFETCH(int, kind);
        QCOMPARE(int(AddrKind::fromVariant(variant)), kind);
    }

    void displayTexts()
    {
        QCOMPARE(AddrKind::displayText(kHoldingRegister32), QStringLiteral("kHoldingRegister32"));
        QCOMPARE(AddrKind::displayText(2), QStringLiteral("2"));
        QVERIFY(!AddrKind::isKnown(1));
        QVERIFY(AddrKind::isKnown(5));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestAddrKind t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_addrkind.moc"

// Write values as they travel (tolerant QVariant conversions, refused when they do not fit) and the
// values decoded from the words that come back.
#include "ModbusAddrType.h"
#include "ValueCodec.h"

#include <QtTest>

using namespace Core::nsCMuNiK;
using Words = QVector<quint16>;

class TstValueCodec : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
};

void TstValueCodec::encode_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<Words>("words");

    QTest::newRow("coil true") << int(kCoil) << QVariant(true) << true << Words { 1 };
    QTest::newRow("coil from int 5") << int(kCoil) << QVariant(5) << true << Words { 1 };
    QTest::newRow("coil from text 0") << int(kCoil) << QVariant(QStringLiteral("0")) << true << Words { 0 };
    QTest::newRow("coil without value") << int(kCoil) << QVariant() << false << Words {};
    QTest::newRow("16-bit negative") << int(kHoldingRegister16) << QVariant(-5) << true << Words { 65531 };
    QTest::newRow("16-bit unsigned view") << int(kHoldingRegister16) << QVariant(65535) << true << Words { 65535 };
    QTest::newRow("16-bit from text") << int(kHoldingRegister16) << QVariant(QStringLiteral("123")) << true
                                      << Words { 123 };
    QTest::newRow("16-bit too large") << int(kHoldingRegister16) << QVariant(65536) << false << Words {};
    QTest::newRow("16-bit too small") << int(kHoldingRegister16) << QVariant(-32769) << false << Words {};
    QTest::newRow("16-bit not a number") << int(kHoldingRegister16) << QVariant(QStringLiteral("abc")) << false
                                         << Words {};
    QTest::newRow("32-bit low word first")
        << int(kHoldingRegister32) << QVariant(-123456) << true << Words { 7616, 65534 };
    QTest::newRow("32-bit from bool") << int(kHoldingRegister32) << QVariant(true) << true << Words { 1, 0 };
    QTest::newRow("32-bit too large") << int(kHoldingRegister32) << QVariant(qlonglong(1) << 32) << false << Words {};
    QTest::newRow("float low word first")
        << int(kHoldingRegisterFloat32) << QVariant(3.14159f) << true << Words { 4048, 16457 };
    QTest::newRow("float from int") << int(kHoldingRegisterFloat32) << QVariant(1) << true << Words { 0, 16256 };
    QTest::newRow("float from double") << int(kHoldingRegisterFloat32) << QVariant(-2.5) << true << Words { 0, 49184 };
    QTest::newRow("float not a number") << int(kHoldingRegisterFloat32) << QVariant(QStringLiteral("x")) << false
                                        << Words {};
    QTest::newRow("kind 1") << 1 << QVariant(1) << false << Words {};
    QTest::newRow("kind 2") << 2 << QVariant(1) << false << Words {};
}

void TstValueCodec::encode()
{
    QFETCH(int, kind);
    QFETCH(QVariant, value);
    QFETCH(bool, ok);
    QFETCH(Words, words);
    const auto encoded = ValueCodec::encode(kind, value);
    QCOMPARE(encoded.ok, ok);
    QCOMPARE(encoded.words, words);
    QCOMPARE(encoded.error.isEmpty(), ok);
}

void TstValueCodec::decode_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<Words>("words");
    QTest::addColumn<int>("nVal");
    QTest::addColumn<float>("fVal");

    QTest::newRow("coil on") << int(kCoil) << Words { 1 } << 1 << 1.0f;
    QTest::newRow("16-bit signed") << int(kHoldingRegister16) << Words { 65531 } << -5 << -5.0f;
    QTest::newRow("32-bit low word first") << int(kHoldingRegister32) << Words { 7616, 65534 } << -123456 << -123456.0f;
    QTest::newRow("32-bit high word only") << int(kHoldingRegister32) << Words { 0, 1 } << 65536 << 65536.0f;
    QTest::newRow("float carries no integer") << int(kHoldingRegisterFloat32) << Words { 4048, 16457 } << 0 << 3.14159f;
}

void TstValueCodec::decode()
{
    QFETCH(int, kind);
    QFETCH(Words, words);
    QFETCH(int, nVal);
    QFETCH(float, fVal);
    const auto value = ValueCodec::decode(kind, Words { 9 } + words, 1);
    QCOMPARE(value.nVal, nVal);
    QCOMPARE(value.fVal, fVal);
}

QTEST_GUILESS_MAIN(TstValueCodec)
#include "tst_valuecodec.moc"

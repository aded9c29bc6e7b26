// What the factories accept as a link, before any socket or port is touched.
#include "LinkParams.h"

#include <QtTest>

class TstLinkParams : public QObject {
    Q_OBJECT
private slots:
    void tcp_data();
    void tcp();
    void rtu_data();
    void rtu();
};

void TstLinkParams::tcp_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<uint>("port");
    QTest::addColumn<QString>("link"); // empty: refused

    QTest::newRow("plain host takes the argument") << "192.168.1.10" << 502u << "192.168.1.10:502";
    QTest::newRow("host text carries its port") << "192.168.1.10:1502" << 502u << "192.168.1.10:1502";
    QTest::newRow("surrounding blanks") << "  plc.local  " << 502u << "plc.local:502";
    QTest::newRow("bracketed v6 with port") << "[::1]:1502" << 502u << "[::1]:1502";
    QTest::newRow("bare v6") << "::1" << 502u << "[::1]:502";
    QTest::newRow("empty host") << "" << 502u << "";
    QTest::newRow("blank host") << "   " << 502u << "";
    QTest::newRow("port text missing") << "plc:" << 502u << "";
    QTest::newRow("port text not a number") << "plc:abc" << 502u << "";
    QTest::newRow("port text out of range") << "plc:70000" << 502u << "";
    QTest::newRow("port text zero") << "plc:0" << 502u << "";
    QTest::newRow("argument zero") << "plc" << 0u << "";
    QTest::newRow("argument out of range") << "plc" << 65536u << "";
}

void TstLinkParams::tcp()
{
    QFETCH(QString, host);
    QFETCH(uint, port);
    QFETCH(QString, link);
    const auto params = LinkParams::tcp(host.toStdString(), port);
    QCOMPARE(params ? params->describe() : QString(), link);
}

void TstLinkParams::rtu_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("parity");
    QTest::addColumn<uint>("dataBits");
    QTest::addColumn<uint>("stopBits");
    QTest::addColumn<QString>("link");

    QTest::newRow("system name, as the panel passes it") << "ttyUSB0" << 0 << 8u << 1u << "ttyUSB0 115200 8N1";
    QTest::newRow("full path") << "/tmp/ttyB" << 0 << 8u << 1u << "/tmp/ttyB 115200 8N1";
    QTest::newRow("odd parity") << "COM3" << 1 << 8u << 1u << "COM3 115200 8O1";
    QTest::newRow("even parity, 7 bits, 2 stop bits") << "COM3" << 2 << 7u << 2u << "COM3 115200 7E2";
    QTest::newRow("mark parity") << "COM3" << 3 << 8u << 1u << "COM3 115200 8M1";
    QTest::newRow("unknown parity") << "COM3" << 5 << 8u << 1u << "";
    QTest::newRow("nine data bits") << "COM3" << 0 << 9u << 1u << "";
    QTest::newRow("three stop bits") << "COM3" << 0 << 8u << 3u << "";
    QTest::newRow("empty name") << "" << 0 << 8u << 1u << "";
}

void TstLinkParams::rtu()
{
    QFETCH(QString, device);
    QFETCH(int, parity);
    QFETCH(uint, dataBits);
    QFETCH(uint, stopBits);
    QFETCH(QString, link);
    const auto params = LinkParams::rtu(device.toStdString(), 115200, parity, dataBits, stopBits);
    QCOMPARE(params ? params->describe() : QString(), link);
}

QTEST_GUILESS_MAIN(TstLinkParams)
#include "tst_linkparams.moc"

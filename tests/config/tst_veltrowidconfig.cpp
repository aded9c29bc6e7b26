// Saving and restoring the set-up, over a client that records what the restore asks of it.
#include "PLCLinkSettingWid.h"
#include "PageProbe.h"
#include "RecordingClient.h"
#include "SysInterfaceImpl.h"
#include "UserManager.h"
#include "VeltroWid.h"

#include <QJsonArray>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <memory>

using namespace Core::nsCMuNiK;
using PageProbe::item;

namespace {

QJsonObject fullDocument(const QJsonObject &link)
{
    return QJsonObject {
        { "PLCLinkInfo", link },
        { "WriteAddrList",
            QJsonArray { item("速度", "100", kHoldingRegister16, "12"), item("开关", "5", kCoil, "1"),
                item("比例", "300", kHoldingRegisterFloat32, "0.5") } },
        { "ReadAddrList",
            QJsonArray { item("温度", "200", kHoldingRegisterFloat32, {}, "℃"),
                item("计数", "210", kHoldingRegister32, {}, "个") } },
    };
}

} // namespace

class tst_VeltroWidConfig : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void emptyDocumentOpensTheEmptyTcpLink();
    void readListAloneStartsItsReadsAfterTheLink();
    void linkThenReadRowsThenWriteRows();
    void savedSetUpComesBackInANewWidget_data();
    void savedSetUpComesBackInANewWidget();
    void saveKeepsOtherKeysAndReplacesItsOwn();
    void saveChangesNothing();
    void secondRestoreDoublesRowsAndRelinks();
    void restoreConnectsWithTheStoredObjectItself();

private:
    VeltroWid *make();
    QJsonObject saved(VeltroWid *w) const;

    SysInterfaceImpl sys;
    VeltroWid root;
    std::vector<std::unique_ptr<VeltroWid>> widgets;
};

VeltroWid *tst_VeltroWidConfig::make()
{
    widgets.emplace_back(static_cast<VeltroWid *>(root.createWidget(&sys)));
    return widgets.back().get();
}

QJsonObject tst_VeltroWidConfig::saved(VeltroWid *w) const
{
    QJsonObject out;
    w->serialize(out);
    return out;
}

void tst_VeltroWidConfig::init()
{
    ClientJournal::reset();
    Auth::UserManager::getInstance()->setCurrentAccount(QString(), false);
}

void tst_VeltroWidConfig::cleanup()
{
    widgets.clear();
}

void tst_VeltroWidConfig::emptyDocumentOpensTheEmptyTcpLink()
{
    VeltroWid *w = make();
    w->findChild<QLineEdit *>("edtIP")->setText("typed before");
    QSignalSpy results(w, &VeltroWid::Signal_PLCConnected);
    QJsonObject doc;
    w->deserialize(doc);

    QVERIFY(doc.isEmpty());
    QCOMPARE(results.count(), 1);
    QCOMPARE(ClientJournal::lines(),
        (QStringList { "CreateModbusTCP(,502) -> #1", "#1 SetReadResultCallback", "#1 SetLogCallback" }));
    QCOMPARE(w->findChild<QLineEdit *>("edtIP")->text(), QString("typed before"));
    QCOMPARE(PageProbe::readTable(w)->rowCount(), 0);
    QCOMPARE(PageProbe::writeTable(w)->rowCount(), 0);
    QVERIFY(!w->findChild<QTabWidget *>("tabWidget")->isTabVisible(1)); // nobody logged in
}

void tst_VeltroWidConfig::readListAloneStartsItsReadsAfterTheLink()
{
    VeltroWid *w = make();
    QJsonObject doc { { "ReadAddrList", fullDocument({}).value("ReadAddrList") } };
    w->deserialize(doc);
    QCOMPARE(ClientJournal::lines(),
        (QStringList { "CreateModbusTCP(,502) -> #1", "#1 SetReadResultCallback", "#1 SetLogCallback",
            "#1 StartTimerRead(5,200,1,false)", "#1 StartTimerRead(4,210,1,false)" }));
    QCOMPARE(PageProbe::writeTable(w)->rowCount(), 0);
}

void tst_VeltroWidConfig::linkThenReadRowsThenWriteRows()
{
    VeltroWid *w = make();
    QJsonObject doc = fullDocument({ { "type", "Modbus-RTU" }, { "COM", "/dev/ttyUSB7" }, { "Device", "3" } });
    w->deserialize(doc);
    QCOMPARE(ClientJournal::lines(),
        (QStringList { "CreateModbusRTU(/dev/ttyUSB7,115200,0,8,1) -> #1", "#1 SetReadResultCallback",
            "#1 SetLogCallback", "#1 StartTimerRead(5,200,1,false)", "#1 StartTimerRead(4,210,1,false)",
            "#1 ReadData(3,100,1)", "#1 ReadData(0,5,1)", "#1 ReadData(5,300,1)" }));
}

void tst_VeltroWidConfig::savedSetUpComesBackInANewWidget_data()
{
    QTest::addColumn<QJsonObject>("link");
    QTest::newRow("tcp") << QJsonObject { { "type", "Modbus-TCP" }, { "IP", "127.0.0.1" }, { "Port", "1502" },
        { "Device", "12" } };
    QTest::newRow("rtu, no such port") << QJsonObject { { "type", "Modbus-RTU" }, { "COM", "" }, { "Device", "3" } };
}

void tst_VeltroWidConfig::savedSetUpComesBackInANewWidget()
{
    QFETCH(QJsonObject, link);
    VeltroWid *first = make();
    QJsonObject doc = fullDocument(link);
    first->deserialize(doc);
    const QJsonObject firstSave = saved(first);
    // The serial port list is this machine's: "COM" saves as the port the page could select.
    QJsonObject expected = doc;
    if (link.contains("COM")) {
        QJsonObject storedLink = link;
        storedLink.insert("COM", firstSave.value("PLCLinkInfo").toObject().value("COM"));
        expected.insert("PLCLinkInfo", storedLink);
    }
    QCOMPARE(firstSave, expected);

    ClientJournal::reset();
    VeltroWid *second = make();
    QJsonObject copy = firstSave;
    second->deserialize(copy);
    QCOMPARE(saved(second), firstSave);
    const QString com = firstSave.value("PLCLinkInfo").toObject().value("COM").toString();
    QCOMPARE(ClientJournal::lines().value(0).section(" -> ", 0, 0),
        link.value("type") == "Modbus-RTU" ? QString("CreateModbusRTU(%1,115200,0,8,1)").arg(com)
                                           : QString("CreateModbusTCP(127.0.0.1,502)"));

    // A value read later replaces the written text of the matching write rows only.
    ClientJournal::lastClient()->reportValue(kHoldingRegister16, 100, -7, 0.0f);
    QCOMPARE(PageProbe::column(PageProbe::writeTable(second), 1), (QStringList { "-7", "1", "0.5" }));
}

void tst_VeltroWidConfig::saveKeepsOtherKeysAndReplacesItsOwn()
{
    VeltroWid *w = make();
    QJsonObject config { { "host", QJsonObject { { "layout", 3 } } }, { "WriteAddrList", QJsonArray { "stale" } },
        { "PLCLinkInfo", QJsonObject { { "COM", "stale" } } } };
    w->serialize(config);
    QCOMPARE(config.size(), 4);
    QCOMPARE(config.value("host"), QJsonValue(QJsonObject { { "layout", 3 } }));
    QCOMPARE(config.value("WriteAddrList"), QJsonValue(QJsonArray()));
    QCOMPARE(config.value("ReadAddrList"), QJsonValue(QJsonArray()));
    // A fresh link page: TCP with empty fields, and nothing of the stale object survives.
    QCOMPARE(config.value("PLCLinkInfo").toObject(),
        (QJsonObject { { "type", "Modbus-TCP" }, { "IP", "" }, { "Port", "" }, { "Device", "" } }));
}

void tst_VeltroWidConfig::saveChangesNothing()
{
    VeltroWid *w = make();
    QJsonObject doc = fullDocument({ { "type", "Modbus-TCP" }, { "IP", "h" } });
    w->deserialize(doc);
    ClientJournal::lines().clear();
    const QJsonObject once = saved(w);
    QCOMPARE(saved(w), once);
    QVERIFY(ClientJournal::lines().isEmpty());
}

void tst_VeltroWidConfig::secondRestoreDoublesRowsAndRelinks()
{
    VeltroWid *w = make();
    QJsonObject doc = fullDocument({ { "type", "Modbus-TCP" }, { "IP", "h" } });
    w->deserialize(doc);
    w->deserialize(doc);
    QCOMPARE(PageProbe::column(PageProbe::readTable(w), 0), (QStringList { "温度", "计数", "温度", "计数" }));
    QCOMPARE(PageProbe::writeTable(w)->rowCount(), 6);
    QVERIFY(ClientJournal::lines().indexOf("#1 destroyed")
        < ClientJournal::lines().indexOf("CreateModbusTCP(h,502) -> #2"));
    QCOMPARE(ClientJournal::linesStartingWith("#2 StartTimerRead").size(), 2);
}

void tst_VeltroWidConfig::restoreConnectsWithTheStoredObjectItself()
{
    // The page reads an unknown type as serial; the link reads anything but "Modbus-RTU" as TCP.
    VeltroWid *w = make();
    QJsonObject doc { { "PLCLinkInfo", QJsonObject { { "type", "modbus-rtu" }, { "IP", "h" }, { "COM", "c" } } } };
    w->deserialize(doc);
    QVERIFY(w->findChild<QRadioButton *>("rdoRtu")->isChecked());
    QCOMPARE(ClientJournal::lines().value(0), QString("CreateModbusTCP(h,502) -> #1"));
}

QTEST_MAIN(tst_VeltroWidConfig)
#include "tst_veltrowidconfig.moc"

// The widget's link and data paths over a client that records every call.
#include "PLCLinkSettingWid.h"
#include "PLCSettingWid.h"
#include "PageProbe.h"
#include "PellinDataWid.h"
#include "RecordingClient.h"
#include "SysInterfaceImpl.h"
#include "VeltroWid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QThread>

#include <memory>

using namespace Core::nsCMuNiK;

namespace {

// Notes in the client journal when the relay lets go of the host, to order it against the client's end.
class JournalingHost : public SysInterfaceImpl {
protected:
    void disconnectNotify(const QMetaMethod &signal) override
    {
        if (signal.name() == "curAccountChanged")
            ClientJournal::lines() << QStringLiteral("relay let go");
    }
};

} // namespace

class tst_VeltroWidExchange : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void linkFollowsTheType_data();
    void linkFollowsTheType();
    void resultIsReportedBeforeTheCallbacks();
    void oldClientIsGoneBeforeTheNextAttempt();
    void failedLinkLeavesNoClient();
    void requestsWithoutAClientAreDropped();
    void requestsPassUnchanged();
    void pagesReachTheClient();
    void connectButtonOpensTheLinkOfThePage();
    void readResultUpdatesMatchingRowsOfBothPages();
    void readResultFromALibraryThreadArrivesQueued();
    void logCallbackAppendsOneBlockPerLine();
    void logKeepsTheLatest2000Blocks();
    void callbacksWithoutContextDoNothing();
    void destructionLetsGoOfTheRelayThenTheClient();

private:
    VeltroWid *make();
    QPlainTextEdit *log() const { return widget->findChild<QPlainTextEdit *>("plainTextEdit"); }

    JournalingHost sys;
    VeltroWid root;
    std::unique_ptr<VeltroWid> widget;
};

VeltroWid *tst_VeltroWidExchange::make()
{
    widget.reset(static_cast<VeltroWid *>(root.createWidget(&sys)));
    return widget.get();
}

void tst_VeltroWidExchange::init()
{
    ClientJournal::reset();
    make();
}

void tst_VeltroWidExchange::cleanup()
{
    widget.reset();
}

void tst_VeltroWidExchange::linkFollowsTheType_data()
{
    QTest::addColumn<QJsonObject>("link");
    QTest::addColumn<QString>("call");
    const QString tcp = "CreateModbusTCP(%1,502) -> #1";
    QTest::newRow("tcp, port and device ignored") << QJsonObject { { "type", "Modbus-TCP" }, { "IP", "127.0.0.1" },
        { "Port", "503" }, { "Device", "9" } } << tcp.arg("127.0.0.1");
    QTest::newRow("rtu") << QJsonObject { { "type", "Modbus-RTU" }, { "COM", "/dev/ttyS3" }, { "IP", "h" } }
                         << "CreateModbusRTU(/dev/ttyS3,115200,0,8,1) -> #1";
    QTest::newRow("rtu in lower case is tcp")
        << QJsonObject { { "type", "modbus-rtu" }, { "COM", "c" }, { "IP", "h" } } << tcp.arg("h");
    QTest::newRow("no type") << QJsonObject { { "COM", "c" }, { "IP", "h" } } << tcp.arg("h");
    QTest::newRow("type not a string") << QJsonObject { { "type", 1 }, { "IP", "h" } } << tcp.arg("h");
    QTest::newRow("empty") << QJsonObject() << tcp.arg("");
    QTest::newRow("ip not a string") << QJsonObject { { "type", "Modbus-TCP" }, { "IP", 5 } } << tcp.arg("");
    QTest::newRow("com not a string") << QJsonObject { { "type", "Modbus-RTU" }, { "COM", QJsonArray { "x" } } }
                                      << "CreateModbusRTU(,115200,0,8,1) -> #1";
}

void tst_VeltroWidExchange::linkFollowsTheType()
{
    QFETCH(QJsonObject, link);
    QFETCH(QString, call);
    widget->ConnectPLC(link);
    QCOMPARE(ClientJournal::lines().value(0), call);
}

void tst_VeltroWidExchange::resultIsReportedBeforeTheCallbacks()
{
    connect(widget.get(), &VeltroWid::Signal_PLCConnected, this,
        [](bool ok) { ClientJournal::lines() << QStringLiteral("connected %1").arg(ok); });
    widget->ConnectPLC({ { "IP", "h" } });
    QCOMPARE(ClientJournal::lines(),
        (QStringList {
            "CreateModbusTCP(h,502) -> #1", "connected 1", "#1 SetReadResultCallback", "#1 SetLogCallback" }));
    QCOMPARE(ClientJournal::lastClient()->readCtx, static_cast<void *>(widget.get()));
    QCOMPARE(ClientJournal::lastClient()->logCtx, static_cast<void *>(widget.get()));
}

void tst_VeltroWidExchange::oldClientIsGoneBeforeTheNextAttempt()
{
    QSignalSpy results(widget.get(), &VeltroWid::Signal_PLCConnected);
    widget->ConnectPLC({ { "IP", "a" } });
    widget->ConnectPLC({ { "IP", "b" } });
    QCOMPARE(results.count(), 2);
    const QStringList lines = ClientJournal::lines();
    QVERIFY(lines.indexOf("#1 destroyed") >= 0);
    QVERIFY(lines.indexOf("#1 destroyed") < lines.indexOf("CreateModbusTCP(b,502) -> #2"));
}

void tst_VeltroWidExchange::failedLinkLeavesNoClient()
{
    widget->ConnectPLC({ { "IP", "a" } });
    ClientJournal::setAccept(false);
    QSignalSpy results(widget.get(), &VeltroWid::Signal_PLCConnected);
    widget->ConnectPLC({ { "IP", "b" } });
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).toBool(), false);
    QVERIFY(ClientJournal::lines().contains("#1 destroyed"));
    QCOMPARE(ClientJournal::lines().last(), QString("CreateModbusTCP(b,502) -> none"));

    const int before = ClientJournal::lines().size();
    widget->Slot_ReadPLCData(kHoldingRegister16, 1, 1);
    widget->Slot_WritePLCData(kCoil, 1, std::make_shared<QVariantList>(QVariantList { true }));
    QCOMPARE(ClientJournal::lines().size(), before);
    QVERIFY(log()->toPlainText().isEmpty());
}

void tst_VeltroWidExchange::requestsWithoutAClientAreDropped()
{
    widget->Slot_WritePLCData(kHoldingRegister32, 10, std::make_shared<QVariantList>(QVariantList { 5 }));
    widget->Slot_ReadPLCData(kHoldingRegister32, 10, 1);
    widget->Slot_TimerReadPLCData(kHoldingRegister32, 10, 1);
    widget->Slot_CancelTimerReadPLCData(kHoldingRegister32, 10);
    QVERIFY(ClientJournal::lines().isEmpty());
    QVERIFY(log()->toPlainText().isEmpty());
}

void tst_VeltroWidExchange::requestsPassUnchanged()
{
    widget->ConnectPLC({});
    ClientJournal::lines().clear();
    auto values = std::make_shared<QVariantList>(QVariantList { 2.5f });
    widget->Slot_WritePLCData(kHoldingRegisterFloat32, 40, values);
    widget->Slot_ReadPLCData(kHoldingRegister16, 41, 1);
    widget->Slot_TimerReadPLCData(kHoldingRegister32, 42, 3);
    widget->Slot_CancelTimerReadPLCData(kCoil, 43); // never started: still the client's business
    widget->Slot_ReadPLCData(static_cast<MODBUS_ADDR_TYPE>(2), -1, 0);
    QCOMPARE(ClientJournal::lines(),
        (QStringList { "#1 WriteData(5,40,[float:2.5])", "#1 ReadData(3,41,1)", "#1 StartTimerRead(4,42,3,false)",
            "#1 StopTimerRead(0,43)", "#1 ReadData(2,-1,0)" }));

    // The client shares the list: it outlives the sender's reference.
    std::weak_ptr<QVariantList> weak = values;
    values.reset();
    QVERIFY(!weak.expired());
    QCOMPARE(ClientJournal::lastClient()->written.front()->value(0).toFloat(), 2.5f);
}

void tst_VeltroWidExchange::pagesReachTheClient()
{
    widget->ConnectPLC({});
    ClientJournal::lines().clear();
    widget->resize(800, 700);
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
    auto *tabs = widget->findChild<QTabWidget *>("tabWidget");
    auto *readPage = widget->findChild<PellinDataWid *>();
    auto *writePage = widget->findChild<PLCSettingWid *>();

    readPage->AddItem(PageProbe::item("t", "200", kHoldingRegisterFloat32, {}, "℃"));
    QTableWidget *readTable = PageProbe::readTable(widget.get());
    QTest::mouseClick(
        readTable->viewport(), Qt::LeftButton, {}, readTable->visualItemRect(readTable->item(0, 0)).center());
    QTest::mouseClick(widget->findChild<QPushButton *>("btnDelItem"), Qt::LeftButton);

    tabs->setCurrentIndex(1);
    writePage->AddItem(PageProbe::item("s", "100", kHoldingRegister16, "0"));
    QVERIFY(PageProbe::writeRow(PageProbe::writeTable(widget.get()), 0, "-12"));

    QCOMPARE(ClientJournal::lines(),
        (QStringList { "#1 StartTimerRead(5,200,1,false)", "#1 StopTimerRead(5,200)", "#1 ReadData(3,100,1)",
            "#1 WriteData(3,100,[int:-12])" }));
}

void tst_VeltroWidExchange::connectButtonOpensTheLinkOfThePage()
{
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
    widget->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(2);
    // The read page has a label of the same name: ask the link page.
    auto *linkPage = widget->findChild<PLCLinkSettingWid *>();
    QLabel *message = linkPage->findChild<QLabel *>("lbErr");
    auto *ip = widget->findChild<QLineEdit *>("edtIP");
    auto *port = widget->findChild<QLineEdit *>("edtPort");
    auto *dev = widget->findChild<QLineEdit *>("edtDev");
    ip->setText("127.0.0.5");
    port->setText("1502");
    dev->setText("1");
    QSignalSpy results(widget.get(), &VeltroWid::Signal_PLCConnected);
    QTest::mouseClick(widget->findChild<QPushButton *>("btnSave"), Qt::LeftButton);
    QCOMPARE(results.count(), 1);
    QCOMPARE(ClientJournal::lines().value(0), QString("CreateModbusTCP(127.0.0.5,502) -> #1"));
    QVERIFY(message->text().contains("链接成功"));

    ClientJournal::setAccept(false);
    QTest::mouseClick(widget->findChild<QPushButton *>("btnSave"), Qt::LeftButton);
    QVERIFY(message->text().contains("通讯链接失败"));
}

void tst_VeltroWidExchange::readResultUpdatesMatchingRowsOfBothPages()
{
    QJsonObject doc {
        { "ReadAddrList",
            QJsonArray { PageProbe::item("r1", "210", kHoldingRegister32, {}, "个"),
                PageProbe::item("r2", "210", kHoldingRegister16, {}, "个") } },
        { "WriteAddrList", QJsonArray { PageProbe::item("w1", "210", kHoldingRegister32, "0") } },
    };
    widget->deserialize(doc);
    auto client = ClientJournal::lastClient();
    QVERIFY(client);
    client->reportValue(kHoldingRegister32, 210, -5, 0.0f);
    QCOMPARE(PageProbe::column(PageProbe::readTable(widget.get()), 1), (QStringList { "-5", "" }));
    QCOMPARE(PageProbe::column(PageProbe::writeTable(widget.get()), 1), (QStringList { "-5" }));
}

void tst_VeltroWidExchange::readResultFromALibraryThreadArrivesQueued()
{
    QJsonObject doc { { "ReadAddrList", QJsonArray { PageProbe::item("f", "300", kHoldingRegisterFloat32, {}, "") } } };
    widget->deserialize(doc);
    auto client = ClientJournal::lastClient();
    std::unique_ptr<QThread> thread(
        QThread::create([client] { client->reportValue(kHoldingRegisterFloat32, 300, 0, 3.14159f); }));
    thread->start();
    QVERIFY(thread->wait(5000));
    QTRY_COMPARE(PageProbe::column(PageProbe::readTable(widget.get()), 1), QStringList { "3.14" });
}

void tst_VeltroWidExchange::logCallbackAppendsOneBlockPerLine()
{
    widget->ConnectPLC({});
    auto client = ClientJournal::lastClient();
    QTextDocument *doc = log()->document();

    client->reportLog({});
    QVERIFY(log()->toPlainText().isEmpty());
    QCOMPARE(doc->blockCount(), 1);

    client->reportLog({ "one", "two", "three" });
    QCOMPARE(log()->toPlainText(), QString("one\ntwo\nthree"));
    QCOMPARE(doc->blockCount(), 3);

    client->reportLog({ "" });
    QCOMPARE(doc->blockCount(), 4);
    QCOMPARE(doc->lastBlock().text(), QString());
    QCOMPARE(log()->toPlainText(), QString("one\ntwo\nthree\n"));
}

void tst_VeltroWidExchange::logKeepsTheLatest2000Blocks()
{
    widget->ConnectPLC({});
    auto client = ClientJournal::lastClient();
    QStringList lines;
    for (int i = 0; i < 2100; ++i)
        lines << QStringLiteral("line %1").arg(i);
    client->reportLog(lines);
    QTextDocument *doc = log()->document();
    QCOMPARE(doc->blockCount(), 2000);
    QCOMPARE(doc->firstBlock().text(), QString("line 100"));
    QCOMPARE(doc->lastBlock().text(), QString("line 2099"));

    // A fresh widget starts with an empty log.
    make();
    QVERIFY(log()->toPlainText().isEmpty());
}

void tst_VeltroWidExchange::callbacksWithoutContextDoNothing()
{
    QSignalSpy results(widget.get(), &VeltroWid::Signal_ReadDataResult);
    VeltroWid::OnReadResult(kCoil, 1, 1, 0.0f, nullptr);
    VeltroWid::OnCommunicateLog({ "x" }, nullptr);
    QCOMPARE(results.count(), 0);

    VeltroWid::OnReadResult(kCoil, 1, 1, 0.0f, widget.get());
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.at(0).at(0).value<MODBUS_ADDR_TYPE>(), kCoil);
}

void tst_VeltroWidExchange::destructionLetsGoOfTheRelayThenTheClient()
{
    widget->ConnectPLC({});
    ClientJournal::lines().clear();
    widget.reset();
    QCOMPARE(ClientJournal::lines(), (QStringList { "relay let go", "#1 destroyed" }));

    make();
    ClientJournal::lines().clear();
    widget.reset();
    QCOMPARE(ClientJournal::lines(), QStringList { "relay let go" });
}

QTEST_MAIN(tst_VeltroWidExchange)
#include "tst_veltrowid_exchange.moc"

#include "PLCLinkSettingWid.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QtTest>

namespace {

const QString kSuccess = QStringLiteral("<span style=\"color:Blue;\">链接成功。</span>");
const QString kFailure = QStringLiteral("<span style=\"color:#FF0000;\">通讯链接失败!</span>");
const QString kBadDevice = QStringLiteral("设备号错误!");
constexpr int kPastClear = 2500; // milliseconds after a success: its 2000 ms clear would have run

void waitPastClear(const QElapsedTimer &sinceSuccess)
{
    QTest::qWait(int(qMax<qint64>(0, kPastClear - sinceSuccess.elapsed())));
}

template <typename T> T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("missing child %s", name);
    return c;
}

} // namespace

class TstPLCLinkSettingWid : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void formInitialState();
    void serialPortList();
    void modeSwitchShowsTheFieldsOfOneMode();
    void deviceNumberRule_data();
    void deviceNumberRule();
    void saveTcpWritesOnlyTcpKeys();
    void saveRtuWithoutPortsWritesEmptyCom();
    void loadWithoutTypeChangesNothing();
    void loadTcpWithoutAddressEmptiesFields();
    void loadOtherTypeShowsRtu();
    void loadRtuThenSaveTcpNeverWritesCom();
    void resultTexts();
    void successTextClearedAfterTwoSeconds();
    void failureAfterSuccessStays();
    void connectAttemptAfterSuccessKeepsItsFailure();
    void deviceErrorAfterSuccessStays();
    void repeatedSuccessRestartsTheClear();

private:
    void click(const char *name) { QTest::mouseClick(child<QAbstractButton>(*panel, name), Qt::LeftButton); }
    void type(const char *name, const QString &text)
    {
        auto *edit = child<QLineEdit>(*panel, name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    bool shown(const char *name) { return child<QWidget>(*panel, name)->isVisibleTo(panel.get()); }
    QString message() { return child<QLabel>(*panel, "lbErr")->text(); }
    QJsonObject saved()
    {
        QJsonObject link;
        panel->SaveToJson(link);
        return link;
    }

    std::unique_ptr<PLCLinkSettingWid> panel;
};

void TstPLCLinkSettingWid::init()
{
    panel = std::make_unique<PLCLinkSettingWid>(nullptr);
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
}

void TstPLCLinkSettingWid::cleanup()
{
    panel.reset();
}

void TstPLCLinkSettingWid::formInitialState()
{
    QCOMPARE(panel->objectName(), QStringLiteral("PLCLinkSettingWidClass"));
    QCOMPARE(panel->windowTitle(), QStringLiteral("PLCLinkSettingWid"));
    const QList<QPair<const char *, QString>> texts {
        { "rdoTcp", "Modbus-TCP" },
        { "rdoRtu", "Modbus-RTU" },
        { "btnSave", QStringLiteral("连接") },
    };
    for (const auto &t : texts)
        QCOMPARE(child<QAbstractButton>(*panel, t.first)->text(), t.second);
    const QList<QPair<const char *, QString>> labels {
        { "lbIP", "IP:" },
        { "lbPort", QStringLiteral("端口：") },
        { "lbCom", QStringLiteral("COM：") },
        { "label_3", QStringLiteral("设备号：") },
        { "lbErr", "" },
    };
    for (const auto &l : labels)
        QCOMPARE(child<QLabel>(*panel, l.first)->text(), l.second);
    QCOMPARE(child<QPushButton>(*panel, "btnSave")->minimumSize(), QSize(100, 38));
    QVERIFY(child<QWidget>(*panel, "widShadow"));
    QVERIFY(child<QWidget>(*panel, "widContent"));

    auto *group = panel->findChild<QButtonGroup *>("btnGopMethod");
    QVERIFY(group);
    QVERIFY(group->exclusive());
    QCOMPARE(group->buttons().size(), 2);
    QVERIFY(child<QRadioButton>(*panel, "rdoTcp")->isChecked());

    QVERIFY(shown("lbIP") && shown("edtIP") && shown("lbPort") && shown("edtPort"));
    QVERIFY(!shown("lbCom") && !shown("cbCom"));
    QCOMPARE(saved(), (QJsonObject { { "type", "Modbus-TCP" }, { "IP", "" }, { "Port", "" }, { "Device", "" } }));
}

void TstPLCLinkSettingWid::serialPortList()
{
    auto *box = child<QComboBox>(*panel, "cbCom");
    const auto ports = QSerialPortInfo::availablePorts();
    QCOMPARE(box->count(), ports.size());
    for (int i = 0; i < ports.size(); ++i) {
        QCOMPARE(box->itemText(i), ports.at(i).portName());
        QCOMPARE(box->itemData(i, Qt::UserRole), QVariant(ports.at(i).portName()));
    }
}

void TstPLCLinkSettingWid::modeSwitchShowsTheFieldsOfOneMode()
{
    click("rdoRtu");
    QVERIFY(!shown("lbIP") && !shown("edtIP") && !shown("lbPort") && !shown("edtPort"));
    QVERIFY(shown("lbCom") && shown("cbCom"));
    QVERIFY(shown("label_3") && shown("edtDev") && shown("btnSave"));
    click("rdoTcp");
    QVERIFY(shown("lbIP") && shown("edtIP") && shown("lbPort") && shown("edtPort"));
    QVERIFY(!shown("lbCom") && !shown("cbCom"));
    QVERIFY(shown("label_3") && shown("edtDev"));
}

void TstPLCLinkSettingWid::deviceNumberRule_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("attempted");
    QTest::newRow("1") << "1" << true;
    QTest::newRow("300, no upper bound") << "300" << true;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("-3") << "-3" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("letters") << "abc" << false;
}

void TstPLCLinkSettingWid::deviceNumberRule()
{
    QFETCH(QString, device);
    QFETCH(bool, attempted);
    QSignalSpy attempts(panel.get(), &PLCLinkSettingWid::Signal_DoConnection);
    child<QLabel>(*panel, "lbErr")->setText("old");
    type("edtDev", device);
    click("btnSave");
    QCOMPARE(attempts.count(), attempted ? 1 : 0);
    QCOMPARE(message(), attempted ? QString() : kBadDevice);
    QCOMPARE(child<QLineEdit>(*panel, "edtDev")->text(), device);
}

void TstPLCLinkSettingWid::saveTcpWritesOnlyTcpKeys()
{
    type("edtIP", " 192.168.1.5 ");
    type("edtPort", "502");
    type("edtDev", "7");
    QCOMPARE(saved(),
        (QJsonObject { { "type", "Modbus-TCP" }, { "IP", " 192.168.1.5 " }, { "Port", "502" }, { "Device", "7" } }));
}

void TstPLCLinkSettingWid::saveRtuWithoutPortsWritesEmptyCom()
{
    child<QComboBox>(*panel, "cbCom")->clear(); // as on a machine without serial ports
    click("rdoRtu");
    type("edtDev", "2");
    QCOMPARE(saved(), (QJsonObject { { "type", "Modbus-RTU" }, { "COM", "" }, { "Device", "2" } }));
}

void TstPLCLinkSettingWid::loadWithoutTypeChangesNothing()
{
    type("edtIP", "10.0.0.1");
    type("edtPort", "502");
    type("edtDev", "3");
    const QJsonObject before = saved();
    panel->LoadFromJson(QJsonObject { { "IP", "1.1.1.1" }, { "COM", "COM9" }, { "Device", "9" } });
    QCOMPARE(saved(), before);
    QVERIFY(shown("edtIP"));
}

void TstPLCLinkSettingWid::loadTcpWithoutAddressEmptiesFields()
{
    type("edtIP", "10.0.0.1");
    type("edtPort", "502");
    click("rdoRtu");
    panel->LoadFromJson(QJsonObject { { "type", "Modbus-TCP" }, { "Device", 4 } });
    QCOMPARE(saved(), (QJsonObject { { "type", "Modbus-TCP" }, { "IP", "" }, { "Port", "" }, { "Device", "" } }));
    QVERIFY(shown("edtIP") && !shown("cbCom"));
}

void TstPLCLinkSettingWid::loadOtherTypeShowsRtu()
{
    panel->LoadFromJson(QJsonObject { { "type", "modbus-tcp" }, { "IP", "10.0.0.1" }, { "Device", "5" } });
    QVERIFY(child<QRadioButton>(*panel, "rdoRtu")->isChecked());
    QVERIFY(!child<QRadioButton>(*panel, "rdoTcp")->isChecked());
    QVERIFY(shown("cbCom") && !shown("edtIP"));
    QCOMPARE(child<QLineEdit>(*panel, "edtIP")->text(), QString());
    QCOMPARE(child<QLineEdit>(*panel, "edtDev")->text(), QStringLiteral("5"));
}

void TstPLCLinkSettingWid::loadRtuThenSaveTcpNeverWritesCom()
{
    auto *box = child<QComboBox>(*panel, "cbCom");
    box->clear();
    box->addItems({ "ttyS0", "ttyUSB1" });
    panel->LoadFromJson(QJsonObject { { "type", "Modbus-RTU" }, { "COM", "ttyUSB1" }, { "Device", "6" } });
    QCOMPARE(saved(), (QJsonObject { { "type", "Modbus-RTU" }, { "COM", "ttyUSB1" }, { "Device", "6" } }));
    // A port that is not listed leaves the current choice.
    panel->LoadFromJson(QJsonObject { { "type", "Modbus-RTU" }, { "COM", "COM42" }, { "Device", "6" } });
    QCOMPARE(box->currentText(), QStringLiteral("ttyUSB1"));

    click("rdoTcp");
    QCOMPARE(saved(), (QJsonObject { { "type", "Modbus-TCP" }, { "IP", "" }, { "Port", "" }, { "Device", "6" } }));
}

void TstPLCLinkSettingWid::resultTexts()
{
    panel->Slot_PLCConnected(true);
    QCOMPARE(message(), kSuccess);
    panel->Slot_PLCConnected(false);
    QCOMPARE(message(), kFailure);
    QVERIFY(!kSuccess.contains('\\') && !kFailure.contains('\\'));
}

void TstPLCLinkSettingWid::successTextClearedAfterTwoSeconds()
{
    panel->Slot_PLCConnected(true);
    QTest::qWait(1500);
    QCOMPARE(message(), kSuccess);
    QTRY_COMPARE_WITH_TIMEOUT(message(), QString(), 2000);
}

void TstPLCLinkSettingWid::failureAfterSuccessStays()
{
    panel->Slot_PLCConnected(true);
    QElapsedTimer sinceSuccess;
    sinceSuccess.start();
    QTest::qWait(300);
    panel->Slot_PLCConnected(false);
    waitPastClear(sinceSuccess);
    QCOMPARE(message(), kFailure);
}

void TstPLCLinkSettingWid::connectAttemptAfterSuccessKeepsItsFailure()
{
    // The link runs synchronously inside the click, as the main widget wires it.
    bool succeed = true;
    connect(
        panel.get(), &PLCLinkSettingWid::Signal_DoConnection, panel.get(), [&] { panel->Slot_PLCConnected(succeed); });
    type("edtDev", "1");
    click("btnSave");
    QElapsedTimer sinceSuccess;
    sinceSuccess.start();
    QCOMPARE(message(), kSuccess);
    QTest::qWait(300);
    succeed = false;
    click("btnSave");
    QCOMPARE(message(), kFailure);
    waitPastClear(sinceSuccess);
    QCOMPARE(message(), kFailure);
}

void TstPLCLinkSettingWid::deviceErrorAfterSuccessStays()
{
    panel->Slot_PLCConnected(true);
    QElapsedTimer sinceSuccess;
    sinceSuccess.start();
    type("edtDev", "0");
    click("btnSave");
    QCOMPARE(message(), kBadDevice);
    waitPastClear(sinceSuccess);
    QCOMPARE(message(), kBadDevice);
}

void TstPLCLinkSettingWid::repeatedSuccessRestartsTheClear()
{
    panel->Slot_PLCConnected(true);
    QElapsedTimer sinceFirst;
    sinceFirst.start();
    QTest::qWait(1000);
    panel->Slot_PLCConnected(true);
    QTest::qWait(int(qMax<qint64>(0, 2300 - sinceFirst.elapsed()))); // the first success's 2000 ms are over
    QCOMPARE(message(), kSuccess);
    QTRY_COMPARE_WITH_TIMEOUT(message(), QString(), 2000);
}

QTEST_MAIN(TstPLCLinkSettingWid)
#include "tst_plclinksettingwid.moc"

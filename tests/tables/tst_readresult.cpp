#include "PLCSettingWid.h"
#include "PellinDataWid.h"
#include "TableTestUtil.h"

#include <QJsonArray>

using namespace Core::nsCMuNiK;

// Both tables show read results the same way; every case runs against each.
class TestReadResult : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> panel;
    QTableWidget *table = nullptr;

    void load(const QJsonArray &list)
    {
        if (auto *write = qobject_cast<PLCSettingWid *>(panel.get()))
            write->LoadFromJson(list);
        else
            static_cast<PellinDataWid *>(panel.get())->LoadFromJson(list);
    }

    void result(Kind t, int addr, int nVal, float fVal)
    {
        // Through the meta-object, the way the main widget's signal reaches either panel.
        QVERIFY(QMetaObject::invokeMethod(panel.get(), "Slot_ReadDataResult",
            Q_ARG(Core::nsCMuNiK::MODBUS_ADDR_TYPE, t), Q_ARG(int, addr), Q_ARG(int, nVal), Q_ARG(float, fVal)));
    }

    static void addPanelColumn() { QTest::addColumn<bool>("writePanel"); }

    void makePanel()
    {
        QFETCH_GLOBAL(bool, writePanel);
        if (writePanel)
            panel = std::make_unique<PLCSettingWid>(nullptr);
        else
            panel = std::make_unique<PellinDataWid>(nullptr);
        table = panel->findChild<QTableWidget *>();
    }

private slots:
    void initTestCase_data()
    {
        addPanelColumn();
        QTest::newRow("write panel") << true;
        QTest::newRow("read panel") << false;
    }

    void initTestCase() { AddrKind::registerMetaTypes(); }
    void init() { makePanel(); }
    void cleanup() { panel.reset(); }

    void valueText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("nVal");
        QTest::addColumn<float>("fVal");
        QTest::addColumn<QString>("shown");
        QTest::newRow("float always two decimals") << int(kHoldingRegisterFloat32) << 9 << 2.5f << "2.50";
        QTest::newRow("float rounded") << int(kHoldingRegisterFloat32) << 0 << 3.14159f << "3.14";
        QTest::newRow("float negative") << int(kHoldingRegisterFloat32) << 0 << -0.5f << "-0.50";
        QTest::newRow("int16 negative") << int(kHoldingRegister16) << -7 << 1.f << "-7";
        QTest::newRow("int32") << int(kHoldingRegister32) << 123456789 << 0.f << "123456789";
        QTest::newRow("coil off") << int(kCoil) << 0 << 0.f << "0";
        QTest::newRow("coil on") << int(kCoil) << 1 << 0.f << "1";
        QTest::newRow("unhandled kind shows the integer") << 2 << 12 << 0.f << "12";
    }

    void valueText()
    {
        QFETCH(int, kind);
        QFETCH(int, nVal);
        QFETCH(float, fVal);
        QFETCH(QString, shown);
        load({ addrItem("x", "8", kind, "typed") });
        result(Kind(kind), 8, nVal, fVal);
        QCOMPARE(table->item(0, 1)->text(), shown);
    }

    void everyMatchingRowAndNoOther()
    {
        load({ addrItem("a", "5", kHoldingRegister16),
            addrItem("same addr, other kind", "5", kHoldingRegister32, "keep"), addrItem("b", "05", kHoldingRegister16),
            addrItem("other addr", "6", kHoldingRegister16, "keep"), addrItem("c", "5", kHoldingRegister16) });
        result(kHoldingRegister16, 5, 42, 0.f);
        QCOMPARE(columnTexts(table, 1), QStringList({ "42", "keep", "42", "keep", "42" }));
        result(kHoldingRegister32, 5, 7, 0.f);
        QCOMPARE(columnTexts(table, 1), QStringList({ "42", "7", "42", "keep", "42" }));
        result(kHoldingRegister16, 99, 1, 0.f);
        QCOMPARE(columnTexts(table, 1), QStringList({ "42", "7", "42", "keep", "42" }));
    }

    // The lookup must follow the rows whichever way the table changes.
    void rowsFoundAfterTableChanges()
    {
        load({ addrItem("a", "1", kCoil), addrItem("b", "2", kCoil), addrItem("c", "3", kCoil),
            addrItem("d", "2", kCoil) });
        table->removeRow(0);
        table->insertRow(1);
        QCOMPARE(columnTexts(table, 0), QStringList({ "b", "<none>", "c", "d" }));
        result(kCoil, 2, 1, 0.f);
        result(kCoil, 3, 0, 0.f);
        QCOMPARE(columnTexts(table, 1), QStringList({ "1", "<none>", "0", "1" }));

        table->item(2, 0)->setData(Qt::UserRole, QString("40")); // re-keyed in place
        result(kCoil, 3, 1, 0.f);
        result(kCoil, 40, 1, 0.f);
        QCOMPARE(columnTexts(table, 1), QStringList({ "1", "<none>", "1", "1" }));

        auto *replacement = new QTableWidgetItem("new");
        replacement->setData(Qt::UserRole, int(kHoldingRegister16));
        table->setItem(3, 1, replacement); // the row now holds another kind
        result(kCoil, 2, 0, 0.f);
        result(kHoldingRegister16, 2, 16, 0.f);
        QCOMPARE(columnTexts(table, 1), QStringList({ "0", "<none>", "1", "16" }));

        table->setRowCount(0);
        load({ addrItem("e", "2", kCoil) });
        result(kCoil, 2, 1, 0.f);
        QCOMPARE(columnTexts(table, 1), QStringList({ "1" }));
    }

    void unchangedTextLeavesCellUntouched()
    {
        load({ addrItem("a", "1", kHoldingRegister32), addrItem("b", "1", kHoldingRegister32) });
        QSignalSpy changes(table, &QTableWidget::cellChanged);
        result(kHoldingRegister32, 1, 5, 0.f);
        QCOMPARE(changes.count(), 2);
        result(kHoldingRegister32, 1, 5, 0.f);
        QCOMPARE(changes.count(), 2);
    }
};

QTEST_MAIN(TestReadResult)
#include "tst_readresult.moc"

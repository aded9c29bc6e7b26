#include "PLCSettingWid.h"
#include "TableTestUtil.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>

using namespace Core::nsCMuNiK;

class TestWritePanel : public QObject {
    Q_OBJECT

    std::unique_ptr<PLCSettingWid> panel;
    QTableWidget *table = nullptr;

    QPushButton *writeButton(int row) { return table->cellWidget(row, 2)->findChild<QPushButton *>(); }

    // Selects the row and presses its write button.
    void writeRow(int row)
    {
        clickRow(table, row);
        QVERIFY(writeButton(row)->isVisible());
        QTest::mouseClick(writeButton(row), Qt::LeftButton);
    }

    // Edits the value cell the operator's way: double-click, type, Enter.
    void typeIntoValueCell(int row, const QString &text)
    {
        const QPoint cell = table->visualItemRect(table->item(row, 1)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell); // Qt 5 needs it before a double-click
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
        auto *editor = table->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(table->item(row, 1)->text(), text); // the delegate commits queued
    }

private slots:
    void initTestCase() { AddrKind::registerMetaTypes(); }

    void init()
    {
        panel = std::make_unique<PLCSettingWid>(nullptr);
        table = panel->findChild<QTableWidget *>("tableWidgetWrite");
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    }

    void cleanup() { panel.reset(); }

    void formAndTableSetUp()
    {
        QCOMPARE(panel->objectName(), QString("HistoryDataWidClass"));
        QCOMPARE(panel->windowTitle(), QString("HistoryDataWid"));
        for (const char *name : { "widShadow", "widContent", "widPLCCommucateSet", "widAddrWriteInfo" })
            QVERIFY2(panel->findChild<QWidget *>(name), name);
        auto *add = panel->findChild<QPushButton *>("btnAddWrite");
        auto *del = panel->findChild<QPushButton *>("btnDelWrite");
        QCOMPARE(add->text(), QString("添加"));
        QCOMPARE(del->text(), QString("删除"));
        QCOMPARE(add->minimumSize(), QSize(100, 42));
        QVERIFY(table);
        QCOMPARE(table->columnCount(), 3);
        QCOMPARE(columnTexts(table, 0), QStringList());
        QStringList headers;
        for (int c = 0; c < 3; ++c)
            headers << table->horizontalHeaderItem(c)->text();
        QCOMPARE(headers, QStringList({ "名称", "值", "操作" }));
        QCOMPARE(table->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
        QCOMPARE(table->horizontalHeader()->sectionResizeMode(1), QHeaderView::Fixed);
        QCOMPARE(table->horizontalHeader()->sectionResizeMode(2), QHeaderView::Fixed);
        QCOMPARE(table->columnWidth(1), 180);
        QCOMPARE(table->verticalHeader()->defaultSectionSize(), 50);
        QVERIFY(table->verticalHeader()->isHidden());
        QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(table->editTriggers(), QTableWidget().editTriggers());
    }

    void rowLayoutAndButton()
    {
        panel->AddItem(addrItem("A", "12", kHoldingRegister32, "7"));
        QCOMPARE(table->item(0, 0)->data(Qt::UserRole), QVariant(QString("12")));
        QCOMPARE(table->item(0, 1)->data(Qt::UserRole), QVariant(int(kHoldingRegister32)));
        QCOMPARE(table->item(0, 1)->text(), QString("7"));
        QPushButton *button = writeButton(0);
        QCOMPARE(button->text(), QString("写入"));
        QCOMPARE(button->size(), QSize(60, 42));
        QCOMPARE(button->property("row"), QVariant(0));
        QVERIFY(button->isHidden());
    }

    void writeConversion_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("coil 2 is on") << int(kCoil) << "2" << QVariant(true);
        QTest::newRow("coil 0 is off") << int(kCoil) << "0" << QVariant(false);
        QTest::newRow("coil empty is off") << int(kCoil) << "" << QVariant(false);
        QTest::newRow("coil word true is off") << int(kCoil) << "true" << QVariant(false);
        QTest::newRow("int32 decimal point gives 0") << int(kHoldingRegister32) << "1.5" << QVariant(0);
        QTest::newRow("int32 plain") << int(kHoldingRegister32) << "-123456" << QVariant(-123456);
        QTest::newRow("int16 out of range gives 0") << int(kHoldingRegister16) << "70000" << QVariant(0);
        QTest::newRow("int16 negative") << int(kHoldingRegister16) << "-5" << QVariant(-5);
        QTest::newRow("float") << int(kHoldingRegisterFloat32) << "3.14159" << QVariant(3.14159f);
        QTest::newRow("float letters give 0") << int(kHoldingRegisterFloat32) << "abc" << QVariant(0.0f);
    }

    void writeConversion()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QVariant, expected);
        panel->AddItem(addrItem("x", "40", kind, text));
        QSignalSpy spy(panel.get(), &PLCSettingWid::Signal_WritePLCData);
        writeRow(0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(int(kindArg(spy.at(0))), kind);
        QCOMPARE(spy.at(0).at(1).toInt(), 40);
        const auto values = spy.at(0).at(2).value<std::shared_ptr<QVariantList>>();
        QVERIFY(values);
        QCOMPARE(values->size(), 1);
        QCOMPARE(values->at(0).userType(), expected.userType());
        QCOMPARE(values->at(0), expected);
    }

    void unknownKindLogsAndWritesNothing_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind : { 1, 2, 99, -1 })
            QTest::newRow(qPrintable(QString::number(kind))) << kind;
    }

    void unknownKindLogsAndWritesNothing()
    {
        QFETCH(int, kind);
        panel->AddItem(addrItem("x", "1", kind, "5"));
        QSignalSpy spy(panel.get(), &PLCSettingWid::Signal_WritePLCData);
        QTest::ignoreMessage(QtCriticalMsg, "Send PLCData Unknown Core::nsCMuNiK::MODBUS_ADDR_TYPE ");
        writeRow(0);
        QCOMPARE(spy.count(), 0);
    }

    // A stale row number would send the operator's value to another address.
    void writeAfterDeleteActsOnItsOwnRow()
    {
        panel->AddItem(addrItem("A", "10", kCoil, "1"));
        panel->AddItem(addrItem("B", "20", kHoldingRegister16, "222"));
        panel->AddItem(addrItem("C", "30", kHoldingRegister32, "333"));
        clickRow(table, 0);
        QTest::mouseClick(panel->findChild<QPushButton *>("btnDelWrite"), Qt::LeftButton);
        QCOMPARE(columnTexts(table, 0), QStringList({ "B", "C" }));

        QSignalSpy spy(panel.get(), &PLCSettingWid::Signal_WritePLCData);
        writeRow(0);
        writeRow(1);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(kindArg(spy.at(0)), kHoldingRegister16);
        QCOMPARE(spy.at(0).at(1).toInt(), 20);
        QCOMPARE(spy.at(0).at(2).value<std::shared_ptr<QVariantList>>()->at(0), QVariant(222));
        QCOMPARE(kindArg(spy.at(1)), kHoldingRegister32);
        QCOMPARE(spy.at(1).at(1).toInt(), 30);
        QCOMPARE(spy.at(1).at(2).value<std::shared_ptr<QVariantList>>()->at(0), QVariant(333));

        // Rows inserted above by any path move the numbers too.
        table->insertRow(0);
        QCOMPARE(writeButton(1)->property("row"), QVariant(1));
        QCOMPARE(writeButton(2)->property("row"), QVariant(2));
    }

    void typedValueIsWritten()
    {
        panel->AddItem(addrItem("A", "5", kHoldingRegister32, "0"));
        typeIntoValueCell(0, "77");
        QSignalSpy spy(panel.get(), &PLCSettingWid::Signal_WritePLCData);
        QTest::mouseClick(writeButton(0), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(2).value<std::shared_ptr<QVariantList>>()->at(0), QVariant(77));
    }

    void overflowingAddressIsNotWrappedOntoAnother()
    {
        // 2^32 + 1 would wrap onto address 1 if converted as a 64-bit number first.
        panel->AddItem(addrItem("far", "4294967297", kHoldingRegister16, "9"));
        panel->Slot_ReadDataResult(kHoldingRegister16, 1, 5, 0.0f);
        QCOMPARE(table->item(0, 1)->text(), QString("9"));
        QSignalSpy spy(panel.get(), &PLCSettingWid::Signal_WritePLCData);
        writeRow(0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toInt(), 0);
    }

    void typedValueOutlivesReadResultsUntilWritten()
    {
        // The same address polled elsewhere keeps sending results; they must not swap the operator's value.
        panel->AddItem(addrItem("A", "5", kHoldingRegister16, "1"));
        typeIntoValueCell(0, "42");

        panel->Slot_ReadDataResult(kHoldingRegister16, 5, 1, 0.0f);
        QCOMPARE(table->item(0, 1)->text(), QString("42"));

        QSignalSpy spy(panel.get(), &PLCSettingWid::Signal_WritePLCData);
        QTest::mouseClick(writeButton(0), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(2).value<std::shared_ptr<QVariantList>>()->at(0), QVariant(42));

        // Written: the cell follows the PLC again.
        panel->Slot_ReadDataResult(kHoldingRegister16, 5, 42, 0.0f);
        panel->Slot_ReadDataResult(kHoldingRegister16, 5, 7, 0.0f);
        QCOMPARE(table->item(0, 1)->text(), QString("7"));
    }

    void onlyCurrentRowsButtonIsVisible()
    {
        for (int i = 0; i < 3; ++i)
            panel->AddItem(addrItem(QString::number(i), QString::number(i), kCoil));
        auto visible = [&] {
            QList<int> rows;
            for (int r = 0; r < table->rowCount(); ++r)
                if (writeButton(r)->isVisible())
                    rows << r;
            return rows;
        };
        QCOMPARE(visible(), QList<int>());
        clickRow(table, 1);
        QCOMPARE(visible(), QList<int>({ 1 }));
        clickRow(table, 2);
        QCOMPARE(visible(), QList<int>({ 2 }));
        panel->AddItem(addrItem("new", "9", kCoil));
        QVERIFY(writeButton(3)->isHidden());
        table->setCurrentItem(nullptr);
        QCOMPARE(visible(), QList<int>());
    }

    void addAndLoadRequestOneReadPerRow()
    {
        QSignalSpy spy(panel.get(), &PLCSettingWid::Signal_ReadPLCData);
        panel->AddItem(addrItem("first", "100", kHoldingRegister16));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0), QList<QVariant>({ QVariant::fromValue(kHoldingRegister16), 100, 1 }));

        panel->LoadFromJson({ addrItem("a", "1", kCoil), addrItem("b", "2", kHoldingRegister32),
            addrItem("c", "3", kHoldingRegisterFloat32) });
        QCOMPARE(columnTexts(table, 0), QStringList({ "first", "a", "b", "c" }));
        QCOMPARE(spy.count(), 4);
        QCOMPARE(kindArg(spy.at(3)), kHoldingRegisterFloat32);
        QCOMPARE(spy.at(3).at(1).toInt(), 3);
        QCOMPARE(spy.at(3).at(2).toInt(), 1);
    }

    void deleteRemovesCurrentRowAndAsksNothing()
    {
        QSignalSpy reads(panel.get(), &PLCSettingWid::Signal_ReadPLCData);
        QSignalSpy writes(panel.get(), &PLCSettingWid::Signal_WritePLCData);
        auto *del = panel->findChild<QPushButton *>("btnDelWrite");
        QTest::mouseClick(del, Qt::LeftButton); // empty table
        panel->LoadFromJson({ addrItem("a", "1", kCoil), addrItem("b", "2", kCoil), addrItem("c", "3", kCoil) });
        table->setCurrentItem(nullptr);
        QTest::mouseClick(del, Qt::LeftButton);
        QCOMPARE(table->rowCount(), 3);
        clickRow(table, 1);
        QTest::mouseClick(del, Qt::LeftButton);
        QCOMPARE(columnTexts(table, 0), QStringList({ "a", "c" }));
        QCOMPARE(reads.count(), 3);
        QCOMPARE(writes.count(), 0);
    }

    void saveAndReload()
    {
        panel->AddItem(addrItem("速度", "0100", kHoldingRegisterFloat32, "1.5", "m/s"));
        panel->AddItem(addrItem("coil", "abc", 2, ""));
        QJsonArray saved;
        panel->SaveToJson(saved);
        QCOMPARE(saved.size(), 2);
        const QJsonObject first = saved.at(0).toObject();
        QCOMPARE(first.keys(), QStringList({ AddrKind::kJsonKey, "addr", "name", "value" }));
        QCOMPARE(first.value("name"), QJsonValue("速度"));
        QCOMPARE(first.value("addr"), QJsonValue("0100"));
        QCOMPARE(first.value("value"), QJsonValue("1.5"));
        QCOMPARE(first.value(AddrKind::kJsonKey), QJsonValue(5));
        QCOMPARE(saved.at(1).toObject().value(AddrKind::kJsonKey), QJsonValue(2));

        PLCSettingWid again(nullptr);
        again.LoadFromJson(saved);
        QJsonArray resaved;
        again.SaveToJson(resaved);
        QCOMPARE(resaved, saved);
    }

    // Hand-edited lists must load; whatever cannot be read becomes an empty name, address 0 and a coil.
    void badInputListsLoad()
    {
        QJsonArray list { addrItem("k1", "1", 1), addrItem("k99", "2", 99), addrItem("k-1", "3", -1),
            QJsonObject { { "name", "n" }, { "addr", 42 }, { AddrKind::kJsonKey, "3" } },
            QJsonObject { { AddrKind::kJsonKey, 3.5 } }, QJsonObject { { AddrKind::kJsonKey, 1e12 } }, 42, "text",
            QJsonArray { 1 }, QJsonValue::Null, QJsonObject() };
        QSignalSpy spy(panel.get(), &PLCSettingWid::Signal_ReadPLCData);
        panel->LoadFromJson(list);
        QCOMPARE(table->rowCount(), list.size());
        QCOMPARE(spy.count(), list.size());
        QList<int> kinds;
        QList<int> addrs;
        for (const auto &args : spy) {
            kinds << int(kindArg(args));
            addrs << args.at(1).toInt();
        }
        QCOMPARE(kinds, QList<int>({ 1, 99, -1, 0, 0, 0, 0, 0, 0, 0, 0 }));
        QCOMPARE(addrs, QList<int>({ 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0 }));
        QJsonArray saved;
        panel->SaveToJson(saved);
        QCOMPARE(saved.at(3).toObject().value("addr"), QJsonValue(""));
        QCOMPARE(saved.at(6).toObject(),
            QJsonObject({ { "name", "" }, { "addr", "" }, { "value", "" }, { AddrKind::kJsonKey, 0 } }));
    }

    void largeListLoads()
    {
#if defined(__SANITIZE_ADDRESS__)
        const int rows = 2000; // each row builds a styled button; under the sanitizer 20000 take minutes
#else
        const int rows = 20000;
#endif
        QJsonArray list;
        for (int i = 0; i < rows; ++i)
            list.append(addrItem(QString("r%1").arg(i), QString::number(i), i % 7));
        QSignalSpy spy(panel.get(), &PLCSettingWid::Signal_ReadPLCData);
        panel->LoadFromJson(list);
        QCOMPARE(table->rowCount(), rows);
        QCOMPARE(spy.count(), rows);
        QCOMPARE(writeButton(rows - 1)->property("row"), QVariant(rows - 1));
    }
};

QTEST_MAIN(TestWritePanel)
#include "tst_writepanel.moc"

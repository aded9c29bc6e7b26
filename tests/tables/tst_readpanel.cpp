#include "PLCSettingWid.h"
#include "PellinDataWid.h"
#include "TableTestUtil.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Core::nsCMuNiK;

class TestReadPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<PellinDataWid> panel;
    QTableWidget *table = nullptr;

    void deleteRow(int row)
    {
        clickRow(table, row);
        QTest::mouseClick(panel->findChild<QPushButton *>("btnDelItem"), Qt::LeftButton);
    }

    // Double-clicks the value cell as an operator does; true when an editor opened.
    static bool doubleClickOpensEditor(QTableWidget *t)
    {
        const QPoint cell = t->visualItemRect(t->item(0, 1)).center();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell); // Qt 5 needs it before a double-click
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, cell);
        return t->viewport()->findChild<QLineEdit *>() != nullptr;
    }

private slots:
    void initTestCase() { AddrKind::registerMetaTypes(); }

    void init()
    {
        panel = std::make_unique<PellinDataWid>(nullptr);
        table = panel->findChild<QTableWidget *>("tblWidPLCData");
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    }

    void cleanup() { panel.reset(); }

    void formAndTableSetUp()
    {
        QCOMPARE(panel->objectName(), QString("PellinDataWidClass"));
        QCOMPARE(panel->windowTitle(), QString("PellinDataWid"));
        QVERIFY(panel->findChild<QWidget *>("widContent"));
        QVERIFY(panel->findChild<QWidget *>("widTop")->isVisible());
        QCOMPARE(panel->findChild<QPushButton *>("btnAddItem")->text(), QString("添加"));
        QCOMPARE(panel->findChild<QPushButton *>("btnAddItem")->maximumSize(), QSize(100, 42));
        QCOMPARE(panel->findChild<QPushButton *>("btnDelItem")->text(), QString("删除"));
        QCOMPARE(panel->findChild<QLabel *>("lbErr")->text(), QString());
        QVERIFY(table);
        QStringList headers;
        for (int c = 0; c < table->columnCount(); ++c)
            headers << table->horizontalHeaderItem(c)->text();
        QCOMPARE(headers, QStringList({ "名称", "值", "单位" }));
        QCOMPARE(table->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
        QCOMPARE(table->columnWidth(1), 180);
        QCOMPARE(table->columnWidth(2), 120);
        QCOMPARE(table->verticalHeader()->defaultSectionSize(), 50);
        QVERIFY(table->verticalHeader()->isHidden());
        QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void rowLayout()
    {
        panel->AddItem(addrItem("温度", "7", kHoldingRegisterFloat32, "", "℃"));
        QCOMPARE(columnTexts(table, 0), QStringList({ "温度" }));
        QCOMPARE(table->item(0, 0)->data(Qt::UserRole), QVariant(QString("7")));
        QCOMPARE(table->item(0, 1)->data(Qt::UserRole), QVariant(5));
        QCOMPARE(table->item(0, 2)->text(), QString("℃"));
        QCOMPARE(table->item(0, 2)->data(Qt::UserRole), QVariant(QString("℃")));
    }

    void addLoadAndDeleteStartAndStopReads()
    {
        QSignalSpy starts(panel.get(), &PellinDataWid::Signal_TimerReadPLCData);
        QSignalSpy stops(panel.get(), &PellinDataWid::Signal_CancelTimerReadPLCData);
        panel->AddItem(addrItem("a", "10", kHoldingRegister16, "", "mm"));
        QCOMPARE(starts.count(), 1);
        QCOMPARE(starts.at(0), QList<QVariant>({ QVariant::fromValue(kHoldingRegister16), 10, 1 }));

        panel->LoadFromJson({ addrItem("b", "20", kCoil), addrItem("dup", "10", kHoldingRegister16),
            addrItem("c", "30", kHoldingRegister32) });
        QCOMPARE(columnTexts(table, 0), QStringList({ "a", "b", "dup", "c" }));
        QCOMPARE(starts.count(), 4);
        QCOMPARE(starts.at(2), QList<QVariant>({ QVariant::fromValue(kHoldingRegister16), 10, 1 }));

        deleteRow(2);
        QCOMPARE(stops.count(), 1);
        QCOMPARE(stops.at(0), QList<QVariant>({ QVariant::fromValue(kHoldingRegister16), 10 }));
        QCOMPARE(columnTexts(table, 0), QStringList({ "a", "b", "c" }));
        deleteRow(2);
        QCOMPARE(stops.at(1), QList<QVariant>({ QVariant::fromValue(kHoldingRegister32), 30 }));

        table->setCurrentItem(nullptr);
        QTest::mouseClick(panel->findChild<QPushButton *>("btnDelItem"), Qt::LeftButton);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(stops.count(), 2);
        QCOMPARE(starts.count(), 4);
    }

    void deleteWithoutItemsStillRemovesRow()
    {
        panel->AddItem(addrItem("a", "1", kCoil));
        delete table->takeItem(0, 1);
        QSignalSpy stops(panel.get(), &PellinDataWid::Signal_CancelTimerReadPLCData);
        deleteRow(0);
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(stops.count(), 0);
    }

    void saveAndReload()
    {
        panel->AddItem(addrItem("压力", "0300", kHoldingRegisterFloat32, "", "bar"));
        panel->AddItem(addrItem("odd", "x", 1, "", ""));
        panel->Slot_ReadDataResult(kHoldingRegisterFloat32, 300, 0, 1.25f);
        QCOMPARE(table->item(0, 1)->text(), QString("1.25"));
        QJsonArray saved;
        panel->SaveToJson(saved);
        QCOMPARE(saved.size(), 2);
        const QJsonObject first = saved.at(0).toObject();
        QCOMPARE(first.keys(), QStringList({ AddrKind::kJsonKey, "addr", "name", "unit" }));
        QCOMPARE(first,
            QJsonObject({ { "name", "压力" }, { "addr", "0300" }, { AddrKind::kJsonKey, 5 }, { "unit", "bar" } }));
        QCOMPARE(saved.at(1).toObject().value(AddrKind::kJsonKey), QJsonValue(1));

        PellinDataWid again(nullptr);
        again.LoadFromJson(saved);
        auto *againTable = again.findChild<QTableWidget *>("tblWidPLCData");
        QCOMPARE(columnTexts(againTable, 1), QStringList({ "", "" }));
        QJsonArray resaved;
        again.SaveToJson(resaved);
        QCOMPARE(resaved, saved);
    }

    void setEditableHidesOnlyTheEditBar()
    {
        panel->AddItem(addrItem("a", "1", kCoil));
        panel->SetEditable(false);
        for (const char *name : { "widTop", "btnAddItem", "btnDelItem", "lbErr" })
            QVERIFY2(!panel->findChild<QWidget *>(name)->isVisible(), name);
        QVERIFY(table->isVisible());
        panel->Slot_ReadDataResult(kCoil, 1, 1, 0.f);
        QCOMPARE(table->item(0, 1)->text(), QString("1"));
        panel->SetEditable(true);
        QVERIFY(panel->findChild<QWidget *>("btnDelItem")->isVisible());
    }

    void doubleClickOpensNoEditor()
    {
        panel->AddItem(addrItem("a", "1", kCoil));
        QVERIFY(!doubleClickOpensEditor(table));
        // The same gesture does open one in the write table, so the check can see an editor.
        PLCSettingWid writePanel(nullptr);
        writePanel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&writePanel));
        writePanel.AddItem(addrItem("a", "1", kCoil));
        QVERIFY(doubleClickOpensEditor(writePanel.findChild<QTableWidget *>("tableWidgetWrite")));
    }

    void badInputListsLoad()
    {
        QJsonArray list { addrItem("k2", "5", 2), addrItem("k-1", "6", -1),
            QJsonObject { { "name", 7 }, { "addr", 42 }, { "unit", true } }, "text", 3, QJsonValue::Null };
        QSignalSpy starts(panel.get(), &PellinDataWid::Signal_TimerReadPLCData);
        panel->LoadFromJson(list);
        QCOMPARE(table->rowCount(), list.size());
        QCOMPARE(starts.count(), list.size());
        QCOMPARE(int(kindArg(starts.at(0))), 2);
        QCOMPARE(int(kindArg(starts.at(1))), -1);
        QCOMPARE(starts.at(2).at(1).toInt(), 0);
        QJsonArray saved;
        panel->SaveToJson(saved);
        QCOMPARE(saved.at(2).toObject(),
            QJsonObject({ { "name", "" }, { "addr", "" }, { "unit", "" }, { AddrKind::kJsonKey, 0 } }));

        QJsonArray large;
        for (int i = 0; i < 20000; ++i)
            large.append(addrItem("r", QString::number(i), 3));
        panel->LoadFromJson(large);
        QCOMPARE(table->rowCount(), list.size() + 20000);
        panel->Slot_ReadDataResult(kHoldingRegister16, 19999, -3, 0.f);
        QCOMPARE(table->item(table->rowCount() - 1, 1)->text(), QString("-3"));
    }
};

QTEST_MAIN(TestReadPanel)
#include "tst_readpanel.moc"

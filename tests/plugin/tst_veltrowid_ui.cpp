// The working widget as the host shows it: built through the loaded plug-in.
#include "PLCLinkSettingWid.h"
#include "PLCSettingWid.h"
#include "PellinDataWid.h"
#include "PluginFile.h"
#include "PluginWidget.h"
#include "SysInterfaceImpl.h"
#include "UserManager.h"

#include <QJsonArray>
#include <QPlainTextEdit>
#include <QPluginLoader>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

void logIn(const QString &name, bool canEdit)
{
    Auth::UserManager::getInstance()->setCurrentAccount(name, canEdit);
}

} // namespace

class tst_VeltroWidUi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void tabsInOrder();
    void tableColoursForThePages();
    void logIsAFixedHeightReadOnlyView();
    void editingFollowsTheAccount();
    void hiddenPagesStillRestore();
    void nobodyLoggedInHidesEditingAfterRestore();
    void accountChangeReachesEveryWidget();

private:
    QTabWidget *tabs() const { return widget->findChild<QTabWidget *>("tabWidget"); }
    QWidget *editBar() const { return widget->findChild<QWidget *>("widTop"); }
    QStringList visibleTitles() const;

    QPluginLoader loader;
    PluginWidget *root = nullptr;
    SysInterfaceImpl sys;
    std::unique_ptr<PluginWidget> widget;
};

QStringList tst_VeltroWidUi::visibleTitles() const
{
    QStringList titles;
    for (int i = 0; i < tabs()->count(); ++i)
        if (tabs()->isTabVisible(i))
            titles << tabs()->tabText(i);
    return titles;
}

void tst_VeltroWidUi::initTestCase()
{
    loader.setFileName(veltroPluginFile());
    root = qobject_cast<PluginWidget *>(loader.instance());
    QVERIFY2(root, qPrintable(loader.errorString()));
}

void tst_VeltroWidUi::init()
{
    logIn(QString(), false);
    widget.reset(root->createWidget(&sys));
    widget->resize(900, 700);
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
}

void tst_VeltroWidUi::cleanup()
{
    widget.reset();
}

void tst_VeltroWidUi::tabsInOrder()
{
    QCOMPARE(tabs()->parentWidget(), widget.get());
    QCOMPARE(tabs()->count(), 3);
    QCOMPARE(visibleTitles(), (QStringList { "显示", "设置", "链接设置" }));
    QCOMPARE(tabs()->currentIndex(), 0);
    QVERIFY(qobject_cast<PellinDataWid *>(tabs()->widget(0)));
    QVERIFY(qobject_cast<PLCSettingWid *>(tabs()->widget(1)));
    QVERIFY(qobject_cast<PLCLinkSettingWid *>(tabs()->widget(2)));
    QVERIFY(tabs()->styleSheet().isEmpty());
    QVERIFY(editBar()->isVisible());
}

void tst_VeltroWidUi::tableColoursForThePages()
{
    const QString sheet = widget->styleSheet().simplified().remove(' ');
    QVERIFY(sheet.contains("QTableView,QTableWidget{font:13pt;text-align:center;alternate-background-color:#757575;"
                           "background-color:#616161;color:white;}"));
    QVERIFY(sheet.contains("QHeaderView,QTableViewQTableCornerButton::section{background-color:#5a5a5a;color:white;}"));
    QVERIFY(sheet.contains("QHeaderView::section,QTableCornerButton:section{text-align:center;border:1pxsolid#242424;"
                           "background-color:#5a5a5a;}"));
    // The pages inherit it.
    auto *table = widget->findChild<QTableWidget *>("tblWidPLCData");
    QCOMPARE(table->palette().color(QPalette::Base), QColor("#616161"));
}

void tst_VeltroWidUi::logIsAFixedHeightReadOnlyView()
{
    auto *log = widget->findChild<QPlainTextEdit *>("plainTextEdit");
    QVERIFY(log);
    QCOMPARE(log->parentWidget(), widget.get());
    QVERIFY(log->isReadOnly());
    QCOMPARE(log->document()->maximumBlockCount(), 2000);
    QCOMPARE(log->height(), 200);
    widget->resize(900, 1200);
    QTRY_COMPARE(log->height(), 200);
    QCOMPARE(log->width(), widget->width());
    QVERIFY(log->toPlainText().isEmpty());

    auto *layout = qobject_cast<QVBoxLayout *>(widget->layout());
    QVERIFY(layout);
    QCOMPARE(layout->contentsMargins(), QMargins());
    QCOMPARE(layout->indexOf(tabs()), 0);
    QCOMPARE(layout->indexOf(log), 1);
}

void tst_VeltroWidUi::editingFollowsTheAccount()
{
    logIn("operator", false);
    emit sys.curAccountChanged();
    QCOMPARE(visibleTitles(), QStringList { "显示" });
    QVERIFY(!editBar()->isVisible());

    logIn("engineer", true);
    emit sys.curAccountChanged();
    QCOMPARE(visibleTitles(), (QStringList { "显示", "设置", "链接设置" }));
    QCOMPARE(tabs()->indexOf(widget->findChild<PLCLinkSettingWid *>()), 2);
    QVERIFY(editBar()->isVisible());

    logIn(QString(), true); // rights without an account are no rights
    emit sys.curAccountChanged();
    QCOMPARE(visibleTitles(), QStringList { "显示" });
}

void tst_VeltroWidUi::hiddenPagesStillRestore()
{
    logIn("operator", false);
    emit sys.curAccountChanged();
    QJsonObject doc { { "PLCLinkInfo", QJsonObject { { "type", "Modbus-RTU" }, { "COM", "" }, { "Device", "4" } } },
        { "WriteAddrList", QJsonArray { QJsonObject { { "name", "w" }, { "addr", "1" }, { "value", "5" } } } } };
    widget->deserialize(doc);
    QCOMPARE(widget->findChild<QTableWidget *>("tableWidgetWrite")->rowCount(), 1);
    QJsonObject saved;
    widget->serialize(saved);
    QCOMPARE(saved.value("PLCLinkInfo").toObject().value("type").toString(), QString("Modbus-RTU"));
    QCOMPARE(saved.value("PLCLinkInfo").toObject().value("Device").toString(), QString("4"));
    QCOMPARE(visibleTitles(), QStringList { "显示" });
}

void tst_VeltroWidUi::nobodyLoggedInHidesEditingAfterRestore()
{
    QCOMPARE(visibleTitles().size(), 3); // never restored, no account change yet
    QJsonObject empty;
    widget->deserialize(empty);
    QCOMPARE(visibleTitles(), QStringList { "显示" });
    QVERIFY(!editBar()->isVisible());
}

void tst_VeltroWidUi::accountChangeReachesEveryWidget()
{
    std::unique_ptr<PluginWidget> other(root->createWidget(&sys));
    auto *otherTabs = other->findChild<QTabWidget *>("tabWidget");
    logIn("operator", false);
    emit sys.curAccountChanged();
    QVERIFY(!tabs()->isTabVisible(1));
    QVERIFY(!otherTabs->isTabVisible(1));

    other.reset();
    logIn("engineer", true);
    emit sys.curAccountChanged();
    QVERIFY(tabs()->isTabVisible(1));
}

QTEST_MAIN(tst_VeltroWidUi)
#include "tst_veltrowid_ui.moc"

#include "AccountSwitcher.h"
#include "ConfigStore.h"
#include "HostResources.h"
#include "MainWindow.h"
#include "PluginHost.h"
#include "PluginWidget.h"
#include "UserManager.h"
#include "ValueLines.h"

#include <QAction>
#include <QDockWidget>
#include <QJsonArray>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kIid = QStringLiteral("com.orvo.halcyra.VeltroWid");

QJsonObject readItem(const char *name, const char *addr, int kind, const char *unit)
{
    return { { "name", name }, { "addr", addr }, { "Core::nsCMuNiK::MODBUS_ADDR_TYPE", kind }, { "unit", unit } };
}

QTabWidget *tabsOf(QWidget *panel)
{
    return panel->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initHostResources();
        QVERIFY(dir.isValid());
        QCOMPARE(plugins.loadFolder(QStringLiteral(VELTRO_PLUGIN_DIR)), 1);
        QCOMPARE(plugins.plugins().constFirst().iid, kIid);
    }

    void init()
    {
        store = std::make_unique<ConfigStore>(dir.filePath(QStringLiteral("panels.json")));
        window = std::make_unique<MainWindow>(plugins, *store);
        window->accountSwitcher()->switchTo(QStringLiteral("engineer"));
    }
    void cleanup() { window.reset(); }

    void firstPanelIsCentralWithThreeTabsAndHostIcons()
    {
        window->restorePanels({});
        window->show();
        QCOMPARE(window->metaObject()->className(), "MainWindow");
        QCOMPARE(window->panels().size(), 1);
        PluginWidget *panel = window->panels().constFirst();
        QCOMPARE(window->centralWidget(), panel);
        QVERIFY(window->windowTitle().startsWith(panel->pluginTitle()));

        QTabWidget *tabs = tabsOf(panel);
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("显示"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("设置"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("链接设置"));

        for (const char *name : { "btnAddItem", "btnDelItem" }) {
            auto *button = panel->findChild<QPushButton *>(QLatin1String(name));
            QVERIFY(button);
            QVERIFY2(!button->icon().pixmap(16).isNull(), name);
        }
    }

    void accountSwitchShowsAndHidesEditing()
    {
        window->restorePanels({});
        window->show();
        PluginWidget *panel = window->panels().constFirst();
        QTabWidget *tabs = tabsOf(panel);
        QWidget *editBar = panel->findChild<QWidget *>(QStringLiteral("widTop"));
        QVERIFY(editBar);
        QVERIFY(tabs->isTabVisible(1) && tabs->isTabVisible(2) && editBar->isVisibleTo(panel));

        AccountSwitcher *accounts = window->accountSwitcher();
        accounts->setFocus();
        QTest::keyClick(accounts, Qt::Key_Up);
        QCOMPARE(accounts->currentText(), QStringLiteral("operator"));
        QCOMPARE(Auth::UserManager::getInstance()->currentAccount(), QStringLiteral("operator"));
        QVERIFY(!Auth::UserManager::getInstance()->hasEditRights());
        QVERIFY(tabs->isTabVisible(0));
        QVERIFY(!tabs->isTabVisible(1));
        QVERIFY(!tabs->isTabVisible(2));
        QVERIFY(!editBar->isVisibleTo(panel));

        QTest::keyClick(accounts, Qt::Key_Down);
        QCOMPARE(accounts->currentText(), QStringLiteral("engineer"));
        QVERIFY(tabs->isTabVisible(1) && tabs->isTabVisible(2) && editBar->isVisibleTo(panel));
        QCOMPARE(tabs->tabText(1), QStringLiteral("设置"));
    }

    void accountChosenBeforeRestoreApplies()
    {
        window->accountSwitcher()->switchTo(QStringLiteral("operator"));
        window->restorePanels({ QJsonObject(), QJsonObject() });
        QCOMPARE(window->panels().size(), 2);
        for (PluginWidget *panel : window->panels())
            QVERIFY(!tabsOf(panel)->isTabVisible(1));
    }

    void storedPanelsComeBackWithTheirKeys()
    {
        const QJsonObject first {
            { "ReadAddrList", QJsonArray { readItem("速度", "100", 3, "mm/s"), readItem("温度", "102", 5, "") } },
            { "hostNote", "kept" }
        };
        const QJsonObject second { { "ReadAddrList", QJsonArray { readItem("压力", "7", 4, "kPa") } } };
        window->restorePanels({ first, second });

        QCOMPARE(window->panels().size(), 2);
        auto *dock = window->findChild<QDockWidget *>();
        QVERIFY(dock);
        QCOMPARE(dock->widget(), window->panels().at(1));
        QCOMPARE(dock->windowTitle(), window->panels().at(1)->pluginTitle());
        QCOMPARE(readTableLines(window->panels().at(0)),
            (QStringList { QStringLiteral("速度 =  mm/s"), QStringLiteral("温度 = ") }));

        const QList<QJsonObject> saved = window->panelConfigs();
        QCOMPARE(saved.size(), 2);
        QCOMPARE(saved.at(0).value("hostNote"), QJsonValue("kept"));
        QCOMPARE(saved.at(0).value("pluginIid"), QJsonValue(kIid));
        QCOMPARE(saved.at(0).value("ReadAddrList"), first.value("ReadAddrList"));
        QCOMPARE(saved.at(1).value("ReadAddrList"), second.value("ReadAddrList"));
        QVERIFY(saved.at(1).contains("PLCLinkInfo"));
        QVERIFY(saved.at(1).contains("WriteAddrList"));
    }

    void panelsOfMissingPluginsAreKeptUnchanged()
    {
        const QJsonObject foreign { { "pluginIid", "com.example.Elsewhere" }, { "data", QJsonArray { 1, 2 } } };
        window->restorePanels({ foreign });
        // The stored panel cannot be shown, yet the window still offers one of the loaded plug-in.
        QCOMPARE(window->panels().size(), 1);
        const QList<QJsonObject> saved = window->panelConfigs();
        QCOMPARE(saved.size(), 2);
        QCOMPARE(saved.at(0), foreign);
        QCOMPARE(saved.at(1).value("pluginIid"), QJsonValue(kIid));
    }

    void menuOpensAnotherPanelAndClosingItDropsIt()
    {
        window->restorePanels({});
        window->show();
        auto *open = window->findChild<QAction *>(QStringLiteral("actNewPanel_0"));
        QVERIFY(open);
        open->trigger();
        QCOMPARE(window->panels().size(), 2);
        QVERIFY(window->panels().at(0) != window->panels().at(1));
        QCOMPARE(tabsOf(window->panels().at(1))->count(), 3);
        QCOMPARE(window->panelConfigs().size(), 2);

        auto *dock = window->findChild<QDockWidget *>();
        QVERIFY(dock);
        QPointer<PluginWidget> second = window->panels().at(1);
        dock->close();
        QTRY_VERIFY(second.isNull());
        QCOMPARE(window->panels().size(), 1);
        QCOMPARE(window->panelConfigs().size(), 1);
    }

    void saveActionWritesTheFile()
    {
        window->restorePanels({ QJsonObject { { "mine", true } } });
        auto *save = window->findChild<QAction *>(QStringLiteral("actSaveConfig"));
        QVERIFY(save);
        QCOMPARE(save->shortcut(), QKeySequence(QKeySequence::Save));
        save->trigger();
        ConfigStore reread(store->path());
        QVERIFY(reread.load());
        QCOMPARE(reread.panels(), window->panelConfigs());
        QCOMPARE(reread.panels().constFirst().value("mine"), QJsonValue(true));
    }

private:
    QTemporaryDir dir;
    PluginHost plugins;
    std::unique_ptr<ConfigStore> store;
    std::unique_ptr<MainWindow> window;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

#include "AccountSwitcher.h"
#include "ConfigStore.h"
#include "E2eSupport.h"
#include "HostResources.h"
#include "MainWindow.h"
#include "PeerProcess.h"
#include "PluginHost.h"
#include "PluginWidget.h"

#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace E2eSupport;

// A write as the operator makes it, in the host's own window: select the row, type the value into its
// value cell, press "写入"; the simulator must receive exactly that value.
// The read table watches other addresses: a timed read of a written address replaces the typed text of the
// matching write row on every poll, by design, which would race the typing here.
class TestE2eWrite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initHostResources();
        QVERIFY(m_dir.isValid());
        QCOMPARE(m_plugins.loadFolder(QStringLiteral(VELTRO_PLUGIN_DIR)), 1);
    }

    void typedValueReachesThePlc_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("coil") << 0 << "1"
                              << "write fc=05 addr=100 count=1 values=1";
        QTest::newRow("16-bit register, negative") << 1 << "-2"
                                                   << "write fc=06 addr=110 count=1 values=65534";
        // 32-bit values low word first, as the simulator keeps them.
        QTest::newRow("32-bit integer") << 2 << "-98765"
                                        << "write fc=16 addr=120 count=2 values=32307,65534";
        QTest::newRow("float") << 3 << "36.5"
                               << "write fc=16 addr=130 count=2 values=0,16914";
    }

    void typedValueReachesThePlc()
    {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QString, written);

        PeerProcess sim;
        const quint16 port = startPlcsim(sim, { "--seed", demoSeedFile() });
        QVERIFY2(port, qPrintable(sim.describe()));
        const QJsonObject panel {
            { "PLCLinkInfo", tcpLink(port) },
            { "ReadAddrList", QJsonArray { readItem("产量", 0, 3, "件") } },
            { "WriteAddrList",
                QJsonArray { writeItem("启动", 100, 0), writeItem("目标速度", 110, 3), writeItem("目标位置", 120, 4),
                    writeItem("温度设定", 130, 5) } },
        };
        const QString path = m_dir.filePath(QStringLiteral("panels.json"));
        QVERIFY(writeJson(path, hostConfig(panel)));
        ConfigStore store(path);
        QVERIFY(store.load());
        MainWindow window(m_plugins, store);
        window.accountSwitcher()->switchTo(QStringLiteral("engineer"));
        window.restorePanels(store.panels());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.panels().size(), 1);
        PluginWidget *plugin = window.panels().constFirst();

        auto *tabs = plugin->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        QVERIFY(tabs);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        QCOMPARE(tabs->currentIndex(), 1);
        auto *table = plugin->findChild<QTableWidget *>(QStringLiteral("tableWidgetWrite"));
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 4);
        // Each row asked for its current value when it was loaded; the demo seed has one for each.
        QTRY_VERIFY_WITH_TIMEOUT(!table->item(row, 1)->text().isEmpty(), 5000);

        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 0)).center());
        const QPoint valueCell = table->visualItemRect(table->item(row, 1)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, valueCell);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, valueCell);
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        editor->selectAll();
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(table->item(row, 1)->text(), typed);

        QWidget *cell = table->cellWidget(row, 2);
        auto *button = cell ? cell->findChild<QPushButton *>() : nullptr;
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("写入"));
        QVERIFY(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);

        const QRegularExpressionMatch line = sim.waitForLine(QRegularExpression(QStringLiteral("^write .*$")), 5000);
        QVERIFY2(line.hasMatch(), qPrintable(sim.describe()));
        QCOMPARE(line.captured(0), written);
        QCOMPARE(sim.takeLines(200).filter(QStringLiteral("write ")), QStringList());
    }

private:
    QTemporaryDir m_dir;
    PluginHost m_plugins;
};

QTEST_MAIN(TestE2eWrite)
#include "tst_e2e_write.moc"

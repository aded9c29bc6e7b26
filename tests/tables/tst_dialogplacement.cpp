#include "AddrDialogPlacement.h"
#include "AddrWriteItemWid.h"
#include "PLCSettingWid.h"
#include "PellinDataWid.h"
#include "TableTestUtil.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <functional>

using namespace AddrDialogPlacement;

// The host's main window is recognised by its class name alone.
class MainWindow : public QWidget {
    Q_OBJECT
};

namespace {

struct SeenDialog {
    QPointer<AddrWriteItemWid> dialog;
    QWidget *parent = nullptr;
    QRect geometry;
    bool unitShown = false;
};

// Waits for the modal dialog inside its own event loop, records it, then lets `act` end it.
void whenDialogShows(SeenDialog *seen, std::function<void(AddrWriteItemWid *)> act, int triesLeft = 200)
{
    QTimer::singleShot(10, [=] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<AddrWriteItemWid *>(w);
            if (dialog && dialog->isVisible()) {
                seen->dialog = dialog;
                seen->parent = dialog->parentWidget();
                seen->geometry = dialog->frameGeometry();
                seen->unitShown = dialog->findChild<QLineEdit *>("edtUnit")->isVisible();
                act(dialog);
                return;
            }
        }
        if (triesLeft > 0)
            whenDialogShows(seen, act, triesLeft - 1);
    });
}

void bind(AddrWriteItemWid *dialog)
{
    QTest::keyClicks(dialog->findChild<QLineEdit *>("edtName"), "pump");
    QTest::keyClicks(dialog->findChild<QLineEdit *>("edtAddr"), "33");
    QTest::keyClicks(dialog->findChild<QLineEdit *>("edtUnit"), "kg");
    QTest::mouseClick(dialog->findChild<QPushButton *>("btnBind"), Qt::LeftButton);
}

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

class TestDialogPlacement : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { AddrKind::registerMetaTypes(); }

    void ruleTopLeft_data()
    {
        QTest::addColumn<QPoint>("panelGlobal");
        QTest::addColumn<int>("height");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("401 high truncates toward zero") << QPoint(600, 10) << 401 << QPoint(100, -49);
        QTest::newRow("tall window") << QPoint(700, 0) << 1080 << QPoint(200, 290);
        QTest::newRow("499 high gives 0") << QPoint(0, 0) << 499 << QPoint(-500, 0);
    }

    void ruleTopLeft()
    {
        QFETCH(QPoint, panelGlobal);
        QFETCH(int, height);
        QFETCH(QPoint, expected);
        QCOMPARE(AddrDialogPlacement::ruleTopLeft(panelGlobal, height), expected);
    }

    void keepInside_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QPoint>("expected");
        const QSize s(500, 280);
        QTest::newRow("inside stays") << QRect(QPoint(100, 50), s) << QPoint(100, 50);
        QTest::newRow("above and left") << QRect(QPoint(-400, -49), s) << QPoint(0, 0);
        QTest::newRow("below and right") << QRect(QPoint(700, 500), s) << QPoint(300, 320);
        QTest::newRow("larger than the area keeps the top-left") << QRect(-5, -5, 900, 700) << QPoint(0, 0);
    }

    void keepInside()
    {
        QFETCH(QRect, rect);
        QFETCH(QPoint, expected);
        QCOMPARE(AddrDialogPlacement::keepInside(rect, QRect(0, 0, 800, 600)), expected);
    }

    void lastMainWindowWins()
    {
        QCOMPARE(findMainWindow(), nullptr);
        QWidget named;
        named.setObjectName("MainWindow");
        MainWindow a, b, c;
        QWidget *expected = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<MainWindow *>(w))
                expected = w;
        QVERIFY(expected);
        QCOMPARE(findMainWindow(), expected);
    }

    void boundDialogOverMainWindowStaysOnScreen_data()
    {
        QTest::addColumn<bool>("writePanel");
        QTest::newRow("write panel") << true;
        QTest::newRow("read panel") << false;
    }

    void boundDialogOverMainWindowStaysOnScreen()
    {
        QFETCH(bool, writePanel);
        MainWindow first;
        MainWindow second;
        first.setGeometry(20, 0, 700, 401);
        second.setGeometry(40, 10, 700, 451);
        QWidget *panel = nullptr;
        if (writePanel)
            panel = new PLCSettingWid(&first);
        else
            panel = new PellinDataWid(&first);
        panel->setGeometry(150, 0, 540, 400);
        first.show();
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        QWidget *mainWindow = findMainWindow();
        const QPoint rule = AddrDialogPlacement::ruleTopLeft(panel->mapToGlobal(panel->pos()), mainWindow->height());
        const QRect ruleRect(rule, QSize(500, 280));
        QVERIFY(!available().contains(ruleRect)); // the case the on-screen mend is for

        SeenDialog seen;
        whenDialogShows(&seen, bind);
        QTest::mouseClick(panel->findChild<QPushButton *>(writePanel ? "btnAddWrite" : "btnAddItem"), Qt::LeftButton);

        QVERIFY(seen.parent);
        QCOMPARE(seen.parent, mainWindow);
        QCOMPARE(seen.geometry.size(), QSize(500, 280));
        QCOMPARE(seen.geometry.topLeft(), AddrDialogPlacement::keepInside(ruleRect, available()));
        QVERIFY(available().contains(seen.geometry));
        QCOMPARE(seen.unitShown, !writePanel);
        QVERIFY(seen.dialog.isNull()); // disposed of once exec() returned

        auto *table = panel->findChild<QTableWidget *>();
        QCOMPARE(columnTexts(table, 0), QStringList({ "pump" }));
        QCOMPARE(table->item(0, 0)->data(Qt::UserRole), QVariant(QString("33")));
        if (!writePanel)
            QCOMPARE(table->item(0, 2)->text(), QString("kg"));
    }

    void withoutMainWindowCentresOverPanel()
    {
        PLCSettingWid panel(nullptr);
        panel.setGeometry(120, 60, 587, 480);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QSignalSpy reads(&panel, &PLCSettingWid::Signal_ReadPLCData);

        SeenDialog seen;
        whenDialogShows(&seen, [](AddrWriteItemWid *dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton *>("btnClose"), Qt::LeftButton);
        });
        QTest::mouseClick(panel.findChild<QPushButton *>("btnAddWrite"), Qt::LeftButton);

        QCOMPARE(seen.parent, &panel);
        const QPoint off = seen.geometry.center() - panel.frameGeometry().center();
        QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1, "centred up to rounding");
        QVERIFY(seen.dialog.isNull());
        QCOMPARE(panel.findChild<QTableWidget *>()->rowCount(), 0);
        QCOMPARE(reads.count(), 0);
    }
};

QTEST_MAIN(TestDialogPlacement)
#include "tst_dialogplacement.moc"

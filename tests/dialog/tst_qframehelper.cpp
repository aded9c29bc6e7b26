#include "AddrWriteItemWid.h"
#include "QFrameHelper.h"

#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>

namespace {

const QPoint kStart(200, 150);

// Sends real window-system mouse events at global positions, as a pointer moving across the screen would.
class Pointer {
public:
    explicit Pointer(QWidget *top)
        : window(top->windowHandle())
    {
    }
    void press(const QPoint &global) { QTest::mousePress(window, Qt::LeftButton, {}, local(global)); }
    void move(const QPoint &global) { QTest::mouseMove(window, local(global)); }
    void release(const QPoint &global) { QTest::mouseRelease(window, Qt::LeftButton, {}, local(global)); }
    void drag(const QPoint &from, const QPoint &by)
    {
        press(from);
        move(from + by / 2);
        move(from + by);
        release(from + by);
        QCoreApplication::processEvents();
    }

private:
    QPoint local(const QPoint &global) const { return window->mapFromGlobal(global); }
    QWindow *window;
};

QPoint globalCentre(QWidget *w)
{
    return w->mapToGlobal(w->rect().center());
}

// A frameless window with a line edit and a label in its title strip, like other users of the helper.
struct Framed {
    explicit Framed(bool resizable)
    {
        top.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        auto *layout = new QVBoxLayout(&top);
        layout->setContentsMargins(10, 10, 10, 10);
        edit = new QLineEdit(&top);
        label = new QLabel(QStringLiteral("title"), &top);
        layout->addWidget(edit);
        layout->addWidget(label);
        layout->addStretch();
        top.setMinimumSize(200, 150);
        auto *helper = new QFrameHelper(&top);
        helper->activateOn(&top);
        helper->setTitleHeight(70);
        helper->setWidgetMovable(true);
        helper->setWidgetResizable(resizable);
        top.setGeometry(QRect(kStart, QSize(300, 240)));
        top.show();
    }
    QWidget top;
    QLineEdit *edit = nullptr;
    QLabel *label = nullptr;
};

} // namespace

class TstQFrameHelper : public QObject {
    Q_OBJECT

private slots:
    void init();
    void dragOnTitleBackgroundMovesByTheDistance();
    void dragBelowTheStripDoesNotMove();
    void dragOnButtonInTheStripDoesNotMove();
    void dragOnEditInTheStripDoesNotMoveButOnLabelDoes();
    void edgesDoNotResizeWhenNotResizable();
    void edgesResizeWhenResizable();
    void resizeStopsAtMinimumSize();

private:
    std::unique_ptr<QJsonObject> item;
    std::unique_ptr<AddrWriteItemWid> dlg;
};

void TstQFrameHelper::init()
{
    item = std::make_unique<QJsonObject>();
    dlg = std::make_unique<AddrWriteItemWid>(item.get(), nullptr);
    dlg->move(kStart);
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    QCOMPARE(dlg->pos(), kStart);
}

void TstQFrameHelper::dragOnTitleBackgroundMovesByTheDistance()
{
    auto *title = dlg->findChild<QWidget *>("widTitle");
    Pointer(dlg.get()).drag(title->mapToGlobal(QPoint(40, 30)), QPoint(37, -21));
    QTRY_COMPARE(dlg->pos(), kStart + QPoint(37, -21));
    QCOMPARE(dlg->size(), QSize(499, 298));
}

void TstQFrameHelper::dragBelowTheStripDoesNotMove()
{
    auto *content = dlg->findChild<QWidget *>("widContent");
    Pointer(dlg.get()).drag(content->mapToGlobal(QPoint(20, 10)), QPoint(50, 40));
    QCOMPARE(dlg->pos(), kStart);
}

void TstQFrameHelper::dragOnButtonInTheStripDoesNotMove()
{
    auto *close = dlg->findChild<QPushButton *>("btnClose");
    QSignalSpy pressed(close, &QPushButton::pressed);
    Pointer(dlg.get()).drag(globalCentre(close), QPoint(-60, 30));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(dlg->pos(), kStart);
}

void TstQFrameHelper::dragOnEditInTheStripDoesNotMoveButOnLabelDoes()
{
    Framed framed(false);
    QVERIFY(QTest::qWaitForWindowExposed(&framed.top));
    QVERIFY(framed.edit->mapTo(&framed.top, QPoint()).y() < 70);
    QVERIFY(framed.label->mapTo(&framed.top, framed.label->rect().bottomLeft()).y() < 70);

    Pointer(&framed.top).drag(globalCentre(framed.edit), QPoint(30, 30));
    QCOMPARE(framed.top.pos(), kStart);

    Pointer(&framed.top).drag(globalCentre(framed.label), QPoint(30, 30));
    QTRY_COMPARE(framed.top.pos(), kStart + QPoint(30, 30));
}

void TstQFrameHelper::edgesDoNotResizeWhenNotResizable()
{
    const QRect before = dlg->geometry();
    Pointer(dlg.get()).drag(dlg->mapToGlobal(QPoint(dlg->width() - 2, dlg->height() - 2)), QPoint(-40, -40));
    Pointer(dlg.get()).drag(dlg->mapToGlobal(QPoint(dlg->width() - 2, dlg->height() / 2 + 40)), QPoint(-40, 0));
    Pointer(dlg.get()).drag(dlg->mapToGlobal(QPoint(1, dlg->height() / 2 + 40)), QPoint(40, 0));
    QCOMPARE(dlg->geometry(), before);
}

void TstQFrameHelper::edgesResizeWhenResizable()
{
    Framed framed(true);
    QVERIFY(QTest::qWaitForWindowExposed(&framed.top));
    Pointer(&framed.top).drag(framed.top.mapToGlobal(QPoint(298, 120)), QPoint(-40, 0));
    QTRY_COMPARE(framed.top.geometry(), QRect(kStart, QSize(260, 240)));
    // The left edge moves the window and keeps the right edge in place.
    Pointer(&framed.top).drag(framed.top.mapToGlobal(QPoint(1, 120)), QPoint(20, 0));
    QTRY_COMPARE(framed.top.geometry(), QRect(kStart + QPoint(20, 0), QSize(240, 240)));
}

void TstQFrameHelper::resizeStopsAtMinimumSize()
{
    Framed framed(true);
    QVERIFY(QTest::qWaitForWindowExposed(&framed.top));
    Pointer(&framed.top).drag(framed.top.mapToGlobal(QPoint(150, 238)), QPoint(0, -200));
    QTRY_COMPARE(framed.top.size(), QSize(300, 150));
    QCOMPARE(framed.top.pos(), kStart);
}

QTEST_MAIN(TstQFrameHelper)
#include "tst_qframehelper.moc"

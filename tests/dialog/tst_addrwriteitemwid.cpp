#include "AddrKind.h"
#include "AddrWriteItemWid.h"
#include "QFrameHelper.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <functional>

namespace {

struct Entry {
    QString name;
    QString addr;
    QString unit;
    bool unitShown = false;
    bool lastKind = false; // pick the last kind with the keyboard
};

// Records the context in which each text is looked up.
class ContextRecorder : public QTranslator {
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        contextOf.insert(QString::fromUtf8(source), QString::fromLatin1(context));
        return QString();
    }
    bool isEmpty() const override { return false; }
    mutable QHash<QString, QString> contextOf;
};

template <typename T> T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("missing child %s", name);
    return c;
}

// Runs exec() while `drive` operates the open dialog; a dialog still open after the drive is closed by "关闭".
int runDialog(AddrWriteItemWid &dlg, const std::function<void()> &drive, bool *stayedOpen = nullptr)
{
    QTimer::singleShot(0, &dlg, [&] {
        drive();
        if (stayedOpen)
            *stayedOpen = dlg.isVisible();
        if (dlg.isVisible())
            QTest::mouseClick(child<QPushButton>(dlg, "btnClose"), Qt::LeftButton);
    });
    return dlg.exec();
}

void typeEntry(AddrWriteItemWid &dlg, const Entry &e)
{
    QTest::keyClicks(child<QLineEdit>(dlg, "edtName"), e.name);
    QTest::keyClicks(child<QLineEdit>(dlg, "edtAddr"), e.addr);
    if (e.unitShown)
        QTest::keyClicks(child<QLineEdit>(dlg, "edtUnit"), e.unit);
    if (e.lastKind)
        QTest::keyClick(child<QComboBox>(dlg, "cbDataType"), Qt::Key_End);
    QTest::mouseClick(child<QPushButton>(dlg, "btnBind"), Qt::LeftButton);
}

Entry entry(const QString &name, const QString &addr, const QString &unit = QString(), bool unitShown = false,
    bool lastKind = false)
{
    return Entry { name, addr, unit, unitShown, lastKind };
}

} // namespace

Q_DECLARE_METATYPE(Entry)

class TstAddrWriteItemWid : public QObject {
    Q_OBJECT

private slots:
    void formInitialState();
    void formTextsUseTheFormContext();
    void bind_data();
    void bind();
    void bindKeepsUnnamedKeysAndOverwritesNamedOnes();
    void closeRejectsAndLeavesItemUntouched();
};

void TstAddrWriteItemWid::formInitialState()
{
    QJsonObject item;
    AddrWriteItemWid dlg(&item, nullptr);

    QCOMPARE(dlg.objectName(), QStringLiteral("AddrWriteItemWidClass"));
    QCOMPARE(dlg.size(), QSize(499, 298));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("AddrWriteItemWid"));
    QCOMPARE(int(dlg.windowFlags()), 0x02000803);
    QCOMPARE(dlg.windowModality(), Qt::WindowModal);
    QVERIFY(!dlg.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dlg.findChildren<QFrameHelper *>().size(), 1);

    const QList<QPair<const char *, QString>> labels {
        { "lbName_3", QStringLiteral("显示名称：") },
        { "lbName", QStringLiteral("PLC 地址：") },
        { "lbName_2", QStringLiteral("数据类型：") },
        { "lbUnitName", QStringLiteral("显示单位：") },
    };
    for (const auto &l : labels)
        QCOMPARE(child<QLabel>(dlg, l.first)->text(), l.second);
    for (const char *edit : { "edtName", "edtAddr", "edtUnit" })
        QVERIFY(child<QLineEdit>(dlg, edit)->text().isEmpty());
    QVERIFY(child<QLabel>(dlg, "lbUnitName")->isHidden());
    QVERIFY(child<QLineEdit>(dlg, "edtUnit")->isHidden());
    QCOMPARE(child<QLineEdit>(dlg, "edtAddr")->minimumSize(), QSize(200, 32));

    auto *close = child<QPushButton>(dlg, "btnClose");
    QCOMPARE(close->text(), QStringLiteral("关闭"));
    QCOMPARE(close->minimumSize(), QSize(100, 50));
    QCOMPARE(close->maximumSize(), QSize(100, 50));
    auto *bind = child<QPushButton>(dlg, "btnBind");
    QCOMPARE(bind->text(), QStringLiteral("绑定"));
    QCOMPARE(bind->minimumSize(), QSize(80, 40));
    auto *title = child<QWidget>(dlg, "widTitle");
    QCOMPARE(title->minimumHeight(), 60);
    QCOMPARE(title->maximumHeight(), 60);
    QVERIFY(child<QWidget>(dlg, "widCentry"));
    QVERIFY(child<QWidget>(dlg, "widContent"));

    auto *kinds = child<QComboBox>(dlg, "cbDataType");
    const QStringList texts { "kCoil", "kHoldingRegister16", "kHoldingRegister32", "kHoldingRegisterFloat32" };
    const QList<int> values { 0, 3, 4, 5 };
    QCOMPARE(kinds->count(), 4);
    QCOMPARE(kinds->currentIndex(), 0);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(kinds->itemText(i), texts.at(i));
        const QVariant data = kinds->itemData(i, Qt::UserRole);
        QCOMPARE(data.userType(), AddrKind::metaTypeId());
        QCOMPARE(int(AddrKind::fromVariant(data)), values.at(i));
    }
}

void TstAddrWriteItemWid::formTextsUseTheFormContext()
{
    ContextRecorder recorder;
    QCoreApplication::installTranslator(&recorder);
    QJsonObject item;
    AddrWriteItemWid dlg(&item, nullptr);
    QCoreApplication::removeTranslator(&recorder);
    const QStringList texts { "AddrWriteItemWid", QStringLiteral("关闭"), QStringLiteral("绑定"),
        QStringLiteral("显示名称："), QStringLiteral("PLC 地址："), QStringLiteral("数据类型："),
        QStringLiteral("显示单位：") };
    for (const QString &text : texts)
        QCOMPARE(recorder.contextOf.value(text), QStringLiteral("AddrWriteItemWidClass"));
}

void TstAddrWriteItemWid::bind_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QByteArray>("expectedJson"); // compact, keys sorted; empty when nothing may be written

    const QByteArray kind = "\"Core::nsCMuNiK::MODBUS_ADDR_TYPE\":";
    QTest::newRow("blank name") << entry("   ", "5") << false << QByteArray();
    QTest::newRow("empty address") << entry("Speed", "") << false << QByteArray();
    QTest::newRow("blank address") << entry("Speed", "  ") << false << QByteArray();
    QTest::newRow("negative address") << entry("Speed", "-1") << false << QByteArray();
    QTest::newRow("address 0, kind untouched")
        << entry("Speed", "0") << true << "{" + kind + "0,\"addr\":\"0\",\"name\":\"Speed\",\"value\":\"\"}";
    QTest::newRow("trimmed texts") << entry(" Speed ", " 12 ") << true
                                   << "{" + kind + "0,\"addr\":\"12\",\"name\":\"Speed\",\"value\":\"\"}";
    QTest::newRow("letters stored unchanged")
        << entry("Speed", "abc") << true << "{" + kind + "0,\"addr\":\"abc\",\"name\":\"Speed\",\"value\":\"\"}";
    QTest::newRow("float kind is integer 5") << entry("Speed", "7", "", false, true) << true
                                             << "{" + kind + "5,\"addr\":\"7\",\"name\":\"Speed\",\"value\":\"\"}";
    QTest::newRow("unit row shown") << entry("Speed", "7", " mm/s ",
        true) << true << "{" + kind + "0,\"addr\":\"7\",\"name\":\"Speed\",\"unit\":\"mm/s\",\"value\":\"\"}";
    QTest::newRow("unit row shown, nothing typed") << entry("Speed", "7", "",
        true) << true << "{" + kind + "0,\"addr\":\"7\",\"name\":\"Speed\",\"unit\":\"\",\"value\":\"\"}";
}

void TstAddrWriteItemWid::bind()
{
    QFETCH(Entry, entry);
    QFETCH(bool, accepted);
    QFETCH(QByteArray, expectedJson);

    QJsonObject item;
    AddrWriteItemWid dlg(&item, nullptr);
    bool stayedOpen = false;
    const int result = runDialog(
        dlg,
        [&] {
            dlg.SetUnitVisible(entry.unitShown);
            typeEntry(dlg, entry);
        },
        &stayedOpen);

    QCOMPARE(result, accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(stayedOpen, !accepted);
    if (accepted)
        QCOMPARE(QJsonDocument(item).toJson(QJsonDocument::Compact), expectedJson);
    else
        QVERIFY(item.isEmpty());
}

void TstAddrWriteItemWid::bindKeepsUnnamedKeysAndOverwritesNamedOnes()
{
    QJsonObject item { { "extra", true }, { "unit", "old" }, { "value", "9" } };
    AddrWriteItemWid dlg(&item, nullptr);
    QCOMPARE(runDialog(dlg, [&] { typeEntry(dlg, entry("Speed", "3")); }), int(QDialog::Accepted));
    QCOMPARE(item.value("extra"), QJsonValue(true));
    QCOMPARE(item.value("unit"), QJsonValue("old"));
    QCOMPARE(item.value("value"), QJsonValue(""));
    QCOMPARE(item.value("addr"), QJsonValue("3"));
}

void TstAddrWriteItemWid::closeRejectsAndLeavesItemUntouched()
{
    QJsonObject item;
    AddrWriteItemWid dlg(&item, nullptr);
    const int result = runDialog(dlg, [&] {
        QTest::keyClicks(child<QLineEdit>(dlg, "edtName"), "Speed");
        QTest::keyClicks(child<QLineEdit>(dlg, "edtAddr"), "4");
        QTest::mouseClick(child<QPushButton>(dlg, "btnClose"), Qt::LeftButton);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(item.isEmpty());
}

QTEST_MAIN(TstAddrWriteItemWid)
#include "tst_addrwriteitemwid.moc"

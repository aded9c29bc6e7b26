// How timed reads are grouped into requests, and what a refused request teaches the planner.
#include "ModbusAddrType.h"
#include "ModbusConstants.h"
#include "PollPlanner.h"

#include <QtTest>

using namespace Core::nsCMuNiK;

Q_DECLARE_METATYPE(ReadItem)

namespace {

QString describe(const QVector<ReadBlock> &blocks)
{
    QStringList parts;
    for (const ReadBlock &b : blocks)
        parts
            << QStringLiteral("%1:%2+%3").arg(b.table == QModbusDataUnit::Coils ? "C" : "H").arg(b.start).arg(b.count);
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TstPollPlanner : public QObject {
    Q_OBJECT
private slots:
    void grouping_data();
    void grouping();
    void everyItemLandsInItsBlock();
    void refusedBlockSplitsForGood();
    void badAddressIsReadAlone();
};

void TstPollPlanner::grouping_data()
{
    QTest::addColumn<QVector<ReadItem>>("items");
    QTest::addColumn<QString>("blocks");

    const int gap = ModbusConst::kMaxRegisterGap;
    QTest::newRow("neighbours merge") << QVector<ReadItem> { { 3, 10, 1 }, { 3, 11, 1 }, { 4, 12, 1 } } << "H:10+4";
    QTest::newRow("gap at the limit merges")
        << QVector<ReadItem> { { 3, 10, 1 }, { 3, 11 + gap, 1 } } << QStringLiteral("H:10+%1").arg(gap + 2);
    QTest::newRow("wider gap splits") << QVector<ReadItem> { { 3, 10, 1 }, { 3, 12 + gap, 1 } }
                                      << QStringLiteral("H:10+1 H:%1+1").arg(12 + gap);
    QTest::newRow("overlapping kinds share registers")
        << QVector<ReadItem> { { 3, 20, 1 }, { 4, 20, 1 }, { 5, 21, 1 } } << "H:20+3";
    QTest::newRow("coils and registers never mix") << QVector<ReadItem> { { 0, 5, 1 }, { 3, 5, 1 } } << "C:5+1 H:5+1";
    QTest::newRow("coils merge across wide gaps") << QVector<ReadItem> { { 0, 0, 1 },
        { 0, ModbusConst::kMaxCoilGap + 1, 1 } } << QStringLiteral("C:0+%1").arg(ModbusConst::kMaxCoilGap + 2);
    QVector<ReadItem> everyTwenty;
    for (int addr = 0; addr <= 120; addr += 20)
        everyTwenty.append({ 3, addr, 1 });
    QTest::newRow("125 registers fill one request")
        << everyTwenty + QVector<ReadItem> { { 3, 124, 1 }, { 3, 125, 1 } } << "H:0+125 H:125+1";
    QTest::newRow("a 32-bit value is never cut")
        << everyTwenty + QVector<ReadItem> { { 4, 124, 1 } } << "H:0+121 H:124+2";
    QTest::newRow("values at one address stay together")
        << everyTwenty + QVector<ReadItem> { { 3, 124, 1 }, { 4, 124, 1 } } << "H:0+121 H:124+2";
    QTest::newRow("nb counts every value") << QVector<ReadItem> { { 4, 0, 60 }, { 3, 121, 1 } } << "H:0+122";
    QVector<ReadItem> everyHundredCoils;
    for (int addr = 0; addr <= 2000; addr += 100)
        everyHundredCoils.append({ 0, addr, 1 });
    QTest::newRow("coil requests stay within what Qt can decode") << everyHundredCoils << "C:0+1001 C:1100+901";
    QTest::newRow("unknown kinds are left out") << QVector<ReadItem> { { 1, 0, 1 }, { 2, 0, 1 } } << "";
}

void TstPollPlanner::grouping()
{
    QFETCH(QVector<ReadItem>, items);
    QFETCH(QString, blocks);
    PollPlanner planner;
    QCOMPARE(describe(planner.plan(items)), blocks);
}

void TstPollPlanner::everyItemLandsInItsBlock()
{
    QRandomGenerator random(11);
    QVector<ReadItem> items;
    const int kinds[] = { 0, 3, 4, 5 };
    for (int i = 0; i < 1000; ++i)
        items.append({ kinds[random.bounded(4)], int(random.bounded(4000)), 1 });
    PollPlanner planner;
    const auto blocks = planner.plan(items);
    int placed = 0;
    for (const ReadBlock &block : blocks) {
        const bool coils = block.table == QModbusDataUnit::Coils;
        QVERIFY(block.count <= (coils ? ModbusConst::kMaxCoilsPerRead : ModbusConst::kMaxRegistersPerRead));
        for (const ReadItem &item : block.items) {
            const int width = item.kind == 4 || item.kind == 5 ? 2 : 1;
            QCOMPARE(item.kind == 0, coils);
            QVERIFY(item.addr >= block.start && item.addr + width <= block.start + block.count);
            ++placed;
        }
    }
    QCOMPARE(placed, items.size());
    QVERIFY2(blocks.size() * 20 <= items.size(), qPrintable(QString::number(blocks.size())));
}

void TstPollPlanner::refusedBlockSplitsForGood()
{
    PollPlanner planner;
    const QVector<ReadItem> items { { 3, 0, 1 }, { 3, 2, 1 }, { 3, 4, 1 }, { 3, 6, 1 } };
    const auto merged = planner.plan(items);
    QCOMPARE(describe(merged), QStringLiteral("H:0+7"));
    ReadBlock low, high;
    QVERIFY(planner.split(merged.first(), &low, &high));
    QCOMPARE(describe({ low, high }), QStringLiteral("H:0+3 H:4+3"));
    QCOMPARE(describe(planner.plan(items)), QStringLiteral("H:0+3 H:4+3"));
    QVERIFY(planner.split(low, &low, &high));
    QCOMPARE(describe(planner.plan(items)), QStringLiteral("H:0+1 H:2+1 H:4+3"));

    // Values at one address cannot be split further.
    const ReadBlock one = ReadBlock::of({ { 3, 9, 1 }, { 4, 9, 1 } });
    QVERIFY(!planner.split(one, &low, &high));
}

void TstPollPlanner::badAddressIsReadAlone()
{
    PollPlanner planner;
    const QVector<ReadItem> items { { 3, 0, 1 }, { 3, 1, 1 }, { 3, 2, 1 }, { 4, 2, 1 }, { 3, 3, 1 } };
    planner.markBad(QModbusDataUnit::HoldingRegisters, 2);
    QCOMPARE(describe(planner.plan(items)), QStringLiteral("H:0+2 H:2+2 H:3+1"));
    QVERIFY(planner.clearBad(QModbusDataUnit::HoldingRegisters, 2));
    QVERIFY(!planner.clearBad(QModbusDataUnit::HoldingRegisters, 2));
    QCOMPARE(describe(planner.plan(items)), QStringLiteral("H:0+4"));
}

QTEST_GUILESS_MAIN(TstPollPlanner)
#include "tst_pollplanner.moc"

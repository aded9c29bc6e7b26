// Read-result refresh into both address tables, against a plain scan of every row.
// Run (optimised build):
//   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build build-rel --target bench_tables
//   QT_QPA_PLATFORM=offscreen build-rel/bin/bench_tables [rows]
#include "AddrKind.h"
#include "PLCSettingWid.h"
#include "PellinDataWid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QTableWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Core::nsCMuNiK;
using Kind = AddrKind::Kind;

namespace {

constexpr Kind kKinds[] = { kCoil, kHoldingRegister16, kHoldingRegister32, kHoldingRegisterFloat32 };

struct Result {
    Kind kind;
    int addr;
};

QJsonArray makeList(int rows)
{
    QJsonArray list;
    for (int i = 0; i < rows; ++i)
        list.append(QJsonObject { { "name", QString("point %1").arg(i) }, { "addr", QString::number(100 + i) },
            { AddrKind::kJsonKey, int(kKinds[i % 4]) }, { "value", "" }, { "unit", "mm" } });
    return list;
}

// The reference: every result looks at every row, reading the key back as the tables store it.
void plainScan(QTableWidget *table, Kind t, int addr, int nVal, float fVal)
{
    const QString text
        = t == kHoldingRegisterFloat32 ? QString::number(double(fVal), 'f', 2) : QString::number(nVal, 10);
    for (int row = 0; row < table->rowCount(); ++row) {
        QTableWidgetItem *name = table->item(row, 0);
        QTableWidgetItem *value = table->item(row, 1);
        if (name && value && name->data(Qt::UserRole).toInt() == addr
            && AddrKind::fromVariant(value->data(Qt::UserRole)) == t)
            value->setText(text);
    }
}

// Best of `reps` timed runs, in nanoseconds; events are processed between runs, outside the timing.
qint64 bestOf(int reps, const std::function<void(int)> &run)
{
    qint64 best = -1;
    for (int rep = 0; rep < reps; ++rep) {
        QElapsedTimer timer;
        timer.start();
        run(rep);
        const qint64 ns = timer.nsecsElapsed();
        best = best < 0 ? ns : std::min(best, ns);
        QApplication::processEvents();
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AddrKind::registerMetaTypes();
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const QJsonArray list = makeList(rows);

    PLCSettingWid writePanel(nullptr);
    PellinDataWid readPanel(nullptr);
    writePanel.show();
    readPanel.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    writePanel.LoadFromJson(list);
    const qint64 loadWrite = timer.nsecsElapsed();
    timer.restart();
    readPanel.LoadFromJson(list);
    const qint64 loadRead = timer.nsecsElapsed();
    QApplication::processEvents();

    std::vector<Result> results;
    for (int i = 0; i < rows; ++i)
        results.push_back({ kKinds[i % 4], 100 + i });
    auto *writeTable = writePanel.findChild<QTableWidget *>("tableWidgetWrite");
    auto *readTable = readPanel.findChild<QTableWidget *>("tblWidPLCData");

    // Each run delivers other values than the one before, so every cell changes.
    auto indexed = [&](int rep) {
        for (const Result &r : results) {
            writePanel.Slot_ReadDataResult(r.kind, r.addr, rep, rep + 0.25f);
            readPanel.Slot_ReadDataResult(r.kind, r.addr, rep, rep + 0.25f);
        }
    };
    auto same = [&](int) { indexed(1000); };
    auto scan = [&](int rep) {
        for (const Result &r : results) {
            plainScan(writeTable, r.kind, r.addr, rep + 7, rep + 7.25f);
            plainScan(readTable, r.kind, r.addr, rep + 7, rep + 7.25f);
        }
    };

    const qint64 changed = bestOf(20, indexed);
    same(0);
    const qint64 unchanged = bestOf(20, same);
    const qint64 scanned = bestOf(3, scan);

    const bool shown = writeTable->item(rows - 1, 1)->text() == readTable->item(rows - 1, 1)->text();
    const double n = rows;
    std::printf("rows per table                   %d (both tables shown, offscreen)\n", rows);
    std::printf("load list, write table           %9.2f ms  (%.1f us per row)\n", loadWrite / 1e6, loadWrite / 1e3 / n);
    std::printf("load list, read table            %9.2f ms  (%.1f us per row)\n", loadRead / 1e6, loadRead / 1e3 / n);
    std::printf("refresh, values changed          %9.3f ms  %7.3f us per value\n", changed / 1e6, changed / 1e3 / n);
    std::printf(
        "refresh, values unchanged        %9.3f ms  %7.3f us per value\n", unchanged / 1e6, unchanged / 1e3 / n);
    std::printf("refresh by plain scan            %9.3f ms  %7.3f us per value\n", scanned / 1e6, scanned / 1e3 / n);
    std::printf("plain scan / lookup (changed)    %9.1f x\n", double(scanned) / double(changed));
    std::printf("(a value is one result delivered to both tables; best of 20 runs, plain scan best of 3)\n");
    return shown ? 0 : 1;
}

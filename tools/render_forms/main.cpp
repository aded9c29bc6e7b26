#include "AddrKind.h"
#include "AddrWriteItemWid.h"
#include "PLCLinkSettingWid.h"
#include "PLCSettingWid.h"
#include "PellinDataWid.h"

#include <QApplication>
#include <QDir>
#include <QJsonObject>
#include <QTableWidget>
#include <QTextStream>

// Usage: render_forms [output folder]. Each form is shown at its initial size and saved as <name>.png.
namespace {

bool save(QWidget &form, const QDir &dir, const QString &name)
{
    form.show();
    QCoreApplication::processEvents();
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    const bool ok = form.grab().save(path);
    QTextStream(ok ? stdout : stderr) << (ok ? "wrote " : "cannot write ") << path << ' ' << form.width() << 'x'
                                      << form.height() << '\n';
    form.hide();
    return ok;
}

QJsonObject item(const QString &name, int addr, Core::nsCMuNiK::MODBUS_ADDR_TYPE kind, const QString &unit = {})
{
    QJsonObject o { { "name", name }, { "addr", QString::number(addr) }, { AddrKind::kJsonKey, int(kind) },
        { "value", "" } };
    if (!unit.isEmpty())
        o.insert("unit", unit);
    return o;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AddrKind::registerMetaTypes();
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VELTRO_FORMS_DIR));
    if (!QDir().mkpath(dir.path()))
        return 1;
    using namespace Core::nsCMuNiK;
    bool ok = true;

    QJsonObject dialogItem;
    AddrWriteItemWid dialog(&dialogItem, nullptr);
    dialog.show();
    dialog.SetUnitVisible(true);
    ok &= save(dialog, dir, "AddrWriteItemWid");

    PLCLinkSettingWid link(nullptr);
    link.LoadFromJson({ { "type", "Modbus-TCP" }, { "IP", "192.168.1.10" }, { "Port", "502" }, { "Device", "1" } });
    link.Slot_PLCConnected(true);
    ok &= save(link, dir, "PLCLinkSettingWid_tcp");
    link.LoadFromJson({ { "type", "Modbus-RTU" }, { "COM", "COM3" }, { "Device", "2" } });
    link.Slot_PLCConnected(false);
    ok &= save(link, dir, "PLCLinkSettingWid_rtu");

    PLCSettingWid writes(nullptr);
    writes.AddItem(item("Start", 100, kCoil));
    writes.AddItem(item("Speed", 200, kHoldingRegister16));
    writes.AddItem(item("Target", 300, kHoldingRegisterFloat32));
    writes.Slot_ReadDataResult(kHoldingRegister16, 200, 1500, 0);
    if (auto *table = writes.findChild<QTableWidget *>())
        table->selectRow(1); // a selected row shows its write button
    ok &= save(writes, dir, "PLCSettingWid");

    PellinDataWid reads(nullptr);
    reads.SetEditable(true);
    reads.AddItem(item("Temperature", 400, kHoldingRegisterFloat32, "°C"));
    reads.AddItem(item("Count", 410, kHoldingRegister32, "pcs"));
    reads.AddItem(item("Running", 420, kCoil, "-"));
    reads.Slot_ReadDataResult(kHoldingRegisterFloat32, 400, 0, 36.5f);
    reads.Slot_ReadDataResult(kHoldingRegister32, 410, 1234, 0);
    ok &= save(reads, dir, "PellinDataWid");

    return ok ? 0 : 1;
}

#include "AddrItemDialogRun.h"

#include "AddrDialogPlacement.h"
#include "AddrWriteItemWid.h"

#include <QPointer>

bool runAddrItemDialog(QWidget *panel, QJsonObject *item, bool withUnit)
{
    using namespace AddrDialogPlacement;
    QWidget *mainWindow = findMainWindow();
    QPointer<QWidget> panelGuard(panel);
    // The nested event loop may take the parent, and with it the dialog, away.
    QPointer<AddrWriteItemWid> dialog = new AddrWriteItemWid(item, mainWindow ? mainWindow : panel->window());
    const QSize size(kDialogWidth, kDialogHeight);
    dialog->setFixedSize(size);
    dialog->move(topLeftFor(panel, mainWindow, size));
    dialog->show();
    if (withUnit)
        dialog->SetUnitVisible(true);
    const int result = dialog->exec();
    delete dialog.data();
    return panelGuard && result == QDialog::Accepted;
}

#pragma once

class QJsonObject;
class QWidget;

// Runs the address item dialog for a panel, placed by AddrDialogPlacement, and disposes of it afterwards.
// True only when the operator bound an item into *item and the panel still exists.
bool runAddrItemDialog(QWidget *panel, QJsonObject *item, bool withUnit);

#pragma once

#include <QComboBox>

class SysInterfaceImpl;

// Chooses who is logged in: tells the user-account library, then announces the change through the
// system object, as the real host does after a log-in.
class AccountSwitcher : public QComboBox {
    Q_OBJECT

public:
    explicit AccountSwitcher(SysInterfaceImpl *sys, QWidget *parent = nullptr);

    static QStringList accountNames();
    static bool canEdit(const QString &name);

    // Applies the account even when it is already the selected one.
    void switchTo(const QString &name);

private:
    void apply(int index);

    SysInterfaceImpl *sys = nullptr;
};

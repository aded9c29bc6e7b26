#include "AccountSwitcher.h"

#include "SysInterfaceImpl.h"
#include "UserManager.h"

namespace {

struct Account {
    const char *name;
    bool canEdit;
};

// "operator" runs the line and sees values only; "engineer" also sets up links and addresses.
constexpr Account kAccounts[] = { { "operator", false }, { "engineer", true } };

} // namespace

AccountSwitcher::AccountSwitcher(SysInterfaceImpl *sys, QWidget *parent)
    : QComboBox(parent)
    , sys(sys)
{
    setObjectName(QStringLiteral("cbAccount"));
    for (const Account &account : kAccounts)
        addItem(QString::fromLatin1(account.name));
    setItemData(0, tr("只能查看数值"), Qt::ToolTipRole);
    setItemData(1, tr("可以编辑链接和地址"), Qt::ToolTipRole);
    setCurrentIndex(-1);
    connect(this, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &AccountSwitcher::apply);
}

QStringList AccountSwitcher::accountNames()
{
    QStringList names;
    for (const Account &account : kAccounts)
        names.append(QString::fromLatin1(account.name));
    return names;
}

bool AccountSwitcher::canEdit(const QString &name)
{
    for (const Account &account : kAccounts) {
        if (name == QLatin1String(account.name))
            return account.canEdit;
    }
    return false;
}

void AccountSwitcher::switchTo(const QString &name)
{
    const int index = findText(name);
    if (index == currentIndex())
        apply(index);
    else
        setCurrentIndex(index);
}

void AccountSwitcher::apply(int index)
{
    const QString name = index < 0 ? QString() : itemText(index);
    Auth::UserManager::getInstance()->setCurrentAccount(name, canEdit(name));
    if (sys)
        emit sys->curAccountChanged();
}

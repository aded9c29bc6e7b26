#include "UserManager.h"

namespace Auth {

UserManager *UserManager::getInstance()
{
    static UserManager instance;
    return &instance;
}

UserManager::UserManager() = default;

UserManager::~UserManager() = default;

bool UserManager::hasEditRights() const
{
    // Nobody logged in may edit nothing, whatever was granted before.
    return !account.isEmpty() && canEdit;
}

QString UserManager::currentAccount() const
{
    return account;
}

void UserManager::setCurrentAccount(const QString &name, bool edit)
{
    account = name;
    canEdit = edit;
}

} // namespace Auth

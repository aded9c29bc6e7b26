#pragma once

#include <QString>

#if defined(AUTHMANAGER_LIBRARY)
#define AUTHMANAGER_API Q_DECL_EXPORT
#else
#define AUTHMANAGER_API Q_DECL_IMPORT
#endif

namespace Auth {

// Process-wide record of who is logged in. The host sets the account and then announces the change itself.
class AUTHMANAGER_API UserManager {
public:
    static UserManager *getInstance();
    virtual bool hasEditRights() const; // first virtual operation
    virtual QString currentAccount() const;
    virtual void setCurrentAccount(const QString &name, bool canEdit);
    virtual ~UserManager();

protected:
    UserManager();

private:
    QString account;
    bool canEdit = false;
};

} // namespace Auth

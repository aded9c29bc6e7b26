#include "HostResources.h"

#include <QtGlobal>

void initHostResources()
{
    Q_INIT_RESOURCE(host);
}

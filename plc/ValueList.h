#pragma once

#include <QMetaType>
#include <QVariantList>

#include <memory>

// The values of one write request, shared between the panel that made it and the client that sends it.
using ValueList = std::shared_ptr<QVariantList>;

Q_DECLARE_METATYPE(std::shared_ptr<QVariantList>)

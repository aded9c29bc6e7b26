#include "AddrKind.h"

#include "ValueList.h"

#include <QComboBox>

namespace AddrKind {

int metaTypeId()
{
    static const int id = qMetaTypeId<Kind>();
    return id;
}

void registerMetaTypes()
{
    qRegisterMetaType<std::shared_ptr<QVariantList>>("std::shared_ptr<QVariantList>");
    qRegisterMetaType<Kind>(kMetaTypeName);
}

bool isKnown(int kind)
{
    for (Kind k : kOffered)
        if (k == kind)
            return true;
    return false;
}

QString displayText(int kind)
{
    switch (kind) {
    case Core::nsCMuNiK::kCoil:
        return QStringLiteral("kCoil");
    case Core::nsCMuNiK::kHoldingRegister16:
        return QStringLiteral("kHoldingRegister16");
    case Core::nsCMuNiK::kHoldingRegister32:
        return QStringLiteral("kHoldingRegister32");
    case Core::nsCMuNiK::kHoldingRegisterFloat32:
        return QStringLiteral("kHoldingRegisterFloat32");
    }
    return QString::number(kind);
}

void fillComboBox(QComboBox *box)
{
    for (Kind k : kOffered)
        box->addItem(displayText(k), QVariant::fromValue(k));
}

Kind fromVariant(const QVariant &v)
{
    const int id = metaTypeId();
    if (v.userType() == id)
        return static_cast<Kind>(*static_cast<const int *>(v.constData()));
    QVariant converted = v;
    if (!converted.convert(id))
        return Core::nsCMuNiK::kCoil;
    return static_cast<Kind>(*static_cast<const int *>(converted.constData()));
}

} // namespace AddrKind

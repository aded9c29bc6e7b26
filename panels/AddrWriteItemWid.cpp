#include "AddrWriteItemWid.h"
#include "ui_AddrWriteItemWid.h"

#include "AddrKind.h"
#include "QFrameHelper.h"

#include <QJsonObject>

namespace {
constexpr unsigned kTitleHeight = 60; // pixels, the height of widTitle
}

AddrWriteItemWid::AddrWriteItemWid(QJsonObject *item, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::AddrWriteItemWidClass>())
    , item(item)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    setWindowModality(Qt::WindowModal);

    frameHelper = new QFrameHelper(this);
    frameHelper->activateOn(this);
    frameHelper->setTitleHeight(kTitleHeight);
    frameHelper->setWidgetMovable(true);
    frameHelper->setWidgetResizable(false);

    AddrKind::fillComboBox(ui->cbDataType);

    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(ui->btnBind, &QPushButton::clicked, this, &AddrWriteItemWid::Slot_BtnBindClicked);

    ui->lbUnitName->setVisible(false);
    ui->edtUnit->setVisible(false);
}

AddrWriteItemWid::~AddrWriteItemWid() = default;

void AddrWriteItemWid::SetUnitVisible(bool visible)
{
    ui->lbUnitName->setVisible(visible);
    ui->edtUnit->setVisible(visible);
}

void AddrWriteItemWid::Slot_BtnBindClicked()
{
    const QString name = ui->edtName->text().trimmed();
    const QString addr = ui->edtAddr->text().trimmed();
    const QString unit = ui->edtUnit->text().trimmed();
    if (name.isEmpty() || addr.isEmpty() || addr.toInt() < 0)
        return;

    const AddrKind::Kind kind = AddrKind::fromVariant(ui->cbDataType->currentData(Qt::UserRole));
    if (item) {
        item->insert(QStringLiteral("name"), name);
        item->insert(QStringLiteral("addr"), addr);
        item->insert(QLatin1String(AddrKind::kJsonKey), static_cast<int>(kind));
        item->insert(QStringLiteral("value"), QString());
        if (ui->edtUnit->isVisible())
            item->insert(QStringLiteral("unit"), unit);
    }
    accept();
}

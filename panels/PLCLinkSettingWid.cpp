#include "PLCLinkSettingWid.h"
#include "ui_PLCLinkSettingWid.h"

#include <QJsonObject>
#include <QSerialPortInfo>

namespace {
constexpr int kSuccessShownMs = 2000; // milliseconds the success text stays
const QString kTcpType = QStringLiteral("Modbus-TCP");
const QString kRtuType = QStringLiteral("Modbus-RTU");
} // namespace

PLCLinkSettingWid::PLCLinkSettingWid(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::PLCLinkSettingWidClass>())
{
    ui->setupUi(this);
    UpdateLinkFields(ui->rdoTcp->isChecked());
    FillSerialPorts();

    clearTimer.setSingleShot(true);
    clearTimer.setInterval(kSuccessShownMs);
    connect(&clearTimer, &QTimer::timeout, ui->lbErr, &QLabel::clear);

    connect(ui->btnGopMethod, &QButtonGroup::idToggled, this, &PLCLinkSettingWid::Slot_BtnGopToggled);
    connect(ui->btnSave, &QPushButton::clicked, this, &PLCLinkSettingWid::Slot_BtnSavePLCLinkClicked);
}

PLCLinkSettingWid::~PLCLinkSettingWid() = default;

void PLCLinkSettingWid::UpdateLinkFields(bool tcp)
{
    ui->lbCom->setVisible(!tcp);
    ui->cbCom->setVisible(!tcp);
    ui->lbIP->setVisible(tcp);
    ui->lbPort->setVisible(tcp);
    ui->edtIP->setVisible(tcp);
    ui->edtPort->setVisible(tcp);
}

void PLCLinkSettingWid::FillSerialPorts()
{
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports)
        ui->cbCom->addItem(port.portName(), port.portName());
}

void PLCLinkSettingWid::SaveToJson(QJsonObject &link)
{
    if (ui->rdoTcp->isChecked()) {
        link[QStringLiteral("type")] = kTcpType;
        link[QStringLiteral("IP")] = ui->edtIP->text();
        link[QStringLiteral("Port")] = ui->edtPort->text();
    } else {
        link[QStringLiteral("type")] = kRtuType;
        link[QStringLiteral("COM")] = ui->cbCom->currentText();
    }
    link[QStringLiteral("Device")] = ui->edtDev->text();
}

void PLCLinkSettingWid::LoadFromJson(const QJsonObject &link)
{
    if (!link.contains(QStringLiteral("type")))
        return;
    if (link.value(QStringLiteral("type")).toString() == kTcpType) {
        ui->edtIP->setText(link.value(QStringLiteral("IP")).toString());
        ui->edtPort->setText(link.value(QStringLiteral("Port")).toString());
        ui->rdoTcp->setChecked(true);
    } else {
        ui->cbCom->setCurrentText(link.value(QStringLiteral("COM")).toString());
        ui->rdoRtu->setChecked(true);
    }
    ui->edtDev->setText(link.value(QStringLiteral("Device")).toString());
}

void PLCLinkSettingWid::Slot_PLCConnected(bool succ)
{
    if (succ) {
        ui->lbErr->setText(QStringLiteral("<span style=\"color:Blue;\">链接成功。</span>"));
        clearTimer.start();
    } else {
        clearTimer.stop();
        ui->lbErr->setText(QStringLiteral("<span style=\"color:#FF0000;\">通讯链接失败!</span>"));
    }
}

void PLCLinkSettingWid::Slot_BtnSavePLCLinkClicked()
{
    clearTimer.stop();
    if (ui->edtDev->text().toInt() > 0) {
        ui->lbErr->setText(QString());
        emit Signal_DoConnection();
    } else {
        ui->lbErr->setText(QStringLiteral("设备号错误!"));
    }
}

void PLCLinkSettingWid::Slot_BtnGopToggled(int, bool)
{
    UpdateLinkFields(ui->rdoTcp->isChecked());
}

#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>

class QJsonObject;

namespace Ui {
class PLCLinkSettingWidClass;
}

// Link settings page: Modbus-TCP or Modbus-RTU plus the device number; it only asks for the link to be opened.
class PLCLinkSettingWid : public QWidget {
    Q_OBJECT

public:
    explicit PLCLinkSettingWid(QWidget *parent);
    ~PLCLinkSettingWid() override;

    void UpdateLinkFields(bool tcp);
    void SaveToJson(QJsonObject &link);
    void LoadFromJson(const QJsonObject &link);

signals:
    void Signal_DoConnection();

public slots:
    void Slot_PLCConnected(bool succ);

private slots:
    void Slot_BtnSavePLCLinkClicked();
    void Slot_BtnGopToggled(int, bool);

private:
    void FillSerialPorts();

    std::unique_ptr<Ui::PLCLinkSettingWidClass> ui;
    // Clears the success text; anything that replaces that text stops it.
    QTimer clearTimer;
};

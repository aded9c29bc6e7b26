#pragma once

#include <QDialog>

#include <memory>

class QFrameHelper;
class QJsonObject;

namespace Ui {
class AddrWriteItemWidClass;
}

// Frameless modal dialog that writes one address item into the caller's object on a successful bind.
class AddrWriteItemWid : public QDialog {
    Q_OBJECT

public:
    AddrWriteItemWid(QJsonObject *item, QWidget *parent);
    ~AddrWriteItemWid() override;

    void SetUnitVisible(bool visible);

private slots:
    void Slot_BtnBindClicked();

private:
    std::unique_ptr<Ui::AddrWriteItemWidClass> ui;
    QJsonObject *item = nullptr;
    QFrameHelper *frameHelper = nullptr;
};

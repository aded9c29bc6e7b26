#include "VeltroWid.h"

#include "AddrKind.h"
#include "IModbusClient.h"
#include "PLCLinkSettingWid.h"
#include "PLCSettingWid.h"
#include "PellinDataWid.h"
#include "SysInterface.h"
#include "UserManager.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kLogHeight = 200; // pixels
constexpr int kLogMaxBlocks = 2000;
constexpr int kWriteTab = 1;
constexpr int kLinkTab = 2;

// The pages inherit these table colours.
const char *const kStyleSheet
    = "QTableView,QTableWidget{font: 13pt;text-align:center;alternate-background-color: #757575;"
      "background-color: #616161;color:white;}\n"
      "QHeaderView,QTableView QTableCornerButton::section{background-color:#5a5a5a;color:white;}\n"
      "QHeaderView::section, QTableCornerButton:section{text-align:center;border:1px solid #242424;"
      "background-color:#5a5a5a;}";

} // namespace

VeltroWid::VeltroWid()
    : PluginWidget(nullptr)
{
    AddrKind::registerMetaTypes();
}

VeltroWid::~VeltroWid()
{
    delete sysInterface;
    sysInterface = nullptr;
    modbusClient.reset();
}

PluginWidget *VeltroWid::createWidget(QObject *sysObject)
{
    auto *widget = new VeltroWid;
    widget->sysInterface = new SysInterface(sysObject);
    widget->BuildUi();
    return widget;
}

QString VeltroWid::pluginIid() const
{
    return QStringLiteral("com.orvo.halcyra.VeltroWid");
}

QString VeltroWid::pluginTitle() const
{
    return tr("Veltro-汇川PLC通讯");
}

QString VeltroWid::pluginCategory() const
{
    return QStringLiteral("组件");
}

void VeltroWid::BuildUi()
{
    setStyleSheet(QString::fromUtf8(kStyleSheet));

    tabWidget = new QTabWidget(this);
    tabWidget->setObjectName(QStringLiteral("tabWidget"));
    tabWidget->setStyleSheet(QString());

    dataWid = new PellinDataWid(tabWidget);
    tabWidget->addTab(dataWid, tr("显示"));
    connect(dataWid, &PellinDataWid::Signal_TimerReadPLCData, this, &VeltroWid::Slot_TimerReadPLCData);
    connect(this, &VeltroWid::Signal_ReadDataResult, dataWid, &PellinDataWid::Slot_ReadDataResult);
    connect(dataWid, &PellinDataWid::Signal_CancelTimerReadPLCData, this, &VeltroWid::Slot_CancelTimerReadPLCData);

    plcSettingWid = new PLCSettingWid(tabWidget);
    tabWidget->addTab(plcSettingWid, tr("设置"));
    connect(plcSettingWid, &PLCSettingWid::Signal_WritePLCData, this, &VeltroWid::Slot_WritePLCData);
    connect(plcSettingWid, &PLCSettingWid::Signal_ReadPLCData, this, &VeltroWid::Slot_ReadPLCData);
    connect(this, &VeltroWid::Signal_ReadDataResult, plcSettingWid, &PLCSettingWid::Slot_ReadDataResult);

    linkSettingWid = new PLCLinkSettingWid(tabWidget);
    tabWidget->addTab(linkSettingWid, tr("链接设置"));
    connect(linkSettingWid, &PLCLinkSettingWid::Signal_DoConnection, this, &VeltroWid::Slot_PLCConnection);
    connect(this, &VeltroWid::Signal_PLCConnected, linkSettingWid, &PLCLinkSettingWid::Slot_PLCConnected);

    plainTextEdit = new QPlainTextEdit;
    plainTextEdit->setObjectName(QStringLiteral("plainTextEdit"));
    plainTextEdit->setMinimumSize(0, kLogHeight);
    plainTextEdit->setMaximumSize(QWIDGETSIZE_MAX, kLogHeight);
    plainTextEdit->setReadOnly(true);
    plainTextEdit->document()->setMaximumBlockCount(kLogMaxBlocks);

    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabWidget);
    layout->addWidget(plainTextEdit);

    connect(sysInterface, &SysInterface::curAccountChanged, this, &VeltroWid::Slot_CurAccountChanged);

    setLayout(layout);
}

void VeltroWid::Slot_CurAccountChanged()
{
    const bool canEdit = Auth::UserManager::getInstance()->hasEditRights();
    // The root object has no pages: it only answers the question.
    if (tabWidget) {
        tabWidget->setTabVisible(kWriteTab, canEdit);
        tabWidget->setTabVisible(kLinkTab, canEdit);
    }
    if (dataWid)
        dataWid->SetEditable(canEdit);
}

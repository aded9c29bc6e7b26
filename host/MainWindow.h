#pragma once

#include <QJsonObject>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QVector>

class AccountSwitcher;
class ConfigStore;
class PluginHost;
class PluginWidget;
class SysInterfaceImpl;

// The host's window. Its class name is what plug-ins look for when they place dialogs over it.
// The first panel is the central widget, every further one a dock.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(const PluginHost &plugins, ConfigStore &store, QWidget *parent = nullptr);
    ~MainWindow() override;

    SysInterfaceImpl *systemObject() const { return sys; }
    AccountSwitcher *accountSwitcher() const { return accounts; }

    // One panel per stored object, at least one; objects of plug-ins that are not loaded are kept as they are.
    void restorePanels(const QList<QJsonObject> &stored);
    // Creates a panel of the plug-in that config names (the first plug-in if none), places it and restores it.
    PluginWidget *openPanel(const QJsonObject &config);
    QList<PluginWidget *> panels() const;
    // What the file will hold: each panel's object with the host's keys and what the panel serializes.
    QList<QJsonObject> panelConfigs() const;
    bool saveConfig();
    bool saveFailedAtClose() const { return closeSaveFailed; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Entry {
        QPointer<PluginWidget> widget;
        QJsonObject config;
        bool shown = false; // false: kept for a plug-in that is not loaded
    };

    void buildMenus();
    void buildAccountBar();
    void place(PluginWidget *panel, const QString &title);

    const PluginHost &plugins;
    ConfigStore &store;
    SysInterfaceImpl *sys = nullptr;
    AccountSwitcher *accounts = nullptr;
    QVector<Entry> entries;
    bool hasCentralPanel = false;
    int dockCount = 0;
    bool closeSaveFailed = false;
};

#include "MainWindow.h"

#include "AccountSwitcher.h"
#include "ConfigStore.h"
#include "Notice.h"
#include "PluginHost.h"
#include "PluginWidget.h"
#include "SysInterfaceImpl.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

namespace {
// The host's own key in each panel object: which plug-in the panel belongs to.
const char kPluginKey[] = "pluginIid";
} // namespace

MainWindow::MainWindow(const PluginHost &plugins, ConfigStore &store, QWidget *parent)
    : QMainWindow(parent)
    , plugins(plugins)
    , store(store)
    , sys(new SysInterfaceImpl(this))
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("halcyra-host"));
    resize(1100, 860);
    buildMenus();
    buildAccountBar();
    statusBar();
}

MainWindow::~MainWindow()
{
    // Panels go before the system object that their relays listen to.
    for (const Entry &entry : qAsConst(entries))
        delete entry.widget.data();
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("文件(&F)"));
    QAction *save = file->addAction(tr("保存配置"), this, [this] {
        if (saveConfig())
            statusBar()->showMessage(tr("配置已保存到 %1").arg(store.path()), 5000);
    });
    save->setObjectName(QStringLiteral("actSaveConfig"));
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    QAction *quit = file->addAction(tr("退出"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

    QMenu *panelMenu = menuBar()->addMenu(tr("面板(&P)"));
    int index = 0;
    for (const PluginHost::Plugin &plugin : plugins.plugins()) {
        const QString iid = plugin.iid;
        QAction *open = panelMenu->addAction(tr("新建面板：%1").arg(plugin.title), this, [this, iid] {
            openPanel({ { QLatin1String(kPluginKey), iid } });
        });
        open->setObjectName(QStringLiteral("actNewPanel_%1").arg(index++));
    }
    panelMenu->setEnabled(index > 0);
}

void MainWindow::buildAccountBar()
{
    QToolBar *bar = addToolBar(tr("账户"));
    bar->setObjectName(QStringLiteral("accountBar"));
    bar->setMovable(false);
    bar->addWidget(new QLabel(tr("账户："), bar));
    accounts = new AccountSwitcher(sys, bar);
    bar->addWidget(accounts);
}

void MainWindow::restorePanels(const QList<QJsonObject> &stored)
{
    for (const QJsonObject &config : stored)
        openPanel(config);
    if (panels().isEmpty() && !plugins.plugins().isEmpty())
        openPanel({});
    if (!hasCentralPanel) {
        auto *none = new QLabel(tr("没有可用的插件。"), this);
        none->setAlignment(Qt::AlignCenter);
        setCentralWidget(none);
    }
}

PluginWidget *MainWindow::openPanel(const QJsonObject &config)
{
    const PluginHost::Plugin *plugin = plugins.find(config.value(QLatin1String(kPluginKey)).toString());
    PluginWidget *panel = plugin ? plugin->root->createWidget(sys) : nullptr;
    if (!panel) {
        if (plugin)
            Notice::warn(this, tr("插件 %1 没有创建面板。").arg(plugin->iid));
        entries.append({ nullptr, config, false });
        return nullptr;
    }
    QJsonObject stored = config;
    stored.insert(QLatin1String(kPluginKey), plugin->iid);
    entries.append({ panel, stored, true });
    place(panel, plugin->title);
    QJsonObject restore = stored;
    panel->deserialize(restore);
    return panel;
}

void MainWindow::place(PluginWidget *panel, const QString &title)
{
    if (!hasCentralPanel) {
        hasCentralPanel = true;
        setCentralWidget(panel);
        setWindowTitle(QStringLiteral("%1 - halcyra-host").arg(title));
        return;
    }
    auto *dock = new QDockWidget(title, this);
    dock->setObjectName(QStringLiteral("panelDock%1").arg(++dockCount));
    // Closing a dock removes its panel, and with it the panel's object from the next save.
    dock->setAttribute(Qt::WA_DeleteOnClose);
    dock->setWidget(panel);
    addDockWidget(Qt::RightDockWidgetArea, dock);
}

QList<PluginWidget *> MainWindow::panels() const
{
    QList<PluginWidget *> result;
    for (const Entry &entry : entries) {
        if (entry.widget)
            result.append(entry.widget);
    }
    return result;
}

QList<QJsonObject> MainWindow::panelConfigs() const
{
    QList<QJsonObject> result;
    for (const Entry &entry : entries) {
        if (!entry.shown) {
            result.append(entry.config);
        } else if (entry.widget) {
            QJsonObject config = entry.config;
            entry.widget->serialize(config);
            result.append(config);
        }
    }
    return result;
}

bool MainWindow::saveConfig()
{
    if (store.save(panelConfigs()))
        return true;
    Notice::warn(this, tr("配置未能保存：%1").arg(store.errorString()));
    return false;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    closeSaveFailed = !store.save(panelConfigs());
    if (closeSaveFailed) {
        const QString text = tr("配置未能保存：%1").arg(store.errorString());
        Notice::log(text);
        if (Notice::interactive()
            && QMessageBox::question(this, windowTitle(), text + QLatin1Char('\n') + tr("仍然退出吗？"))
                != QMessageBox::Yes) {
            closeSaveFailed = false;
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

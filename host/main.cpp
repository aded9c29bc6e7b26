#include "AccountSwitcher.h"
#include "AutoRun.h"
#include "ConfigStore.h"
#include "HostOptions.h"
#include "HostResources.h"
#include "MainWindow.h"
#include "Notice.h"
#include "PluginHost.h"
#include "PluginWidget.h"
#include "ValueLines.h"

#include <QApplication>
#include <cstdio>

namespace {

enum ExitCode { kOk = 0, kRunFailed = 1, kBadOptions = 2, kNoPlugin = 3 };

void printValues(const MainWindow &window)
{
    for (const PluginWidget *panel : window.panels()) {
        for (const QString &line : readTableLines(panel))
            std::printf("%s\n", qUtf8Printable(line));
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("halcyra-host"));
    initHostResources();

    HostOptions options;
    switch (options.parse(QCoreApplication::arguments())) {
    case HostOptions::Parse::Help:
        std::printf("%s", qUtf8Printable(options.message()));
        return kOk;
    case HostOptions::Parse::Error:
        Notice::log(options.message());
        return kBadOptions;
    case HostOptions::Parse::Ok:
        break;
    }
    const bool unattended = !options.screenshotPath.isEmpty() || options.quitAfterMs >= 0;
    const QString platform = QGuiApplication::platformName();
    Notice::setInteractive(
        !unattended && platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"));

    PluginHost plugins;
    plugins.loadFolder(options.pluginDir);
    for (const QString &problem : plugins.errors())
        Notice::log(problem);

    ConfigStore store(options.configPath);
    const bool configUsable = store.load();

    MainWindow window(plugins, store);
    // The account is known before the first panel applies its rights.
    window.accountSwitcher()->switchTo(options.account);
    window.restorePanels(store.panels());
    window.show();
    if (!configUsable)
        Notice::warn(&window, store.problem());
    if (plugins.plugins().isEmpty())
        Notice::warn(&window, QObject::tr("在 %1 中没有找到可用的插件。").arg(options.pluginDir));

    AutoRun autoRun(window, options.screenshotPath, options.screenshotDelayMs, options.quitAfterMs);
    int code = app.exec();

    if (options.printValues)
        printValues(window);
    if (code == kOk && (window.saveFailedAtClose() || autoRun.screenshotFailed()))
        code = kRunFailed;
    if (code == kOk && plugins.plugins().isEmpty())
        code = kNoPlugin;
    return code;
}

#include "HostOptions.h"

#include "AccountSwitcher.h"
#include "ConfigStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

bool readMilliseconds(const QCommandLineParser &parser, const QCommandLineOption &option, int &out, QString &error)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 0) {
        error = QStringLiteral("--%1 needs a number of milliseconds, not \"%2\"")
                    .arg(option.names().constFirst(), parser.value(option));
        return false;
    }
    out = value;
    return true;
}

} // namespace

HostOptions::Parse HostOptions::parse(const QStringList &arguments)
{
    pluginDir = QStringLiteral(HOST_DEFAULT_PLUGIN_DIR);
    configPath = ConfigStore::defaultPath();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reference host: loads widget plug-ins and shows their panels. The panels' set-up is restored from the\n"
        "configuration file at start and saved on exit and with Ctrl+S. \"operator\" sees values only;\n"
        "\"engineer\" may also edit addresses and the link."));
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help."));
    const QCommandLineOption plugins(QStringLiteral("plugins"),
        QStringLiteral("Load every plug-in file in <dir> (default %1).").arg(pluginDir), QStringLiteral("dir"));
    const QCommandLineOption config(QStringLiteral("config"),
        QStringLiteral("Panel configuration file (default %1).").arg(configPath), QStringLiteral("file"));
    const QCommandLineOption account(QStringLiteral("account"),
        QStringLiteral("Start logged in as <name>: %1 (default %2).")
            .arg(AccountSwitcher::accountNames().join(QStringLiteral(", ")), this->account),
        QStringLiteral("name"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
        QStringLiteral("Save the main window as PNG <file>, then quit."), QStringLiteral("file"));
    const QCommandLineOption delay(QStringLiteral("screenshot-delay"),
        QStringLiteral("Wait <ms> before the screenshot (default %1).").arg(screenshotDelayMs), QStringLiteral("ms"));
    const QCommandLineOption quitAfter(
        QStringLiteral("quit-after"), QStringLiteral("Quit after <ms>."), QStringLiteral("ms"));
    const QCommandLineOption print(QStringLiteral("print-values"),
        QStringLiteral("Before quitting, print each read table row as \"name = value unit\"."));
    parser.addOptions({ help, plugins, config, account, screenshot, delay, quitAfter, print });

    if (!parser.parse(arguments)) {
        text = parser.errorText();
        return Parse::Error;
    }
    if (parser.isSet(help)) {
        text = parser.helpText();
        return Parse::Help;
    }
    if (!parser.positionalArguments().isEmpty()) {
        text = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().constFirst());
        return Parse::Error;
    }
    if (parser.isSet(plugins))
        pluginDir = parser.value(plugins);
    if (parser.isSet(config))
        configPath = parser.value(config);
    if (parser.isSet(account)) {
        this->account = parser.value(account);
        if (!AccountSwitcher::accountNames().contains(this->account)) {
            text = QStringLiteral("Unknown account \"%1\"; known: %2")
                       .arg(this->account, AccountSwitcher::accountNames().join(QStringLiteral(", ")));
            return Parse::Error;
        }
    }
    screenshotPath = parser.value(screenshot);
    printValues = parser.isSet(print);
    if (!readMilliseconds(parser, delay, screenshotDelayMs, text)
        || !readMilliseconds(parser, quitAfter, quitAfterMs, text))
        return Parse::Error;
    return Parse::Ok;
}

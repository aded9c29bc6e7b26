#include "Animator.h"
#include "Console.h"
#include "RequestHook.h"
#include "ServerFactory.h"
#include "SignalWatcher.h"
#include "SimOptions.h"
#include "StdinCommands.h"

#include <QCoreApplication>
#include <QModbusServer>

#include <memory>

namespace {

void runCommand(const QString &command, RequestStats &stats)
{
    if (command == QLatin1String("stats")) {
        Console::out(stats.line());
    } else if (command == QLatin1String("reset")) {
        stats.reset();
        Console::out(QStringLiteral("reset"));
    } else {
        Console::err(QStringLiteral("unknown command \"%1\" (stats, reset)").arg(command));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const SimOptions options = SimOptions::parse(app.arguments());
    if (!options.helpText.isEmpty()) {
        Console::out(options.helpText.trimmed());
        return 0;
    }
    if (!options.error.isEmpty()) {
        Console::err(options.error);
        return 1;
    }

    RequestHook hook(options.delayMs, !options.quiet);
    QString error;
    const std::unique_ptr<QModbusServer> server = ServerFactory::create(options, hook, &error);
    QString readyLine;
    if (!server || !ServerFactory::open(*server, options, &readyLine, &error)) {
        Console::err(error);
        return 1;
    }

    Animator animator(*server);
    if (options.animate)
        animator.start();

    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &app, &QCoreApplication::quit);

    std::unique_ptr<StdinCommands> commands;
    if (options.stats) {
        commands = std::make_unique<StdinCommands>();
        QObject::connect(commands.get(), &StdinCommands::commandReceived,
            [&hook](const QString &command) { runCommand(command, hook.stats()); });
        // The simulator must never outlive whoever feeds it commands.
        QObject::connect(commands.get(), &StdinCommands::inputEnded, &app, &QCoreApplication::quit);
    }

    Console::out(readyLine);
    const int rc = app.exec();
    server->disconnectDevice();
    return rc;
}

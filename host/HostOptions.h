#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of one run of the host.
struct HostOptions {
    enum class Parse { Ok, Help, Error };

    QString pluginDir;
    QString configPath;
    QString account = QStringLiteral("engineer");
    QString screenshotPath;
    int screenshotDelayMs = 500;
    int quitAfterMs = -1;
    bool printValues = false;

    // Fills the options from arguments (program name first); message() holds the help or the error text.
    Parse parse(const QStringList &arguments);
    QString message() const { return text; }

private:
    QString text;
};

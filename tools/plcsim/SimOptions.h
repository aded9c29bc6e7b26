#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

// What the command line asks for; parse() leaves a one-line message in `error` when it cannot be honoured.
struct SimOptions {
    enum class Mode { Tcp, Rtu };

    Mode mode = Mode::Tcp;
    QHostAddress address { QHostAddress::LocalHost };
    quint16 port = 0;
    QString device;
    int baud = 115200;
    QString seedFile;
    bool animate = false;
    bool quiet = false;
    bool stats = false;
    int delayMs = 0;
    QString helpText; // set when --help was asked for
    QString error;

    static SimOptions parse(const QStringList &arguments);
};

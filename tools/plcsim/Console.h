#pragma once

#include <QString>

#include <cstdio>

// Readers wait for whole lines (ready, write, stats), so every line is flushed at once.
namespace Console {

inline void out(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

inline void err(const QString &line)
{
    std::fputs(qPrintable(QStringLiteral("plcsim: ") + line + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
}

} // namespace Console

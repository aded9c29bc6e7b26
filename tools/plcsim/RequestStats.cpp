#include "RequestStats.h"

void RequestStats::count(int functionCode)
{
    ++m_counts[size_t(functionCode & 0xFF)];
    ++m_total;
}

void RequestStats::reset()
{
    m_counts.fill(0);
    m_total = 0;
}

QString RequestStats::line() const
{
    static const int kListed[] = { 1, 3, 5, 6, 16 };
    QString text = QStringLiteral("stats");
    quint64 listed = 0;
    for (int fc : kListed) {
        text += QStringLiteral(" fc%1=%2").arg(fc, 2, 10, QLatin1Char('0')).arg(m_counts[size_t(fc)]);
        listed += m_counts[size_t(fc)];
    }
    return text + QStringLiteral(" other=%1 total=%2").arg(m_total - listed).arg(m_total);
}

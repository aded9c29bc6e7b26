#pragma once

#include <QString>

#include <array>

// Requests received per function code since start or the last reset.
class RequestStats {
public:
    void count(int functionCode);
    void reset();
    QString line() const; // "stats fc01=N fc03=N fc05=N fc06=N fc16=N other=N total=N"

private:
    std::array<quint64, 256> m_counts {};
    quint64 m_total = 0;
};
